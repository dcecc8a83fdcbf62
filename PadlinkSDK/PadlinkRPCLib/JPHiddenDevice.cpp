#include "PadlinkSDK/PadlinkRPCLib/JPHiddenDevice.h"

#include <cinttypes>
#include <cstdio>

#include "PadlinkSDK/PadlinkRPCLib/JPDeviceNetworker.h"
#include "PadlinkSDK/PadlinkRPCLib/JPManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {

constexpr uint64_t kInputBitsMask = (uint64_t{1} << kJPInputWordBits) - 1;
// The buttons a button block reports, by bit.
constexpr int kBlockButtons[4] = {6, 7, 9, 10};

// An analog-stick field: the distance from the centre in points (0-255) in bits 0-7, the angle in
// 512ths of a turn (0-511) in bits 8-16.
constexpr uint64_t kStickDistanceMask = 0xFF;
constexpr int kStickAngleShift = 8;
constexpr uint64_t kStickAngleMask = 0x1FF;
constexpr float kTurnsPerAngleStep = 1.0f / 512;  // exact in binary: 0.001953125
constexpr double kRadiansPerTurn = 6.283185307179586;

// An accelerometer field: the x, y and z readings as one byte each, x in bits 16-23, y in 8-15,
// z in 0-7. A byte counts 128ths from -1 (0 is -1, 128 is 0, 255 is 0.9921875).
constexpr int kAccelerationXShift = 16;
constexpr int kAccelerationYShift = 8;
constexpr uint64_t kAccelerationByteMask = 0xFF;
constexpr double kAccelerationPerStep = 1.0 / 128;  // exact in binary: 0.0078125
constexpr double kAccelerationOfZero = -1.0;

// The navigation codes of padlinkDeviceDidNavigate: the pad's 1-4 (up, right, down, left) less one,
// then back and select.
constexpr uint64_t kNavigationPadUp = 1;
constexpr uint64_t kNavigationPadLeft = 4;
constexpr int kNavigateBack = 4;
constexpr int kNavigateSelect = 5;

// Four one-bit fields (d-pad directions, block buttons): `report(bit, pressed)` for every changed
// bit, presses first in bit order, then releases in bit order.
template <typename Report>
void forChangedBits(uint64_t value, uint64_t changed, const Report& report) {
    for (const bool pressed : {true, false}) {
        for (int bit = 0; bit < 4; ++bit) {
            if ((changed >> bit & 1) && (value >> bit & 1) == pressed) report(bit, pressed);
        }
    }
}

// An accelerometer byte as a reading in [-1, 0.9921875].
float acceleration(uint64_t byte) {
    return static_cast<float>(static_cast<double>(byte & kAccelerationByteMask) * kAccelerationPerStep +
                              kAccelerationOfZero);
}

}  // namespace

void JPDeviceEvent::deliver(JPDeviceDelegate& delegate, JPDevice* device) const {
    switch (kind) {
        case kJPDelegationDidAccelerate: return delegate.padlinkDeviceDidAccelerate(device, x, y, z);
        case kJPDelegationDPadButtonUp: return delegate.padlinkDeviceDPadButtonUp(device, identifier, value);
        case kJPDelegationDPadButtonDown: return delegate.padlinkDeviceDPadButtonDown(device, identifier, value);
        case kJPDelegationButtonUp: return delegate.padlinkDeviceButtonUp(device, identifier);
        case kJPDelegationButtonDown: return delegate.padlinkDeviceButtonDown(device, identifier);
        case kJPDelegationAnalogStickDidMove: return delegate.padlinkDeviceAnalogStickDidMove(device, identifier, x, y);
        case kJPDelegationDidNavigate: return delegate.padlinkDeviceDidNavigate(device, value);
        default: return;
    }
}

JPHiddenDevice::JPHiddenDevice(JPHiddenDeviceConnectionDelegate* cxnDelegate)
    : deviceNetworker_(makeRef<JPDeviceNetworker>(this)), cxnDelegate_(cxnDelegate) {}

JPHiddenDevice::~JPHiddenDevice() {
    cxnDelegate_ = nullptr;
    deviceNetworker_->invalidate();
    if (netService_) netService_->setDelegate(nullptr);
}

void JPHiddenDevice::setDelegate(JPDeviceDelegate* delegate) {
    delegate_ = delegate;
    delegations_ = delegate ? delegate->padlinkDelegations() : 0;
}

