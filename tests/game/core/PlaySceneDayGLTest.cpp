// A whole day of the real play scene on a short test level, steered by a scripted player through
// mouse and key events at 1/60 s per frame: the bee flies to a flower, drinks, stays in the
// height band with the camera on it, and at night flies itself home and pours its nectar in.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "game/core/Camera.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/PlaySceneTestSupport.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "support/AllocationCounter.h"

namespace {

constexpr float kFrame = 1.0f / 60;

// A static circle in the running game's world, bound to the object.
b2Body* addCircle(CGPoint at, float radiusPoints, uint16_t category, uint16_t mask, int16_t group, bool sensor,
                  PhysicsSystemBinding* bodyBinding, PhysicsSystemBinding* fixtureBinding) {
    b2BodyDef def;
    def.position.Set(static_cast<float>(at.x / 32), static_cast<float>(at.y / 32));
    b2Body* body = VantrelGameLayer::currentPhysicsWorld()->CreateBody(&def);
    setBinding(body, bodyBinding);
    b2CircleShape circle;
    circle.m_radius = radiusPoints / 32;
    b2FixtureDef fixture;
    fixture.shape = &circle;
    fixture.isSensor = sensor;
    fixture.filter.categoryBits = category;
    fixture.filter.maskBits = mask;
    fixture.filter.groupIndex = group;
    setBinding(&fixture, fixtureBinding);
    body->CreateFixture(&fixture);
    return body;
}

// A flower whose head, 60 points out from its place, holds 30 nectar that the bee's sensor finds.
// The heads of the level being built, in its order.
std::vector<CGPoint> flowerHeads;

class DrinkableFlower : public GameObject, public FlowerProtocol {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<DrinkableFlower> flower = makeRef<DrinkableFlower>();
        flower->initGameObjectWithGameData(data);
        flower->setPriority(2);
        flower->binding_ = {BindingType::kFlower, flower.get(), nullptr};
        const CGPoint at = CGPointFromString(data["position"].stringValue());
        const double out = 1 + 60 / std::hypot(at.x, at.y);
        flowerHeads.push_back({at.x * out, at.y * out});
        addCircle(flowerHeads.back(), 20, 0x0100, 0x771B, 4, false, &flower->binding_, nullptr);
        return flower;
    }
    uint32_t consumeDroplets(uint32_t asked) override {
        const uint32_t taken = std::min(asked, droplets_);
        droplets_ -= taken;
        return taken;
    }
    uint32_t droplets() const override { return droplets_; }

private:
    PhysicsSystemBinding binding_;
    uint32_t droplets_ = 3000000;
};

// The hive, with its doorway sensor (category 0x0020: the bee flying home still meets it).
class DeliverableHive : public GameObject, public HiveProtocol {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<DeliverableHive> hive = makeRef<DeliverableHive>();
        hive->initGameObjectWithGameData(data);
        hive->setPriority(1);
        hive->position_ = CGPointFromString(data["position"].stringValue());
        addCircle(hive->position_, 60, 0x0020, 0xFFFF, 0, true, nullptr,
                  VantrelGameLayer::currentGameLayer()->hiveSensor()->physicsSystemBinding());
        return hive;
    }
    CGPoint position() const override { return position_; }
    void setTint(ccColor3B) override {}

private:
    CGPoint position_ = CGPointZero;
};

struct DayResult {
    bool reachedFlower = false;
    uint64_t dropletsDrunk = 0;
    double lowestBand = 1, highestBand = 0;  // fraction of the height band met by the bee
    double farthestFromCamera = 0;           // points
    bool summaryComplete = false;
    uint64_t hiveDroplets = 0;
    uint64_t stateHash = 0;
};

class PlaySceneDayGLTest : public PlaySceneGLTest {
protected:
    void SetUp() override {
        PlaySceneGLTest::SetUp();
        game::GameObjectKinds::registerStandIn("Flower", &DrinkableFlower::make);
        game::GameObjectKinds::registerStandIn("Hive", &DeliverableHive::make);
    }

