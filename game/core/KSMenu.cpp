#include "game/core/KSMenu.h"

#include "engine/core/CCDirector.h"
#include "engine/render/CCMenuItem.h"
#include "game/core/KSMenuItem.h"

RefPtr<KSMenu> KSMenu::menuWithArrayOfMenuItems(const std::vector<RefPtr<CCMenuItem>>& items) {
    auto menu = makeRef<KSMenu>();
    return menu->initWithArrayOfMenuItems(items) ? menu : nullptr;
}

CCMenuItem* KSMenu::itemForMouseEvent(const Event& event) {
    const CGPoint point = CCDirector::sharedDirector()->convertEventToGL(event);
    if (!children()) return nullptr;
    for (Object* child : *children()) {
        auto* item = dynamic_cast<CCMenuItem*>(child);
        if (!item || !item->visible() || !item->isEnabled()) continue;
        // A plain item's rect() lies in the menu's space, not in its own.
        const auto* enlarged = dynamic_cast<KSMenuItem*>(item);
        const CGRect hitArea = enlarged ? enlarged->rect() : CGRect{CGPointZero, item->contentSize()};
        if (CGRectContainsPoint(hitArea, item->convertToNodeSpace(point))) return item;
    }
    return nullptr;
}