void JPHiddenDevice::disconnect() {
    if (state_ & (kJPDeviceStateConnecting | kJPDeviceStateConnected)) {
        deviceNetworker_->disconnect();
    } else if (state_ == kJPDeviceStateToConnect) {
        state_ = kJPDeviceStateDisconnected;
    }
}

void JPHiddenDevice::setNetService(RefPtr<JPNetService> service) {
    if (service == netService_) return;
    ipAddress_.clear();
    port_ = 0;
    name_ = service ? service->name() : "unnamed";
    if (netService_) netService_->setDelegate(nullptr);
    netService_ = std::move(service);
    if (netService_) netService_->setDelegate(this);
}

void JPHiddenDevice::startConnecting() {
    CC_REQUIRE(state_ == kJPDeviceStateToConnect, "JPHiddenDeviceException", "startConnecting in state %d", state_);
    if (const RefPtr<JPControllerLayout> layout = JPManager::sharedManager()->controllerLayout()) {
        const int32_t slot = layout->layoutNumber();
        CC_REQUIRE(slot >= 0 && slot < kLayoutRotationSize, "JPHiddenDeviceException", "layout number %d", slot);
        layouts_[slot] = layout;
        previousStates_[slot] = 0;
    }
    state_ = kJPDeviceStateConnecting;
    if (ipAddress_.empty()) {
        resolve();
    } else {
        connect();
    }
}

void JPHiddenDevice::resolve() {
    CC_REQUIRE(netService_ && netService_->delegate() == this, "JPHiddenDeviceException", "resolving without a service");
    isResolvingService_ = true;
    ++triesToResolve_;
    if (!ipAddress_.empty()) logLine("Padlink: Why are we trying to resolver if it's already resolved? BUG");
    netService_->startResolve();
}

void JPHiddenDevice::padlinkNetServiceDidResolve(JPNetService* service) {
    if (service != netService_.get()) {
        logLine("Padlink: What is this service that resolved?");
        return;
    }
    triesToResolve_ = 0;
    isResolvingService_ = false;
    port_ = static_cast<uint16_t>(service->resolvedPort() & 0xFFFF);
    ipAddress_ = service->resolvedAddr();
    connect();
}

void JPHiddenDevice::padlinkNetService(JPNetService*, const RefPtr<Error>& error) {
    logLine("Padlink: Could not resolve: %s", error->description().c_str());
    if (triesToResolve_ <= 1) return resolve();
    triesToResolve_ = 0;
    isResolvingService_ = false;
    failToConnect(error);
}

void JPHiddenDevice::connect() {
    CC_REQUIRE(!ipAddress_.empty(), "JPHiddenDeviceException", "connecting without an address");
    logLine("Padlink: Connecting to %s at %s:%d", name_.c_str(), ipAddress_.c_str(), port_);
    if (deviceNetworker_->connectToIP(ipAddress_, port_)) return;
    failToConnect(makeRef<Error>(kConnectionErrorDomain, kErrorCouldNotStart, "The connection could not be started"));
}

void JPHiddenDevice::failToConnect(const RefPtr<Error>& error) {
    state_ = kJPDeviceStateDisconnected;
    if (cxnDelegate_) cxnDelegate_->deviceFailedToConnect(this, error);
}

void JPHiddenDevice::deviceNetworkerDidConnect(JPDeviceNetworker*) {
    if (state_ != kJPDeviceStateConnecting) return;  // a phone saying "ready" twice
    state_ = kJPDeviceStateConnected;
    if (!cxnDelegate_) return;
    try {
        cxnDelegate_->deviceDidConnect(this);
    } catch (...) {
        // Some of the game may have taken the player and some not: the phone is let go whole.
        // Everyone then hears it disconnect, so what was taken is given back, its player place
        // frees, and the phone sees its channel close.
        disconnect();
        throw;
    }
}

void JPHiddenDevice::deviceNetworkerDidDisconnect(JPDeviceNetworker*) {
    const State old = state_;
    state_ = kJPDeviceStateDisconnected;
    if (old == kJPDeviceStateConnecting) {
        failToConnect(makeRef<Error>(kConnectionErrorDomain, kErrorClosedWhileConnecting,
                                     "The command channel closed while connecting"));
    } else if ((old & (kJPDeviceStateConnected | kJPDeviceStateDisconnecting)) && cxnDelegate_) {
        cxnDelegate_->deviceDidDisconnect(this);
    }
}

