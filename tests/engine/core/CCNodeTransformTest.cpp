#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/CCDirectorDisplayLink.h"
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

CGPoint applyTo(const CGAffineTransform& t, CGPoint p) {
    return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}

void expectTransform(const CGAffineTransform& t, double a, double b, double c, double d, double tx, double ty,
                     double tolerance = 1e-5) {
    EXPECT_NEAR(t.a, a, tolerance);
    EXPECT_NEAR(t.b, b, tolerance);
    EXPECT_NEAR(t.c, c, tolerance);
    EXPECT_NEAR(t.d, d, tolerance);
    EXPECT_NEAR(t.tx, tx, tolerance);
    EXPECT_NEAR(t.ty, ty, tolerance);
}

void expectPoint(CGPoint p, double x, double y, double tolerance = 1e-4) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
}

void expectRect(CGRect r, double x, double y, double width, double height) {
    expectPoint(r.origin, x, y);
    EXPECT_NEAR(r.size.width, width, 1e-4);
    EXPECT_NEAR(r.size.height, height, 1e-4);
}

// The affine part of a column-major 4x4 matrix against a transform.
void expectMatrixIs(const kmMat4& m, const CGAffineTransform& t, float z = 0) {
    EXPECT_NEAR(m.mat[0], t.a, 1e-3);
    EXPECT_NEAR(m.mat[1], t.b, 1e-3);
    EXPECT_NEAR(m.mat[4], t.c, 1e-3);
    EXPECT_NEAR(m.mat[5], t.d, 1e-3);
    EXPECT_NEAR(m.mat[12], t.tx, 1e-3);
    EXPECT_NEAR(m.mat[13], t.ty, 1e-3);
    EXPECT_NEAR(m.mat[14], z, 1e-5);
}

using CCNodeTransformTest = HeadlessDirectorTest;

TEST_F(CCNodeTransformTest, PlacesTheAnchorPointAtThePosition) {
    auto node = CCNode::node();
    node->setPosition({100, 50});
    node->setAnchorPoint({0.5, 0.5});
    node->setContentSize({20, 10});
    expectTransform(node->nodeToParentTransform(), 1, 0, 0, 1, 90, 45);
    expectRect(node->boundingBox(), 90, 45, 20, 10);

    // A quarter turn clockwise about the anchor point.
    node->setRotation(90);
    expectTransform(node->nodeToParentTransform(), 0, -1, 1, 0, 95, 60);
    expectPoint(node->convertToWorldSpace(node->anchorPointInPoints()), 100, 50);
    expectRect(node->boundingBox(), 95, 40, 10, 20);

    // Different X and Y rotations shear: X turns the local y axis, Y the local x axis.
    node->setRotation(0);
    node->setRotationX(90);
    expectTransform(node->nodeToParentTransform(), 1, 0, 1, 0, 85, 50);
    node->setRotationX(0);
    node->setRotationY(90);
    expectTransform(node->nodeToParentTransform(), 0, -1, 0, 1, 100, 55);

    // Ignoring the anchor point: the position places the lower-left corner.
    auto corner = CCNode::node();
    corner->setAnchorPoint({0.5, 0.5});
    corner->setContentSize({20, 10});
    corner->setIgnoreAnchorPointForPosition(true);
    expectPoint(corner->convertToWorldSpace(CGPointZero), 0, 0);
    expectRect(corner->boundingBox(), 0, 0, 20, 10);
    corner->setScale(2);
    expectTransform(corner->nodeToParentTransform(), 2, 0, 0, 2, -10, -5);
}

TEST_F(CCNodeTransformTest, SkewComesBeforeScaleAndRotationAndAfterTheAnchorOffset) {
    auto node = CCNode::node();
    node->setAnchorPoint({0.5, 0.5});
    node->setContentSize({20, 10});
    node->setSkewX(45);
    expectTransform(node->nodeToParentTransform(), 1, 0, 1, 1, -15, -5);

    node->setScale(2);
    node->setPosition({5, 5});
    expectTransform(node->nodeToParentTransform(), 2, 0, 2, 2, -25, -5);

    node->setSkewX(0);
    node->setSkewY(45);
    node->setScale(1);
    node->setPosition(CGPointZero);
    expectTransform(node->nodeToParentTransform(), 1, 1, 0, 1, -10, -15);
}

