// The flight-log screen: the player's rank emblem (with the new rank's star pulsing after a game
// that raised it), the lifetime statistics and a small bee that beats its wings and blinks.

#include <algorithm>

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "shell/VantrelGlobal.h"
#include "engine/actions/composite/CCRepeatForever.h"
#include "engine/actions/interval/CCAnimate.h"
#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationFrame.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/Rank.h"
#include "game/core/Stamina.h"
#include "game/core/Stats.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

constexpr ccColor4B kFlightLogGradientTop = {84, 211, 244, 255};
constexpr ccColor4B kFlightLogGradientBottom = {207, 236, 231, 255};
constexpr int32_t kHighestRank = 10;
// Centre of each rank's star on the emblem, screen points; index = rank - 1.
constexpr CGPoint kStarPositions[kHighestRank] = {{537, 417.5}, {550, 388}, {553, 356.5}, {550, 324.5},
                                                  {537, 297},   {323, 297}, {310, 324.5}, {307, 356.5},
                                                  {310, 388},   {323, 417.5}};
// The statistics grid: key and place in the statistics node, points.
struct StatCell {
    const char* key;
    CGPoint position;
};
constexpr StatCell kStatCells[] = {
    {"distance_travelled", {0, 260}}, {"hives_visited", {144, 260}}, {"flowers_visited", {272, 260}},
    {"buddies_found", {0, 175}},      {"hornet_hits", {144, 175}},   {"lightning_hits", {272, 175}},
    {"honey_bonuses", {0, 88}},       {"time_bonuses", {144, 88}},   {"nectar_bonuses", {272, 88}},
};
constexpr float kStatsLabelWidth = 400;
// Wing beat: frames 1, 2, 3, 2 of "rank_bee_%i.png", 1/45 s each.
constexpr int kWingFrames[] = {1, 2, 3, 2};
constexpr float kWingFrameTime = 0.022222223f;
// Blink: eyes open 0.25 to 4 s, closed 1/15 to 2/15 s.
constexpr float kEyesOpenMin = 0.25f, kEyesOpenMax = 4.0f;
constexpr float kEyesClosedMin = 0.06666667f, kEyesClosedMax = 0.13333334f;
constexpr CGPoint kRankBeePosition = {328, 291};
constexpr double kShadowOffsetX = 2, kShadowY = 281;
constexpr uint8_t kShadowOpacity = 64;
// The body of the page (rank, emblem and statistics) spans x 288 to 1000 in its own coordinates:
// moved this far, it is centred on the 1024-point screen, clear of both arrows.
constexpr double kBodyShiftX = -132;

int32_t clampedRank(int32_t rank) { return std::clamp(rank, 0, kHighestRank); }

}  // namespace

std::string VantrelMenuLayer::rankEmblemFileName(int32_t rank) {
    return stringWithFormat("rank_%i.png", clampedRank(rank));
}

CGPoint VantrelMenuLayer::rankStarPosition(int32_t rank) {
    const int32_t clamped = clampedRank(rank);
    return clamped == 0 ? CGPointZero : kStarPositions[clamped - 1];
}