    static void mix(uint64_t* hash, double value) {
        uint64_t bits;
        const double v = value;
        std::memcpy(&bits, &v, sizeof bits);
        *hash = (*hash ^ bits) * 1099511628211ull;
    }

    // Plays the built scene until the summary completes (or `frames` frames): by day the bee is
    // steered with the mouse to each flower head in turn and hovers there for three seconds;
    // at night it flies itself home.
    DayResult play(int frames) {
        DayResult result;
        Level* level = layer_->level();
        MousePilot pilot(layer_.get());
        size_t target = 0;
        int hovered = 0;
        uint64_t hash = 1469598103934665603ull;
        // Up for one second with the keyboard first.
        layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeUpArrow, std::string(kUpArrowCharacters), true));
        for (int frame = 0; frame < frames && !bee()->finalNectarTransferComplete(); ++frame) {
            if (frame == 60) {
                layer_->ccKeyUp(key(EventType::keyUp, kKeyCodeUpArrow, std::string(kUpArrowCharacters), true));
            }
            const CGPoint at = bee()->position();
            const CGPoint head = flowerHeads[std::min(target, flowerHeads.size() - 1)];
            const double toFlower = std::hypot(at.x - head.x, at.y - head.y);
            if (level->isDay() && frame >= 60) {
                if (toFlower > 30 && hovered == 0) {
                    pilot.steerAt(head);
                } else {
                    pilot.letGo();
                    if (++hovered == 180 && target + 1 < flowerHeads.size()) {
                        ++target;
                        hovered = 0;
                    }
                }
            }
            result.reachedFlower = result.reachedFlower || toFlower < 60;
            result.dropletsDrunk = std::max(result.dropletsDrunk, bee()->droplets());
            if (level->isDay()) {
                const double band = level->percOfAllowedLimitsAtPosition(at);
                result.lowestBand = std::min(result.lowestBand, band);
                result.highestBand = std::max(result.highestBand, band);
            }
            layer_->update(kFrame);
            const CGPoint camera = layer_->gameCamera()->position();
            const CGPoint now = bee()->position();
            result.farthestFromCamera = std::max(result.farthestFromCamera, std::hypot(camera.x - now.x, camera.y - now.y));
            mix(&hash, now.x);
            mix(&hash, now.y);
            mix(&hash, bee()->vantrelBody()->GetAngle());
            mix(&hash, static_cast<double>(bee()->droplets()));
            mix(&hash, static_cast<double>(bee()->hiveDroplets()));
            mix(&hash, level->currentTimeOfDay());
        }
        result.summaryComplete = bee()->finalNectarTransferComplete();
        result.hiveDroplets = bee()->hiveDroplets();
        result.stateHash = hash;
        return result;
    }

    void playShortDay(DayResult* result) {
        Random::seed(27);
        flowerHeads.clear();
        ASSERT_NO_FATAL_FAILURE(
            buildScene(8, dict({{"gameobjects", array({dict({{"type", 1000}, {"position", "{0, 1080}"}}),
                                                       dict({{"type", 1}, {"position", "{400, 1150}"}})})}})));
        *result = play(60 * 40);
    }
};

TEST_F(PlaySceneDayGLTest, TheBeeDrinksFliesHomeAtNightAndTheSummaryCompletes) {
    DayResult first;
    ASSERT_NO_FATAL_FAILURE(playShortDay(&first));
    EXPECT_TRUE(first.reachedFlower);
    EXPECT_GT(first.dropletsDrunk, 100000u);
    EXPECT_GE(first.lowestBand, -0.25);
    EXPECT_LE(first.highestBand, 1.25);
    EXPECT_LT(first.farthestFromCamera, kHeight);
    EXPECT_TRUE(first.summaryComplete);
    EXPECT_GE(first.hiveDroplets, first.dropletsDrunk);

    TearDown();
    ASSERT_NO_FATAL_FAILURE(SetUp());
    DayResult second;
    ASSERT_NO_FATAL_FAILURE(playShortDay(&second));
    EXPECT_EQ(second.stateHash, first.stateHash);
}

