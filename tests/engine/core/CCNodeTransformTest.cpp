#include <gtest/gtest.h>

#include "engine/core/CCNode.h"
#include "engine/core/math/kmGLMatrix.h"
#include "support/HeadlessDirectorTest.h"
#include "tests/engine/core/math/MathTestSupport.h"

namespace {

// Keeps the model-view matrix it is drawn with.
class MatrixNode : public CCNode {
public:
    void draw() override { kmGLGetMatrix(KM_GL_MODELVIEW, &drawnWith); }
    kmMat4 drawnWith;
};

// Placed by a transform of its own rather than by its properties, as a physics body's node is.
class PlacedNode : public MatrixNode {
public:
    const CGAffineTransform& nodeToParentTransform() override { return placement; }
    CGAffineTransform placement{0.5, 1, -1, 0.5, 7, 8};
};

void expectNear(const CGAffineTransform& t, const CGAffineTransform& expected, const char* what) {
    const double got[] = {t.a, t.b, t.c, t.d, t.tx, t.ty};
    const double want[] = {expected.a, expected.b, expected.c, expected.d, expected.tx, expected.ty};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i], want[i], 1e-3) << what << ", element " << i;
}

using CCNodeTransformTest = HeadlessDirectorTest;

// An active grid that moves the matrix before the node's transform is applied.
class ShiftingGrid : public CCNodeGrid {
public:
    bool active() const override { return true; }
    void beforeDraw() override { kmGLTranslate(1, -2, 3); }
    void afterDraw(CCNode*) override {}
};

// The node's transform as the general 4x4 matrix, depth as z translation.
kmMat4 embedded(CCNode& node) {
    const CGAffineTransform& t = node.nodeToParentTransform();
    return {{float(t.a), float(t.b), 0, 0, float(t.c), float(t.d), 0, 0, 0, 0, 1, 0, float(t.tx), float(t.ty),
             node.vertexZ(), 1}};
}

// A 20 x 10 node anchored at its centre; rotations and skews are clockwise degrees.
TEST_F(CCNodeTransformTest, TransformsFollowAnchorRotationSkewAndScaleByHand) {
    const struct {
        const char* what;
        CGPoint position;
        float rotationX, rotationY, skewX, skewY, scale;
        bool atCorner;  // the position places the lower-left corner
        CGAffineTransform expected;
    } cases[] = {
        {"anchor at the position", {100, 50}, 0, 0, 0, 0, 1, false, {1, 0, 0, 1, 90, 45}},
        {"quarter turn about the anchor", {100, 50}, 90, 90, 0, 0, 1, false, {0, -1, 1, 0, 95, 60}},
        {"rotationX turns the y axis", {100, 50}, 90, 0, 0, 0, 1, false, {1, 0, 1, 0, 85, 50}},
        {"rotationY turns the x axis", {100, 50}, 0, 90, 0, 0, 1, false, {0, -1, 0, 1, 100, 55}},
        {"scaled about the corner", {0, 0}, 0, 0, 0, 0, 2, true, {2, 0, 0, 2, -10, -5}},
        {"skew after the anchor offset", {0, 0}, 0, 0, 45, 0, 1, false, {1, 0, 1, 1, -15, -5}},
        {"skew before the scale", {5, 5}, 0, 0, 45, 0, 2, false, {2, 0, 2, 2, -25, -5}},
        {"skewY", {0, 0}, 0, 0, 0, 45, 1, false, {1, 1, 0, 1, -10, -15}},
    };
    for (const auto& each : cases) {
        auto node = CCNode::node();
        node->setContentSize({20, 10});
        node->setAnchorPoint({0.5, 0.5});
        node->setPosition(each.position);
        node->setRotationX(each.rotationX);
        node->setRotationY(each.rotationY);
        node->setSkewX(each.skewX);
        node->setSkewY(each.skewY);
        node->setScale(each.scale);
        node->setIgnoreAnchorPointForPosition(each.atCorner);
        expectNear(node->nodeToParentTransform(), each.expected, each.what);
    }
}