void JPHiddenDevice::updateLayout(RefPtr<JPControllerLayout> layout) {
    const int32_t slot = layout ? layout->layoutNumber() : -1;
    CC_REQUIRE(slot >= 0 && slot < kLayoutRotationSize, "JPHiddenDeviceException", "layout number %d", slot);
    layouts_[slot] = layout;
    previousStates_[slot] = 0;
    deviceNetworker_->updateLayout(std::move(layout));
}

void JPHiddenDevice::goingToAppStore(const std::string& text) { deviceNetworker_->goingToAppStore(text); }

void JPHiddenDevice::goingToGame(const std::string& text) { deviceNetworker_->goingToGame(text); }

void JPHiddenDevice::sendAudioFeedback(const std::string& text) { deviceNetworker_->sendAudioFeedback(text); }

void JPHiddenDevice::sendVibration() { deviceNetworker_->sendVibration(); }

void JPHiddenDevice::deviceNetworker(JPDeviceNetworker*, uint64_t nextState) {
    const int slot = static_cast<int>(nextState >> kJPInputWordBits);
    const RefPtr<JPControllerLayout> layout = layouts_[slot];  // a callback may replace the slot's layout
    if (!layout) {
        logLine("Padlink: Layout for index %d is NULL. Event missed.", slot);
        return;
    }
    const uint64_t inputs = nextState & kInputBitsMask;
    const uint64_t changed = previousStates_[slot] ^ inputs;
    if (changed == 0) return;
    // Stored first, so that a layout re-sent from inside a callback clears it for good.
    previousStates_[slot] = inputs;
    const auto& components = layout->inputComponentTemplates();
    for (size_t i = 0; i < components.size(); ++i) decode(*components[i], inputs, changed);
}

void JPHiddenDevice::decode(const JPInputComponentTemplate& component, uint64_t inputs, uint64_t changed) {
    const uint64_t mask = component.bitmask();  // 0 for a component past bit 61: it never reports
    if ((changed & mask) == 0) return;
    const uint64_t value = (inputs & mask) >> component.bitOffset();
    const uint64_t fieldChanged = (changed & mask) >> component.bitOffset();
    const int identifier = component.inputIdentifier();
    switch (component.inputType()) {
        case kJPInputTypeDpad:
            return forChangedBits(value, fieldChanged, [&](int bit, bool pressed) {
                emit({pressed ? kJPDelegationDPadButtonDown : kJPDelegationDPadButtonUp, identifier, bit});
            });
        case kJPInputTypeButton:
            return emit({value ? kJPDelegationButtonDown : kJPDelegationButtonUp, identifier});
        case kJPInputTypeAnalogStick: {
            const uint32_t radius = component.radius();
            const float distance =
                radius == 0 ? 0.0f : static_cast<float>(value & kStickDistanceMask) / static_cast<float>(radius);
            const float turns = static_cast<float>(value >> kStickAngleShift & kStickAngleMask) * kTurnsPerAngleStep;
            const auto angle = static_cast<float>(static_cast<double>(turns) * kRadiansPerTurn);
            return emit({kJPDelegationAnalogStickDidMove, identifier, 0, angle, distance});
        }
        case kJPInputTypeAccelerometer:
            return emit({kJPDelegationDidAccelerate, 0, 0, acceleration(value >> kAccelerationXShift),
                         acceleration(value >> kAccelerationYShift), acceleration(value)});
        case kJPInputTypeButtonBlock:
            return forChangedBits(value, fieldChanged, [&](int bit, bool pressed) {
                emit({pressed ? kJPDelegationButtonDown : kJPDelegationButtonUp, kBlockButtons[bit]});
            });
        case kJPInputTypeNavigationPad:
            if (value >= kNavigationPadUp && value <= kNavigationPadLeft) {
                emit({kJPDelegationDidNavigate, 0, static_cast<int>(value - kNavigationPadUp)});
            }
            return;
        case kJPInputTypeNavigationSelect:
            if (value == 1) emit({kJPDelegationDidNavigate, 0, kNavigateSelect});
            return;
        case kJPInputTypeNavigationBack:
            if (value == 1) emit({kJPDelegationDidNavigate, 0, kNavigateBack});
            return;
        default:
            return;
    }
}

void JPHiddenDevice::emit(const JPDeviceEvent& event) {
    if (cxnDelegate_) cxnDelegate_->deviceDidProduceEvent(this, event);
    if (delegate_ && (delegations_ & event.kind)) event.deliver(*delegate_, this);
}

std::string JPHiddenDevice::description() const {
    char text[64];
    std::snprintf(text, sizeof text, "<JPHiddenDevice: %p ", static_cast<const void*>(this));
    return text + name_ + ">";
}
