#include "PadlinkSDK/PadlinkRPCLib/JPDeviceNetworker.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/utsname.h>

#include <exception>
#include <utility>

#include "PadlinkSDK/PadlinkRPCLib/JPHiddenDevice.h"
#include "PadlinkSDK/PadlinkRPCLib/JPManager.h"
#include "PadlinkSDK/PadlinkRPCLib/Padlink_SharedUDID.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

namespace {

// The version phones are told the game has: the build number the build was given.
constexpr const char* kBundleVersion = VANTREL_BUILD_NUMBER;
constexpr size_t kInputWordBytes = 8;

// One queue for all command sockets and one for all input sockets; they live for the whole process.
RefPtr<DispatchQueue> commandSocketQueue() {
    static DispatchQueue* const queue = makeRef<SerialQueue>("org.padlink.command-sockets").leak();
    return RefPtr<DispatchQueue>(queue);
}

RefPtr<DispatchQueue> dataSocketQueue() {
    static DispatchQueue* const queue = makeRef<SerialQueue>("org.padlink.data-sockets").leak();
    return RefPtr<DispatchQueue>(queue);
}

std::string errorText(const RefPtr<Error>& error) { return error ? error->localizedDescription() : "unknown error"; }

}  // namespace

const JPDeviceNetworker::HandlerEntry JPDeviceNetworker::kHandlers[] = {
    {"sdkVersion", &JPDeviceNetworker::RPCsdkVersionCall},
    {"dataPortNum", &JPDeviceNetworker::RPCdataPortNumCall},
    {"bustImageCache", &JPDeviceNetworker::RPCbustImageCacheCall},
    {"displayDebugFrames", &JPDeviceNetworker::RPCdisplayDebugFramesCall},
    {"appName", &JPDeviceNetworker::RPCappNameCall},
    {"appBundleId", &JPDeviceNetworker::RPCappBundleIdCall},
    {"appVersion", &JPDeviceNetworker::RPCappVersionCall},
    {"imageNames", &JPDeviceNetworker::RPCimageNamesCall},
    {"servingPortNum", &JPDeviceNetworker::RPCservingPortNumCall},
    {"layoutIdentifier", &JPDeviceNetworker::RPClayoutIdentifierCall},
    {"customLayout", &JPDeviceNetworker::RPCcustomLayoutCall},
    {"ready", &JPDeviceNetworker::RPCreadyCall},
    {"launchConsole", &JPDeviceNetworker::RPClaunchConsoleCall, &JPDeviceNetworker::RPCdidWritelaunchConsoleReturn},
    {"UDID", &JPDeviceNetworker::RPCUDIDCall},
    {"gameConsoleInstalled", &JPDeviceNetworker::RPCgameConsoleInstalledCall},
    {"deviceType", &JPDeviceNetworker::RPCdeviceTypeCall},
    {"displayModal", &JPDeviceNetworker::RPCdisplayModalCall},
};

JPDeviceNetworker::JPDeviceNetworker(JPHiddenDevice* device) : device_(device) {}

bool JPDeviceNetworker::connectToIP(const std::string& ip, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1) {
        logLine("Padlink: Could not connect to '%s': not a dotted IPv4 address", ip.c_str());
        return false;
    }
    return connectToAddress(SocketAddress::fromNative(reinterpret_cast<const sockaddr*>(&address), sizeof address));
}

bool JPDeviceNetworker::connectToAddress(const ByteView& address) {
    rpcConnection_ = makeRef<JPRPCConnection>(makeRef<JPTcpSocket>(nullptr, nullptr, commandSocketQueue()));
    rpcConnection_->setDelegate(this);
    if (!rpcConnection_->connectToAddress(address) || !connectDataSocket()) {
        rpcConnection_->setDelegate(nullptr);
        rpcConnection_.reset();
        return false;
    }
    replyAddress_ = address;
    SocketAddress::hostAndPort(address, &phoneHost_, nullptr, nullptr);
    rpcConnection_->prime();
    return true;
}

bool JPDeviceNetworker::connectDataSocket() {
    dataSocket_ = makeRef<JPUdpSocket>(nullptr, nullptr, dataSocketQueue());
    dataSocket_->setIPv4Enabled(true);
    dataSocket_->setDelegate(RefPtr<JPUdpSocketDelegate>(this));
    dataSocket_->setDelegateQueue(DispatchQueue::main());
    RefPtr<Error> error;
    if (!dataSocket_->bindToPort(0, &error)) {
        logLine("Padlink: Could not bind dataSocket with error: %s", errorText(error).c_str());
        dropDataSocket();
        return false;
    }
    if (!dataSocket_->beginReceiving(&error)) {
        logLine("Error starting server (recv): %s", errorText(error).c_str());
        dropDataSocket();
        return false;
    }
    return true;
}

