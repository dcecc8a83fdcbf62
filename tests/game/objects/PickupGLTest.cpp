#include "game/objects/Pickup.h"

#include <gtest/gtest.h>

#include "game/core/PhysicsSprite.h"
#include "game/objects/Dynamic.h"
#include "platform/foundation/Log.h"
#include "tests/game/objects/ObjectTestWorld.h"

using game::Pickup;

namespace {

Value ball(double radius, bool sensor = false) {
    return array({dict({{"type", 0}, {"radius", radius}, {"is_sensor", sensor}})});
}

Value sound(const char* name) { return dict({{"sound_name", name}, {"volume", 0.5}}); }

const Value kPickupData = dict(
    {{"gameobjects",
      dict({{"100", dict({{"type_name", "nectar_drop"}, {"nectar", 0.5}, {"fixtures", ball(12)},
                          {"consumption_sound_effect", sound("pickup_nectar")},
                          {"consumption_effect", dict({{"effect_name", "sparkle"}})}})},
            {"102", dict({{"type_name", "honey_pot"}, {"honey", -1}, {"nectar", 1e9}, {"time", -20},
                          {"buddies", 3}, {"fixtures", ball(12)}})},
            {"105", dict({{"type_name", "hourglass"}, {"time", 15}, {"fixtures", ball(12, true)}})},
            {"106", dict({{"type_name", "acorn"},
                          {"nectar", 1},
                          {"hit_points", 10},
                          {"min_impulse_to_damage", 3},
                          {"image_names", array({"acorn_open.png", "acorn_3.png", "acorn_2.png", "acorn_1.png", "acorn.png"})},
                          {"damage_sound_effect", sound("shell_crack")},
                          {"destruction_sound_effect", sound("shell_open")},
                          {"fixtures", ball(14)}})},
            {"108", dict({{"type_name", "sour_berry"}, {"nectar", -0.5}, {"fixtures", ball(12)}})},
            {"109", dict({{"type_name", "short_armour"}, {"hit_points", 5}, {"remove_after_consumption", false},
                          {"image_names", array({"acorn_open.png", "acorn.png"})}, {"fixtures", ball(12)}})},
            {"111", dict({{"type_name", "kept_acorn"}, {"hit_points", 5}, {"remove_after_consumption", false},
                          {"image_names", array({"acorn_taken.png", "acorn_open.png", "acorn_1.png", "acorn.png"})},
                          {"fixtures", ball(12)}})},
            {"110", dict({{"type_name", "nectar_jar"}, {"nectar", 2}, {"remove_after_consumption", false},
                          {"fixtures", ball(12)}})},
            {"550", dict({{"type_name", "anvil"},
                          {"fixtures",
                           array({dict({{"type", 4}, {"width", 40}, {"height", 40}, {"density", 60}})})}})}})}});

class PickupTest : public ObjectTestWorld {
protected:
    void SetUp() override {
        ObjectTestWorld::SetUp();
        if (HasFatalFailure()) return;
        std::vector<std::pair<std::string, CGSize>> frames;
        for (const char* name :
             {"nectar_drop.png", "honey_pot.png", "hourglass.png", "sour_berry.png", "nectar_jar.png", "acorn_open.png",
              "acorn_3.png", "acorn_2.png", "acorn_1.png", "acorn.png", "acorn_taken.png", "anvil.png"}) {
            frames.push_back({name, CGSizeMake(32, 32)});
        }
        addFrames(frames);
        load(kPickupData);
    }

    RefPtr<Pickup> pickup(int32_t type, CGPoint position = CGPointMake(0, 1014), float scale = 1) {
        RefPtr<Pickup> made = Pickup::pickupWithType(type, position, 0, scale, scale);
        if (made) level_->addPickup(made.get());
        return made;
    }

