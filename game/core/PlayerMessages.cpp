#include "game/core/Player.h"

#include <cstdio>

#include "game/core/PlayerGameDelegate.h"
#include "game/core/PlayerLevelDelegate.h"
#include "game/core/SimpleSoundEffect.h"
#include "platform/foundation/Random.h"

namespace {

constexpr float kAnnouncementSeconds = 6.0f;
// Bubbles beside the hive stand this far from its middle: half the 112-point hive and some air.
constexpr float kBesideHiveDistance = 66;
// The summary's smaller bubbles at the hive, and how far the new best score stands below the
// bubble before it (points, at that scale its line 1 clears a full-size two-line caption).
constexpr float kSummaryScale = 0.7f;
constexpr float kHighScoreDistance = 85;
constexpr int kBonusHoney = 500;

RefPtr<GameMessage> bubble(int type, int info, int mode, int location, float distance, float scale = 1) {
    RefPtr<GameMessage> message = GameMessage::gameMessageWithType(type, info, mode, location, distance);
    if (scale != 1) message->setMessageScale(scale);
    return message;
}

template <typename Target>
RefPtr<GameMessages> queueFollowing(Target* target) {
    auto queue = makeRef<GameMessages>();
    queue->initWithTargetObject(target);
    return queue;
}

}  // namespace

void Player::createMessages() {
    using M = GameMessage;
    messagesInfo_ = queueFollowing(beeHeadSprite_.get());
    messagesBonus_ = queueFollowing(beeHeadSprite_.get());
    nectarMessage_ = bubble(1, M::kInfoNectar, M::kModeWhite, 8, 50);
    nectarMilestoneMessage_ = bubble(2, M::kInfoSuckingStreak, M::kModeYellow, 2, 50);
    timeInfoMessage_ = bubble(2, M::kInfoSecondsLeft, M::kModeYellow, 2, 50);
    allFlowersVisitedMessage_ = bubble(2, M::kInfoAllFlowersFound, M::kModeLavender, 2, 50);
    allBuddiesFoundMessage_ = bubble(2, M::kInfoAllBuddiesFound, M::kModeLavender, 2, 50);
    for (auto& m : nectarBonusMessages_.messages) m = bubble(2, M::kInfoNectarBonus, M::kModeGreen, 2, 50);
    for (auto& m : nectarPenaltyMessages_.messages) m = bubble(2, M::kInfoNectarLost, M::kModeRed, 2, 50);
    for (auto& m : honeyBonusMessages_.messages) m = bubble(2, M::kInfoHoneyBonus, M::kModeGreen, 2, 50);
    for (auto& m : timeBonusMessages_.messages) m = bubble(2, M::kInfoTimeBonus, M::kModeGreen, 2, 50);
    for (auto& m : timePenaltyMessages_.messages) m = bubble(2, M::kInfoTimeLost, M::kModeRed, 2, 50);

    const GameMessagePositionProtocol* hive = level_->hiveMessageTarget();
    hiveMessagesInfo_ = queueFollowing(hive);
    hiveMessagesBonus_ = queueFollowing(hive);
    hiveHoneyMessage_ = bubble(1, M::kInfoHiveHoney, M::kModeWhite, 7, kBesideHiveDistance);
    hiveHoneyBonusMessage_ = bubble(1, M::kInfoHiveHoneyBonus, M::kModeGreen, 3, kBesideHiveDistance);
    const bool hasFlowers = level_->totalFlowers() > 0;
    if (hasFlowers) {
        hiveFlowersVisitedMessage_ =
            bubble(1, M::kInfoFlowersVisited, M::kModeWhite, 3, kBesideHiveDistance, kSummaryScale);
    }
    hiveBuddiesFoundMessage_ = hasFlowers ? bubble(1, M::kInfoBuddiesFound, M::kModeWhite, 5, 70, kSummaryScale)
                                          : bubble(1, M::kInfoBuddiesFound, M::kModeWhite, 3, 600.0f / 7, kSummaryScale);
    if (!hasFlowers) hiveDistanceTravelledMessage_ = bubble(1, M::kInfoDistanceTravelled, M::kModeWhite, 5, 70, kSummaryScale);
    // Below the bubble before it in the hive's queue, clear of that one's two-line caption.
    hiveHighScoreMessage_ = bubble(1, M::kInfoNewHighScore, M::kModeWhite, 5, kHighScoreDistance, kSummaryScale);
}

void Player::showAtFront(GameMessages* queue, GameMessage* message, float seconds) {
    if (!queue || !message) return;  // a bee that was never set up shows nothing
    if (message->owner()) {
        message->showForTime(seconds);
    } else {
        queue->addMessageToFrontOfQueue(message, seconds);
    }
}

void Player::showAtEnd(GameMessages* queue, GameMessage* message, float seconds) {
    if (!queue || !message) return;
    if (message->owner()) {
        message->showForTime(seconds);
    } else {
        queue->addMessageToEndOfQueue(message, seconds);
    }
}

