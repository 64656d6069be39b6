#pragma once

#include "core/Ref.h"
#include "coverage/ClipOutline.h"
#include "geometry/StrokeStyle.h"
#include "geometry/TransformKind.h"
#include "paint/Composite.h"
#include "paint/Paint.h"

#include <agg_basics.h>
#include <agg_path_storage.h>
#include <agg_trans_affine.h>

#include <cstdint>

namespace lumo {

// Hint keys: single bits, and two fields.
enum HintKey : uint32_t {
    HINT_ANTIALIAS = 0x1,
    // Stored and copied with the state for the Java interface; nothing reads it.
    HINT_KEY_2 = 0x2,
    HINT_CLIP_ANTIALIAS = 0x4,
    HINT_DEVICE_STROKE = 0x8,
    HINT_STROKE_OFFSET = 0x600,
    HINT_IMAGE_FILTER = 0xF800,
};

// Bits of GraphicsState::clipFlags.
enum ClipFlag : uint32_t {
    // The clip is the clip box alone; the clip path is not consulted.
    CLIP_RECT = 0x1,
    // The clip path has curves, flattened wherever it is rasterised.
    CLIP_CURVED = 0x2,
    // The clip path's bounds reached beyond the target when it was set:
    // recorded for the Java interface; nothing reads it.
    CLIP_EXCEEDS = 0x4,
    CLIP_KIND_MASK = 0x7,
};

// Everything a drawing object draws with. Paint, stroke and composite are
// immutable counted objects that clones share until a setter replaces them.
class GraphicsState {
public:
    // The default state for a target of the given size: opaque black,
    // default stroke, source-over, identity, full-target rectangle clip.
    // valid() is false when the default objects could not be allocated.
    GraphicsState(uint32_t targetWidth, uint32_t targetHeight);
    // A copy sharing paint, stroke and composite.
    GraphicsState(const GraphicsState& other);
    GraphicsState& operator=(const GraphicsState&) = delete;

    bool valid() const { return paint && stroke && composite; }

    // Updates the hint word; keys other than the six known ones are ignored.
    void setHint(int32_t key, int32_t value);
    bool hint(HintKey key) const { return (hints & key) != 0; }
    uint32_t strokeOffsetHint() const { return (hints & HINT_STROKE_OFFSET) >> 9; }
    uint32_t imageFilterHint() const { return (hints & HINT_IMAGE_FILTER) >> 11; }

    // Replaces the transform (a null matrix means identity).
    void setTransform(const double* matrix);
    // The kind of the transform, classified on first use after a change.
    TransformKind transformKind();
    // Whether the kind is classified (until the transform next changes).
    bool transformKindKnown() const { return transformKind_ != 0; }

    // The clip box is empty unless x1 < x2 and y1 < y2.
    bool clipBoxEmpty() const;
    // The clip path as coverage producers read it (meaningful while the clip
    // is not a rectangle).
    ClipOutline clipOutline() {
        return ClipOutline{clipPath,
                           clipBox,
                           clipFillRule,
                           (clipFlags & CLIP_CURVED) != 0,
                           hint(HINT_CLIP_ANTIALIAS),
                           clipSerial};
    }

    uint32_t hints = 0;
    Ref<Paint> paint;
    Ref<StrokeStyle> stroke;
    Ref<Composite> composite;
    agg::path_storage clipPath;
    agg::rect_d clipBox;
    uint32_t clipFlags = CLIP_RECT;
    agg::filling_rule_e clipFillRule = agg::fill_non_zero;
    // Names the clip path: a new one is drawn for every path clip set, and
    // clones share it with their clip. 0 while there is no clip path.
    uint64_t clipSerial = 0;
    agg::trans_affine transform;
    agg::filling_rule_e fillRule = agg::fill_non_zero;

private:
    // The classified TransformKind of `transform`, 0 until classified.
    uint32_t transformKind_ = 0;
};

}  // namespace lumo
