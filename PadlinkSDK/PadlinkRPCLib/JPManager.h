#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPControllerLayout.h"
#include "PadlinkSDK/PadlinkRPCLib/JPDevice.h"
#include "PadlinkSDK/PadlinkRPCLib/JPManagerDelegate.h"

// The game's one entry into the phone-controller library. The game names itself and the images its
// layouts use, says how many phones may play, which layout to show and whether it is in a menu
// (game state 0) or in play (1); the manager then looks for phones on the local network while in a
// menu with a player place free, connects to them, sends each the current layout and hands their
// input and connection events to its listeners and its delegate.
//
// Main thread only: the setters marked so raise NamedException "JPManagerException" elsewhere.
// The one instance lives for the whole process.
class JPManager {
public:
    // The one manager, made on the first call (from any thread).
    static JPManager* sharedManager();
    // The same, under its former name (logs an API change notice).
    static JPManager* sharedPadlinkManager();

    // Main thread only. The delegate is not retained; its callbacks are probed once, here.
    virtual JPManagerDelegate* delegate() const = 0;
    virtual void setDelegate(JPManagerDelegate* delegate) = 0;
    // Main thread only. -1 until set; 0 in menus and pause (phones are looked for), 1 in play.
    virtual int32_t gameState() const = 0;
    virtual void setGameState(int32_t state) = 0;
    // Main thread only. At most this many phones connect (1 by default); lowering it disconnects
    // the phones beyond it, the last found first.
    virtual uint64_t maxPlayerCount() const = 0;
    virtual void setMaxPlayerCount(uint64_t count) = 0;
    // Main thread only. The layout every phone shows; it takes the next slot 0-3 in turn and is
    // sent to every connected phone. Every image it uses must be among imageNames(), else
    // NamedException "JPManagerException".
    virtual RefPtr<JPControllerLayout> controllerLayout() const = 0;
    virtual void setControllerLayout(RefPtr<JPControllerLayout> layout) = 0;

    // The connected devices, in the order found, and their count.
    virtual std::vector<RefPtr<JPDevice>> connectedDevices() const = 0;
    virtual uint64_t devicesCount() const = 0;
    // True while phones are looked for.
    virtual bool isSearching() const = 0;
    // 0, or 6 once a layout was set; phones ask for it.
    virtual int32_t layoutIdentifier() const = 0;

    // The name phones show for the game ("Default name" until set).
    virtual const std::string& applicationName() const = 0;
    virtual void setApplicationName(std::string name) = 0;
    // The image files (names, or paths whose last component names them) that layouts may use and
    // phones may fetch.
    virtual const std::vector<std::string>& imageNames() const = 0;
    virtual void setImageNames(std::vector<std::string> names) = 0;
    // Flags answered to phones that ask (whether to forget cached images, draw debug frames), and
    // one kept for the game.
    virtual bool bustImageCache() const = 0;
    virtual void setBustImageCache(bool flag) = 0;
    virtual bool displayDebugFrames() const = 0;
    virtual void setDisplayDebugFrames(bool flag) = 0;
    virtual bool launchWindowDisabled() const = 0;
    virtual void setLaunchWindowDisabled(bool flag) = 0;

    // Listeners hear device input and manager events before the delegates, newest first; a
    // capturing one ends the walk after itself. Not retained: remove before going away (also
    // allowed from inside a callback). An object implementing no callback is not added.
    virtual void addListener(JPListener* listener, bool capture) = 0;
    void addListener(JPListener* listener) { addListener(listener, false); }
    virtual void removeListener(JPListener* listener) = 0;

    // Windows and consoles of other platforms: nothing happens here.
    void displayInfoWindow() {}
    void displayModalWithURL(const std::string& url, uint32_t width, uint32_t height) {
        (void)url, (void)width, (void)height;
    }
    bool canLaunchConsoleFromDevice(JPDevice* device) const {
        (void)device;
        return false;
    }

protected:
    JPManager() = default;
    virtual ~JPManager() = default;
};
