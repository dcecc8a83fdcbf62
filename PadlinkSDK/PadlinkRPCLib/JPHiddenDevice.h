#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPControllerLayout.h"
#include "PadlinkSDK/PadlinkRPCLib/JPDevice.h"
#include "PadlinkSDK/PadlinkRPCLib/JPHiddenDeviceConnectionDelegate.h"
#include "PadlinkSDK/PadlinkRPCLib/JPNetService.h"

class JPDeviceNetworker;

// One phone: its connection states, the layouts it may be showing (one per slot 0-3) and the
// decoding of its input words into events. Each event goes to the connection delegate's listeners
// first, then to the device's delegate. Main thread only.
//
// An input word carries the slot in bits 62-63 and the components of that slot's layout in bits
// 0-61; only components whose bits changed since the slot's previous word produce events.
class JPHiddenDevice final : public JPDevice, private JPNetServiceDelegate {
public:
    // Connection states; bits, so that the manager selects devices by masks.
    enum State : uint8_t {
        kJPDeviceStateKnown = 1,          // found, idle
        kJPDeviceStateToConnect = 2,      // chosen, waiting for a free player place
        kJPDeviceStateConnecting = 4,     // resolving or connecting
        kJPDeviceStateConnected = 8,
        kJPDeviceStateDisconnecting = 16,  // taken as a prior state only; never set
        kJPDeviceStateDisconnected = 32,   // the connection failed or ended
    };
    // Connection errors: the command channel closed while connecting; the connection could not start.
    static constexpr const char* kConnectionErrorDomain = "PadlinkErrorConnection";
    static constexpr int64_t kErrorClosedWhileConnecting = 1;
    static constexpr int64_t kErrorCouldNotStart = 2;
    // Layout slots, numbered 0 to kLayoutRotationSize - 1.
    static constexpr int32_t kLayoutRotationSize = 4;

    // A known device reporting to `cxnDelegate` (not retained).
    explicit JPHiddenDevice(JPHiddenDeviceConnectionDelegate* cxnDelegate);
    ~JPHiddenDevice() override;

    // JPDevice's operations.
    JPDeviceDelegate* delegate() const override { return delegate_; }
    void setDelegate(JPDeviceDelegate* delegate) override;
    const std::string& name() const override { return name_; }
    uint64_t playerNumber() const override { return playerNumber_; }
    uint64_t index() const override { return index_; }
    bool isConnected() const override { return state_ == kJPDeviceStateConnected; }
    // From connecting or connected: closes the command channel; the ending is then reported as
    // networker-disconnected. A device still waiting to connect becomes disconnected.
    void disconnect() override;

    // The phone's service; a new one forgets the resolved address and names the device after it.
    JPNetService* netService() const { return netService_.get(); }
    void setNetService(RefPtr<JPNetService> service);
    // Where the phone's command channel listens: numeric IPv4 address ("" until resolved) and port.
    const std::string& ipAddress() const { return ipAddress_; }
    void setIpAddress(std::string address) { ipAddress_ = std::move(address); }
    uint16_t port() const { return port_; }
    void setPort(uint16_t port) { port_ = port; }
    // One of State; the manager moves known, to-connect and disconnected devices between each other.
    State state() const { return state_; }
    void setState(State state) { state_ = state; }
    void setPlayerNumber(uint64_t player) { playerNumber_ = player; }
    void setIndex(uint64_t index) { index_ = index; }
    // Not retained.
    JPHiddenDeviceConnectionDelegate* cxnDelegate() const { return cxnDelegate_; }
    void setCxnDelegate(JPHiddenDeviceConnectionDelegate* delegate) { cxnDelegate_ = delegate; }

    // From to-connect: takes the manager's current layout into its slot, becomes connecting and
    // resolves the service (or connects when the address is known). Resolving is tried twice
    // before the failure is reported.
    void startConnecting();
    void resolve();
    void connect();

    // Keeps the layout in its slot (layout number 0-3), forgets that slot's previous word and sends
    // the layout to the phone.
    void updateLayout(RefPtr<JPControllerLayout> layout);
    // Game-to-phone calls, passed to the networker.
    void goingToAppStore(const std::string& text);
    void goingToGame(const std::string& text);
    void sendAudioFeedback(const std::string& text);
    void sendVibration();

    // Reports of the networker. When telling the connection delegate of the connection throws,
    // the device disconnects (reported as usual) and the exception goes on to the caller.
    void deviceNetworkerDidConnect(JPDeviceNetworker* networker);
    void deviceNetworkerDidDisconnect(JPDeviceNetworker* networker);
    // didReceiveNextState: one input word, decoded into events.
    void deviceNetworker(JPDeviceNetworker* networker, uint64_t nextState);

    // "<JPHiddenDevice: 0x... name>".
    std::string description() const override;

private:
    void padlinkNetServiceDidResolve(JPNetService* service) override;
    void padlinkNetService(JPNetService* service, const RefPtr<Error>& error) override;

    void failToConnect(const RefPtr<Error>& error);
    void emit(const JPDeviceEvent& event);
    void decode(const JPInputComponentTemplate& component, uint64_t inputs, uint64_t changed);

    bool isResolvingService_ = false;
    State state_ = kJPDeviceStateKnown;
    uint16_t port_ = 0;
    uint16_t delegations_ = 0;  // JPDelegation bits of delegate_
    uint64_t playerNumber_ = 0;
    uint64_t index_ = 0;
    uint64_t triesToResolve_ = 0;  // failed resolves in a row
    std::string ipAddress_;
    std::string name_ = "unnamed";
    RefPtr<JPNetService> netService_;  // its delegate is this device
    RefPtr<JPDeviceNetworker> deviceNetworker_;
    JPDeviceDelegate* delegate_ = nullptr;                      // not retained
    JPHiddenDeviceConnectionDelegate* cxnDelegate_ = nullptr;  // not retained
    std::array<uint64_t, kLayoutRotationSize> previousStates_{};  // last inputs (bits 0-61) per slot
    std::array<RefPtr<JPControllerLayout>, kLayoutRotationSize> layouts_;
};
