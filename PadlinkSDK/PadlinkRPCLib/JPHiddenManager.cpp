#include "PadlinkSDK/PadlinkRPCLib/JPHiddenManager.h"

#include <algorithm>

#include "PadlinkSDK/PadlinkRPCLib/JPHiddenControllerLayout.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

// The library has always logged a raise before throwing; the check itself is the invariant check.
#define JP_MANAGER_REQUIRE(condition, format, ...)                                         \
    do {                                                                                   \
        if (!(condition)) logLine("Raising JPManagerException: " format, __VA_ARGS__);   \
        CC_REQUIRE(condition, "JPManagerException", format, __VA_ARGS__);                  \
    } while (false)

namespace {

double gConnectDelay = 1.1;  // main thread only

void requireMainThread(const char* setter) {
    JP_MANAGER_REQUIRE(RunLoop::main().isCurrent(), "Calling -%s from a thread that is not the main one.", setter);
}

// Counts the walks under way for the time of one walk, also when a callback throws.
struct DispatchDepth {
    explicit DispatchDepth(int& counter) : depth(counter) { ++depth; }
    ~DispatchDepth() { --depth; }
    int& depth;
};

constexpr uint8_t kMaskConnected = JPHiddenDevice::kJPDeviceStateConnected;
constexpr uint8_t kMaskConnecting = JPHiddenDevice::kJPDeviceStateConnecting;
constexpr uint8_t kMaskToConnect = JPHiddenDevice::kJPDeviceStateToConnect;
constexpr uint8_t kMaskActive = kMaskConnecting | kMaskConnected;
constexpr uint8_t kMaskChosen = kMaskToConnect | kMaskActive;
constexpr uint8_t kMaskDisconnected = JPHiddenDevice::kJPDeviceStateDisconnected;

}  // namespace

JPManager* JPManager::sharedManager() { return JPHiddenManager::shared(); }

JPManager* JPManager::sharedPadlinkManager() {
    logLine("Padlink: API Change Notice: Class method +[JPManager sharedPadlinkManager] is now +[JPManager sharedManager]");
    return sharedManager();
}

JPHiddenManager* JPHiddenManager::shared() {
    static JPHiddenManager* const instance = new JPHiddenManager();  // lives for the whole process
    return instance;
}

double JPHiddenManager::connectDelay() { return gConnectDelay; }

void JPHiddenManager::setConnectDelay(double seconds) { gConnectDelay = seconds; }

JPHiddenManager::JPHiddenManager() : netServiceBrowser_(makeRef<JPNetServiceBrowser>("", "_padlink._tcp.")) {
    logLine("Padlink: JPManager: Initializing.");
    netServiceBrowser_->setDelegate(this);
}

uint16_t JPHiddenManager::delegationsOf(const JPManagerDelegate* object) {
    const uint16_t bits = object ? object->padlinkDelegations() : 0;
    if (bits & kJPDelegationDeviceDidConnectPlayer) {
        logLine("Padlink: API Change Notice: JPManager delegate method -padlinkManager:deviceDidConnect:player: is now "
                "-padlinkManager:deviceDidConnect:");
    }
    if (bits & kJPDelegationDeviceDidDisconnectPlayer) {
        logLine("Padlink: API Change Notice: JPManager delegate method -padlinkManager:deviceDidDisconnect:player: is "
                "now -padlinkManager:deviceDidDisconnect:");
    }
    return bits;
}

void JPHiddenManager::setDelegate(JPManagerDelegate* delegate) {
    requireMainThread("setDelegate");
    delegate_ = delegate;
    delegations_ = delegationsOf(delegate);
}

void JPHiddenManager::setDelegateForManagerAndDevices(JPListener* delegate) {
    setDelegate(delegate);
    for (const auto& device : getDevices(kMaskConnected)) device->setDelegate(delegate);
}

void JPHiddenManager::clearDelegateForManagerAndDevices(JPListener* delegate) {
    requireMainThread("clearDelegateForManagerAndDevices");
    if (delegate_ == delegate) setDelegate(nullptr);
    for (const auto& device : devices_) {
        if (device->delegate() == delegate) device->setDelegate(nullptr);
    }
}

void JPHiddenManager::setGameState(int32_t state) {
    requireMainThread("setGameState");
    if (state == gameState_) return;
    gameState_ = state;
    updateSearchState();
    dispatchManagerEvent(kJPDelegationChangedGameState,
                         [&](JPManagerDelegate& listener) { listener.padlinkManagerChangedGameState(this); });
}

void JPHiddenManager::setMaxPlayerCount(uint64_t count) {
    requireMainThread("setMaxPlayerCount");
    if (count == maxPlayerCount_) return;
    const auto active = getDevices(kMaskActive);
    for (size_t i = active.size(); i > count; --i) active[i - 1]->disconnect();
    maxPlayerCount_ = count;
    forceToResolvePendingDevices();
}