    // The pickup's sprite shows the frame of that name, which must exist.
    static ::testing::AssertionResult shows(const Pickup& pickup, const std::string& frameName) {
        const RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName);
        if (!frame) return ::testing::AssertionFailure() << "no frame " << frameName;
        if (!pickup.physicsSprite()->isFrameDisplayed(frame.get())) {
            return ::testing::AssertionFailure() << "the pickup does not show " << frameName;
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(PickupTest, ImpactsWearAnArmouredPickupDownFrameByFrameUntilItBreaksOpen) {
    LogCapture log;
    RefPtr<Pickup> acorn = pickup(106);
    ASSERT_TRUE(acorn);
    EXPECT_FALSE(acorn->canBeConsumed());
    EXPECT_TRUE(acorn->canBeDamaged());
    EXPECT_EQ(acorn->shownImageIndex(), 4);
    EXPECT_TRUE(shows(*acorn, "acorn.png"));
    struct Hit {
        float impulse;
        float hitPoints;
        int image;
        const char* frame;
        bool open;
    };
    const Hit hits[] = {
        {2.9f, 10, 4, "acorn.png", false},    // below the minimum: forgotten
        {2.9f, 10, 4, "acorn.png", false},    // and not added to the one before
        {4, 6, 3, "acorn_1.png", false},      // 0.6 x 3 = 1.8: image 1 + 2
        {3, 3, 2, "acorn_2.png", false},      // 0.3 x 3 = 0.9: image 1 + 1
        {6, 0, 0, "acorn_open.png", true},    // broken open: the available image
    };
    for (const Hit& hit : hits) {
        acorn->setAccumulatedImpulse(acorn->accumulatedImpulse() + hit.impulse);
        acorn->applyDamage();
        EXPECT_EQ(acorn->accumulatedImpulse(), 0);
        EXPECT_FLOAT_EQ(acorn->hitPoints(), hit.hitPoints) << hit.impulse;
        EXPECT_EQ(acorn->shownImageIndex(), hit.image) << hit.impulse;
        EXPECT_TRUE(shows(*acorn, hit.frame)) << hit.impulse;
        EXPECT_EQ(acorn->canBeConsumed(), hit.open);
    }
    EXPECT_FALSE(acorn->canBeDamaged());
    EXPECT_EQ(sounds_.count("shell_crack"), 2);
    EXPECT_EQ(sounds_.count("shell_open"), 1);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();
}

TEST_F(PickupTest, AKeptArmouredPickupShowsItsOwnPictureOnceTaken) {
    RefPtr<Pickup> acorn = pickup(111);
    ASSERT_TRUE(acorn);
    EXPECT_TRUE(shows(*acorn, "acorn.png"));
    acorn->setAccumulatedImpulse(5);
    acorn->applyDamage();
    ASSERT_TRUE(acorn->canBeConsumed());
    EXPECT_TRUE(shows(*acorn, "acorn_open.png"));
    acorn->consume();
    EXPECT_TRUE(level_->pickups().contains(acorn.get()));
    EXPECT_TRUE(shows(*acorn, "acorn_taken.png"));
}

TEST_F(PickupTest, PayloadsAreReadWithTheirSignsClampedAndPaidOnce) {
    RefPtr<Pickup> berry = pickup(108);
    RefPtr<Pickup> pot = pickup(102);
    RefPtr<Pickup> drop = pickup(100);
    EXPECT_EQ(berry->nectarDroplets(), -50000);
    EXPECT_EQ(pot->honeyDroplets(), 0);  // "honey" -1 counts as none
    EXPECT_EQ(pot->nectarDroplets(), INT32_MAX);
    EXPECT_EQ(pot->timeDifference(), -20);
    EXPECT_EQ(pot->buddies(), 3);

    drop->consume();
    EXPECT_EQ(drop->nectarDroplets(), 0);
    EXPECT_FALSE(drop->canBeConsumed());
    EXPECT_FALSE(level_->pickups().contains(drop.get()));
    EXPECT_TRUE(drop->isGone());
    EXPECT_EQ(sounds_.count("pickup_nectar"), 1);

    RefPtr<Pickup> jar = pickup(110);
    jar->consume();
    EXPECT_TRUE(level_->pickups().contains(jar.get()));  // kept, showing it was taken
    EXPECT_FALSE(jar->canBeConsumed());
    EXPECT_EQ(jar->nectarDroplets(), 0);
    jar->onDayIsOver();
    EXPECT_FALSE(jar->canBeDamaged());
}

TEST_F(PickupTest, SensorOnlyPickupsHangStillAndOthersFall) {
    RefPtr<Pickup> hourglass = pickup(105, CGPointMake(0, 1200));
    RefPtr<Pickup> drop = pickup(100, CGPointMake(200, 1200));
    EXPECT_FALSE(hourglass->usesGravity());
    EXPECT_EQ(hourglass->getPrimaryBody()->GetType(), b2_staticBody);
    EXPECT_EQ(drop->getPrimaryBody()->GetFixtureList()->GetFilterData().categoryBits, 0x0200);
    run(120);
    EXPECT_FLOAT_EQ(hourglass->getPrimaryBody()->GetPosition().y * 32, 1200);
    EXPECT_LT(drop->getPrimaryBody()->GetPosition().Length() * 32, 1100);
}

TEST_F(PickupTest, BadDataGivesAPlainPickupOrNone) {
    RefPtr<Pickup> shortArmour = pickup(109);
    ASSERT_TRUE(shortArmour);
    EXPECT_FALSE(shortArmour->isArmoured());  // two names cannot hold a kept pickup's three images
    EXPECT_TRUE(shortArmour->canBeConsumed());
    LogCapture log;
    EXPECT_FALSE(Pickup::pickupWithType(100, CGPointMake(0, 1100), 0, 0, 1));
    EXPECT_EQ(log.lines().size(), 1u);
    RefPtr<Pickup> unbuilt = Pickup::pickupWithType(150, CGPointMake(0, 1100), 0, 0, 0);
    ASSERT_TRUE(unbuilt);
    EXPECT_FALSE(unbuilt->physicsSprite());
}

TEST_F(PickupTest, AHeavyPropDroppedOnAnArmouredPickupBreaksItThroughTheContactListener) {
    RefPtr<Pickup> acorn = pickup(106, CGPointMake(0, 1014));
    run(30);  // settles on the ground
    acorn->setAccumulatedImpulse(0);
    RefPtr<game::Dynamic> anvil = game::Dynamic::dynamicWithType(550, CGPointMake(0, 1300), 0, 1, 1);
    level_->addGameObject(anvil.get());
    for (int frame = 0; frame < 240 && !acorn->canBeConsumed(); ++frame) run(1);
    EXPECT_TRUE(acorn->canBeConsumed());
    EXPECT_EQ(acorn->shownImageIndex(), 0);
}

TEST_F(PickupTest, APickupFreedWhileListedIsForgottenByTheListener) {
    RefPtr<Pickup> acorn = pickup(106);
    GameContactListener* listener = layer_->gameContactListener();
    listener->damaged().push_back(acorn.get());
    listener->pickups().push_back(acorn.get());
    acorn->destroy();
    EXPECT_FALSE(level_->pickups().contains(acorn.get()));
    acorn.reset();  // the last reference
    EXPECT_TRUE(listener->damaged().empty());
    EXPECT_TRUE(listener->pickups().empty());
    run(2);
}

}  // namespace
