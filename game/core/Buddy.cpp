#include "game/core/Buddy.h"

#include <cmath>
#include <cstdio>

#include "engine/render/CCAnimation.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/AnimationUtils.h"
#include "game/core/GameMessage.h"
#include "game/core/GameMessages.h"
#include "game/core/Units.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"

namespace {

// The buddies' lines, shared by all of them. Constant, so they are there for every buddy
// whichever goes first.
constexpr const char* kFoundLines[] = {"LET'S\nGO!", "THANKS\nBUDDY!", "FOUND\nME!", "HEY\nTHERE!",
                                       "BUSY\nTIME!", "NICE\nONE!",    "GET\nBUSY!"};
constexpr const char* kEncouragementLines[] = {"\nYIPPEE!",  "\nWOOHOO!",  "\nNICE!",   "\nSWEET!",
                                               "\nGREAT!",   "\nCOOL!",    "\nCHOICE!", "\nAWESOME!",
                                               "YOU\nRULE!", "GOOD\nJOB!", "SUPER\nSTUFF!", "BUSY\nTIME!"};
constexpr const char* kWarningLines[] = {"\nAHHH!",      "\nOUCH!",     "\nOOPS!",     "\nOWWW!",
                                         "\nOH NO!",     "BOO\nHOO!",   "LOOK\nOUT!",  "BEE\nCAREFUL!",
                                         "LOST\nNECTAR!", "FLY\nAWAY!", "GET\nMOVING!"};

template <size_t N>
const char* pick(const char* const (&lines)[N]) {
    return lines[Random::arc4random() % N];
}

}  // namespace

Buddy::Buddy() = default;

bool Buddy::initWithCacheIndexOffset(int offset) {
    cacheIndexOffset_ = offset;
    return createBuddy();
}

Buddy::~Buddy() {
    if (!sprite_) return;
    if (sprite_->parent()) {
        sprite_->removeFromParentAndCleanup(true);
    } else {
        sprite_->cleanup();
    }
}

bool Buddy::createBuddy() {
    animation_ = CCAnimation::animation();
    animation_->setDelayPerUnit(Random::unitFloat() / 60.0f + 1.0f / 60.0f);
    // A ping-pong wing beat.
    for (const int frameNumber : {1, 2, 3, 2}) {
        char name[32];
        std::snprintf(name, sizeof(name), "%s_%i.png", "small_bee", frameNumber);
        RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(name);
        if (!frame) {
            logLine("Buddy: the frame \"%s\" is missing from the bee's sheet", name);
            return false;
        }
        animation_->addSpriteFrame(std::move(frame));
    }
    sprite_ = CCSprite::spriteWithSpriteFrame(animation_->frames().front()->spriteFrame());
    sprite_->setVisible(false);
    randomiseMass();
    velocity_ = CGPointZero;
    randomiseOscillation();
    return createMessages();
}

void Buddy::randomiseMass() { invMass_ = 1.0f / (Random::unitFloat() * 0.4f + 0.8f); }

void Buddy::randomiseOscillation() {
    oscTime_ = 0;
    oscOffset_ = CGPointZero;
    oscXMultiplier_ = units::kTwoPi / (Random::unitFloat() + 1.5f);
    oscYMultiplier_ = units::kTwoPi / (Random::unitFloat() + 1.5f);
}

bool Buddy::createMessages() {
    messages_ = makeRef<GameMessages>();
    messages_->initWithTargetObject(sprite_.get());
    // A yellow one-line bubble above the buddy.
    message_ = GameMessage::gameMessageWithType(2, GameMessage::kInfoBuddyLine, GameMessage::kModeYellow, 1, 40);
    if (!message_) return false;
    message_->setMessageScale(0.8f);
    return true;
}

void Buddy::showAt(CGPoint position, float rotation) {
    sprite_->setPosition(position);
    sprite_->setRotation(rotation);
    targetPosition_ = position;
    targetRotation_ = rotation;
    show();
}

void Buddy::show() {
    if (sprite_->visible()) return;
    AnimationUtils::playSimpleAnimation(animation_, sprite_.get(), true);
    sprite_->setVisible(true);
}

void Buddy::hide() {
    if (!sprite_->visible()) return;
    sprite_->stopAllActions();
    sprite_->setVisible(false);
    hideMessage();
}

void Buddy::update(float dt, CGPoint offset, float rotation, float oscillationStrength) {
    if (!sprite_->visible()) return;
    oscTime_ += dt;
    const float amplitude = 4 * oscillationStrength;
    oscOffset_ = {std::sin(oscTime_ * oscXMultiplier_) * amplitude, std::sin(oscTime_ * oscYMultiplier_) * amplitude};
    const CGPoint target{offset.x + oscOffset_.x + targetPosition_.x, offset.y + oscOffset_.y + targetPosition_.y};
    const CGPoint at = sprite_->position();
    velocity_.x += invMass_ * dt * ((at.x - target.x) * -0.75 - velocity_.x * kDamping);
    velocity_.y += invMass_ * dt * ((at.y - target.y) * -0.75 - velocity_.y * kDamping);
    sprite_->setPosition({at.x + velocity_.x, at.y + velocity_.y});
    sprite_->setRotation(targetRotation_);
    messages_->update(dt, rotation);
}

void Buddy::showMessage() { messages_->addMessageToFrontOfQueue(message_.get(), kMessageSeconds); }

void Buddy::showMessage(std::string_view text) {
    message_->setText(text);
    showMessage();
}

void Buddy::showMessageWithNumber(int number) {
    char text[16];
    std::snprintf(text, sizeof(text), "%+i", number);
    showMessage(text);
}

void Buddy::showFoundMessage() { showMessage(pick(kFoundLines)); }
void Buddy::showEncouragementMessage() { showMessage(pick(kEncouragementLines)); }
void Buddy::showWarningMessage() { showMessage(pick(kWarningLines)); }

void Buddy::showBonusMessage(std::string_view text) {
    message_->setText(text);
    messages_->addMessageToFrontOfQueue(message_.get(), Random::unitFloat() + kMessageSeconds);
}

void Buddy::hideMessage() { messages_->clearQueue(); }
