#pragma once

#include "context/Graphics.h"
#include "core/DataBuffer.h"
#include "core/HandleRegistry.h"
#include "native/EntryPoints.h"

#include <cstdint>

namespace lumo::test {

// A render target (transparent unless given a colour) with one drawing
// object, made (and deleted) through the entry points, and its pixels as
// drawn. Also serves as the image of a texture or line pattern.
class DrawingTarget {
public:
    DrawingTarget(int width, int height, jint argb = 0) : width_(width), height_(height) {
        buffer = Java_com_quarn_lumo_internal_LUMO_createDataBuffer(nullptr, nullptr, width, height,
                                                                    argb);
        image = Java_com_quarn_lumo_internal_LUMO_createNativeImage(nullptr, nullptr, buffer);
        g = Java_com_quarn_lumo_internal_LUMO_createGraphics(nullptr, nullptr, image);
    }
    ~DrawingTarget() {
        Java_com_quarn_lumo_internal_LUMO_deleteGraphics(nullptr, nullptr, g);
        Java_com_quarn_lumo_internal_LUMO_deleteNativeImage(nullptr, nullptr, image);
        Java_com_quarn_lumo_internal_LUMO_deleteDataBuffer(nullptr, nullptr, buffer);
    }
    DrawingTarget(const DrawingTarget&) = delete;
    DrawingTarget& operator=(const DrawingTarget&) = delete;

    Graphics& graphics() const {
        return *HandleRegistry::instance().find<Graphics>(g, HandleKind::Graphics);
    }
    DataBuffer& pixels() const {
        return *HandleRegistry::instance().find<DataBuffer>(buffer, HandleKind::DataBuffer);
    }
    // The pixel word at device (x, y) (rows are stored bottom-up); 0 while
    // the buffer has no memory.
    uint32_t at(int x, int y) const {
        const DataBuffer& b = pixels();
        return b.hasPixels() ? b.pixels()[(height_ - 1 - y) * width_ + x] : 0;
    }
    // How many pixels are not 0.
    int painted() const {
        int count = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) count += at(x, y) != 0;
        return count;
    }

    jint buffer = 0;
    jint image = 0;
    jint g = 0;

private:
    int width_;
    int height_;
};

}  // namespace lumo::test
