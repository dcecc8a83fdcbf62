// The settings screen. Its buttons (game controls, the game service, the phone app) come later;
// the screen stands on the ring now so that the ring is complete.

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"

void VantrelMenuLayer::createSettings() { createScreen("settings", "menu_bg_title.png"); }
