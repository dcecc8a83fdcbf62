#include "engine/actions/interval/CCFollow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

#include "engine/actions/interval/CCOrbitCamera.h"
#include "engine/core/CCNode.h"
#include "platform/foundation/NamedException.h"
#include "support/HeadlessDirectorTest.h"

namespace {

// A headless director with a 480 x 320 window.
struct WindowedDirector : CCDirectorDisplayLink {
    CGSize winSize() const override { return {480, 320}; }
};

class CCFollowCameraTest : public HeadlessDirectorTest {
protected:
    void SetUp() override { CCDirector::setSharedDirector(makeRef<WindowedDirector>()); }
    RefPtr<CCNode> followed = CCNode::node();
    RefPtr<CCNode> world = CCNode::node();
};

TEST_F(CCFollowCameraTest, KeepsTheFollowedNodeCentredWithinTheWorldUntilItLeaves) {
    const struct {
        std::optional<CGRect> boundary;
        CGPoint followedAt, expected;
    } rows[] = {
        {std::nullopt, {100, 50}, {140, 110}},
        {CGRectMake(0, 0, 480, 320), {100, 50}, {7, 7}},       // the window's size: never moved
        {CGRectMake(0, 0, 100, 100), {100, 50}, {7, 7}},       // smaller: centred, never moved
        {CGRectMake(0, 0, 960, 320), {600, 300}, {-360, 0}},   // wider: moves sideways only
        {CGRectMake(0, 0, 960, 320), {50, 10}, {0, 0}},
        {CGRectMake(-100, 0, 960, 640), {900, 600}, {-380, -320}},
    };
    for (const auto& row : rows) {
        RefPtr<CCFollow> follow = row.boundary ? CCFollow::actionWithTarget(followed, *row.boundary)
                                               : CCFollow::actionWithTarget(followed);
        // A copy keeps the followed node and the boundary.
        for (RefPtr<CCAction> action : {RefPtr<CCAction>(follow), follow->copy()}) {
            world->setPosition({7, 7});
            followed->setPosition(row.followedAt);
            action->startWithTarget(world.get());
            action->step(0.1f);
            EXPECT_EQ(world->position(), row.expected);
        }
    }
    // Done once the followed node leaves; it needs one.
    RefPtr<CCFollow> follow = CCFollow::actionWithTarget(followed);
    followed->onEnter();
    EXPECT_FALSE(follow->isDone());
    followed->onExit();
    EXPECT_TRUE(follow->isDone());
    EXPECT_THROW(CCFollow::actionWithTarget(nullptr), NamedException);
    EXPECT_TRUE(makeRef<CCFollow>()->isDone());  // never initialised
}

TEST_F(CCFollowCameraTest, OrbitSwingsTheEyeFromTheTopOfTheSphereToTheBottom) {
    const float z = CCCamera::getZEye();
    world->camera()->setCenterX(1, 0, 0);
    auto orbit = CCOrbitCamera::actionWithDuration(1, 1, 0, 0, 180, 0, 0);
    RefPtr<CCAction> copy = orbit->copy();
    RefPtr<CCAction> reverse = orbit->reverse();
    const struct {
        CCAction* action;
        float t;
        float eye[3];
    } rows[] = {
        {orbit.get(), 0, {1, 0, z}}, {orbit.get(), 0.5f, {1 + z, 0, 0}}, {copy.get(), 1, {1, 0, -z}},
        {reverse.get(), 0, {1, 0, -z}},
    };
    for (const auto& row : rows) {
        row.action->startWithTarget(world.get());
        row.action->update(row.t);
        float eye[3];
        world->camera()->eyeX(&eye[0], &eye[1], &eye[2]);
        EXPECT_THAT(eye, testing::Pointwise(testing::FloatNear(1e-9f), row.eye)) << row.t;
    }
    // An eye on -x of the centre, at the standard distance: radius 1, zenith and azimuth pi/2, pi.
    world->camera()->setEyeX(1 - z, 0, 0);
    float spherical[3];
    orbit->sphericalRadius(&spherical[0], &spherical[1], &spherical[2]);
    EXPECT_THAT(spherical, testing::Pointwise(testing::FloatNear(1e-6f), {1.0f, 1.5707964f, 3.1415927f}));
}

}  // namespace
