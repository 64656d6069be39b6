#include "geometry/LineShape.h"
#include "geometry/RectShape.h"
#include "geometry/TransformKind.h"
#include "geometry/TransformedSource.h"

#include <agg_bezier_arc.h>
#include <agg_rounded_rect.h>
#include <agg_trans_affine.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lumo {
namespace {

TEST(TransformKind, ClassifiesByTheWorkTheMatrixNeeds) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double sx, shy, shx, sy, tx, ty;
        TransformKind kind;
    };
    const Case cases[] = {
        {1, 0, 0, 1, 0, 0, TRANSFORM_IDENTITY},
        {1, 0, 0, 1, 5, 0, TRANSFORM_TRANSLATE},
        {0, 1, -1, 0, 0, 0, TRANSFORM_ORTHONORMAL},                     // quarter turn
        {0, 1, 1, 0, 0, 0, TRANSFORM_ORTHONORMAL},                      // mirror in y = x
        {0.999999975, 0, 0, 0.999999975, 0, 0, TRANSFORM_ORTHONORMAL},  // det just under 1
        {1, 0, 0, -1, 0, 3, TRANSFORM_ORTHONORMAL_TRANSLATE},           // flip
        {0, 1, -1, 0, 2, 0, TRANSFORM_ORTHONORMAL_TRANSLATE},
        {2, 0, 0, 2, 0, 0, TRANSFORM_GENERAL},                    // uniform scale
        {0.99999994, 0, 0, 0.99999994, 0, 0, TRANSFORM_GENERAL},  // det below tolerance
        {1.0000001, 0, 0, 1.0000001, 0, 0, TRANSFORM_GENERAL},    // det above 1
        {1, 0, 0.5, 1, 0, 0, TRANSFORM_GENERAL},                  // shear
        {1, 2, 2, 4, 0, 0, TRANSFORM_GENERAL},                    // singular
        {1, 0, 0, 1, nan, 0, TRANSFORM_GENERAL},
        {0, 1, -1, 0, 0, nan, TRANSFORM_GENERAL},
        {nan, 0, 0, nan, 0, 0, TRANSFORM_GENERAL},
        {1, 0, 0, 1, inf, 0, TRANSFORM_GENERAL},
        {1, 0, 0, -1, 0, -inf, TRANSFORM_GENERAL},
    };
    for (const Case& c : cases) {
        const agg::trans_affine m(c.sx, c.shy, c.shx, c.sy, c.tx, c.ty);
        EXPECT_EQ(classifyTransform(m), c.kind)
            << c.sx << " " << c.shy << " " << c.shx << " " << c.sy << " " << c.tx << " " << c.ty;
    }
}

// Reads the next command and point of a source; the point keeps its marker
// value when the command carries none.
struct Step {
    double x = -777.0, y = -777.0;
    unsigned cmd;
    template <class Source>
    explicit Step(Source& s) : cmd(s.vertex(&x, &y)) {}
};

