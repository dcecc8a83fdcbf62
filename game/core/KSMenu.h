#pragma once

#include <vector>

#include "engine/render/CCMenu.h"

// A menu that finds the item under the pointer by each item's own hit area, so that a KSMenuItem
// is hit within its enlarged rectangle.
//
// Engine thread only.
class KSMenu : public CCMenu {
public:
    static RefPtr<KSMenu> menuWithArrayOfMenuItems(const std::vector<RefPtr<CCMenuItem>>& items);

    KSMenu() = default;
    // CCMenu's initWithArray.
    bool initWithArrayOfMenuItems(const std::vector<RefPtr<CCMenuItem>>& items) { return initWithArray(items); }

    // The first visible, enabled item in children order whose hit area holds the event's point:
    // a KSMenuItem's rect() in its image's space; any other item's content rectangle in its own.
    CCMenuItem* itemForMouseEvent(const Event& event) override;
};
