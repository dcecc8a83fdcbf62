// Phones and HID joysticks in the menu: controller layouts per screen and their buttons as menu
// actions. Filled in with the phone and joystick menu input.

#include "app/menu/VantrelMenuLayer.h"

void VantrelMenuLayer::initNetworkControl() {}

void VantrelMenuLayer::cleanupNetworkControl() {}

void VantrelMenuLayer::updateNetworkControl() {}

void VantrelMenuLayer::initHidJoystickControl() {}

void VantrelMenuLayer::cleanupHidJoystickControl() {}
