// Phones and HID joysticks in the menu: the phone's layout for the screen in view, and phone and pad
// buttons and pad hats as the same menu actions as the mouse and the keys. Both arrive on the main
// thread, which runs the menu, and every action refuses while the menu is busy.

#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "shell/VantrelNetworkControl.h"
#include "game/core/KSMenuItem.h"
#include "game/core/VTHidMapper.h"
#include "platform/window/CursorHider.h"

namespace {

// Phone buttons of the menu layouts.
constexpr int kPhoneButtonA = 6;  // also game controls and the next instructions page
constexpr int kPhoneButtonB = 7;
constexpr int kPhoneButtonC = 8;
constexpr int kPhoneButtonLeft = 14;
constexpr int kPhoneButtonRight = 15;

// Logical pad buttons (VTHidMapper).
constexpr uint32_t kHidButtonRight = 105;
constexpr uint32_t kHidButtonLeft = 107;
constexpr uint32_t kHidButtonFullScreen = 116;

// Hat values, hundredths of degrees clockwise from up.
constexpr int32_t kHatRight = 9000;
constexpr int32_t kHatLeft = 27000;

}  // namespace

VantrelNetworkControl* VantrelMenuLayer::networkControl() const {
    return networkControl_ ? networkControl_ : VantrelNetworkControl::sharedInstance();
}

// ---- Phones ----

void VantrelMenuLayer::initNetworkControl() {
    VantrelNetworkControl* network = networkControl();
    network->setPadlinkManagerDelegate(this);
    network->setPadlinkDeviceDelegate(this);
    updateNetworkControl();
    network->inMenu();
}

void VantrelMenuLayer::cleanupNetworkControl() {
    VantrelNetworkControl* network = networkControl();
    network->inGame();
    network->useEmptyConfiguration();
    if (network->padlinkManagerDelegate() == this) network->setPadlinkManagerDelegate(nullptr);
    if (network->padlinkDeviceDelegate() == this) network->setPadlinkDeviceDelegate(nullptr);
}

void VantrelMenuLayer::updateNetworkControl() {
    const VantrelMenuScreenData* screen = getScreenData(currentScreenIndex_);
    if (!screen) return;
    VantrelNetworkControl* network = networkControl();
    const std::string& name = screen->name;
    if (name == "title" || name == "credits" || name == "flight_log") {
        network->useMenuConfiguration();
    } else if (name == "settings") {
        network->useMenuSettingsConfiguration();
    } else if (name == "instructions") {
        network->useMenuInstructionsConfiguration();
    } else {
        network->useMenuHivesConfiguration(screen->levelCount);
    }
}

uint16_t VantrelMenuLayer::padlinkDelegations() const {
    return kJPDelegationButtonDown | kJPDelegationDeviceDidConnect | kJPDelegationDeviceDidDisconnect;
}

void VantrelMenuLayer::padlinkManagerDeviceDidConnect(JPManager* /*manager*/, JPDevice* /*device*/) {
    updatePadlinkMessage();
}

void VantrelMenuLayer::padlinkManagerDeviceDidDisconnect(JPManager* /*manager*/, JPDevice* /*device*/) {
    updatePadlinkMessage();
}

void VantrelMenuLayer::padlinkDeviceButtonDown(JPDevice* /*device*/, int button) {
    CursorHider::current().hideUntilMouseMoves();
    switch (button) {
        case kPhoneButtonA:
            if (!pressLevelSlot(&VantrelMenuScreenData::levelMenuItemA)) pressScreenAction();
            break;
        case kPhoneButtonB:
            pressLevelSlot(&VantrelMenuScreenData::levelMenuItemB);
            break;
        case kPhoneButtonC:
            pressLevelSlot(&VantrelMenuScreenData::levelMenuItemC);
            break;
        case kPhoneButtonLeft:
            onLeftPressed(nullptr);
            break;
        case kPhoneButtonRight:
            onRightPressed(nullptr);
            break;
        default:
            break;
    }
}

// ---- Screen actions ----

bool VantrelMenuLayer::pressLevelSlot(KSMenuItem* VantrelMenuScreenData::*slot) {
    const VantrelMenuScreenData* screen = getScreenData(currentScreenIndex_);
    if (!screen || screen->levelCount <= 0) return false;
    // An empty slot or a closed level has no item. The item's action is the level button's.
    KSMenuItem* item = screen->*slot;
    if (item && !isBusy()) item->activate();
    return true;
}

void VantrelMenuLayer::pressScreenAction() {
    const VantrelMenuScreenData* screen = getScreenData(currentScreenIndex_);
    if (!screen) return;
    if (screen->name == "settings") {
        onGameControlsMenuItemPressed(nullptr);
    } else if (screen->name == "instructions") {
        onNextInstructionsMenuItemPressed(nullptr);
    }
}

// ---- HID pads and joysticks ----

void VantrelMenuLayer::initHidJoystickControl() {
    // Listed now, so that a pad plugged in since the program started is found.
    hidJoysticks_ = DDHidJoystick::allJoysticks();
    for (const RefPtr<DDHidJoystick>& joystick : hidJoysticks_) {
        joystick->setDelegate(this);
        joystick->startListening();
    }
}

void VantrelMenuLayer::cleanupHidJoystickControl() {
    for (const RefPtr<DDHidJoystick>& joystick : hidJoysticks_) {
        joystick->stopListening();
        joystick->setDelegate(nullptr);
    }
    hidActiveJoystick_.reset();
    hidJoysticks_.clear();
}

void VantrelMenuLayer::ddhidJoystickButtonDown(DDHidJoystick* joystick, uint32_t buttonNumber) {
    CursorHider::current().hideUntilMouseMoves();
    if (joystick && hidActiveJoystick_.get() != joystick) {
        hidActiveJoystick_ = RefPtr<DDHidJoystick>(joystick);
        VTHidMapper::sharedInstance().setDeviceName(joystick->productName());
    }
    switch (VTHidMapper::sharedInstance().map(buttonNumber)) {
        case 0:
        case 2:
            if (!pressLevelSlot(&VantrelMenuScreenData::levelMenuItemB)) pressScreenAction();
            break;
        case 1:
            if (!pressLevelSlot(&VantrelMenuScreenData::levelMenuItemC)) pressScreenAction();
            break;
        case 3:
            if (!pressLevelSlot(&VantrelMenuScreenData::levelMenuItemA)) pressScreenAction();
            break;
        case kHidButtonRight:
            onRightPressed(nullptr);
            break;
        case kHidButtonLeft:
            onLeftPressed(nullptr);
            break;
        case kHidButtonFullScreen:
            onFullscreenPressed(nullptr);
            break;
        default:
            break;
    }
}

void VantrelMenuLayer::ddhidJoystickButtonUp(DDHidJoystick* /*joystick*/, uint32_t /*buttonNumber*/) {}

void VantrelMenuLayer::ddhidJoystickStickPovNumberValueChanged(DDHidJoystick* /*joystick*/, uint32_t /*stick*/,
                                                               uint32_t /*povNumber*/, int32_t value) {
    CursorHider::current().hideUntilMouseMoves();
    if (value == kHatLeft) {
        onLeftPressed(nullptr);
    } else if (value == kHatRight) {
        onRightPressed(nullptr);
    }
}
