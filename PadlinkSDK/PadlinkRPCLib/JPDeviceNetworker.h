#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPControllerLayout.h"
#include "PadlinkSDK/PadlinkRPCLib/JPImageServer.h"
#include "PadlinkSDK/PadlinkRPCLib/JPRPCConnection.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPUdpSocket.h"

class JPHiddenDevice;

// The two channels to one phone: the command channel (TCP), on which the networker answers every
// call the phone makes and sends the game's calls, and the input channel (UDP), on which the phone
// sends its input words. Each datagram is echoed back and its first 8 bytes, a little-endian input
// word, go to the device. Main thread only.
//
// The input channel takes datagrams only from the command channel's peer address and of at least
// 8 bytes; until the phone names its data port, echoes go to its command address.
class JPDeviceNetworker : public JPUdpSocketDelegate, private JPRPCConnectionDelegate {
public:
    // The version the phone is told the library speaks.
    static constexpr const char* kSDKVersion = "0.0.5";

    // Reports to `device` (not retained).
    explicit JPDeviceNetworker(JPHiddenDevice* device);

    // Connects the command channel to the phone (dotted IPv4 address, or socket address data) and
    // opens the input channel on a free port. False, logged, when either cannot start.
    bool connectToIP(const std::string& ip, uint16_t port);
    bool connectToAddress(const ByteView& address);
    // Closes the command channel; the device then hears deviceNetworkerDidDisconnect.
    void disconnect();
    // Drops both channels without reporting; the device is going away.
    void invalidate();

    // Game-to-phone calls; none awaits an answer.
    void updateLayout(RefPtr<JPControllerLayout> layout);
    void goingToAppStore(const std::string& text);
    void goingToGame(const std::string& text);
    void sendAudioFeedback(const std::string& text);
    void sendVibration();

    // The input channel's local port (0 while closed).
    uint16_t dataPort() const;

    // JPUdpSocketDelegate: only datagrams are heard.
    uint32_t jpUdpSocketDelegateMethods() const override;
    void udpSocketDidReceiveData(JPUdpSocket* sock, const ByteView& data, const ByteView& address,
                                 const RefPtr<Object>& context) override;

protected:
    // A phone-call handler: fills the prepared answer, or clears it when the call gets none. A call
    // that fails is answered nil, as one without a handler is, unless its handler had cleared the
    // answer before failing.
    using Handler = void (JPDeviceNetworker::*)(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    // What follows once the answer to a call has been written to the phone.
    using DidWriteHandler = void (JPDeviceNetworker::*)(const JPMethodReturn& written);
    struct HandlerEntry {
        const char* method;
        Handler handler;
        DidWriteHandler didWrite = nullptr;
    };
    // The handlers of a method the phone calls, or null when it has none. A subclass answers
    // methods of its own here and passes the others on.
    virtual const HandlerEntry* handlersFor(const std::string& method) const;
    // The entry of `table` for `method`, or null.
    static const HandlerEntry* findHandlers(std::span<const HandlerEntry> table, const std::string& method);

private:
    static const HandlerEntry kHandlers[];

    void rpcConnectionDidReceiveMethodCall(JPRPCConnection* connection, JPMethodCall* call) override;
    void rpcConnectionDidWriteMethodReturn(JPRPCConnection* connection, JPMethodReturn* methodReturn,
                                           JPMethodCall* call) override;
    void rpcConnectionDidDisconnect(JPRPCConnection* connection) override;

    bool connectDataSocket();
    void dropDataSocket();
    void sendVoidCall(const char* method, std::vector<JPValue> params);

    void RPCsdkVersionCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCdataPortNumCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCbustImageCacheCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCdisplayDebugFramesCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCappNameCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCappBundleIdCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCappVersionCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCimageNamesCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCservingPortNumCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPClayoutIdentifierCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCcustomLayoutCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCreadyCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPClaunchConsoleCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCdidWritelaunchConsoleReturn(const JPMethodReturn& written);
    void RPCUDIDCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCgameConsoleInstalledCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCdeviceTypeCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);
    void RPCdisplayModalCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer);

    JPHiddenDevice* device_;  // not retained
    RefPtr<JPUdpSocket> dataSocket_;  // its delegate is this networker (retained by the socket)
    RefPtr<JPImageServer> imageServer_;    // while the phone fetches images
    RefPtr<JPRPCConnection> rpcConnection_;
    // The phone's command address (its IP and command port): the only host whose datagrams are
    // taken, and where echoes go until the input channel is connected to the phone's data port.
    ByteView replyAddress_;
    std::string phoneHost_;  // numeric text of replyAddress_'s IP
};
