#pragma once

#include <cstdint>

#include "PadlinkSDK/PadlinkRPCLib/JPManager.h"
#include "platform/foundation/Object.h"

// The game's side of the phone controllers: sets the controller library up, tells it whether a
// game is played and which layout suits the screen in front of the player, and hands its device
// events to the scene listening now (the menu or the play scene).
//
// Every call into the library is posted to the main run loop without waiting, so calls take
// effect in the order made, after the frame that made them. Engine thread only.
class VantrelNetworkControl : public JPManagerDelegate {
public:
    // The one instance over the library's shared manager, made on first use.
    static VantrelNetworkControl* sharedInstance();

    // Sets the manager up: one player, the game's name, game state 0, the images the layouts use,
    // the empty layout (posted), and this object as its delegate.
    explicit VantrelNetworkControl(JPManager& manager);
    ~VantrelNetworkControl() override;
    VantrelNetworkControl(const VantrelNetworkControl&) = delete;
    VantrelNetworkControl& operator=(const VantrelNetworkControl&) = delete;

    JPManager& padlinkManager() const { return manager_; }
    // True while at least one phone is connected.
    bool padlinkConnected() const;

    // The scene told of phones connecting and disconnecting, or null. Kept alive while set when it
    // is an Object.
    void setPadlinkManagerDelegate(JPManagerDelegate* delegate);
    JPManagerDelegate* padlinkManagerDelegate() const { return managerDelegate_; }
    // The scene hearing the phones' input, or null; it becomes the delegate of every phone
    // connected now and of each that connects later. Kept alive while set when it is an Object.
    void setPadlinkDeviceDelegate(JPDeviceDelegate* delegate);
    JPDeviceDelegate* padlinkDeviceDelegate() const { return deviceDelegate_; }

    // Game state: phones are looked for in menus and pause (0), not in play (1).
    void inMenu();
    void inGame();
    void inGamePause();
    void inGameUnPause();

    // Layouts (VantrelPadlinkLayout of the same name).
    void useEmptyConfiguration();
    void useMenuConfiguration();
    void useMenuSettingsConfiguration();
    void useMenuInstructionsConfiguration();
    // 1 to 3 level buttons: menuHiveA, menuHiveAB, menuHiveABC; any other number the plain menu.
    void useMenuHivesConfiguration(int64_t levelButtons);
    void useJoystickLeftConfiguration();
    void useJoystickRightConfiguration();
    void useJoystickRelativeConfiguration();
    void useAccelerometerConfiguration();
    void useDPADConfiguration();
    // The game-controls preference: 1 (tilt) the accelerometer, 2 the d-pad, anything else the
    // relative stick.
    void useGameConfiguration(int64_t gameControls);
    void useGamePausedConfiguration();
    void useGameSummaryCompleteConfiguration();

    // The library's reports.
    uint16_t padlinkDelegations() const override;
    void padlinkManagerDeviceDidConnect(JPManager* manager, JPDevice* device) override;
    void padlinkManagerDeviceDidDisconnect(JPManager* manager, JPDevice* device) override;

private:
    void postGameState(int32_t state);
    void postLayout(RefPtr<JPControllerLayout> layout);

    JPManager& manager_;  // lives for the whole run
    JPManagerDelegate* managerDelegate_ = nullptr;
    RefPtr<Object> managerDelegateOwner_;  // managerDelegate_ as an Object, when it is one
    JPDeviceDelegate* deviceDelegate_ = nullptr;
    RefPtr<Object> deviceDelegateOwner_;  // deviceDelegate_ as an Object, when it is one
};