TEST_F(CCNodeTransformTest, ConversionsRoundTripAndMatchTheDrawingMatrix) {
    auto root = makeRef<MatrixNode>(), leaf = makeRef<MatrixNode>();
    root->addChild(leaf.get());
    root->setPosition({30, 40});
    root->setRotation(30);
    root->setScaleX(1.5f);
    root->setSkewY(-20);
    leaf->setContentSize({8, 8});
    leaf->setAnchorPoint({1, 0});
    leaf->setRotationX(15);
    leaf->setSkewX(10);
    leaf->setPosition({-7, 3});
    leaf->setVertexZ(2);
    leaf->parentToNodeTransform();  // caches the inverse, which the next setter must drop
    leaf->setScaleY(2);
    expectNear(CGAffineTransformConcat(leaf->nodeToParentTransform(), leaf->parentToNodeTransform()),
               CGAffineTransformIdentity, "inverse");
    const CGPoint back = leaf->convertToNodeSpaceAR(leaf->convertToWorldSpaceAR({-100, 250}));
    EXPECT_NEAR(back.x, -100, 1e-3);
    EXPECT_NEAR(back.y, 250, 1e-3);
    // Drawing applies the same transforms to the model-view matrix, with the depth on top.
    kmGLFreeStacks();
    root->visit();
    const kmMat4& m = leaf->drawnWith;
    expectNear({m.mat[0], m.mat[1], m.mat[4], m.mat[5], m.mat[12], m.mat[13]}, leaf->nodeToWorldTransform(), "leaf");
    EXPECT_EQ(m.mat[14], 2);
}

// Drawing multiplies the node's transform into a general (projective) matrix as the full 4x4
// product would, for a node and for its child pushed on top of it.
TEST_F(CCNodeTransformTest, DrawingMatchesTheGeneralMatrixProduct) {
    kmMat4 projection, view, start;
    kmVec3 eye = {3, 4, 10}, center = {0, 1, 0}, up = {0.2f, 1, 0};
    kmMat4Multiply(&start, kmMat4MakePerspective(&projection, 60, 1.5f, 0.1f, 100),
                   kmMat4MakeLookAt(&view, &eye, &center, &up));
    const struct {
        const char* what;
        float rotation, skewX, skewY, scaleX, scaleY, vertexZ;
        bool camera, grid, placed;
    } cases[] = {
        {"rotation with skew", 30, 10, -20, 1, 1, 0, false, false, false},
        {"mirrored scale", 0, 0, 0, 2, -0.5f, 0, false, false, false},
        {"depth", 75, 0, 0, 1.5f, 1.5f, 7, false, false, false},
        {"camera moved", 15, 0, 0, 1, 1, -3, true, false, false},
        {"grid", 40, 5, 0, 1, 1, 2, false, true, false},
        {"transform overridden", 30, 0, 0, 1, 1, 2, false, false, true},
    };
    for (const auto& each : cases) {
        RefPtr<MatrixNode> node = each.placed ? RefPtr<MatrixNode>(makeRef<PlacedNode>()) : makeRef<MatrixNode>();
        auto child = makeRef<MatrixNode>();
        node->addChild(child.get());
        node->setContentSize({20, 10});
        node->setAnchorPoint({0.3, 0.7});
        node->setPosition({5, -3});
        node->setRotation(each.rotation);
        node->setSkewX(each.skewX);
        node->setSkewY(each.skewY);
        node->setScaleX(each.scaleX);
        node->setScaleY(each.scaleY);
        node->setVertexZ(each.vertexZ);
        if (each.camera) node->camera()->setEyeX(1, 2, 50);
        if (each.grid) node->setGrid(makeRef<ShiftingGrid>());
        child->setPosition({-4, 9});
        child->setRotation(-50);
        child->setVertexZ(1);

        kmGLFreeStacks();
        kmGLLoad(&start);
        if (each.grid) kmGLTranslate(1, -2, 3);
        kmMat4 general = embedded(*node);
        kmGLMultiply(&general);
        const CGPoint anchor = node->anchorPointInPoints();
        if (each.camera) {
            kmGLTranslate(float(anchor.x), float(anchor.y), 0);
            node->camera()->locate();
            kmGLTranslate(float(-anchor.x), float(-anchor.y), 0);
        }
        kmGLGetMatrix(KM_GL_MODELVIEW, &general);
        kmMat4 childGeneral = embedded(*child);
        kmMat4Multiply(&childGeneral, &general, &childGeneral);

        kmGLLoad(&start);
        node->visit();
        EXPECT_TRUE(elementsNear(general.mat, node->drawnWith.mat, 16, 0)) << each.what;
        EXPECT_TRUE(elementsNear(childGeneral.mat, child->drawnWith.mat, 16, 0)) << each.what;
    }
}

}  // namespace
