// Draws the scenes of CompareScenes.h with lumo, through the exported entry
// points called exactly as the Java side calls them: fillRect for the
// integer rectangles, drawPath (with the fill or stroke flag and the curve or
// polygonal flag) for every other outline, and per operation setPaint,
// setGradient or setTexture for the style, drawImage for the images. All
// argument arrays are built by prepare(), before timing.
#pragma once

#include "BenchSupport.h"
#include "CompareScenes.h"

#include <array>
#include <memory>

namespace lumo_bench {

class LumoSceneDrawer {
public:
    LumoSceneDrawer();
    ~LumoSceneDrawer();
    LumoSceneDrawer(const LumoSceneDrawer&) = delete;
    LumoSceneDrawer& operator=(const LumoSceneDrawer&) = delete;

    // False when a buffer, image or drawing object could not be made.
    bool valid() const;

    // The texture and image pixels as the library holds them (premultiplied
    // 0xAARRGGBB words), for the other engine to draw the same bytes.
    const std::vector<uint32_t>& texture() const { return texture_; }
    const std::vector<uint32_t>& image() const { return image_; }

    // Sets the stroke and the image filter for the batch and builds the
    // arguments of its operations. The batch must outlive the drawing.
    void prepare(const Batch& batch, Style style);
    // Draws operations [first, first + count) of the prepared batch.
    void draw(size_t first, size_t count);

    void clear() { canvas_.clear(); }
    std::vector<uint32_t> read();

private:
    // The arguments of one operation.
    struct Arguments {
        BenchArray types, coords;
        std::array<double, 6> points;  // gradient points or image matrix
        std::array<jint, 2> colours;
        BenchArray pointArray, colourArray;
    };

    jint makeImage(const std::vector<uint32_t>& pixels, int size, jint& buffer,
                   std::vector<uint32_t>& readBack);
    void setStyle(Arguments& args);
    void drawShape(const Operation& op, Arguments& args);

    LumoCanvas canvas_;
    jint g_;
    jint textureBuffer_ = 0, textureImage_ = 0;
    jint imageBuffer_ = 0, imageImage_ = 0;
    std::vector<uint32_t> texture_, image_;

    const Batch* batch_ = nullptr;
    Style style_ = Style::Solid;
    jint pathFlags_ = 0;
    std::vector<Arguments> arguments_;
    jint positions_[2] = {0, 255};
    BenchArray positionArray_;
};

}  // namespace lumo_bench