TEST_F(PlaySceneDayGLTest, GardenAIsFlownForItsWholeDayWithTheRealObjectsAndEndsWithTheSummary) {
    ScopedResourceFolder resources(VANTREL_APP_RESOURCES);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    ShippedObjectKinds kinds;
    Random::seed(5);
    VantrelGlobal::sharedInstance()->setNextLevelId("garden_a");
    layer_ = makeRef<PlaySceneUnderTest>();
    ASSERT_TRUE(layer_->init());
    scene_->addChild(layer_.get());
    // The heads of the first three flowers, round the top of the planet.
    flowerHeads.clear();
    layer_->level()->flowers().forEach([](GameObject* object) {
        auto* flower = dynamic_cast<FlowerProtocol*>(object);
        if (flower && flower->physicsSprite() && flowerHeads.size() < 3) {
            flowerHeads.push_back(flower->physicsSprite()->position());
        }
    });
    ASSERT_EQ(flowerHeads.size(), 3u);
    // The whole day and up to 60 s of night.
    const DayResult day = play(static_cast<int>((layer_->level()->lengthOfDay() + 60) * 60));
    EXPECT_TRUE(day.reachedFlower);
    EXPECT_GT(day.dropletsDrunk, 100000u);
    EXPECT_GE(day.lowestBand, -0.25);
    EXPECT_LE(day.highestBand, 1.25);
    EXPECT_LT(day.farthestFromCamera, kHeight);
    EXPECT_TRUE(day.summaryComplete);
    EXPECT_GE(day.hiveDroplets, day.dropletsDrunk);
}

TEST_F(PlaySceneDayGLTest, ALevelWithoutTheBeesSheetIsRefusedWithALogLine) {
    TemporaryFolder bare;
    ScopedResourceFolder resources(bare.path());
    for (const auto& [name, list] : {std::pair{"bare.plist", testLevelInfo("bare", 8)},
                                     std::pair{"bare_geometry.plist", dict({})},
                                     std::pair{"bare_objects.plist", testLevelObjects()}}) {
        bare.write(name, list.toXML());
    }
    hudSheet::write(bare);
    writeCellFont(bare, "FuturaBeeLarge_osx", 8, 12);
    writeCellFont(bare, "FuturaBee_osx", 4, 6);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    CCSpriteFrameCache::sharedSpriteFrameCache()->removeSpriteFrames();
    VantrelGlobal::sharedInstance()->setNextLevelId("bare");
    LogCapture log;
    auto refused = makeRef<PlaySceneUnderTest>();
    EXPECT_FALSE(refused->init());
    EXPECT_TRUE(log.contains("Player: refused: the bee's sheet \"vantrel.plist\""));
    EXPECT_EQ(VantrelGameLayer::currentGameLayer(), nullptr);
}

TEST_F(PlaySceneDayGLTest, ASteeredFrameAllocatesNothingOnceRunning) {
    flowerHeads.clear();
    ASSERT_NO_FATAL_FAILURE(
        buildScene(60, dict({{"gameobjects", array({dict({{"type", 1000}, {"position", "{0, 1080}"}}),
                                                     dict({{"type", 1}, {"position", "{400, 1150}"}})})}})));
    MousePilot pilot(layer_.get());
    // Warm up: the first frames fill the contact lists, the trail and the camera.
    for (int frame = 0; frame < 240; ++frame) {
        pilot.steerAt(flowerHeads[0]);
        layer_->update(kFrame);
    }
    const Event drag = mouse(EventType::mouseDragged, layer_->worldHolder()->convertToWorldSpace(flowerHeads[0]));
    AllocationCounter allocations;
    for (int frame = 0; frame < 120; ++frame) {
        layer_->ccMouseDragged(drag);
        layer_->update(kFrame);
    }
    EXPECT_EQ(allocations.count(), 0u);
}

}  // namespace
