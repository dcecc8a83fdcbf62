#include <gtest/gtest.h>

#include "engine/core/CCNode.h"
#include "engine/core/math/kmGLMatrix.h"
#include "support/HeadlessDirectorTest.h"

namespace {

// Keeps the model-view matrix it is drawn with.
class MatrixNode : public CCNode {
public:
    void draw() override { kmGLGetMatrix(KM_GL_MODELVIEW, &drawnWith); }
    kmMat4 drawnWith;
};

void expectNear(const CGAffineTransform& t, const CGAffineTransform& expected, const char* what) {
    const double got[] = {t.a, t.b, t.c, t.d, t.tx, t.ty};
    const double want[] = {expected.a, expected.b, expected.c, expected.d, expected.tx, expected.ty};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i], want[i], 1e-3) << what << ", element " << i;
}

using CCNodeTransformTest = HeadlessDirectorTest;

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

}  // namespace
