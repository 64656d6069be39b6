// The scene generator of lumo_cairo_bench: the numbers and shapes it makes
// must be the ones the shared scene definition describes, or the Cairo and
// Java 2D comparisons would race different scenes.
#include "CompareScenes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumo_bench {
namespace {

const SceneInfo& scene(SceneKind kind) {
    return sceneTable()[size_t(kind)];
}

int count(const Operation& op, Segment code) {
    return int(std::count(op.types.begin(), op.types.end(), code));
}

// Reference values worked out apart from this code (64-bit LCG, top 53 bits).
TEST(CompareScenesTest, GeneratorFollowsTheSharedDefinition) {
    SceneRandom random(0x9E3779B97F4A7C15ull ^ (9 * 1000 + 32));
    EXPECT_DOUBLE_EQ(random.next(), 0.7316661594322027);
    EXPECT_DOUBLE_EQ(random.next(), 0.19178823760358932);
    EXPECT_DOUBLE_EQ(random.next(), 0.30102159462873346);

    // FillRectA at 8: x, y floored, then r, g, b and alpha, from the seed of
    // scene 0 and size 8.
    const Batch batch = generateBatch(scene(SceneKind::FillRectA), 8);
    const Operation& first = batch.operations.front();
    EXPECT_EQ(first.x, 471);
    EXPECT_EQ(first.y, 467);
    EXPECT_EQ(first.r, 11);
    EXPECT_EQ(first.g, 150);
    EXPECT_EQ(first.b, 130);
    EXPECT_EQ(first.a, 215);
}

TEST(CompareScenesTest, TableIsInSceneIndexOrder) {
    const auto& table = sceneTable();
    ASSERT_EQ(table.size(), 16u);
    for (size_t i = 0; i < table.size(); ++i) EXPECT_EQ(int(table[i].kind), int(i));
    EXPECT_FALSE(scene(SceneKind::FillPoly10EO).nonZero);
    EXPECT_FALSE(scene(SceneKind::FillPoly40EO).nonZero);
    EXPECT_TRUE(scene(SceneKind::FillPoly40NZ).nonZero);
    EXPECT_TRUE(scene(SceneKind::Dash).stroke);
    EXPECT_TRUE(scene(SceneKind::FillPath).curves);
    EXPECT_FALSE(scene(SceneKind::FillPoly10NZ).curves);
}

// Every scene at every size: the operation count, colours in range, and
// every point inside the box (the rotated square may reach half a diagonal
// beyond it).
TEST(CompareScenesTest, OperationsStayInTheirBoxes) {
    for (const SceneInfo& info : sceneTable()) {
        for (const int size : {8, 32, 128, 256}) {
            SCOPED_TRACE(std::string(info.name) + " " + std::to_string(size));
            const Batch batch = generateBatch(info, imageScene(info.kind) ? kImageSize : size);
            ASSERT_EQ(batch.operations.size(),
                      size_t(imageScene(info.kind) ? kImageOperations : kOperations));
            const double slack = info.kind == SceneKind::FillRectRot ? size * 0.2072 : 1e-9;
            for (const Operation& op : batch.operations) {
                if (imageScene(info.kind)) {
                    ASSERT_GE(op.x, 0);
                    ASSERT_LT(op.x + kImageSize * kImageScale, kCanvas);
                    ASSERT_LT(op.y + kImageSize * kImageScale, kCanvas);
                    continue;
                }
                ASSERT_GE(op.a, 128);
                ASSERT_LT(op.a, 224);
                ASSERT_GE(op.x, 0);
                ASSERT_LE(op.x + size, kCanvas);
                ASSERT_LE(op.y + size, kCanvas);
                ASSERT_EQ(op.coords.size() % 2, 0u);
                for (size_t i = 0; i < op.coords.size(); i += 2) {
                    ASSERT_GE(op.coords[i], op.x - slack);
                    ASSERT_LE(op.coords[i], op.x + size + slack);
                    ASSERT_GE(op.coords[i + 1], op.y - slack);
                    ASSERT_LE(op.coords[i + 1], op.y + size + slack);
                }
            }
        }
    }
}

TEST(CompareScenesTest, OutlinesHaveTheDefinedSegments) {
    struct Expected {
        SceneKind kind;
        int lines, cubics, closes;
    };
    const Expected cases[] = {
        {SceneKind::FillRectU, 3, 0, 1},    {SceneKind::FillRectRot, 3, 0, 1},
        {SceneKind::FillRoundU, 4, 4, 1},   {SceneKind::FillTriangle, 2, 0, 1},
        {SceneKind::FillPoly10NZ, 9, 0, 1}, {SceneKind::FillPoly40EO, 39, 0, 1},
        {SceneKind::FillPath, 0, 200, 1},   {SceneKind::StrokeRectU, 3, 0, 1},
        {SceneKind::StrokePoly10, 9, 0, 1}, {SceneKind::StrokePath, 0, 20, 0},
        {SceneKind::Dash, 9, 0, 0},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(scene(e.kind).name);
        const Operation op = generateBatch(scene(e.kind), 32).operations[5];
        EXPECT_EQ(op.types.front(), MOVE);
        EXPECT_EQ(count(op, MOVE), 1);
        EXPECT_EQ(count(op, LINE), e.lines);
        EXPECT_EQ(count(op, CUBIC), e.cubics);
        EXPECT_EQ(count(op, CLOSE), e.closes);
        EXPECT_EQ(op.coords.size(), size_t(2 + 2 * e.lines + 6 * e.cubics));
    }
}

TEST(CompareScenesTest, RectanglesHaveTheDefinedSizes) {
    const Operation a = generateBatch(scene(SceneKind::FillRectA), 32).operations[3];
    EXPECT_EQ(a.x, double(int(a.x)));
    EXPECT_EQ(a.w, 32);
    const Operation u = generateBatch(scene(SceneKind::FillRectU), 32).operations[3];
    EXPECT_EQ(u.w, 31.5);
    EXPECT_EQ(u.coords[2], u.x + 31.5);  // second corner
    EXPECT_EQ(u.coords[5], u.y + 31.5);  // third corner

    // The rounded box: corner radius 8 at size 32, the first corner curve
    // leaving the left edge straight down and ending on the bottom edge.
    const Operation r = generateBatch(scene(SceneKind::FillRoundU), 32).operations[3];
    EXPECT_DOUBLE_EQ(r.coords[1], r.y + 8);                    // move
    EXPECT_DOUBLE_EQ(r.coords[3], r.y + 24);                   // line down the left edge
    EXPECT_DOUBLE_EQ(r.coords[4], r.x);                        // first control point
    EXPECT_DOUBLE_EQ(r.coords[5], r.y + 24 + 8 * kKappa);      //
    EXPECT_DOUBLE_EQ(r.coords[8], r.x + 8);                    // curve end
    EXPECT_DOUBLE_EQ(r.coords[9], r.y + 32);                   //
    EXPECT_DOUBLE_EQ(r.coords[r.coords.size() - 1], r.y + 8);  // back at the start
}

TEST(CompareScenesTest, SameSceneAndSizeGiveTheSameOperations) {
    // The same scene and size give the same operations every time; another
    // size gives other ones.
    const Batch a = generateBatch(scene(SceneKind::FillPoly10NZ), 32);
    const Batch b = generateBatch(scene(SceneKind::FillPoly10NZ), 32);
    const Batch c = generateBatch(scene(SceneKind::FillPoly10NZ), 128);
    EXPECT_EQ(a.operations[999].coords, b.operations[999].coords);
    EXPECT_NE(a.operations[0].x, c.operations[0].x);
}

TEST(CompareScenesTest, SecondGradientStopSwapsRedAndBlue) {
    Operation op;
    op.r = 0x12;
    op.g = 0x34;
    op.b = 0x56;
    op.a = 201;
    EXPECT_EQ(op.argb(), 0xC9123456u);
    EXPECT_EQ(op.secondStop(), uint32_t(255 - 100) << 24 | 0x563412u);
}

TEST(CompareScenesTest, ImagesArePremultipliedAndTheTextureOpaque) {
    const std::vector<uint32_t> texture = texturePixels();
    ASSERT_EQ(texture.size(), size_t(kTextureSize * kTextureSize));
    for (const uint32_t p : texture) ASSERT_EQ(p >> 24, 0xFFu);
    EXPECT_NE(texture[0], texture[8]);  // neighbouring checks differ

    const std::vector<uint32_t> image = imagePixels();
    ASSERT_EQ(image.size(), size_t(kImageSize * kImageSize));
    EXPECT_EQ(image.front() >> 24, 96u);
    EXPECT_EQ(image.back() >> 24, 255u);
    for (const uint32_t p : image) {
        const uint32_t a = p >> 24;
        ASSERT_LE(p >> 16 & 0xFF, a);
        ASSERT_LE(p >> 8 & 0xFF, a);
        ASSERT_LE(p & 0xFF, a);
    }
}

}  // namespace
}  // namespace lumo_bench
