#include "span/ImageRowSource.h"

#include "core/LookupTables.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace lumo {

namespace {

// Slots of the short window used for tall images drawn at unit vertical
// scale: more than any interpolation filter reaches at once.
constexpr uint32_t windowSlots = 11;
// Most slots a row source keeps: rows beyond share slots, which keeps the
// bookkeeping of very tall images small at the cost of converting rows again.
constexpr uint32_t maxSlots = 65536;

// Whether the image keeps its height on the way to the device.
bool unitVerticalScale(const ImageDescriptor& image, const agg::trans_affine* ctm) {
    agg::trans_affine t = image.transform;
    if (ctm != nullptr) t *= *ctm;
    double x0 = 0, y0 = 0, x1 = 0, y1 = image.height;
    t.transform(&x0, &y0);
    t.transform(&x1, &y1);
    return std::fabs(std::fabs(y1 - y0) - image.height) < 0.00001;
}

// Applies the extra alpha to a row and premultiplies straight colour.
void finishRow(uint8_t* p, int width, int alpha8, bool sourcePremultiplied) {
    const auto& M = lookupTables.multiply;
    if (alpha8 == 0) {
        for (int i = 0; i < width * 4; ++i) p[i] = 0;
        return;
    }
    if (alpha8 == 255) {
        if (sourcePremultiplied) return;
        for (int i = 0; i < width; ++i, p += 4) {
            const uint8_t* scale = M[p[3]];
            p[0] = scale[p[0]];
            p[1] = scale[p[1]];
            p[2] = scale[p[2]];
        }
        return;
    }
    const unsigned k = unsigned(alpha8);
    for (int i = 0; i < width; ++i, p += 4) {
        const unsigned a = (p[3] * k + 255) >> 8;
        p[3] = uint8_t(a);
        if (sourcePremultiplied) {
            if (a == 0) {
                p[0] = p[1] = p[2] = 0;
            } else {
                p[0] = uint8_t((p[0] * k + 255) >> 8);
                p[1] = uint8_t((p[1] * k + 255) >> 8);
                p[2] = uint8_t((p[2] * k + 255) >> 8);
            }
        } else {
            const uint8_t* scale = M[a];
            p[0] = scale[p[0]];
            p[1] = scale[p[1]];
            p[2] = scale[p[2]];
        }
    }
}

}  // namespace

int alphaByte(double alpha) {
    if (!(alpha > 0.0)) return alpha == alpha ? 0 : 255;  // NaN counts as opaque
    if (alpha >= 1.0) return 255;
    return int(std::floor(alpha * 255.0 + 0.5));
}

ImageRowSource::ImageRowSource(const ImageDescriptor& image, double alpha,
                               const agg::trans_affine* ctm, bool premultipliedRows)
    : image_(image), alpha8_(alphaByte(alpha)) {
    if (image.width <= 0 || image.height <= 0 || image.data == nullptr) return;
    reader_.reset(createRowReader(image));
    if (!reader_) return;

    const bool straight = !image.premultiplied();
    if (!reader_->needsConversion(float(alpha)) && !(premultipliedRows && straight)) {
        // Rows of 32-bit pixels at full alpha: read where they are. Render
        // targets keep their bottom row first.
        premultiplied_ = image.premultiplied();
        if (image.kind == IMAGE_RENDER_TARGET) {
            top_ = image.data + ptrdiff_t(image.height - 1) * image.bytesPerLine;
            step_ = -ptrdiff_t(image.bytesPerLine);
        } else {
            top_ = image.data;
            step_ = image.bytesPerLine;
        }
        usable_ = true;
        return;
    }
    premultiplied_ = true;
    rowBytes_ = reader_->rowBytes(image);
    if (rowBytes_ < uint32_t(image.width) * 4) return;
    slotCount_ = std::min(uint32_t(image.height), maxSlots);
    if (1024 / image.width < image.height && unitVerticalScale(image, ctm)) {
        slotCount_ = windowSlots;
    }
    slots_ = new (std::nothrow) uint8_t*[slotCount_]();
    held_ = new (std::nothrow) int32_t[slotCount_];
    spare_ = new (std::nothrow) uint8_t[rowBytes_];
    if (slots_ == nullptr || held_ == nullptr || spare_ == nullptr) return;
    for (uint32_t i = 0; i < slotCount_; ++i) held_[i] = -1;
    usable_ = true;
}

ImageRowSource::~ImageRowSource() {
    if (slots_ != nullptr) {
        for (uint32_t i = 0; i < slotCount_; ++i) delete[] slots_[i];
    }
    delete[] slots_;
    delete[] held_;
    delete[] spare_;
}

bool ImageRowSource::rowRun(int y, int count, const uint8_t** rows) {
    if (slotCount_ == 0) {
        for (int i = 0; i < count; ++i) rows[i] = top_ + ptrdiff_t(y + i) * step_;
        return true;
    }
    if (uint32_t(count) > slotCount_) return false;
    // Consecutive rows take distinct slots; fetching them may replace the
    // rows row() keeps at hand.
    lastY_ = previousY_ = -1;
    bool held = true;
    for (int i = 0; i < count; ++i) {
        rows[i] = fetch(y + i);
        held = held && rows[i] != spare_;
    }
    return held;
}

const uint8_t* ImageRowSource::fetch(int y) {
    const uint32_t slot = uint32_t(y) % slotCount_;
    if (held_[slot] == y) return slots_[slot];
    if (slots_[slot] == nullptr) slots_[slot] = new (std::nothrow) uint8_t[rowBytes_];
    if (slots_[slot] == nullptr) return convert(y, spare_);
    held_[slot] = y;
    return convert(y, slots_[slot]);
}

const uint8_t* ImageRowSource::convert(int y, uint8_t* buffer) {
    reader_->readRow(y, buffer, image_);
    finishRow(buffer, image_.width, alpha8_, image_.premultiplied());
    return buffer;
}

}  // namespace lumo