void JPDeviceNetworker::dropDataSocket() {
    if (!dataSocket_) return;
    const RefPtr<JPUdpSocket> socket = std::move(dataSocket_);
    socket->synchronouslySetDelegate(nullptr);  // the socket retains its delegate
    socket->close();
}

void JPDeviceNetworker::disconnect() {
    if (rpcConnection_) rpcConnection_->disconnect();
}

void JPDeviceNetworker::invalidate() {
    device_ = nullptr;
    imageServer_.reset();
    dropDataSocket();
    if (rpcConnection_) rpcConnection_->setDelegate(nullptr);
    rpcConnection_.reset();
}

uint16_t JPDeviceNetworker::dataPort() const { return dataSocket_ ? dataSocket_->localPort() : 0; }

void JPDeviceNetworker::sendVoidCall(const char* method, std::vector<JPValue> params) {
    if (!rpcConnection_) return;
    const RefPtr<JPMethodCall> call = JPMethodCall::methodCallWithMethodName(method);
    call->setParams(std::move(params));
    rpcConnection_->sendMethodCall(call, true);
}

void JPDeviceNetworker::updateLayout(RefPtr<JPControllerLayout> layout) { sendVoidCall("updateLayout", {JPValue(layout)}); }

void JPDeviceNetworker::goingToAppStore(const std::string& text) { sendVoidCall("goingToAppStore", {JPValue(text)}); }

void JPDeviceNetworker::goingToGame(const std::string& text) { sendVoidCall("goingToGame", {JPValue(text)}); }

void JPDeviceNetworker::sendAudioFeedback(const std::string& text) { sendVoidCall("audioFeedback", {JPValue(text)}); }

void JPDeviceNetworker::sendVibration() { sendVoidCall("vibrate", {}); }

uint32_t JPDeviceNetworker::jpUdpSocketDelegateMethods() const { return kDidReceiveData; }

void JPDeviceNetworker::udpSocketDidReceiveData(JPUdpSocket* sock, const ByteView& data, const ByteView& address,
                                                const RefPtr<Object>&) {
    CC_REQUIRE(RunLoop::main().isCurrent(), "NSInternalInconsistencyException", "input datagram off the main thread");
    if (sock != dataSocket_.get()) return;
    std::string host;
    if (!SocketAddress::hostAndPort(address, &host, nullptr, nullptr) || host != phoneHost_) {
        logLine("Padlink: Dropped an input datagram from %s, not from the phone at %s", host.c_str(), phoneHost_.c_str());
        return;
    }
    if (data.size() < kInputWordBytes) {
        logLine("Padlink: Dropped an input datagram of %zu bytes (an input word takes 8)", data.size());
        return;
    }
    dataSocket_->sendData(data, replyAddress_, -1, 0);
    uint64_t word = 0;
    for (size_t i = kInputWordBytes; i-- > 0;) word = word << 8 | data[i];
    if (device_) device_->deviceNetworker(this, word);
}

void JPDeviceNetworker::rpcConnectionDidReceiveMethodCall(JPRPCConnection* connection, JPMethodCall* call) {
    if (connection != rpcConnection_.get()) return;
    // A handler may end the connection (through the device and the manager) while it runs.
    const RefPtr<JPDeviceNetworker> keepAlive(this);
    const RefPtr<JPRPCConnection> channel(connection);
    auto answer = makeRef<JPMethodReturn>();
    if (const HandlerEntry* entry = handlersFor(call->methodName())) {
        // A broken precondition under a handler (the game's callbacks run there too) fails this
        // call alone; carried into the run loop it would end the program.
        try {
            (this->*entry->handler)(*call, answer);
        } catch (const std::exception& failure) {
            logLine("Padlink: The phone's call %s failed: %s", entry->method, failure.what());
            if (answer) answer = makeRef<JPMethodReturn>();  // a call its handler left unanswered stays so
        }
    }
    if (answer) channel->sendMethodReturn(answer, RefPtr<JPMethodCall>(call));
}

void JPDeviceNetworker::rpcConnectionDidWriteMethodReturn(JPRPCConnection* connection, JPMethodReturn* methodReturn,
                                                          JPMethodCall* call) {
    if (connection != rpcConnection_.get() || !call) return;  // a return written for no call has no handler
    const HandlerEntry* entry = handlersFor(call->methodName());
    if (entry && entry->didWrite) (this->*entry->didWrite)(*methodReturn);
}

const JPDeviceNetworker::HandlerEntry* JPDeviceNetworker::handlersFor(const std::string& method) const {
    return findHandlers(kHandlers, method);
}

const JPDeviceNetworker::HandlerEntry* JPDeviceNetworker::findHandlers(std::span<const HandlerEntry> table,
                                                                       const std::string& method) {
    for (const HandlerEntry& entry : table) {
        if (method == entry.method) return &entry;
    }
    return nullptr;
}

