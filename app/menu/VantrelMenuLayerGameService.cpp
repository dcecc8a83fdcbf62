// The menu's use of the game service: logging in or out by the preference, and its callbacks.
// Filled in with the settings screen's service buttons.

#include "app/menu/VantrelMenuLayer.h"

void VantrelMenuLayer::updateGameCenter() {}
