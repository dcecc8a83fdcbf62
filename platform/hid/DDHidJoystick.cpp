#include "platform/hid/DDHidJoystick.h"

#include "platform/hid/SDLHidJoystick.h"

std::vector<RefPtr<DDHidJoystick>> DDHidJoystick::allJoysticks() { return SDLHidJoystick::connectedJoysticks(); }
