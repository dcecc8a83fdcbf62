#pragma once

#include <cstdint>
#include <string>

#include "engine/core/ccTypes.h"
#include "platform/foundation/Object.h"

class CCNode;
class KSMenuItem;

// One screen of the menu world: where it stands on the ring, the nodes that hold it, the
// background colours shown with it and, on a level-group screen, its level buttons.
class VantrelMenuScreenData : public Object {
public:
    VantrelMenuScreenData();

    // "credits", "settings", "flight_log", "title", "instructions", or a level-group id.
    std::string name;
    // Degrees in [0, 360), counter-clockwise; the screen's place on the world.
    float angle = 0;
    // Child of the world holder, turned to the screen's place; holds the terrain and centreNode.
    // Not retained (the node tree keeps it).
    CCNode* baseNode = nullptr;
    // The screen's centre, at (0, screen radius) in baseNode. Not retained.
    CCNode* centreNode = nullptr;
    // The screen's content, laid out in window points (origin lower left): a sprite batch of the
    // menu sheet, or a plain node when the sheet is missing. Not retained.
    CCNode* screenNode = nullptr;
    ccColor4B bgGradientTop = {254, 204, 7, 255};
    ccColor4B bgGradientBottom = {241, 170, 25, 255};
    // Level buttons of a level-group screen, 0 to 3; not retained.
    int32_t levelCount = 0;
    KSMenuItem* levelMenuItemA = nullptr;
    KSMenuItem* levelMenuItemB = nullptr;
    KSMenuItem* levelMenuItemC = nullptr;

protected:
    ~VantrelMenuScreenData() override;
};
