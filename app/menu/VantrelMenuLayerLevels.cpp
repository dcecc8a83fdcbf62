// The level-group screens: one per available group, with the group's ground, colours and title and
// up to three hives, each showing a level's best score and honey, with its play button or a lock;
// the hives' honey rising and draining; and leaving the menu for a level.

#include <algorithm>

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "shell/VantrelGlobal.h"
#include "shell/VantrelTransitionLayer.h"
#include "audio/VantrelAudio.h"
#include "engine/actions/composite/CCRepeatForever.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/actions/interval/CCFadeTo.h"
#include "engine/actions/interval/CCScaleTo.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSprite.h"
#include "game/core/ColourUtils.h"
#include "game/core/KSMenu.h"
#include "game/core/KSMenuItem.h"
#include "game/core/Levels.h"
#include "game/core/VTDualTouchTracker.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"
#include "platform/window/CursorHider.h"

namespace {

constexpr const char* kGameSceneName = "VantrelGameLayer";
constexpr ccColor3B kScoreColour = {255, 197, 27};
// Holder x of each slot by the group's level count (rows 1 to 3): slots 244 points apart, each as
// wide as its 200-point play button, centred on the 1024-point screen so that the third hive stands
// clear of the right arrow (whose click area begins at x 912).
constexpr double kSlotX[3][3] = {{412, 0, 0}, {290, 534, 0}, {168, 412, 656}};

std::string levelIdOf(const Value& level) { return level["id"].stringValue(); }

// The label tab of a level id ending in "_a", "_b" or "_c"; empty for any other id.
std::string labelTabFrame(const std::string& id) {
    if (id.size() < 2 || id[id.size() - 2] != '_') return {};
    const char letter = id.back();
    if (letter != 'a' && letter != 'b' && letter != 'c') return {};
    return stringWithFormat("menu_hive_%c_title.png", letter);
}

}  // namespace

RefPtr<CCAction> VantrelMenuLayer::pulseForever() {
    return CCRepeatForever::actionWithAction(refCast<CCActionInterval>(CCSequence::actionOne(
        CCFadeTo::actionWithDuration(kPulseFadeTime, 255), CCFadeTo::actionWithDuration(kPulseFadeTime, 0))));
}

double VantrelMenuLayer::levelSlotX(int32_t levelCount, int32_t slot) {
    if (levelCount < 1 || levelCount > kLevelSlots || slot < 0 || slot >= levelCount) return 0;
    return kSlotX[levelCount - 1][slot];
}

double VantrelMenuLayer::unlockLineHeight(double hiveHeight, uint32_t unlockScore, uint32_t referenceScore) {
    if (unlockScore == 0 || referenceScore == 0) return 0;
    return hiveHeight * std::min(static_cast<double>(unlockScore) / referenceScore, 1.0);
}

void VantrelMenuLayer::createLevels() {
    hivesHoney_.clear();
    if (!levels_) return;
    hivesHoney_.reserve(static_cast<size_t>(std::max(levels_->levelCount(), 0)));
    for (const Value& groupId : levels_->levelGroupOrder().elements()) createLevels(groupId.stringValue());
}

