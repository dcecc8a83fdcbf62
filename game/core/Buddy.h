#pragma once

#include <string_view>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCAnimation;
class CCSprite;
class GameMessage;
class GameMessages;

// A buddy bee of the swarm: a small sprite that chases the lead bee's pose a fixed number of
// frames back in the trail, plus an offset and a wobble, through a damped spring of its own, and
// that speaks in a one-line yellow bubble above it. It simulates no physics.
//
// Positions in points, rotations in degrees (clockwise), the velocity in points per frame.
// Engine thread only.
class Buddy : public Object {
public:
    static constexpr float kDamping = 5.0f;
    static constexpr float kMessageSeconds = 2.5f;

    Buddy();
    // Builds the hidden sprite from the frames "small_bee_1.png" to "small_bee_3.png" of the bee's
    // sheet, its wing beat and its bubble; false, with a log line, when a frame is missing.
    bool initWithCacheIndexOffset(int offset);

    // A new spring mass, 0.8 to 1.2.
    void randomiseMass();
    // A wobble restarted at rest, with periods of 1.5 to 2.5 s on each axis.
    void randomiseOscillation();

    // Places the buddy at the pose and shows it.
    void showAt(CGPoint position, float rotation);
    // Starts the wing beat and shows the sprite, when hidden.
    void show();
    // Stops it, hides the sprite and lets its bubble go, when shown.
    void hide();

    // While shown: chases the target pose plus `offset` plus the wobble, whose amplitude is 4 x
    // `oscillationStrength` points; `rotation` is the bubbles' (degrees).
    void update(float dt, CGPoint offset, float rotation, float oscillationStrength);

    // The bubble, for 2.5 s: as it is, with a text, or with a signed number.
    void showMessage();
    void showMessage(std::string_view text);
    void showMessageWithNumber(int number);
    // A line picked at random from its list.
    void showFoundMessage();
    void showEncouragementMessage();
    void showWarningMessage();
    // The text for 2.5 to 3.5 s.
    void showBonusMessage(std::string_view text);
    void hideMessage();

    int cacheIndexOffset() const { return cacheIndexOffset_; }
    void setCacheIndexOffset(int offset) { cacheIndexOffset_ = offset; }
    CGPoint targetPosition() const { return targetPosition_; }
    void setTargetPosition(CGPoint position) { targetPosition_ = position; }
    float targetRotation() const { return targetRotation_; }
    void setTargetRotation(float rotation) { targetRotation_ = rotation; }
    CCSprite* sprite() const { return sprite_.get(); }
    CCAnimation* animation() const { return animation_.get(); }
    GameMessages* messages() const { return messages_.get(); }
    GameMessage* message() const { return message_.get(); }
    CGPoint velocity() const { return velocity_; }
    float invMass() const { return invMass_; }
    CGPoint oscOffset() const { return oscOffset_; }

protected:
    // Takes the sprite out of its batch.
    ~Buddy() override;

private:
    bool createBuddy();
    bool createMessages();

    int cacheIndexOffset_ = 0;   // frames behind the lead bee
    CGPoint targetPosition_;
    float targetRotation_ = 0;
    float oscTime_ = 0;          // seconds
    float oscXMultiplier_ = 0;   // radians per second
    float oscYMultiplier_ = 0;
    CGPoint oscOffset_;
    RefPtr<CCSprite> sprite_;
    RefPtr<CCAnimation> animation_;
    float invMass_ = 1;
    CGPoint velocity_;
    RefPtr<GameMessages> messages_;
    RefPtr<GameMessage> message_;
};