void JPHiddenManager::setControllerLayout(RefPtr<JPControllerLayout> layout) {
    requireMainThread("setControllerLayout");
    if (layout) {
        for (const std::string& image : layout->imageNames()) {
            JP_MANAGER_REQUIRE(std::find(imageNames_.begin(), imageNames_.end(), image) != imageNames_.end(),
                               "JPManager does not know about '%s'.  Please list all images before setting "
                               "controller layouts.  Use -[JPManager setImageNames:]",
                               image.c_str());
        }
        layout->setLayoutNumber(layoutNumber_);
        layoutNumber_ = (layoutNumber_ + 1) % JPHiddenDevice::kLayoutRotationSize;
    }
    layoutIdentifier_ = 6;
    JPHiddenControllerLayout::setActiveLayout(layout.get());
    controllerLayout_ = layout;
    if (!layout) return;
    for (const auto& device : getDevices(kMaskConnected)) device->updateLayout(layout);
}

std::vector<RefPtr<JPDevice>> JPHiddenManager::connectedDevices() const {
    const auto connected = getDevices(kMaskConnected);
    return {connected.begin(), connected.end()};
}

uint64_t JPHiddenManager::devicesCount() const { return getDevices(kMaskConnected).size(); }

std::vector<RefPtr<JPHiddenDevice>> JPHiddenManager::getDevices(uint8_t mask) const {
    std::vector<RefPtr<JPHiddenDevice>> found;
    for (const auto& device : devices_) {
        if (device->state() & mask) found.push_back(device);
    }
    return found;
}

template <typename Matches>
JPHiddenDevice* JPHiddenManager::findDevice(const Matches& matches) const {
    for (const auto& device : devices_) {
        if (matches(*device)) return device.get();
    }
    return nullptr;
}

JPHiddenDevice* JPHiddenManager::findDeviceByServiceName(const std::string& name) const {
    return findDevice([&](const JPHiddenDevice& device) {
        return device.netService() && device.netService()->name() == name;
    });
}

JPHiddenDevice* JPHiddenManager::findDeviceByIpAddr(const std::string& address, uint16_t port) const {
    return findDevice([&](const JPHiddenDevice& device) { return device.ipAddress() == address && device.port() == port; });
}

JPHiddenDevice* JPHiddenManager::findConnectedDeviceByPlayer(uint32_t player) const {
    return findDevice([&](const JPHiddenDevice& device) {
        return device.isConnected() && device.playerNumber() == player;
    });
}

void JPHiddenManager::updateSearchState() {
    const bool eligible = gameState_ == 0 && getDevices(kMaskActive).size() < maxPlayerCount_;
    const bool shouldSearch = eligible && getDevices(kMaskConnecting).empty();
    if (shouldSearch != isSearching_) {
        isSearching_ = shouldSearch;
        if (shouldSearch) {
            netServiceBrowser_->startBrowse();
        } else {
            netServiceBrowser_->stop();
        }
    }
    if (eligible) return;
    for (const auto& device : getDevices(kMaskToConnect | kMaskDisconnected)) {
        device->setState(JPHiddenDevice::kJPDeviceStateKnown);
    }
}

void JPHiddenManager::padlinkServiceBrowserDidAddService(JPNetServiceBrowser*, JPNetService* service) {
    for (const auto& device : getDevices(kMaskDisconnected)) {
        if (device->netService() && device->netService()->isEqual(*service)) return;
    }
    JPHiddenDevice* device = findDeviceByServiceName(service->name());
    if (!device) {
        const auto added = makeRef<JPHiddenDevice>(this);
        added->setNetService(RefPtr<JPNetService>(service));
        devices_.push_back(added);
        device = added.get();
    }
    if (device->state() & kMaskActive) return;
    if ((delegations_ & kJPDelegationDeviceShouldConnect) && delegate_ &&
        !delegate_->padlinkManagerDeviceShouldConnect(this, device)) {
        return;
    }
    connectToDevice(device);
}

void JPHiddenManager::connectToDevice(JPHiddenDevice* device) {
    if (devicesCount() >= maxPlayerCount_) {
        logLine("Padlink: You are already connected to %i players, you should adjust -[JPManager maxPlayerCount]",
                static_cast<int>(devicesCount()));
        return;
    }
    device->setState(JPHiddenDevice::kJPDeviceStateToConnect);
    resolvePendingDevices();
}

void JPHiddenManager::resolvePendingDevices() {
    const auto chosen = static_cast<int64_t>(getDevices(kMaskChosen).size());
    if (static_cast<int64_t>(maxPlayerCount_) - chosen < 1) return forceToResolvePendingDevices();
    RunLoop::main().scheduleTimer(gConnectDelay, false, [this] { forceToResolvePendingDevices(); });
}