TEST(TransformedSource, OffsetAloneTranslatesVerticesAndPassesOtherCommands) {
    RectShape rect(1, 2, 3, 4);
    const agg::trans_affine identity;
    TransformedSource<RectShape> shifted(rect, &identity, 0.5, 0);
    EXPECT_EQ(shifted.kind(), TRANSFORM_TRANSLATE);
    EXPECT_FALSE(shifted.has_curves());
    shifted.rewind(0);
    const double xs[] = {1.5, 4.5, 4.5, 1.5};
    const double ys[] = {2, 2, 6, 6};
    for (int i = 0; i < 4; ++i) {
        const Step s(shifted);
        EXPECT_EQ(s.cmd,
                  i == 0 ? unsigned(agg::path_cmd_move_to) : unsigned(agg::path_cmd_line_to));
        EXPECT_EQ(s.x, xs[i]);
        EXPECT_EQ(s.y, ys[i]);
    }
    const Step close(shifted);
    EXPECT_EQ(close.cmd, 0x4Fu);
    EXPECT_EQ(close.x, -777.0);
    EXPECT_EQ(close.y, -777.0);
    const Step stop(shifted);
    EXPECT_EQ(stop.cmd, unsigned(agg::path_cmd_stop));

    // No transform, no offset: vertices pass unchanged.
    TransformedSource<RectShape> plain(rect, nullptr, 0, 0);
    EXPECT_EQ(plain.kind(), TRANSFORM_IDENTITY);
    plain.rewind(0);
    const Step first(plain);
    EXPECT_EQ(first.x, 1.0);
    EXPECT_EQ(first.y, 2.0);

    // A transform within 1e-14 of the identity is dropped, leaving the offset.
    // Tiny translations count in both directions alike.
    const agg::trans_affine nearIdentity(1 + 1e-15, 0, 0, 1, 1e-15, -1e-15);
    TransformedSource<RectShape> nearly(rect, &nearIdentity, 0, 3);
    EXPECT_EQ(nearly.kind(), TRANSFORM_TRANSLATE);
    nearly.rewind(0);
    const Step moved(nearly);
    EXPECT_EQ(moved.x, 1.0);
    EXPECT_EQ(moved.y, 5.0);
}

TEST(TransformedSource, AppliesTheTransformThenTheOffset) {
    // x' = x + 3y + 5, y' = 2x + 4y + 6, then shifted by (0.5, -1).
    LineShape line(1, 1, 2, -1);
    VertexSource& source = line;
    const agg::trans_affine m(1, 2, 3, 4, 5, 6);
    TransformedSource<VertexSource> mapped(source, &m, 0.5, -1);
    EXPECT_EQ(mapped.kind(), TRANSFORM_GENERAL);
    mapped.rewind(0);
    const Step a(mapped);
    EXPECT_EQ(a.cmd, unsigned(agg::path_cmd_move_to));
    EXPECT_EQ(a.x, 9.5);
    EXPECT_EQ(a.y, 11.0);
    const Step b(mapped);
    EXPECT_EQ(b.cmd, unsigned(agg::path_cmd_line_to));
    EXPECT_EQ(b.x, 4.5);
    EXPECT_EQ(b.y, 5.0);
    EXPECT_EQ(Step(mapped).cmd, unsigned(agg::path_cmd_stop));

    // A quarter turn with an offset is classified from the combined matrix.
    const agg::trans_affine turn(0, 1, -1, 0, 0, 0);
    TransformedSource<VertexSource> turned(source, &turn, 0, 2);
    EXPECT_EQ(turned.kind(), TRANSFORM_ORTHONORMAL_TRANSLATE);
    turned.rewind(0);
    const Step c(turned);
    EXPECT_EQ(c.x, -1.0);
    EXPECT_EQ(c.y, 3.0);
}

TEST(TransformedSource, KnownKindIsUsedAsGiven) {
    agg::bezier_arc arc(0, 0, 10, 10, 0, 1.5707963267948966);
    TransformedSource<agg::bezier_arc> translated(arc, agg::trans_affine_translation(3, 4),
                                                  TRANSFORM_TRANSLATE);
    EXPECT_EQ(translated.kind(), TRANSFORM_TRANSLATE);
    translated.rewind(0);
    const Step start(translated);
    EXPECT_EQ(start.cmd, unsigned(agg::path_cmd_move_to));
    EXPECT_DOUBLE_EQ(start.x, 13.0);
    EXPECT_DOUBLE_EQ(start.y, 4.0);

    // Told the matrix is the identity, the adapter does not map at all.
    agg::rounded_rect box(0, 0, 10, 10, 2);
    TransformedSource<agg::rounded_rect> trusted(box, agg::trans_affine_scaling(5),
                                                 TRANSFORM_IDENTITY);
    trusted.rewind(0);
    const Step corner(trusted);
    EXPECT_DOUBLE_EQ(corner.x, 0.0);
    EXPECT_DOUBLE_EQ(corner.y, 2.0);
}

}  // namespace
}  // namespace lumo
