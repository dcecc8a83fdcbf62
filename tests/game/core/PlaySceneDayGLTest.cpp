// A whole day of the real play scene on a short test level, steered by a scripted player through
// mouse and key events at 1/60 s per frame: the bee flies to a flower, drinks, stays in the
// height band with the camera on it, and at night flies itself home and pours its nectar in.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "game/core/Camera.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/PlaySceneTestSupport.h"
#include "platform/foundation/Random.h"
#include "support/AllocationCounter.h"

namespace {

constexpr float kFrame = 1.0f / 60;
constexpr CGPoint kFlowerAt{400, 1150};

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

// A flower head holding 30 nectar that the bee's sensor finds.
class DrinkableFlower : public GameObject, public FlowerProtocol {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<DrinkableFlower> flower = makeRef<DrinkableFlower>();
        flower->initGameObjectWithGameData(data);
        flower->setPriority(2);
        flower->binding_ = {4, flower.get(), nullptr};
        addCircle(CGPointFromString(data["position"].stringValue()), 20, 0x0100, 0x771B, 4, false, &flower->binding_,
                  nullptr);
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
        GameObjectFactory::registerKind("Flower", &DrinkableFlower::make);
        GameObjectFactory::registerKind("Hive", &DeliverableHive::make);
    }

    static void mix(uint64_t* hash, double value) {
        uint64_t bits;
        const double v = value;
        std::memcpy(&bits, &v, sizeof bits);
        *hash = (*hash ^ bits) * 1099511628211ull;
    }

    // Steers with the mouse held at the target's place in the window.
    void steerWithMouse(CGPoint target, bool* held) {
        const Event event = mouse(*held ? EventType::mouseDragged : EventType::mouseDown,
                                  layer_->worldHolder()->convertToWorldSpace(target));
        layer_->ccMouseDown(event);
        *held = true;
    }

    DayResult playOneDay() {
        Random::seed(27);
        buildScene(8, dict({{"gameobjects", array({dict({{"type", 1000}, {"position", "{0, 1080}"}}),
                                                   dict({{"type", 1}, {"position", "{400, 1150}"}})})}}));
        DayResult result;
        Level* level = layer_->level();
        bool mouseHeld = false;
        uint64_t hash = 1469598103934665603ull;
        // Up for one second with the keyboard, then the mouse to the flower, then hover there.
        layer_->ccKeyDown(key(EventType::keyDown, kKeyCodeUpArrow, std::string(kUpArrowCharacters), true));
        for (int frame = 0; frame < 60 * 40 && !bee()->finalNectarTransferComplete(); ++frame) {
            if (frame == 60) {
                layer_->ccKeyUp(key(EventType::keyUp, kKeyCodeUpArrow, std::string(kUpArrowCharacters), true));
            }
            const CGPoint at = bee()->position();
            const double toFlower = std::hypot(at.x - kFlowerAt.x, at.y - kFlowerAt.y);
            if (level->isDay() && frame >= 60) {
                if (toFlower > 30) {
                    steerWithMouse(kFlowerAt, &mouseHeld);
                } else if (mouseHeld) {
                    layer_->ccMouseUp(mouse(EventType::mouseUp, CGPointZero));
                    mouseHeld = false;
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
};

TEST_F(PlaySceneDayGLTest, TheBeeDrinksFliesHomeAtNightAndTheSummaryCompletes) {
    const DayResult first = playOneDay();
    EXPECT_TRUE(first.reachedFlower);
    EXPECT_GT(first.dropletsDrunk, 100000u);
    EXPECT_GE(first.lowestBand, -0.25);
    EXPECT_LE(first.highestBand, 1.25);
    EXPECT_LT(first.farthestFromCamera, kHeight);
    EXPECT_TRUE(first.summaryComplete);
    EXPECT_GE(first.hiveDroplets, first.dropletsDrunk);

    TearDown();
    SetUp();
    const DayResult second = playOneDay();
    EXPECT_EQ(second.stateHash, first.stateHash);
}

TEST_F(PlaySceneDayGLTest, ASteeredFrameAllocatesNothingOnceRunning) {
    buildScene(60, dict({{"gameobjects", array({dict({{"type", 1000}, {"position", "{0, 1080}"}}),
                                                 dict({{"type", 1}, {"position", "{400, 1150}"}})})}}));
    bool held = false;
    // Warm up: the first frames fill the contact lists, the trail and the camera.
    for (int frame = 0; frame < 240; ++frame) {
        steerWithMouse(kFlowerAt, &held);
        layer_->update(kFrame);
    }
    const Event drag = mouse(EventType::mouseDragged, layer_->worldHolder()->convertToWorldSpace(kFlowerAt));
    AllocationCounter allocations;
    for (int frame = 0; frame < 120; ++frame) {
        layer_->ccMouseDragged(drag);
        layer_->update(kFrame);
    }
    EXPECT_EQ(allocations.count(), 0u);
}

}  // namespace
