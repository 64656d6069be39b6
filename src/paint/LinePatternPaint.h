#pragma once

#include "paint/TexturePaint.h"

namespace lumo {

// Draws outlines with an image laid along them: the image's x axis runs
// along the line, its height spans it. As a fill it tiles its image like a
// repeating texture at the user-space origin. The three values Java passes
// are kept as they are, only for the Java interface; nothing reads them.
class LinePatternPaint final : public TexturePaint {
public:
    static LinePatternPaint* create(RenderTarget& source, double first, double second,
                                    double third) {
        return new (std::nothrow) LinePatternPaint(source, first, second, third);
    }

    PaintKind kind() const override { return PAINT_LINE_PATTERN; }
    double value(int i) const { return values_[i]; }

private:
    LinePatternPaint(RenderTarget& source, double first, double second, double third)
        : TexturePaint(source, agg::trans_affine(), WRAP_REPEAT, WRAP_REPEAT),
          values_{first, second, third} {}

    const double values_[3];
};

}  // namespace lumo
