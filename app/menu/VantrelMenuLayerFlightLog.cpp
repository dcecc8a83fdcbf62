// The flight-log screen: the rank and the lifetime statistics. Its content and the rank bee come
// later; the screen stands on the ring with its colours now.

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"

namespace {

constexpr ccColor4B kFlightLogGradientTop = {84, 211, 244, 255};
constexpr ccColor4B kFlightLogGradientBottom = {207, 236, 231, 255};

}  // namespace

void VantrelMenuLayer::createFlightLog() {
    VantrelMenuScreenData* flightLog = createScreen("flight_log", "menu_bg_flight_log.png");
    flightLog->bgGradientTop = kFlightLogGradientTop;
    flightLog->bgGradientBottom = kFlightLogGradientBottom;
}

void VantrelMenuLayer::updateFlightLog(float /*dt*/) {}