void JPDeviceNetworker::rpcConnectionDidDisconnect(JPRPCConnection* connection) {
    if (connection != rpcConnection_.get()) return;
    const RefPtr<JPDeviceNetworker> keepAlive(this);
    // Let go before the device hears it: the device may connect again at once.
    const RefPtr<JPRPCConnection> ended = std::move(rpcConnection_);
    imageServer_.reset();
    dropDataSocket();
    if (device_) device_->deviceNetworkerDidDisconnect(this);
}

void JPDeviceNetworker::RPCsdkVersionCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(kSDKVersion));
}

void JPDeviceNetworker::RPCdataPortNumCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer) {
    const JPValue port = call.params().empty() ? JPValue() : call.params()[0];
    if (port.kind() != JPValue::Kind::Integer || port.integerValue() < 1 || port.integerValue() > 65535) {
        logLine("Padlink: dataPortNum without a usable port (%s); echoes stay on the command address",
                port.description().c_str());
    } else if (dataSocket_) {
        RefPtr<Error> error;
        const ByteView dataAddress = SocketAddress::withPort(replyAddress_, static_cast<uint16_t>(port.integerValue()));
        if (!dataSocket_->connectToAddress(dataAddress, &error)) logLine("Padlink: Could not connect data socket to remote host");
    }
    answer->setRetValue(JPValue(dataPort()));
}

void JPDeviceNetworker::RPCbustImageCacheCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(JPManager::sharedManager()->bustImageCache()));
}

void JPDeviceNetworker::RPCdisplayDebugFramesCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(JPManager::sharedManager()->displayDebugFrames()));
}

void JPDeviceNetworker::RPCappNameCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(JPManager::sharedManager()->applicationName()));
}

void JPDeviceNetworker::RPCappBundleIdCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(kBundleIdentifier));
}

void JPDeviceNetworker::RPCappVersionCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(kBundleVersion));
}

void JPDeviceNetworker::RPCimageNamesCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    imageServer_.reset();  // its connection and port close before a new list is served
    const std::vector<std::string>& images = JPManager::sharedManager()->imageNames();
    if (!images.empty()) imageServer_ = JPImageServer::imageServer(images, phoneHost_);
    if (!imageServer_) return;
    JPValue::Array names;
    for (const std::string& name : imageServer_->imageList()) names.emplace_back(name);
    answer->setRetValue(JPValue(std::move(names)));
}

void JPDeviceNetworker::RPCservingPortNumCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    const bool serving = imageServer_ && !imageServer_->imageList().empty();
    answer->setRetValue(JPValue(serving ? imageServer_->listeningPort() : 0));
}

void JPDeviceNetworker::RPClayoutIdentifierCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    imageServer_.reset();
    answer->setRetValue(JPValue(JPManager::sharedManager()->layoutIdentifier()));
}

void JPDeviceNetworker::RPCcustomLayoutCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(JPManager::sharedManager()->controllerLayout()));
}

void JPDeviceNetworker::RPCreadyCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(true));
    logLine("Doesn't this already get called?");
    if (device_) device_->deviceNetworkerDidConnect(this);
}

void JPDeviceNetworker::RPClaunchConsoleCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(JPManager::sharedManager()->canLaunchConsoleFromDevice(device_)));
}

// The phone was told that it cannot launch the console here, so nothing follows the answer.
void JPDeviceNetworker::RPCdidWritelaunchConsoleReturn(const JPMethodReturn&) {}

void JPDeviceNetworker::RPCUDIDCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    // Empty when none can be made (logged): the answer stays nil.
    if (std::string identifier = Padlink_SharedUDID::value(); !identifier.empty()) {
        answer->setRetValue(JPValue(std::move(identifier)));
    }
}

void JPDeviceNetworker::RPCgameConsoleInstalledCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    answer->setRetValue(JPValue(0));
}

void JPDeviceNetworker::RPCdeviceTypeCall(const JPMethodCall&, RefPtr<JPMethodReturn>& answer) {
    utsname system{};
    uname(&system);
    answer->setRetValue(JPValue(std::string(system.machine)));
}

void JPDeviceNetworker::RPCdisplayModalCall(const JPMethodCall& call, RefPtr<JPMethodReturn>& answer) {
    answer.reset();  // first, so that not even a failure of this call is answered
    const auto& params = call.params();
    const auto isSize = [](const JPValue& value) {
        return value.kind() == JPValue::Kind::Integer && value.integerValue() >= 0 && value.integerValue() <= UINT32_MAX;
    };
    if (params.size() < 3 || params[0].kind() != JPValue::Kind::String || !isSize(params[1]) || !isSize(params[2])) {
        logLine("Padlink: Refused displayModal: %s is not a URL string, a width and a height",
                JPValue(params).description().c_str());
        return;
    }
    JPManager::sharedManager()->displayModalWithURL(params[0].stringValue(), static_cast<uint32_t>(params[1].integerValue()),
                                                    static_cast<uint32_t>(params[2].integerValue()));
}
