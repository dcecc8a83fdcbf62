#include "game/core/PlayerSwarm.h"

#include <cmath>

#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "game/core/Buddy.h"
#include "game/core/Units.h"
#include "platform/foundation/Random.h"

PlayerSwarm::PlayerSwarm() = default;
PlayerSwarm::~PlayerSwarm() = default;

std::array<int, PlayerSwarm::kMaxBuddies> PlayerSwarm::cacheIndexOffsets() {
    std::array<int, kMaxBuddies> offsets{};
    int offset = 16, step = 16;
    for (int i = 0; i < kMaxBuddies; ++i) {
        offsets[i] = offset;
        if (i >= 1 && step - 4 >= 4) step -= 4;
        offset += step;
    }
    return offsets;
}

CGPoint PlayerSwarm::trailOffset(float worldSpeed, float headRotation, bool underneath, bool facingRight) {
    const float s = worldSpeed / kFullSpeed;
    const float slow = s < 1 ? 1 - s : 0;  // 1 hovering, 0 at full speed
    const float distance = slow * slow * slow * kTrailDistance;
    CGPoint offset{-distance, 0};
    if (underneath) offset = {0, facingRight ? -distance : distance};
    return ccPointRotateAround(offset, CGPointZero, -headRotation * units::kRadiansPerDegree);
}

bool PlayerSwarm::createBuddies() {
    const std::array<int, kMaxBuddies> offsets = cacheIndexOffsets();
    for (int i = 0; i < kMaxBuddies; ++i) {
        auto buddy = makeRef<Buddy>();
        if (!buddy->initWithCacheIndexOffset(offsets[i])) return false;
        if (!buddyHolder_) {
            buddyHolder_ = CCSpriteBatchNode::batchNodeWithTexture(RefPtr<CCTexture2D>(buddy->sprite()->texture()), kMaxBuddies);
        }
        buddyHolder_->addChild(buddy->sprite());
        buddies_[i] = std::move(buddy);
    }
    buddiesShowing_ = 0;
    buddyBonus_ = 0;
    return true;
}

void PlayerSwarm::initPlayerCache(const PlayerCacheData& pose) {
    cacheIndex_ = 0;
    playerCache_.fill(pose);
}

void PlayerSwarm::updatePlayerCache(const PlayerCacheData& pose) {
    cacheIndex_ = (cacheIndex_ + 1) % kCacheSize;
    playerCache_[cacheIndex_] = pose;
}

void PlayerSwarm::addBuddyAt(CGPoint position, float rotation) {
    if (buddiesShowing_ >= kMaxBuddies || !buddies_[buddiesShowing_]) return;
    ++buddiesShowing_;
    buddyBonus_ = 0.1f * buddiesShowing_;
    Buddy* buddy = buddies_[buddiesShowing_ - 1].get();
    buddy->showAt(position, rotation);
    buddy->showFoundMessage();
}

void PlayerSwarm::removeBuddy() {
    if (buddiesShowing_ <= 0) return;
    --buddiesShowing_;
    buddyBonus_ = 0.1f * buddiesShowing_;
    buddies_[buddiesShowing_]->hide();
}

void PlayerSwarm::updateBuddies(float dt, float worldSpeed, float headRotation, bool facingRight,
                                float cameraTangentAngle) {
    const float s = worldSpeed / kFullSpeed;
    const float slow = s < 1 ? 1 - s : 0;
    const CGPoint offset = trailOffset(worldSpeed, headRotation, buddiesUnderneath_, facingRight);
    for (const RefPtr<Buddy>& buddy : buddies_) {
        if (!buddy) continue;
        int index = cacheIndex_ - buddy->cacheIndexOffset();
        if (index < 0) index += kCacheSize;
        const PlayerCacheData& pose = playerCache_[index];
        buddy->setTargetPosition(pose.position);
        buddy->setTargetRotation(pose.rotation);
        buddy->sprite()->setColor(pose.colour);
        buddy->sprite()->setFlipY(pose.flipY);
        buddy->update(dt, offset, -cameraTangentAngle, slow * 3 + 1);
    }
}

void PlayerSwarm::showBuddyEncouragementMessage() {
    if (buddiesShowing_ <= 0) return;
    buddies_[Random::arc4random() % buddiesShowing_]->showEncouragementMessage();
}

void PlayerSwarm::showBuddyWarningMessage() {
    if (buddiesShowing_ <= 0) return;
    buddies_[Random::arc4random() % buddiesShowing_]->showWarningMessage();
}

void PlayerSwarm::showBuddyBonusMessage() {
    for (int i = 0; i < buddiesShowing_; ++i) buddies_[i]->showBonusMessage("\n+");
}