void VantrelMenuLayer::createLevels(const std::string& groupId) {
    if (!levels_->isLevelGroupAvailable(groupId)) return;
    const Value& menuData = levels_->getLevelGroupMenuData(groupId);
    VantrelMenuScreenData* screen = createScreen(groupId, menuData["background_image"].stringValue());
    screen->bgGradientTop = ColourUtils::ccColor4BFromString(menuData["background_gradient_top"].stringValue());
    screen->bgGradientBottom = ColourUtils::ccColor4BFromString(menuData["background_gradient_bottom"].stringValue());
    CCNode* screenNode = screen->screenNode;
    if (const std::string title = menuData["title_image"].stringValue(); !title.empty()) {
        if (CCSprite* picture = addFrame(screenNode, title, {halfScreenSize_.width - 1, 565})) {
            picture->setAnchorPoint({0.5, 0});
        }
    }

    const std::vector<Value>& levels = levels_->levelGroups()[groupId].elements();
    if (levels.empty()) return;
    if (groupId == "antarctica") {
        if (CCSprite* banner = addFrame(screenNode, "new_levels_title.png", {halfScreenSize_.width, 525})) {
            banner->setAnchorPoint({0.5, 0});
        }
    }
    // Three slots: further levels are left off the screen.
    const int32_t levelCount = static_cast<int32_t>(std::min<size_t>(levels.size(), kLevelSlots));
    if (levels.size() > static_cast<size_t>(kLevelSlots)) {
        logLine("Vantrel: level group \"%s\" has %zu levels; its screen shows the first %d", groupId.c_str(),
                levels.size(), kLevelSlots);
    }
    RefPtr<CCSprite> holders[kLevelSlots];
    for (int32_t slot = 0; slot < kLevelSlots; ++slot) {
        holders[slot] = holderSprite(screenNode);
        holders[slot]->setAnchorPoint(CGPointZero);
        holders[slot]->setPosition({levelSlotX(levelCount, slot), kLevelSlotY});
        screenNode->addChild(holders[slot].get());
    }
    screen->levelCount = levelCount;

    std::vector<RefPtr<CCMenuItem>> items;
    KSMenuItem** slotItems[kLevelSlots] = {&screen->levelMenuItemA, &screen->levelMenuItemB, &screen->levelMenuItemC};
    for (int32_t i = 0; i < levelCount; ++i) {
        RefPtr<KSMenuItem> item = createLevelMenuItem(levels[static_cast<size_t>(i)], i + 1, holders[i].get());
        *slotItems[i] = item.get();
        if (item) items.push_back(std::move(item));
    }
    if (items.empty()) return;
    const RefPtr<KSMenu> menu = KSMenu::menuWithArrayOfMenuItems(items);
    menu->setIgnoreAnchorPointForPosition(false);
    menu->setAnchorPoint(CGPointZero);
    menu->setPosition(CGPointZero);
    screen->baseNode->addChild(menu.get());
}

RefPtr<KSMenuItem> VantrelMenuLayer::createLevelMenuItem(const Value& level, int32_t /*slot*/, CCNode* holder) {
    const std::string id = levelIdOf(level);
    const bool open = levels_->isLevelAvailableAndUnLocked(id);
    const VantrelGlobal* global = VantrelGlobal::sharedInstance();
    const bool lastPlayed = !id.empty() && id == global->lastLevelId();

    if (const std::string tab = labelTabFrame(id); !tab.empty()) addFrame(holder, tab, {0, 300});
    if (lastPlayed && global->lastLevelHasNewHighScore()) addFrame(holder, "menu_highscore_tab.png", {122, 62});
    if (global->lastLevelUnlockedNewLevel() && !id.empty() && id == global->unlockedLevelId()) {
        addFrame(holder, "menu_hive_open_tab.png", {122, 62});
    }
    if (open) {
        const CCSprite* scoreBackground = addFrame(holder, "menu_score_bg.png", {16, 60});
        const RefPtr<CCLabelBMFont> score =
            CCLabelBMFont::labelWithString(stringWithFormat("%u", levels_->getScoreForLevelId(id)), "FuturaBee.fnt",
                                           400, CCLabelBMFont::kAlignmentCenter);
        CCNode* labelParent = holder->parent() ? holder->parent()->parent() : nullptr;
        if (score && scoreBackground && labelParent) {
            score->setColor(kScoreColour);
            // Outside the sprite batch, centred on the score background.
            const CGPoint centre = {scoreBackground->position().x + scoreBackground->contentSize().width / 2,
                                    scoreBackground->position().y + scoreBackground->contentSize().height / 2};
            const CGPoint placed = labelParent->convertToNodeSpace(holder->convertToWorldSpace(centre));
            score->setPosition({placed.x + 2, placed.y - 5});
            labelParent->addChild(score.get());
        }
    }

    const RefPtr<CCSprite> inner = frameSprite("menu_hive_inner.png");
    const RefPtr<CCSprite> honey = frameSprite("menu_hive_honey.png");
    const RefPtr<CCSprite> outer = frameSprite("menu_hive_outer.png");
    RefPtr<CCSprite> unlockLine;
    const uint32_t referenceScore = levels_->getReferenceScoreForLevelId(id);
    const uint32_t unlockScore = levels_->getUnlockNextLevelScoreForLevelId(id);
    if (!levels_->getNextLevelId(id).empty() && levels_->shouldUseReferenceScoreForLevelId(id) &&
        referenceScore != 0 && unlockScore != 0) {
        unlockLine = frameSprite("menu_hive_unlock_line.png");
    }
    CCSprite* glow = lastPlayed ? addFrame(holder, "menu_hive_selected.png", {0, 0}) : nullptr;
    if (glow) {
        glow->setAnchorPoint({0.5, 0.5});
        glow->setOpacity(0);
        glow->runAction(pulseForever().get());
    }
    if (inner) {
        inner->setAnchorPoint(CGPointZero);
        holder->addChild(inner.get());
        const CGSize hive = inner->contentSize();
        if (unlockLine) {
            unlockLine->setPosition({hive.width / 2, unlockLineHeight(hive.height, unlockScore, referenceScore)});
            inner->addChild(unlockLine.get());
        }
        if (honey) {
            honey->setAnchorPoint(CGPointZero);
            honey->setPosition(CGPointZero);
            inner->addChild(honey.get());
        }
        if (outer) {
            outer->setPosition({hive.width / 2, hive.height / 2});
            inner->addChild(outer.get());
        }
        inner->setPosition({44, 136});
        if (glow && outer) glow->setPosition(holder->convertToNodeSpace(inner->convertToWorldSpace(outer->position())));
    }
    if (inner && honey) {
        honey->setScaleY(0);
        honey->setUserData(const_cast<Value*>(&level));
        hivesHoney_.push_back(honey);
    }

    if (!open) {
        addFrame(holder, "menu_locked.png", {16, 60});
        return nullptr;
    }
    const RefPtr<CCSprite> normal = frameSprite("menu_play_button.png");
    const RefPtr<CCSprite> selected = frameSprite("menu_play_button_selected.png");
    if (!normal || !selected) return nullptr;
    // The item switches the two images where they stand in the holder, inside the screen's batch.
    RefPtr<KSMenuItem> item = makePlacedButton(holder, normal, selected, CGPointZero, &VantrelMenuLayer::onLevelMenuItemPressed);
    item->setUserData(const_cast<Value*>(&level));
    item->setSizeOffsets(266, 16, 16, 16);
    return item;
}

