// The draw node and the immediate-mode drawing primitives, drawn by the real director and read
// back from the frame; plus the draw node's vertex bookkeeping and its handling of degenerate
// shapes.

#include "engine/core/CCDrawNode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/ccDrawingPrimitives.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"

namespace {

constexpr ccColor3B kBlack{0, 0, 0};
constexpr ccColor4F kRed{1, 0, 0, 1};
constexpr ccColor4F kGreen{0, 1, 0, 1};
constexpr ccColor4F kBlue{0, 0, 1, 1};
constexpr ccColor4F kWhite{1, 1, 1, 1};

bool allFinite(const CCDrawNode& node) {
    for (uint64_t i = 0; i < node.bufferCount(); ++i) {
        const ccV2F_C4B_T2F& v = node.buffer()[i];
        for (float f : {v.vertices.x, v.vertices.y, v.texCoords.u, v.texCoords.v}) {
            if (!std::isfinite(f)) return false;
        }
    }
    return true;
}

// A node that draws whatever the test gives it, with the primitives.
class PrimitivesNode : public CCNode {
public:
    void draw() override {
        if (drawing) drawing();
    }
    std::function<void()> drawing;
};

using CCDrawNodeGLTest = GLSceneTest;

TEST_F(CCDrawNodeGLTest, CountsVerticesAndGrowsItsBuffer) {
    auto node = CCDrawNode::node();
    EXPECT_EQ(node->bufferCapacity(), 512u);
    for (int i = 0; i < 85; ++i) node->drawDot({double(i), 10}, 2, kRed);
    EXPECT_EQ(node->bufferCount(), 510u);
    EXPECT_EQ(node->bufferCapacity(), 512u);
    node->drawDot({0, 0}, 2, kRed);  // the 86th
    EXPECT_EQ(node->bufferCount(), 516u);
    EXPECT_EQ(node->bufferCapacity(), 1024u);
    for (int i = 0; i < 14; ++i) node->drawDot({0, 0}, 2, kRed);
    EXPECT_EQ(node->bufferCount(), 600u);

    // A dot's texture coordinates span the square from (-1, -1) to (1, 1); colours are bytes.
    const ccV2F_C4B_T2F* dot = node->buffer();
    EXPECT_EQ(dot[0].vertices, (ccVertex2F{-2, 8}));
    EXPECT_EQ(dot[0].texCoords, (ccTex2F{-1, -1}));
    EXPECT_EQ(dot[2].texCoords, (ccTex2F{1, 1}));

    node->clear();
    EXPECT_EQ(node->bufferCapacity(), 1024u);

    node->drawSegmentFrom({0, 0}, {10, 0}, 2, kGreen);
    EXPECT_EQ(node->bufferCount(), 18u);
    const CGPoint square[4] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    node->drawPolyWithVerts(square, 4, kBlue, 0, kWhite);  // 6 fill + 24 fringe
    EXPECT_EQ(node->bufferCount(), 48u);
    node->drawPolyWithVerts(square, 3, kBlue, 1, kWhite);  // 3 fill + 18 outline
    EXPECT_EQ(node->bufferCount(), 69u);
    node->drawPolyWithVerts(square, 2, kBlue, 1, kWhite);  // no fill
    EXPECT_EQ(node->bufferCount(), 81u);

    // Polygons of fewer than two vertices are ignored.
    node->drawPolyWithVerts(square, 1, kBlue, 1, kWhite);
    node->drawPolyWithVerts(square, 0, kBlue, 1, kWhite);
    node->drawPolyWithVerts(nullptr, 4, kBlue, 1, kWhite);
    EXPECT_EQ(node->bufferCount(), 81u);
    EXPECT_TRUE(allFinite(*node));

    // Colours outside 0..1 are limited to it.
    node->drawDot({0, 0}, 1, {2, -1, std::numeric_limits<float>::quiet_NaN(), 0.5f});
    EXPECT_EQ(node->buffer()[81].colors, (ccColor4B{255, 0, 0, 127}));
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
    EXPECT_TRUE(allFinite(*node));

    // The extrusion where the spike turns back stays near the vertex (within ten border widths).
    const uint64_t spikeOutline = 18 + (9 * 5 - 6) + 3 * (4 - 2);
    for (uint64_t i = spikeOutline; i < spikeOutline + 24; ++i) {
        const ccVertex2F v = node->buffer()[i].vertices;
        EXPECT_LE(std::fabs(v.x - 60), 40 + 10.0f);
        EXPECT_LE(std::fabs(v.y - 185), 35 + 10.0f);
    }

    scene_->addChild(node.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(60, 60, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(66, 60, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(72, 60, kBlack));
    EXPECT_TRUE(pixelNear(67, 67, kBlack));  // round, not square
    EXPECT_TRUE(pixelNear(190, 60, {0, 255, 0}));  // the polygon with a repeated vertex fills
    EXPECT_TRUE(pixelNear(150, 60, {255, 255, 255}));
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

    // Dot: its colour at the centre and well inside, clear outside the disc and at the corners of
    // its square.
    EXPECT_TRUE(pixelNear(80, 120, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(95, 120, {255, 0, 0}));
    EXPECT_TRUE(pixelNear(102, 120, kBlack));
    EXPECT_TRUE(pixelNear(98, 138, kBlack));
    EXPECT_TRUE(pixelNear(30, 30, {0, 0, 128}));

    // Segment: the stroke's half-width around the line, round beyond both ends.
    EXPECT_TRUE(pixelNear(220, 64, {0, 255, 0}));
    EXPECT_TRUE(pixelNear(220, 68, kBlack));
    EXPECT_TRUE(pixelNear(294, 60, {0, 255, 0}));
    EXPECT_TRUE(pixelNear(298, 60, kBlack));
    EXPECT_TRUE(pixelNear(295, 65, kBlack));

    // Polygon: fill inside, the outline on the edges, clear outside.
    EXPECT_TRUE(pixelNear(166, 180, {0, 0, 255}));
    EXPECT_TRUE(pixelNear(160, 180, {255, 255, 255}));
    EXPECT_TRUE(pixelNear(259, 141, {255, 255, 255}));
    EXPECT_TRUE(pixelNear(154, 180, kBlack));

    // Filled triangle.
    EXPECT_TRUE(pixelNear(60, 180, {255, 255, 0}));
    EXPECT_TRUE(pixelNear(25, 200, kBlack));

    // Cleared, the node draws nothing (still one call).
    node->clear();
    runFrames(1);
    EXPECT_TRUE(pixelNear(80, 120, kBlack));
}

TEST_F(CCDrawNodeGLTest, RedrawingTheSameShapesEveryFrameAllocatesNothing) {
    auto node = CCDrawNode::node();
    scene_->addChild(node.get());
    const CGPoint hexagon[6] = {{100, 100}, {90, 120}, {100, 140}, {120, 140}, {130, 120}, {120, 100}};
    auto redraw = [&] {
        node->clear();
        node->drawPolyWithVerts(hexagon, 6, kBlue, 1, kWhite);
        node->drawSegmentFrom({10, 10}, {50, 50}, 3, kGreen);
        node->drawDot({200, 200}, 5, kRed);
    };
    redraw();
    runFrames(2);

    AllocationCounter counter;
    for (int i = 0; i < 10; ++i) {
        redraw();
        runFrames(1);
    }
    EXPECT_EQ(counter.count(), 0u);
}

TEST_F(CCDrawNodeGLTest, PrimitivesDrawInTheCurrentColour) {
    auto node = makeRef<PrimitivesNode>();
    scene_->addChild(node.get());
    uint64_t lineCalls = 0, rectCalls = 0, solidCalls = 0, emptyCircleCalls = 1;
    node->drawing = [&] {
        ccDrawColor4B(255, 0, 0, 255);
        uint64_t before = ccDrawCallCounter;
        ccDrawLine({10.5, 10.5}, {100.5, 10.5});
        lineCalls = ccDrawCallCounter - before;

        ccDrawColor4F(0, 1, 0, 1);
        before = ccDrawCallCounter;
        ccDrawRect({120.5, 10.5}, {180.5, 50.5});
        rectCalls = ccDrawCallCounter - before;

        before = ccDrawCallCounter;
        ccDrawSolidRect({20, 150}, {60, 190}, {1, 1, 0, 1});
        solidCalls = ccDrawCallCounter - before;

        // The current colour was not changed by the solid rectangle.
        const CGPoint zigzag[3] = {{200.5, 10.5}, {230.5, 40.5}, {260.5, 10.5}};
        ccDrawPoly(zigzag, 3, true);

        ccDrawColor4F(0, 0, 1, 1);
        ccDrawCircle({240.5, 150.5}, 30, 0, 64, true);
        before = ccDrawCallCounter;
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
    EXPECT_EQ(lineCalls, 1u);
    EXPECT_EQ(rectCalls, 4u);
    EXPECT_EQ(solidCalls, 0u);
    EXPECT_EQ(emptyCircleCalls, 0u);

    EXPECT_TRUE(pixelNear(50, 10, {255, 0, 0}));   // line
    EXPECT_TRUE(pixelNear(50, 12, kBlack));
    EXPECT_TRUE(pixelNear(180, 30, {0, 255, 0}));  // rectangle outline
    EXPECT_TRUE(pixelNear(150, 30, kBlack));
    EXPECT_TRUE(pixelNear(40, 170, {255, 255, 0}));  // solid rectangle
    EXPECT_TRUE(pixelNear(230, 10, {0, 255, 0}));    // closing edge of the polygon
    EXPECT_TRUE(pixelNear(240, 180, {0, 0, 255}));   // circle
    EXPECT_TRUE(pixelNear(255, 150, {0, 0, 255}));   // line to the centre
    EXPECT_TRUE(pixelNear(240, 165, kBlack));
    EXPECT_TRUE(pixelNear(202, 102, {255, 255, 255}));  // a 5-pixel point
    EXPECT_TRUE(pixelNear(203, 100, kBlack));
    EXPECT_TRUE(pixelNear(40, 100, {255, 255, 255}));
    EXPECT_TRUE(pixelNear(100, 60, {255, 0, 255}));   // curves start at their origin
    EXPECT_TRUE(pixelNear(130, 80, {255, 0, 255}));   // and pass their middle points
    EXPECT_TRUE(pixelNear(130, 135, {255, 0, 255}));
    EXPECT_TRUE(pixelNear(130, 70, kBlack));

    // The program's point size is the size times the content scale factor.
    director_->setContentScaleFactor(2);
    node->drawing = [] {
        ccPointSize(2);
        ccDrawPoint({10, 10});
        ccPointSize(1);
    };
    runFrames(1);
    director_->setContentScaleFactor(1);
    RefPtr<CCGLProgram> program = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_Position_uColor);
    GLfloat uploaded = 0;
    glGetUniformfv(program->program(), program->uniformLocation("u_pointSize"), &uploaded);
    EXPECT_EQ(uploaded, 4.0f);
}

}  // namespace