TEST_F(CCNodeTransformTest, ConversionsRoundTripThroughAChainAndMatchTheDrawingMatrix) {
    auto root = makeRef<MatrixNode>();
    auto middle = makeRef<MatrixNode>();
    auto leaf = makeRef<MatrixNode>();
    root->addChild(middle.get());
    middle->addChild(leaf.get());
    root->setPosition({30, 40});
    root->setRotation(30);
    root->setScale(1.5f);
    middle->setContentSize({40, 30});
    middle->setAnchorPoint({0.25, 0.75});
    middle->setIgnoreAnchorPointForPosition(true);
    middle->setSkewX(10);
    middle->setSkewY(-20);
    middle->setScaleX(0.5f);
    middle->setScaleY(2);
    middle->setPosition({-12, 8});
    leaf->setContentSize({8, 8});
    leaf->setAnchorPoint({1, 0});
    leaf->setRotationX(15);
    leaf->setRotationY(25);
    leaf->setPosition({-7, 3});
    leaf->setVertexZ(2);

    for (const CGPoint p : {CGPointMake(0, 0), CGPointMake(3.5, -2), CGPointMake(-100, 250)}) {
        expectPoint(leaf->convertToNodeSpace(leaf->convertToWorldSpace(p)), p.x, p.y, 1e-3);
        expectPoint(leaf->convertToNodeSpaceAR(leaf->convertToWorldSpaceAR(p)), p.x, p.y, 1e-3);
        // World space is the parent's world space of the point in the parent's space.
        const CGPoint inRoot = applyTo(middle->nodeToParentTransform(), p);
        const CGPoint expected = root->convertToWorldSpace(inRoot);
        expectPoint(middle->convertToWorldSpace(p), expected.x, expected.y, 1e-3);
    }
    // The AR pair measures from the anchor point.
    const CGPoint anchor = leaf->convertToWorldSpace(leaf->anchorPointInPoints());
    expectPoint(leaf->convertToWorldSpaceAR(CGPointZero), anchor.x, anchor.y);
    expectPoint(leaf->convertToWindowSpace({5, 5}), 0, 0);

    // Drawing applies the same transforms to the model-view matrix, with the depth on top.
    kmGLFreeStacks();
    root->visit();
    expectMatrixIs(root->drawnWith, root->nodeToWorldTransform());
    expectMatrixIs(middle->drawnWith, middle->nodeToWorldTransform());
    expectMatrixIs(leaf->drawnWith, leaf->nodeToWorldTransform(), 2);

    // The ancestors alone, root first.
    kmGLFreeStacks();
    leaf->transformAncestors();
    kmMat4 ancestors;
    kmGLGetMatrix(KM_GL_MODELVIEW, &ancestors);
    expectMatrixIs(ancestors, middle->nodeToWorldTransform());
}

TEST_F(CCNodeTransformTest, CachesFollowTheSettersAndSingularTransformsStayAsTheyAre) {
    auto node = CCNode::node();
    node->setPosition({4, 6});
    expectTransform(node->parentToNodeTransform(), 1, 0, 0, 1, -4, -6);
    node->setScale(2);
    expectTransform(node->parentToNodeTransform(), 0.5, 0, 0, 0.5, -2, -3);

    // The depth is not part of the cached transforms.
    const CGAffineTransform before = node->nodeToParentTransform();
    node->setVertexZ(7);
    EXPECT_EQ(node->nodeToParentTransform(), before);

    // Scaled to nothing: the inverse is the transform itself, and conversions stay finite.
    node->setScale(0);
    EXPECT_EQ(node->parentToNodeTransform(), node->nodeToParentTransform());
    const CGPoint p = node->convertToNodeSpace({1, 1});
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));

    auto child = CCNode::node();
    node->addChild(child.get());
    const CGAffineTransform world = child->worldToNodeTransform();
    EXPECT_TRUE(std::isfinite(world.a) && std::isfinite(world.tx));
}

}  // namespace