void VantrelMenuLayer::createFlightLog() {
    VantrelMenuScreenData* flightLog = createScreen("flight_log", "menu_bg_flight_log.png");
    flightLog->bgGradientTop = kFlightLogGradientTop;
    flightLog->bgGradientBottom = kFlightLogGradientBottom;
    CCNode* screenNode = flightLog->screenNode;
    const bool newRank = VantrelGlobal::sharedInstance()->lastLevelHasNewRank();

    addFrame(screenNode, "flight_log_title.png", {380, 565});
    // The body's pictures of the menu sheet, in its own coordinates.
    const RefPtr<CCSprite> body = holderSprite(screenNode);
    body->setAnchorPoint(CGPointZero);
    body->setPosition({kBodyShiftX, 0});
    screenNode->addChild(body.get());
    addFrame(body.get(), newRank ? "rank_new_title.png" : "rank_title.png", {288, 488});
    addFrame(body.get(), "stats_grid.png", {600, 196});
    flightLogFooter_ = RefPtr<CCSprite>(addFrame(body.get(), "flight_log_footer.png", {280, 23}));
    if (flightLogFooter_) flightLogFooter_->setVisible(false);

    // The emblem files and the star table cover ranks 0 to 10 only.
    const int32_t rank = clampedRank(rank_ ? rank_->getSavedRank() : 0);
    // Holds what is not drawn from the menu sheet, in the body's coordinates.
    const RefPtr<CCNode> overlay = CCNode::node();
    overlay->setPosition({screenNode->position().x + kBodyShiftX, screenNode->position().y});
    flightLog->centreNode->addChild(overlay.get());

    rankStarGlow_.reset();
    if (rank >= 1 && newRank) {
        rankStarGlow_ = frameSprite("rank_star_glow.png");
        if (rankStarGlow_) {
            rankStarGlow_->setPosition(rankStarPosition(rank));
            body->addChild(rankStarGlow_.get());
            animateRankStarGlow();
        }
    }

    rankEmblem_ = CCSprite::spriteWithFile(rankEmblemFileName(rank));
    if (rankEmblem_) {
        rankEmblem_->setAnchorPoint(CGPointZero);
        rankEmblem_->setPosition({288, 197});
        overlay->addChild(rankEmblem_.get());
    } else {
        logLine("Vantrel: the flight log has no rank emblem \"%s\"", rankEmblemFileName(rank).c_str());
    }

    statsNode_ = CCNode::node();
    statsNode_->setPosition({600, 196});
    overlay->addChild(statsNode_.get());
    const auto addStat = [this](const char* key, const char* font, int32_t alignment, CGPoint anchor, CGPoint place) {
        const uint32_t value = stats_ ? stats_->getStatUInt(key) : 0;
        const RefPtr<CCLabelBMFont> label =
            CCLabelBMFont::labelWithString(stringWithFormat("%u", value), font, kStatsLabelWidth, alignment);
        if (!label) return;
        label->setAnchorPoint(anchor);
        label->setPosition(place);
        statsNode_->addChild(label.get());
    };
    for (const StatCell& cell : kStatCells) {
        addStat(cell.key, "FuturaBeeStats.fnt", CCLabelBMFont::kAlignmentLeft, CGPointZero, cell.position);
    }
    addStat("honey", "FuturaBeeStatsLarge.fnt", CCLabelBMFont::kAlignmentRight, {1, 0}, {390, -2});

    createRankBeeAnimation();
    if (!rankBeeAnimation_) return;
    const CCSpriteFrame* restingFrame = rankBeeAnimation_->frames()[1]->spriteFrame();
    rankBeeShadow_ = CCSprite::spriteWithSpriteFrame(restingFrame);
    rankBee_ = CCSprite::spriteWithSpriteFrame(restingFrame);
    for (CCSprite* sprite : {rankBeeShadow_.get(), rankBee_.get()}) {
        sprite->setAnchorPoint(CGPointZero);
        overlay->addChild(sprite);
    }
    rankBeeBlinkSprite_ = RefPtr<CCSprite>(addFrame(rankBee_.get(), "rank_bee_blink.png", {0, 0}));
    rankBeeBlinkStamina_ = game::Stamina::stamina(kEyesOpenMin, kEyesOpenMax, kEyesClosedMin, kEyesClosedMax, true);
    rankBee_->setPosition(kRankBeePosition);
    rankBeeShadow_->setPosition({kRankBeePosition.x + kShadowOffsetX, kShadowY});
    rankBeeShadow_->setColor({0, 0, 0});
    rankBeeShadow_->setOpacity(kShadowOpacity);
    animateRankBee();
}

void VantrelMenuLayer::createRankBeeAnimation() {
    std::vector<RefPtr<CCSpriteFrame>> frames;
    CCSpriteFrameCache* cache = CCSpriteFrameCache::sharedSpriteFrameCache();
    for (const int number : kWingFrames) {
        const std::string name = stringWithFormat("%s_%i.png", "rank_bee", number);
        RefPtr<CCSpriteFrame> frame = cache->spriteFrameByName(name);
        if (!frame) {
            logLine("Vantrel: the menu has no picture \"%s\"", name.c_str());
            rankBeeAnimation_.reset();
            return;
        }
        frames.push_back(std::move(frame));
    }
    rankBeeAnimation_ = CCAnimation::animationWithSpriteFrames(frames, kWingFrameTime);
}

void VantrelMenuLayer::animateRankBee() {
    if (!rankBee_ || !rankBeeShadow_ || !rankBeeAnimation_) return;
    for (CCSprite* sprite : {rankBee_.get(), rankBeeShadow_.get()}) {
        const RefPtr<CCAction> beat = CCRepeatForever::actionWithAction(CCAnimate::actionWithAnimation(rankBeeAnimation_));
        beat->setTag(kRankBeeAnimationTag);
        sprite->runAction(beat.get());
    }
    if (rankBeeBlinkStamina_) rankBeeBlinkStamina_->setActive(true);
    if (rankBeeBlinkSprite_) rankBeeBlinkSprite_->setVisible(false);
    rankBeeBlinkPaused_ = false;
}

void VantrelMenuLayer::animateRankStarGlow() {
    if (!rankStarGlow_) return;
    rankStarGlow_->stopAllActions();
    rankStarGlow_->setOpacity(0);
    rankStarGlow_->runAction(pulseForever().get());
}

void VantrelMenuLayer::updateFlightLog(float dt) {
    if (rankBeeBlinkPaused_ || !rankBeeBlinkStamina_) return;
    if (rankBeeBlinkStamina_->update(dt) && rankBeeBlinkSprite_) {
        rankBeeBlinkSprite_->setVisible(!rankBeeBlinkStamina_->active());
    }
}

void VantrelMenuLayer::destroyFlightLog() {
    rankBeeBlinkPaused_ = true;
    rankBeeAnimation_.reset();
    rankBeeBlinkStamina_.reset();
}
