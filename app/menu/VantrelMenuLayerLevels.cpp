// The level-group screens: one per available group, with the group's ground, colours and title.
// The hives and level buttons come later.

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "engine/render/CCSprite.h"
#include "game/core/ColourUtils.h"
#include "game/core/Levels.h"

void VantrelMenuLayer::createLevels() {
    if (!levels_) return;
    for (const Value& groupId : levels_->levelGroupOrder().elements()) createLevels(groupId.stringValue());
}

void VantrelMenuLayer::createLevels(const std::string& groupId) {
    if (!levels_->isLevelGroupAvailable(groupId)) return;
    const Value& menuData = levels_->getLevelGroupMenuData(groupId);
    VantrelMenuScreenData* screen = createScreen(groupId, menuData["background_image"].stringValue());
    screen->bgGradientTop = ColourUtils::ccColor4BFromString(menuData["background_gradient_top"].stringValue());
    screen->bgGradientBottom = ColourUtils::ccColor4BFromString(menuData["background_gradient_bottom"].stringValue());
    if (const std::string title = menuData["title_image"].stringValue(); !title.empty()) {
        if (CCSprite* picture = addFrame(screen->screenNode, title, {halfScreenSize_.width - 1, 565})) {
            picture->setAnchorPoint({0.5, 0});
        }
    }
}

void VantrelMenuLayer::fillHives() {}

void VantrelMenuLayer::drainHives() {}
