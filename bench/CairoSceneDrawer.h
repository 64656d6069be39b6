// Draws the scenes of CompareScenes.h with Cairo on a 512x512 ARGB32 image
// surface: default antialiasing, the OVER operator, the scene's fill rule;
// per operation a source (an RGBA colour, a linear or radial gradient that
// pads, or the texture repeated with the nearest or bilinear filter), the
// outline (rectangles with cairo_rectangle, the rounded box with four arcs,
// everything else from the same segment codes and points lumo gets) and a
// fill or stroke. Images are painted through a surface pattern with the
// bilinear filter, or CAIRO_FILTER_BEST for the bicubic scene (Cairo's
// cubic filter when enlarging; CAIRO_FILTER_GOOD enlarges bilinearly).
#pragma once

#include "CompareScenes.h"

#include <cairo.h>

#include <vector>

namespace lumo_bench {

class CairoSceneDrawer {
public:
    // The texture and image as premultiplied 0xAARRGGBB words, top row first.
    CairoSceneDrawer(const std::vector<uint32_t>& texture, const std::vector<uint32_t>& image);
    ~CairoSceneDrawer();
    CairoSceneDrawer(const CairoSceneDrawer&) = delete;
    CairoSceneDrawer& operator=(const CairoSceneDrawer&) = delete;

    bool valid() const;

    // Sets stroke and fill rule for the batch and builds the image patterns.
    // The batch must outlive the drawing.
    void prepare(const Batch& batch, Style style);
    // Draws operations [first, first + count) of the prepared batch, then
    // flushes the surface.
    void draw(size_t first, size_t count);

    void clear();
    std::vector<uint32_t> read();

private:
    void setSource(const Operation& op);
    void addOutline(const Operation& op);

    cairo_surface_t* canvas_;
    cairo_t* cr_;
    cairo_surface_t* texture_;
    cairo_surface_t* image_;
    cairo_pattern_t* imagePattern_ = nullptr;

    const Batch* batch_ = nullptr;
    Style style_ = Style::Solid;
};

}  // namespace lumo_bench
