// The draw node and the immediate-mode drawing primitives, drawn by the real director and read
// back from the frame; plus the draw node's vertex bookkeeping and its handling of degenerate
// shapes.

#include "engine/core/CCDrawNode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "engine/core/ccDrawingPrimitives.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"

namespace {

constexpr ccColor3B kBlack{0, 0, 0};
constexpr ccColor4F kRed{1, 0, 0, 1};
constexpr ccColor4F kGreen{0, 1, 0, 1};
constexpr ccColor4F kBlue{0, 0, 1, 1};
constexpr ccColor4F kWhite{1, 1, 1, 1};

// A node that draws whatever the test gives it, with the primitives.
class PrimitivesNode : public CCNode {
public:
    void draw() override {
        if (drawing) drawing();
    }
    std::function<void()> drawing;
};

using CCDrawNodeGLTest = GLSceneTest;

TEST_F(CCDrawNodeGLTest, GrowsItsBufferAndIgnoresShapesItCannotDraw) {
    auto node = CCDrawNode::node();
    for (int i = 0; i < 85; ++i) node->drawDot({double(i), 10}, 2, kRed);  // 6 vertices each
    EXPECT_EQ(node->bufferCapacity(), 512u);
    node->drawDot({0, 0}, 2, kRed);
    EXPECT_EQ(node->bufferCount(), 516u);
    EXPECT_EQ(node->bufferCapacity(), 1024u);
    node->clear();

    // Polygons of fewer than two vertices are ignored; two make an outline without a fill.
    const CGPoint square[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    node->drawPolyWithVerts(square, 1, kBlue, 1, kWhite);
    node->drawPolyWithVerts(nullptr, 4, kBlue, 1, kWhite);
    EXPECT_EQ(node->bufferCount(), 0u);
    node->drawPolyWithVerts(square, 2, kBlue, 1, kWhite);
    EXPECT_EQ(node->bufferCount(), 12u);

    // Colours outside 0..1 are limited to it.
    node->drawDot({0, 0}, 1, {2, -1, std::numeric_limits<float>::quiet_NaN(), 0.5f});
    EXPECT_EQ(node->buffer()[12].colors, (ccColor4B{255, 0, 0, 127}));
}

TEST_F(CCDrawNodeGLTest, DegenerateShapesNeverMakeNaNVertices) {
    auto node = CCDrawNode::node();
    // A segment without length is a disc.
    node->drawSegmentFrom({60, 60}, {60, 60}, 10, kRed);
    // Repeated vertices, a spike that doubles back on itself, and a polygon that is one point.
    const CGPoint repeated[5] = {{150, 20}, {150, 20}, {150, 100}, {230, 100}, {230, 20}};
    node->drawPolyWithVerts(repeated, 5, kGreen, 2, kWhite);
    const CGPoint spike[4] = {{20, 150}, {100, 150}, {20, 150}, {20, 220}};
    node->drawPolyWithVerts(spike, 4, kBlue, 1, kWhite);
    node->drawPolyWithVerts(spike, 4, kBlue, 0, kWhite);
    const CGPoint point[3] = {{300, 200}, {300, 200}, {300, 200}};
    node->drawPolyWithVerts(point, 3, kBlue, 1, kWhite);
    // Every vertex is finite, and none is pushed out of the window where the spike turns back:
    // every shape lies at least ten border widths inside it.
    for (uint64_t i = 0; i < node->bufferCount(); ++i) {
        const ccV2F_C4B_T2F& v = node->buffer()[i];
        EXPECT_TRUE(std::isfinite(v.texCoords.u) && std::isfinite(v.texCoords.v)) << i;
        EXPECT_TRUE(v.vertices.x >= 0 && v.vertices.x <= kWidth && v.vertices.y >= 0 && v.vertices.y <= kHeight) << i;
    }

    scene_->addChild(node.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(66, 60, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(67, 67, kBlack));  // round, not square
    EXPECT_TRUE(pixelNear(190, 60, {0, 255, 0}));  // the polygon with a repeated vertex fills
}

TEST_F(CCDrawNodeGLTest, DrawsDotsSegmentsAndPolygonsInOneCall) {
    auto node = CCDrawNode::node();
    node->drawDot({80.5, 120.5}, 20, kRed);
    node->drawDot({30.5, 30.5}, 10, {0, 0, 1, 0.5f});  // translucent: premultiplied over black
    node->drawSegmentFrom({150, 60.5}, {290, 60.5}, 6, kGreen);
    // Clockwise, filled blue with a white outline 2 wide.
    const CGPoint square[4] = {{160, 140}, {160, 220}, {260, 220}, {260, 140}};
    node->drawPolyWithVerts(square, 4, kBlue, 2, kWhite);
    // A triangle with the anti-aliased fringe instead of an outline.
    const CGPoint triangle[3] = {{20, 160}, {60, 230}, {100, 160}};
    node->drawPolyWithVerts(triangle, 3, {1, 1, 0, 1}, 0, kWhite);
    scene_->addChild(node.get());

    const uint64_t callsBefore = ccDrawCallCounter;
    runFrames(1);
    EXPECT_EQ(ccDrawCallCounter, callsBefore + 1);

    const struct {
        int x, y;
        ccColor3B color;
    } samples[] = {
        {95, 120, {255, 0, 0}}, {98, 138, kBlack},           // dot, clear at the corner of its square
        {30, 30, {0, 0, 128}},                                // translucent dot
        {220, 64, {0, 255, 0}}, {220, 68, kBlack},           // the stroke's half-width around the line
        {294, 60, {0, 255, 0}}, {295, 65, kBlack},           // round beyond the end
        {166, 180, {0, 0, 255}}, {160, 180, {255, 255, 255}},  // polygon fill and outline
        {60, 180, {255, 255, 0}},                             // filled triangle
    };
    for (const auto& sample : samples) EXPECT_TRUE(pixelNear(sample.x, sample.y, sample.color));

    // Cleared, the node draws nothing; redrawn every frame, it allocates nothing.
    node->clear();
    runFrames(1);
    EXPECT_TRUE(pixelNear(80, 120, kBlack));
    AllocationCounter counter;
    for (int i = 0; i < 10; ++i) {
        node->clear();
        node->drawPolyWithVerts(square, 4, kBlue, 2, kWhite);
        node->drawSegmentFrom({150, 60.5}, {290, 60.5}, 6, kGreen);
        node->drawDot({80.5, 120.5}, 20, kRed);
        runFrames(1);
    }
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(CCDrawNodeGLTest, PrimitivesDrawInTheCurrentColour) {
    auto node = makeRef<PrimitivesNode>();
    scene_->addChild(node.get());
    uint64_t emptyCircleCalls = 1;
    node->drawing = [&] {
        ccDrawColor4B(255, 0, 0, 255);
        ccDrawLine({10.5, 10.5}, {100.5, 10.5});
        ccDrawColor4F(0, 1, 0, 1);
        ccDrawRect({120.5, 10.5}, {180.5, 50.5});
        ccDrawSolidRect({20, 150}, {60, 190}, {1, 1, 0, 1});
        // The current colour was not changed by the solid rectangle.
        const CGPoint zigzag[3] = {{200.5, 10.5}, {230.5, 40.5}, {260.5, 10.5}};
        ccDrawPoly(zigzag, 3, true);

        ccDrawColor4F(0, 0, 1, 1);
        ccDrawCircle({240.5, 150.5}, 30, 0, 64, true);
        const uint64_t before = ccDrawCallCounter;
        ccDrawCircle({100.5, 200.5}, 20, 0, 0, true);  // no segments: nothing
        emptyCircleCalls = ccDrawCallCounter - before;

        ccDrawColor4F(1, 1, 1, 1);
        ccPointSize(5);
        ccDrawPoint({200.5, 100.5});
        const CGPoint points[2] = {{20.5, 100.5}, {40.5, 100.5}};
        ccDrawPoints(points, 2);
        ccPointSize(1);

        ccDrawColor4F(1, 0, 1, 1);
        ccDrawQuadBezier({100.5, 60.5}, {130.5, 100.5}, {160.5, 60.5}, 16);
        ccDrawCubicBezier({100.5, 120.5}, {110.5, 140.5}, {150.5, 140.5}, {160.5, 120.5}, 16);
    };
    runFrames(1);
    EXPECT_EQ(emptyCircleCalls, 0u);

    const struct {
        int x, y;
        ccColor3B color;
    } samples[] = {
        {50, 10, {255, 0, 0}},     {50, 12, kBlack},          // line
        {180, 30, {0, 255, 0}},    {150, 30, kBlack},         // rectangle outline
        {40, 170, {255, 255, 0}},  {230, 10, {0, 255, 0}},    // solid rectangle, closing edge of the polygon
        {240, 180, {0, 0, 255}},   {255, 150, {0, 0, 255}},   // circle and its line to the centre
        {202, 102, {255, 255, 255}}, {40, 100, {255, 255, 255}},  // a 5-pixel point, the points
        {130, 80, {255, 0, 255}},  {130, 135, {255, 0, 255}},  // the curves pass their middle points
    };
    for (const auto& sample : samples) EXPECT_TRUE(pixelNear(sample.x, sample.y, sample.color));
}

}  // namespace
