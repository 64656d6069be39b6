#pragma once

#include "image/ImageDescriptor.h"
#include "image/RowReader.h"

#include <agg_trans_affine.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

namespace lumo {

// An extra alpha as a byte, rounded: 0 at or below 0, 255 at or above 1 (and
// for NaN).
int alphaByte(double alpha);

// The rows of one source image as 32-bit pixels (bytes b, g, r, a), for one
// drawing call. Rows are converted on first use and cached; rows already in
// the right format at full alpha are read in place. Converted rows of
// straight-alpha sources are premultiplied, so that filters and blenders see
// premultiplied colour wherever the rows were copied anyway.
//
// Slots are mapped directly: row y lives in slot y mod rows. Images get a
// slot per row (up to 65536), except that an image drawn at unit vertical
// scale that is tall for its width gets a window of eleven slots, enough for
// any filter.
class ImageRowSource {
public:
    // `alpha` is the extra alpha applied to every pixel; `ctm` (may be null)
    // follows the image's own transform to the device. With
    // `premultipliedRows`, straight rows that could be read in place are
    // converted and premultiplied as well (for filters that need it).
    ImageRowSource(const ImageDescriptor& image, double alpha, const agg::trans_affine* ctm,
                   bool premultipliedRows = false);
    ~ImageRowSource();
    ImageRowSource(const ImageRowSource&) = delete;
    ImageRowSource& operator=(const ImageRowSource&) = delete;

    // False when the image has no reader or memory ran out: draw nothing.
    bool usable() const { return usable_; }
    int width() const { return image_.width; }
    int height() const { return image_.height; }
    // Whether the rows hold premultiplied colour.
    bool premultiplied() const { return premultiplied_; }
    // The extra alpha as a byte.
    int alpha8() const { return alpha8_; }
    // Whether rows are read in place (no slots): then row y starts at
    // inPlaceTop() + y * inPlaceStep().
    bool inPlace() const { return slotCount_ == 0; }
    const uint8_t* inPlaceTop() const { return top_; }
    ptrdiff_t inPlaceStep() const { return step_; }
    uint32_t slotCount() const { return slotCount_; }

    // Row y (0 = top, 0 <= y < height) as width pixels. The pointer stays
    // valid until the slot is reused by another row. Filters ask for two
    // neighbouring rows in turn, pixel after pixel, so the last two answers
    // are kept at hand.
    const uint8_t* row(int y) {
        if (slotCount_ == 0) return top_ + ptrdiff_t(y) * step_;
        if (y == lastY_) return lastRow_;
        if (y == previousY_) {
            std::swap(lastY_, previousY_);
            std::swap(lastRow_, previousRow_);
            return lastRow_;
        }
        previousY_ = lastY_;
        previousRow_ = lastRow_;
        lastRow_ = fetch(y);
        lastY_ = y;
        // Both may be the same buffer (one slot, or the spare one).
        if (previousRow_ == lastRow_) previousY_ = -1;
        return lastRow_;
    }

    // Rows y and y + 1 (0 <= y, y + 1 < height) held at once. False when
    // they share a buffer (memory ran short): then read them one at a time.
    bool rowPair(int y, const uint8_t*& upper, const uint8_t*& lower) {
        return rowPair(y, y + 1, upper, lower);
    }
    // Any two rows held at once (the same row twice too), as wrapped images
    // pair their last row with their first. False when they share a buffer
    // (a slot or the spare one).
    bool rowPair(int y0, int y1, const uint8_t*& upper, const uint8_t*& lower) {
        upper = row(y0);
        lower = row(y1);
        return slotCount_ == 0 || y0 == y1 || previousY_ == y0;
    }

    // Rows y to y + count - 1 (all within the image) held at once, into
    // `rows`. False when they cannot be (fewer slots than rows, or memory ran
    // short).
    bool rowRun(int y, int count, const uint8_t** rows);

private:
    const uint8_t* fetch(int y);
    const uint8_t* convert(int y, uint8_t* buffer);

    const ImageDescriptor& image_;
    std::unique_ptr<RowReader> reader_;
    int alpha8_ = 255;
    bool premultiplied_ = false;
    bool usable_ = false;
    uint32_t slotCount_ = 0;
    uint32_t rowBytes_ = 0;
    // Per slot: its buffer (allocated on first use) and the row it holds.
    uint8_t** slots_ = nullptr;
    int32_t* held_ = nullptr;
    // Used when a slot's buffer cannot be allocated: converted every time.
    uint8_t* spare_ = nullptr;
    // Rows read in place: row y starts at top_ + y * step_.
    const uint8_t* top_ = nullptr;
    ptrdiff_t step_ = 0;
    int lastY_ = -1;
    const uint8_t* lastRow_ = nullptr;
    int previousY_ = -1;
    const uint8_t* previousRow_ = nullptr;
};

}  // namespace lumo