// ---- Honey ----

void VantrelMenuLayer::fillHives() {
    for (const RefPtr<CCSprite>& honey : hivesHoney_) {
        honey->stopAllActions();
        const auto* level = static_cast<const Value*>(honey->userData());
        const float fill = level && levels_ ? levels_->getFillPercForLevelId(levelIdOf(*level)) : 0.0f;
        honey->runAction(CCScaleTo::actionWithDuration(kHiveFillTime, 1.0f, fill).get());
    }
}

void VantrelMenuLayer::drainHives() {
    for (const RefPtr<CCSprite>& honey : hivesHoney_) {
        honey->stopAllActions();
        honey->runAction(CCScaleTo::actionWithDuration(kHiveDrainTime, 1.0f, 0.0f).get());
    }
}

void VantrelMenuLayer::stopHivesFillingOrDraining() {
    for (const RefPtr<CCSprite>& honey : hivesHoney_) honey->stopAllActions();
}

void VantrelMenuLayer::destroyLevels() {
    stopHivesFillingOrDraining();
    hivesHoney_.clear();
}

// ---- Starting a level ----

void VantrelMenuLayer::onLevelMenuItemPressed(Object* sender) {
    if (isBusy()) return;
    const auto* item = dynamic_cast<CCNode*>(sender);
    const auto* level = item ? static_cast<const Value*>(item->userData()) : nullptr;
    if (!level) return;
    playInterfaceSound();
    startGame(levelIdOf(*level));
    CursorHider::current().hideUntilMouseMoves();
}

void VantrelMenuLayer::startGame(const std::string& levelId) {
    setIsMouseEnabled(false);
    setIsKeyboardEnabled(false);
    if (touchTracker_) {
        touchTracker_->setIsEnabled(false);
        touchTracker_.reset();
    }
    setIsTouchEnabled(false);
    setBusyForGood();
    VantrelGlobal::sharedInstance()->startGame(levelId);
    VantrelAudio::sharedInstance()->fadeTrackAndStop();
    VantrelTransitionLayer::sceneTransitionTo(kGameSceneName);
}