void Player::moveNectarMessageToHive() {
    nectarMessage_->setLocation(7);
    nectarMessage_->setDistance(90);
    hiveMessagesInfo_->addMessageToEndOfQueue(nectarMessage_.get(), kBubbleSeconds);
}

void Player::showSummaryMessages() {
    hideTimeInfoMessage();
    if (hiveHoneyBonusMessage_->owner() == hiveMessagesBonus_.get()) {
        hiveMessagesBonus_->removeMessage(hiveHoneyBonusMessage_.get());
    }
    static constexpr const char* kCheers[] = {"SWEET!", "COOL!", "GREAT!", "CHOICE!", "NICE!", "ACE!"};
    if (static_cast<int64_t>(wholeUnits(hiveDroplets_)) > level_->existingHighScore()) {
        if (!hiveHighScoreMessage_->owner()) hiveHighScoreMessage_->setValueText(kCheers[Random::arc4random() % 6]);
        showAtEnd(hiveMessagesInfo_.get(), hiveHighScoreMessage_.get(), kBubbleSeconds);
        // Queued behind a full-size bubble it would take that one's size, and reach out of the
        // window on the hive's left.
        hiveHighScoreMessage_->setMessageScale(kSummaryScale);
    }
    char text[32];
    if (hiveFlowersVisitedMessage_) {
        if (!hiveFlowersVisitedMessage_->owner()) {
            snprintf(text, sizeof text, "%u/%u", level_->flowersVisited(), level_->totalFlowers());
            hiveFlowersVisitedMessage_->setValueText(text);
        }
        showAtEnd(hiveMessagesBonus_.get(), hiveFlowersVisitedMessage_.get(), kBubbleSeconds);
    }
    if (!hiveBuddiesFoundMessage_->owner()) {
        snprintf(text, sizeof text, "%i/%i", buddiesShowing(), level_->totalBuddies());
        hiveBuddiesFoundMessage_->setValueText(text);
    }
    showAtEnd(hiveMessagesBonus_.get(), hiveBuddiesFoundMessage_.get(), kBubbleSeconds);
    if (hiveDistanceTravelledMessage_) {
        showAtEnd(hiveMessagesBonus_.get(), hiveDistanceTravelledMessage_.get(), kBubbleSeconds);
    }
}

void Player::updateMessages(float dt) {
    const float rotation = -game_->cameraTangentAngle();
    for (GameMessages* queue : {messagesInfo_.get(), messagesBonus_.get(), hiveMessagesInfo_.get(),
                                hiveMessagesBonus_.get()}) {
        queue->update(dt, rotation);
    }
}

template <size_t N>
GameMessage* Player::nextPooledMessage(MessagePool<N>& pool) {
    GameMessage* message = pool.messages[pool.next].get();
    pool.next = (pool.next + 1) % N;
    if (GameMessages* owner = message->owner()) {
        owner->removeMessage(message);
        message->reset();
    }
    return message;
}

GameMessage* Player::nextNectarBonusMessage() { return nextPooledMessage(nectarBonusMessages_); }
GameMessage* Player::nextNectarPenaltyMessage() { return nextPooledMessage(nectarPenaltyMessages_); }
GameMessage* Player::nextHoneyBonusMessage() { return nextPooledMessage(honeyBonusMessages_); }
GameMessage* Player::nextTimeBonusMessage() { return nextPooledMessage(timeBonusMessages_); }
GameMessage* Player::nextTimePenaltyMessage() { return nextPooledMessage(timePenaltyMessages_); }

void Player::showTimeInfoMessage(float seconds) {
    showAtFront(messagesBonus_.get(), timeInfoMessage_.get(), seconds);
    if (timeSoundEffect_) timeSoundEffect_->play();
}

void Player::showTimeUpInfoMessage() {
    if (!timeInfoMessage_) return;
    timeInfoMessage_->setAutoUpdateValue(false);
    timeInfoMessage_->setValueText("TIME'S UP!");
    timeInfoMessage_->setText("RETURNING\nTO HIVE");
    showAtFront(messagesBonus_.get(), timeInfoMessage_.get(), kAnnouncementSeconds);
}

void Player::hideTimeInfoMessage() {
    if (timeInfoMessage_ && timeInfoMessage_->owner() == messagesBonus_.get()) {
        messagesBonus_->removeMessage(timeInfoMessage_.get());
    }
}

void Player::showAllFlowersVisitedMessage() {
    if (!allFlowersVisitedMessage_) return;
    allFlowersVisitedMessage_->setValue(kBonusHoney);
    showAtFront(messagesBonus_.get(), allFlowersVisitedMessage_.get(), kAnnouncementSeconds);
}

void Player::showAllBuddiesFoundMessage() {
    if (!allBuddiesFoundMessage_) return;
    allBuddiesFoundMessage_->setValue(kBonusHoney);
    showAtFront(messagesBonus_.get(), allBuddiesFoundMessage_.get(), kAnnouncementSeconds);
}

