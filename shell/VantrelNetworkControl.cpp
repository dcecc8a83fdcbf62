#include "shell/VantrelNetworkControl.h"

#include "shell/VantrelPadlinkLayout.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SharedInstances.h"

namespace {
constexpr int32_t kStateMenu = 0;
constexpr int32_t kStatePlaying = 1;
}  // namespace

VantrelNetworkControl* VantrelNetworkControl::sharedInstance() {
    static VantrelNetworkControl* const instance = [] {
        noteSharedInstanceMade("VantrelNetworkControl");
        return new VantrelNetworkControl(*JPManager::sharedManager());
    }();
    return instance;
}

VantrelNetworkControl::VantrelNetworkControl(JPManager& manager) : manager_(manager) {
    manager_.setMaxPlayerCount(1);
    manager_.setApplicationName("Vantrel");
    manager_.setGameState(kStateMenu);
    manager_.setImageNames({"padlink_bg.png", "padlink_arrow_left.png", "padlink_arrow_right.png", "padlink_hive.png",
                            "padlink_instructions.png", "padlink_gamecontrols.png", "padlink_quitgame.png",
                            "padlink_keepplaying.png", "padlink_playagain.png", "padlink_mainmenu.png",
                            "padlink_pause.png"});
    useEmptyConfiguration();
    manager_.setDelegate(this);
}

VantrelNetworkControl::~VantrelNetworkControl() {
    if (manager_.delegate() == this) manager_.setDelegate(nullptr);
}

bool VantrelNetworkControl::padlinkConnected() const { return manager_.devicesCount() > 0; }

void VantrelNetworkControl::setPadlinkManagerDelegate(JPManagerDelegate* delegate) {
    managerDelegate_ = delegate;
    managerDelegateOwner_ = RefPtr<Object>(dynamic_cast<Object*>(delegate));
}

void VantrelNetworkControl::setPadlinkDeviceDelegate(JPDeviceDelegate* delegate) {
    deviceDelegate_ = delegate;
    deviceDelegateOwner_ = RefPtr<Object>(dynamic_cast<Object*>(delegate));
    for (const RefPtr<JPDevice>& device : manager_.connectedDevices()) device->setDelegate(delegate);
}

void VantrelNetworkControl::postGameState(int32_t state) {
    JPManager* const manager = &manager_;
    RunLoop::main().performBlock([manager, state] { manager->setGameState(state); });
}

void VantrelNetworkControl::postLayout(RefPtr<JPControllerLayout> layout) {
    JPManager* const manager = &manager_;
    RunLoop::main().performBlock([manager, layout = std::move(layout)] { manager->setControllerLayout(layout); });
}

void VantrelNetworkControl::inMenu() { postGameState(kStateMenu); }

void VantrelNetworkControl::inGame() { postGameState(kStatePlaying); }

void VantrelNetworkControl::inGamePause() { postGameState(kStateMenu); }

void VantrelNetworkControl::inGameUnPause() { postGameState(kStatePlaying); }

void VantrelNetworkControl::useEmptyConfiguration() { postLayout(VantrelPadlinkLayout::empty()); }

void VantrelNetworkControl::useMenuConfiguration() { postLayout(VantrelPadlinkLayout::menu()); }

void VantrelNetworkControl::useMenuSettingsConfiguration() { postLayout(VantrelPadlinkLayout::menuSettings()); }

void VantrelNetworkControl::useMenuInstructionsConfiguration() { postLayout(VantrelPadlinkLayout::menuInstructions()); }

void VantrelNetworkControl::useMenuHivesConfiguration(int64_t levelButtons) {
    switch (levelButtons) {
        case 1: postLayout(VantrelPadlinkLayout::menuHiveA()); break;
        case 2: postLayout(VantrelPadlinkLayout::menuHiveAB()); break;
        case 3: postLayout(VantrelPadlinkLayout::menuHiveABC()); break;
        default: postLayout(VantrelPadlinkLayout::menu()); break;
    }
}

void VantrelNetworkControl::useJoystickLeftConfiguration() { postLayout(VantrelPadlinkLayout::joystickLeft()); }

void VantrelNetworkControl::useJoystickRightConfiguration() { postLayout(VantrelPadlinkLayout::joystickRight()); }

void VantrelNetworkControl::useJoystickRelativeConfiguration() { postLayout(VantrelPadlinkLayout::joystickRelative()); }

void VantrelNetworkControl::useAccelerometerConfiguration() { postLayout(VantrelPadlinkLayout::accelerometer()); }

void VantrelNetworkControl::useDPADConfiguration() { postLayout(VantrelPadlinkLayout::dpad()); }

void VantrelNetworkControl::useGameConfiguration(int64_t gameControls) {
    switch (gameControls) {
        case 1: useAccelerometerConfiguration(); break;
        case 2: useDPADConfiguration(); break;
        default: useJoystickRelativeConfiguration(); break;
    }
}

void VantrelNetworkControl::useGamePausedConfiguration() { postLayout(VantrelPadlinkLayout::gamePaused()); }

void VantrelNetworkControl::useGameSummaryCompleteConfiguration() {
    postLayout(VantrelPadlinkLayout::gameSummaryComplete());
}

uint16_t VantrelNetworkControl::padlinkDelegations() const {
    return kJPDelegationDeviceDidConnect | kJPDelegationDeviceDidDisconnect;
}

void VantrelNetworkControl::padlinkManagerDeviceDidConnect(JPManager* manager, JPDevice* device) {
    if (device) device->setDelegate(deviceDelegate_);
    const RefPtr<Object> keepAlive = managerDelegateOwner_;  // the delegate may clear itself in the call
    if (managerDelegate_ && (managerDelegate_->padlinkDelegations() & kJPDelegationDeviceDidConnect)) {
        managerDelegate_->padlinkManagerDeviceDidConnect(manager, device);
    }
}

void VantrelNetworkControl::padlinkManagerDeviceDidDisconnect(JPManager* manager, JPDevice* device) {
    if (device) device->setDelegate(nullptr);
    const RefPtr<Object> keepAlive = managerDelegateOwner_;  // the delegate may clear itself in the call
    if (managerDelegate_ && (managerDelegate_->padlinkDelegations() & kJPDelegationDeviceDidDisconnect)) {
        managerDelegate_->padlinkManagerDeviceDidDisconnect(manager, device);
    }
}
