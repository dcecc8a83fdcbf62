#include "game/objects/Destructable.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/CCSprite.h"
#include "game/core/PhysicsSprite.h"
#include "game/objects/Animation.h"
#include "game/objects/Dynamic.h"
#include "platform/foundation/Log.h"
#include "support/AllocationCounter.h"
#include "tests/game/objects/ObjectTestWorld.h"

using game::Destructable;
using game::Dynamic;

namespace {

Value box(double side, double density = 1) {
    return array({dict({{"type", 4}, {"width", side}, {"height", side}, {"density", density}})});
}

const Value kPropData = dict(
    {{"gameobjects",
      dict({{"400", dict({{"type_name", "plank_box"},
                          {"hit_points", 100},
                          {"min_impulse_to_damage", 30},
                          {"image_names", array({"plank_box_1.png", "plank_box_2.png", "plank_box_3.png",
                                                 "plank_box_4.png"})},
                          {"damage_sound_effect", dict({{"sound_name", "wood_knock"}, {"volume", 0.4}})},
                          {"destruction_sound_effect", dict({{"sound_name", "wood_break"}, {"volume", 0.6}})},
                          {"destruction_effect", dict({{"effect_name", "puff"}})},
                          {"fixtures", box(40)}})},
            {"450", dict({{"type_name", "clay_jar"},
                          {"is_static_body", true},
                          {"hit_points", 5},
                          {"image_names", array({"clay_jar_1.png", "clay_jar_3.png"})},
                          {"fixtures", box(30)}})},
            {"451", dict({{"type_name", "stone"}, {"hit_points", 0}, {"fixtures", box(30)}})},
            {"500", dict({{"type_name", "crate"}, {"fixtures", box(24)}})},
            {"520", dict({{"type_name", "nothing"}, {"fixtures", box(24)}})},
            {"550", dict({{"type_name", "anvil"}, {"fixtures", box(40, 60)}})},
            {"800", dict({{"type_name", "butterfly"}, {"animation", dict({{"frame_count", 2}, {"fps", 8}})}})},
            {"801", dict({{"type_name", "stone"}})}})}});

// Records what a container is asked to drop.
class Container : public GameObject {
public:
    void removeChild(GameObject* child) override { removed.push_back(child); }
    std::vector<GameObject*> removed;
};

class DestructableTest : public ObjectTestWorld {
protected:
    void SetUp() override {
        ObjectTestWorld::SetUp();
        if (HasFatalFailure()) return;
        std::vector<std::pair<std::string, CGSize>> frames;
        for (const char* name : {"plank_box_1.png", "plank_box_2.png", "plank_box_3.png", "plank_box_4.png",
                                 "clay_jar_1.png", "clay_jar_3.png", "stone.png", "crate.png", "anvil.png",
                                 "butterfly_1.png", "butterfly_2.png"}) {
            frames.push_back({name, CGSizeMake(40, 40)});
        }
        addFrames(frames);
        load(kPropData);
    }