void JPHiddenManager::forceToResolvePendingDevices() {
    int64_t room = static_cast<int64_t>(maxPlayerCount_) - static_cast<int64_t>(getDevices(kMaskActive).size());
    for (const auto& device : getDevices(kMaskToConnect)) {
        if (room-- <= 0) break;
        device->startConnecting();
    }
    updateSearchState();
}

void JPHiddenManager::renumberConnectedDevices() {
    uint64_t index = 0;
    for (const auto& device : getDevices(kMaskConnected)) device->setIndex(index++);
}

void JPHiddenManager::deviceDidConnect(JPHiddenDevice* device) {
    logLine("Padlink: Device connected: %s", device->name().c_str());
    const auto connected = getDevices(kMaskConnected);
    uint64_t player = 1;
    while (std::any_of(connected.begin(), connected.end(), [&](const RefPtr<JPHiddenDevice>& other) {
        return other.get() != device && other->playerNumber() == player;
    })) {
        ++player;
    }
    renumberConnectedDevices();
    device->setPlayerNumber(player);
    if (controllerLayout_) device->updateLayout(controllerLayout_);
    updateSearchState();
    dispatchManagerEvent(kJPDelegationDeviceDidConnect,
                         [&](JPManagerDelegate& listener) { listener.padlinkManagerDeviceDidConnect(this, device); });
    if (delegate_ && (delegations_ & kJPDelegationDeviceDidConnectPlayer)) {
        delegate_->padlinkManagerDeviceDidConnectPlayer(this, device, static_cast<uint32_t>(player));
    }
}

void JPHiddenManager::deviceFailedToConnect(JPHiddenDevice* device, const RefPtr<Error>& error) {
    logLine("Padlink: Device failed connection: %s", device->description().c_str());
    dispatchManagerEvent(kJPDelegationDeviceFailedToConnect, [&](JPManagerDelegate& listener) {
        listener.padlinkManagerDeviceFailedToConnect(this, device, error);
    });
    if (!isSearching_) device->setState(JPHiddenDevice::kJPDeviceStateKnown);
    resolvePendingDevices();
}

void JPHiddenManager::deviceDidDisconnect(JPHiddenDevice* device) {
    renumberConnectedDevices();
    logLine("Padlink: Device disconnected: %s", device->name().c_str());
    dispatchManagerEvent(kJPDelegationDeviceDidDisconnect,
                         [&](JPManagerDelegate& listener) { listener.padlinkManagerDeviceDidDisconnect(this, device); });
    if (delegate_ && (delegations_ & kJPDelegationDeviceDidDisconnectPlayer)) {
        delegate_->padlinkManagerDeviceDidDisconnectPlayer(this, device, static_cast<uint32_t>(device->playerNumber()));
    }
    if (!isSearching_) device->setState(JPHiddenDevice::kJPDeviceStateKnown);
    forceToResolvePendingDevices();
}

void JPHiddenManager::deviceDidProduceEvent(JPHiddenDevice* device, const JPDeviceEvent& event) {
    dispatchToListeners(event.kind, [&](JPDeviceDelegate& listener) { event.deliver(listener, device); });
}

void JPHiddenManager::addListener(JPListener* listener, bool capture) {
    const uint16_t bits = delegationsOf(listener);
    if (bits == 0) return;
    auto handler = std::find_if(handlers_.begin(), handlers_.end(), [&](const JPHandler& h) { return h.delegate == listener; });
    if (handler == handlers_.end()) handler = handlers_.insert(handlers_.end(), JPHandler{listener, capture, bits});
    handler->flags = bits;
    handler->capture = capture;
}

void JPHiddenManager::removeListener(JPListener* listener) {
    for (JPHandler& handler : handlers_) {
        if (handler.delegate != listener) continue;
        handler.flags = 0;
        isDispatchDirty_ = true;
    }
}

template <typename Call>
void JPHiddenManager::dispatchToListeners(uint16_t bit, const Call& call) {
    {
        const DispatchDepth walking(dispatchDepth_);
        // By index, newest first: listeners added by a callback land above the walk and wait for
        // the next event; removed ones keep their place with no bits until the sweep.
        for (size_t i = handlers_.size(); i-- > 0;) {
            const JPHandler handler = handlers_[i];
            if (handler.flags == 0) continue;
            if (handler.flags & bit) call(*handler.delegate);
            if (handler.capture) break;
        }
    }
    if (dispatchDepth_ > 0 || !isDispatchDirty_) return;
    std::erase_if(handlers_, [](const JPHandler& handler) { return handler.flags == 0; });
    isDispatchDirty_ = false;
}

template <typename Call>
void JPHiddenManager::dispatchManagerEvent(uint16_t bit, const Call& call) {
    dispatchToListeners(bit, call);
    if (delegate_ && (delegations_ & bit)) call(*delegate_);
}
