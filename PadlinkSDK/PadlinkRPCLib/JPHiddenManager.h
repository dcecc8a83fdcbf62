#pragma once

#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPHandler.h"
#include "PadlinkSDK/PadlinkRPCLib/JPHiddenDevice.h"
#include "PadlinkSDK/PadlinkRPCLib/JPManager.h"
#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceBrowser.h"

// The manager itself (see JPManager).
//
// Policy: phones are looked for while the game is in a menu, fewer than maxPlayerCount phones are
// connecting or connected, and none is connecting. A phone found is chosen (the delegate may refuse
// it), waits as to-connect, and starts connecting when a player place is free: at once when none is
// left to wait for, else after connectDelay() seconds. Connected phones get the smallest free player
// number from 1. Devices are kept for the whole run, in the order found.
class JPHiddenManager final : public JPManager, public JPNetServiceBrowserDelegate,
                              public JPHiddenDeviceConnectionDelegate {
public:
    // The instance behind JPManager::sharedManager().
    static JPHiddenManager* shared();

    // Seconds between choosing a phone and starting to connect it while player places remain to
    // fill (1.1); tests shorten it.
    static double connectDelay();
    static void setConnectDelay(double seconds);

    // JPManager's operations.
    JPManagerDelegate* delegate() const override { return delegate_; }
    void setDelegate(JPManagerDelegate* delegate) override;
    int32_t gameState() const override { return gameState_; }
    void setGameState(int32_t state) override;
    uint64_t maxPlayerCount() const override { return maxPlayerCount_; }
    void setMaxPlayerCount(uint64_t count) override;
    RefPtr<JPControllerLayout> controllerLayout() const override { return controllerLayout_; }
    void setControllerLayout(RefPtr<JPControllerLayout> layout) override;
    std::vector<RefPtr<JPDevice>> connectedDevices() const override;
    uint64_t devicesCount() const override;
    bool isSearching() const override { return isSearching_; }
    int32_t layoutIdentifier() const override { return layoutIdentifier_; }
    const std::string& applicationName() const override { return applicationName_; }
    void setApplicationName(std::string name) override { applicationName_ = std::move(name); }
    const std::vector<std::string>& imageNames() const override { return imageNames_; }
    void setImageNames(std::vector<std::string> names) override { imageNames_ = std::move(names); }
    bool bustImageCache() const override { return bustImageCache_; }
    void setBustImageCache(bool flag) override { bustImageCache_ = flag; }
    bool displayDebugFrames() const override { return displayDebugFrames_; }
    void setDisplayDebugFrames(bool flag) override { displayDebugFrames_ = flag; }
    bool launchWindowDisabled() const override { return launchWindowDisabled_; }
    void setLaunchWindowDisabled(bool flag) override { launchWindowDisabled_ = flag; }
    void addListener(JPListener* listener, bool capture) override;
    void removeListener(JPListener* listener) override;

    // Main thread only. Makes `delegate` the manager's delegate and the delegate of every device
    // connected now (devices that connect later keep theirs).
    void setDelegateForManagerAndDevices(JPListener* delegate);
    // Main thread only. Clears the manager's delegate and every device's, connected or not, where
    // it is `delegate` (a device keeps its delegate when it reconnects, so an object going away
    // must be left nowhere); other delegates stay.
    void clearDelegateForManagerAndDevices(JPListener* delegate);

    // The devices whose state has a bit in `mask` (JPHiddenDevice::State bits), in the order found.
    std::vector<RefPtr<JPHiddenDevice>> getDevices(uint8_t mask) const;
    // The first device (in the order found) whose service has this name, or null.
    JPHiddenDevice* findDeviceByServiceName(const std::string& name) const;
    // The first device resolved to this address and port, or null.
    JPHiddenDevice* findDeviceByIpAddr(const std::string& address, uint16_t port) const;
    // The connected device playing as this player (from 1), or null; a device that disconnected
    // keeps its old number but is not found by it.
    JPHiddenDevice* findConnectedDeviceByPlayer(uint32_t player) const;

    // Reports of the browser and the devices.
    void padlinkServiceBrowserDidAddService(JPNetServiceBrowser* browser, JPNetService* service) override;
    void deviceDidConnect(JPHiddenDevice* device) override;
    void deviceFailedToConnect(JPHiddenDevice* device, const RefPtr<Error>& error) override;
    void deviceDidDisconnect(JPHiddenDevice* device) override;
    void deviceDidProduceEvent(JPHiddenDevice* device, const JPDeviceEvent& event) override;

private:
    JPHiddenManager();

    // The JPDelegation bits of an object (0 for none); logs a notice for the older callbacks.
    static uint16_t delegationsOf(const JPManagerDelegate* object);
    void updateSearchState();
    void connectToDevice(JPHiddenDevice* device);
    void resolvePendingDevices();
    void forceToResolvePendingDevices();
    void renumberConnectedDevices();
    // The first device in devices_ that `matches`, or null.
    template <typename Matches>
    JPHiddenDevice* findDevice(const Matches& matches) const;
    // Walks the listeners (newest first, up to a capturing one) with `call` for those having `bit`,
    // then sweeps removed ones once no walk is under way.
    template <typename Call>
    void dispatchToListeners(uint16_t bit, const Call& call);
    // dispatchToListeners, then the delegate when it has `bit`.
    template <typename Call>
    void dispatchManagerEvent(uint16_t bit, const Call& call);

    const RefPtr<JPNetServiceBrowser> netServiceBrowser_;  // its delegate is the manager
    bool isSearching_ = false;
    std::vector<RefPtr<JPHiddenDevice>> devices_;  // every phone found this run, in order
    std::vector<JPHandler> handlers_;              // listener stack, oldest first
    bool isDispatchDirty_ = false;                 // a listener was removed: sweep
    int dispatchDepth_ = 0;                        // walks under way (callbacks may dispatch again)
    int32_t layoutNumber_ = 0;                     // slot 0-3 of the next layout set
    int32_t layoutIdentifier_ = 0;
    RefPtr<JPControllerLayout> controllerLayout_;
    uint64_t maxPlayerCount_ = 1;
    std::string applicationName_ = "Default name";
    std::vector<std::string> imageNames_;
    uint16_t delegations_ = 0;  // JPDelegation bits of delegate_
    bool bustImageCache_ = false;
    bool displayDebugFrames_ = false;
    JPManagerDelegate* delegate_ = nullptr;  // not retained
    int32_t gameState_ = -1;
    bool launchWindowDisabled_ = false;
};