    RefPtr<Destructable> destructable(int32_t type, CGPoint position = CGPointMake(0, 1020), float scale = 1) {
        RefPtr<Destructable> made = Destructable::destructableWithType(type, position, 0, scale, scale);
        if (made) level_->addDestructable(made.get());
        return made;
    }
};

TEST_F(DestructableTest, ImpulsesAtOrAboveTheMinimumWearItDownToItsBrokenImage) {
    RefPtr<Destructable> plank = destructable(400);
    ASSERT_TRUE(plank);
    EXPECT_EQ(plank->shownImageIndex(), 3);
    struct Hit {
        float impulse;
        float hitPoints;
        int image;
    };
    const Hit hits[] = {{20, 100, 3}, {20, 100, 3}, {50, 50, 2}, {30, 20, 1}, {60, 0, 0}};
    for (const Hit& hit : hits) {
        plank->setAccumulatedImpulse(plank->accumulatedImpulse() + hit.impulse);
        plank->applyDamage();
        EXPECT_EQ(plank->accumulatedImpulse(), 0);
        EXPECT_FLOAT_EQ(plank->hitPoints(), hit.hitPoints) << hit.impulse;
        EXPECT_EQ(plank->shownImageIndex(), hit.image) << hit.impulse;
    }
    EXPECT_EQ(plank->hitPointsPerc(), 0);
    EXPECT_FALSE(plank->canBeDamaged());
    EXPECT_TRUE(plank->isGone());
    EXPECT_FALSE(level_->gameObjectsPriorityNone().contains(plank.get()));
    EXPECT_EQ(sounds_.count("wood_knock"), 2);
    EXPECT_EQ(sounds_.count("wood_break"), 1);
    plank->destroy();  // once only
    EXPECT_EQ(sounds_.count("wood_break"), 1);
}

TEST_F(DestructableTest, UndamageableDataAndBadScalesAreHandled) {
    RefPtr<Destructable> stone = destructable(451);
    ASSERT_TRUE(stone);
    EXPECT_FALSE(stone->canBeDamaged());
    stone->setAccumulatedImpulse(1000);
    stone->applyDamage();
    EXPECT_FALSE(stone->isGone());
    EXPECT_EQ(stone->getPrimaryBody(), nullptr);  // the base's: no primary body of its own
    LogCapture log;
    EXPECT_FALSE(Destructable::destructableWithType(400, CGPointMake(0, 1100), 0, 1, 0));
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(Destructable::destructableWithType(452, CGPointMake(0, 1100), 0, 0, 0));  // unscaled

    RefPtr<Destructable> jar = destructable(450);
    jar->onDayIsOver();
    EXPECT_FALSE(jar->canBeDamaged());
}

TEST_F(DestructableTest, ACarriedDestructableLeavesItsContainerAndAHeavyPropBreaksOneOnTheGround) {
    RefPtr<Container> container = makeRef<Container>();
    RefPtr<Destructable> carried = Destructable::destructableWithType(450, CGPointMake(300, 1015), 0, 1, 1);
    carried->setParent(container.get());
    carried->destroy();
    ASSERT_EQ(container->removed.size(), 1u);
    EXPECT_EQ(container->removed[0], carried.get());

    RefPtr<Destructable> jar = destructable(450, CGPointMake(0, 1015));
    EXPECT_EQ(jar->physicsSprite()->body()->GetType(), b2_staticBody);
    RefPtr<Dynamic> anvil = Dynamic::dynamicWithType(550, CGPointMake(0, 1300), 0, 1, 1);
    level_->addGameObject(anvil.get());
    for (int frame = 0; frame < 240 && !jar->isGone(); ++frame) run(1);
    EXPECT_TRUE(jar->isGone());
    EXPECT_EQ(jar->shownImageIndex(), 0);
}

TEST_F(DestructableTest, PropsFallAndSettleOnTheGroundAndUnknownCodesBuildNothing) {
    RefPtr<Dynamic> crate = Dynamic::dynamicWithType(500, CGPointMake(300, 1200), 0, 2, 2);
    level_->addGameObject(crate.get());
    b2Body* body = crate->physicsSprite()->body();
    ASSERT_TRUE(body);
    EXPECT_EQ(body->GetFixtureList()->GetFilterData().groupIndex, 7);
    run(600);
    EXPECT_NEAR(body->GetPosition().Length() * 32, 1024, 2);  // resting, half its 48 points up
    EXPECT_LT(body->GetLinearVelocity().Length(), 0.05f);
    EXPECT_NEAR(crate->physicsSprite()->position().y, body->GetPosition().y * 32, 0.5);

    RefPtr<Dynamic> nothing = Dynamic::dynamicWithType(520, CGPointMake(0, 1200), 0, 1, 1);
    ASSERT_TRUE(nothing);
    EXPECT_FALSE(nothing->physicsSprite());
    EXPECT_EQ(nothing->priority(), 1u);
    LogCapture log;
    EXPECT_FALSE(Dynamic::dynamicWithType(500, CGPointMake(0, 1200), 0, 0, 0));
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(DestructableTest, SteadyFramesOfALevelFullOfObjectsAllocateNothing) {
    std::vector<RefPtr<GameObject>> objects;
    for (int i = 0; i < 24; ++i) {
        const float angle = i * 0.26f;
        const CGPoint at = CGPointMake(1030 * std::sin(angle), 1030 * std::cos(angle));
        RefPtr<GameObject> made;
        if (i % 3 == 0) made = Dynamic::dynamicWithType(500, at, 0, 1, 1);
        if (i % 3 == 1) made = Destructable::destructableWithType(400, at, 0, 0.8f, 0.8f);
        if (i % 3 == 2) made = Destructable::destructableWithType(450, at, 0, 1, 1);
        level_->addGameObject(made.get());
        objects.push_back(made);
    }
    run(180);
    AllocationCounter allocations;
    run(60);
    EXPECT_EQ(allocations.count(), 0u);
}

TEST_F(DestructableTest, DecorationsTurnTheOtherWayAndStillOnesNeverChange) {
    RefPtr<game::Animation> butterfly = game::Animation::animationWithType(800, CGPointMake(10, 1100), 30, 2, 1);
    EXPECT_FLOAT_EQ(butterfly->sprite()->rotation(), -30);
    EXPECT_FLOAT_EQ(butterfly->sprite()->scaleX(), 2);
    RefPtr<game::Animation> stone = game::Animation::animationWithType(801, CGPointMake(10, 1100), 0, 1, 1);
    scene_->addChild(butterfly->sprite());
    scene_->addChild(stone->sprite());
    const RefPtr<CCSpriteFrame> first = butterfly->sprite()->displayFrame();
    bool changed = false;
    for (int frame = 0; frame < 40 && !changed; ++frame) {
        runFrames(1);
        changed = !butterfly->sprite()->isFrameDisplayed(first.get());
    }
    EXPECT_TRUE(changed);
    EXPECT_TRUE(stone->sprite()->isFrameDisplayed(
        CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName("stone.png").get()));
}

}  // namespace
