#pragma once

#include <cstdint>

#include "game/objects/RuledEnemy.h"

class CCNode;
class PhysicsSprite;

namespace game {

class SimpleEffector;

// The rooster (codes of other kinds build no body): a ground creature that pecks at
// the bee. When the bee comes into view, or touches its body, it turns to face the bee and plays
// its strike animation once; part way in it switches on the strike sensor on the side it faces,
// which hurts the bee with its own push, and off again past half the animation. Contacts count as
// ground hits. Priority 2 (updated with the level's high-priority objects); sprite layer 3.
//
// Type keys beyond the shared contact keys and fixtures: "sensor_contact_effector" (the strike's
// push), "strike_delay" or its pair (seconds between strikes, default 1), "strike_enabled_delay"
// (seconds into a strike before the sensor switches on), "strike_fixtures" (entry 0 the
// right-hand strike zone, entry 1 the left-hand one; a missing entry is skipped with a log line),
// "animation" (the strike). Every fixture is built at the instance's scale; a scale of about 0
// refuses the rooster.
class Rooster : public RuledEnemy {
public:
    // Which strike fixtures to switch.
    enum class Side { kLeft = -1, kBoth = 0, kRight = 1 };

    // From a level-data instance ("position", "rotation", "scale" or "scale_x"/"scale_y",
    // "linear_path_data"). Null, with a log line, for an unusable scale.
    static RefPtr<Rooster> roosterWithGameData(const Value& data) {
        return withGameData(data, &roosterWithType, InstanceScale::kRead);
    }
    static RefPtr<Rooster> roosterWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                           const Value& pathData);

    // The contact sequence, then a strike.
    uint32_t contactPlayer() override;
    // The contact sequence with the strike's push.
    uint32_t sensorContactPlayer() override;
    // A strike, while active and once the strike delay has run out.
    void visionContactPlayer() override;

    void update(float dt) override;
    b2Body* getPrimaryBody() override;

    // Turns to the bee and plays the strike; ignored while striking.
    void strike();
    void resetStrikeDelay() { strikeDelay_ = strikeDelayRange_.draw(); }
    void enableStrikeSensor(Side side) { setStrikeFilter(side, true); }
    void disableStrikeSensor(Side side) { setStrikeFilter(side, false); }

    MovementProtocol* movement() const { return movement_.get(); }
    void setMovement(RefPtr<MovementProtocol> movement);
    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    bool isStriking() const { return isStriking_; }
    bool isStrikeSensorEnabled() const { return isStrikeSensorEnabled_; }
    float strikeDelay() const { return strikeDelay_; }
    b2Fixture* strikeFixtureLeft() const { return strikeFixtureLeft_; }
    b2Fixture* strikeFixtureRight() const { return strikeFixtureRight_; }

protected:
    ~Rooster() override;

private:
    Rooster() = default;
    bool createRooster(CGPoint position, float rotation, float scaleX, float scaleY, const Value& pathData);
    void createRoosterGeneric(CGPoint position, float rotation, const Value& pathData);
    void createStrikeFixtures(b2Body* body);
    void setStrikeFilter(Side side, bool enabled);
    // The side the rooster faces now, in the frame its strike fixtures were built in.
    Side facingSide() const;

    GameObjectPhysicsData physics_;
    float initScaleX_ = 1;
    float initScaleY_ = 1;
    bool flipLeftRight_ = false;
    RefPtr<SimpleEffector> sensorContactEffector_;
    RefPtr<MovementProtocol> movement_;
    RefPtr<CCNode> movementNode_;
    RefPtr<PhysicsSprite> physicsSprite_;
    bool isStriking_ = false;
    bool isStrikeSensorEnabled_ = false;
    float strikeSensorEnabledDelay_ = 0;   // seconds left before the sensor switches on
    b2Fixture* strikeFixtureLeft_ = nullptr;   // owned by the body
    b2Fixture* strikeFixtureRight_ = nullptr;
    float strikeDelay_ = 0;                // seconds; counts down every frame
    LevelDataRange strikeDelayRange_{1.0f, 1.0f, 0};
};

}  // namespace game
