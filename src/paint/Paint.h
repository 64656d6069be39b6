#pragma once

#include "core/SharedObject.h"

namespace lumo {

// What a paint is; renderers dispatch on it.
enum PaintKind : int {
    PAINT_SOLID = 0,
    PAINT_GRADIENT = 1,
    PAINT_TEXTURE = 2,
    PAINT_LINE_PATTERN = 3,
};

// Base of the immutable, counted paints a drawing state fills and strokes
// with. A setter always builds a new paint, so drawing states share them.
class Paint : public SharedObject {
public:
    virtual PaintKind kind() const = 0;
};

}  // namespace lumo
