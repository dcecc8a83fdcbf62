#include "PadlinkSDK/PadlinkRPCLib/JPRPCConnection.h"

#include "PadlinkSDK/PadlinkRPCLib/JPXMLMapper.h"
#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCEncoder.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace {

// Main thread only, like every connection.
JPRPCConnection::Durations gDurations;
// Shared by every connection of the process: the phone sees one rising sequence whichever
// connection carries it.
uint32_t gKeepAliveCounter = 0;

constexpr size_t kLengthBytes = 8;

uint64_t readLittleEndian64(const uint8_t* bytes) {
    uint64_t value = 0;
    for (size_t i = kLengthBytes; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

ByteView littleEndian64(uint64_t value) {
    uint8_t bytes[kLengthBytes];
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(value);
        value >>= 8;
    }
    return ByteView::copyOf(bytes, sizeof bytes);
}

}  // namespace

JPRPCConnection::Durations JPRPCConnection::durations() { return gDurations; }

void JPRPCConnection::setDurations(const Durations& durations) { gDurations = durations; }

JPRPCConnection::JPRPCConnection(RefPtr<JPTcpSocket> socket) : durations_(gDurations) { setSocket(std::move(socket)); }

JPRPCConnection::~JPRPCConnection() {
    stopKeepAlive();
    if (socket_) dropSocket();
}

bool JPRPCConnection::connectToAddress(const ByteView& address) {
    RefPtr<Error> error;
    if (socket_ && socket_->connectToAddress(address, &error)) return true;
    logLine("Padlink: Could not connect commSocket to Address. %s", error ? error->description().c_str() : "(no socket)");
    return false;
}

void JPRPCConnection::prime() {
    readLength();
    stopKeepAlive();
    keepAliveTimer_ = RunLoop::main().scheduleTimer(durations_.keepAliveInterval, true, [this] { sendKeepAlive(); });
}

void JPRPCConnection::disconnect() {
    if (socket_) socket_->disconnect();
}

void JPRPCConnection::setSocket(RefPtr<JPTcpSocket> socket) {
    if (socket == socket_) return;
    if (socket_) dropSocket();
    requestFIFO_.clear();
    methCallWriteFIFO_.clear();
    methReturnWriteFIFO_.clear();
    socket_ = std::move(socket);
    if (socket_) socket_->setDelegate(this, DispatchQueue::main());
}

void JPRPCConnection::sendMethodCall(RefPtr<JPMethodCall> call, bool isVoid) {
    if (!isVoid) requestFIFO_.push_back(call);
    const std::string body = call->body();
    methCallWriteFIFO_.push_back(std::move(call));
    sendXML(body, kTagCallBody);
}

void JPRPCConnection::sendMethodReturn(RefPtr<JPMethodReturn> methodReturn, RefPtr<JPMethodCall> call) {
    const std::string body = methodReturn->encodedRetValue();
    methReturnWriteFIFO_.push_back(makeRef<JPMethodContainer>(std::move(call), std::move(methodReturn)));
    sendXML(body, kTagReturnBody);
}

std::string JPRPCConnection::connectedHost() const { return socket_ ? socket_->connectedHost() : std::string(); }

ByteView JPRPCConnection::connectedAddress() const { return socket_ ? socket_->connectedAddress() : ByteView(); }

uint32_t JPRPCConnection::jpTcpSocketDelegateMethods() const {
    return kDidReadData | kDidWriteData | kDidDisconnect;
}

void JPRPCConnection::readLength() {
    if (socket_) socket_->readDataToLength(kLengthBytes, durations_.readTimeout, kTagReadLength);
}

void JPRPCConnection::readBody(uint64_t length) {
    if (length == 0) {
        handleBody({});
    } else if (length > InputLimits::kMessageBytes) {
        logLine("Padlink: Refused a message body of %llu bytes (at most %llu); closing the connection",
                static_cast<unsigned long long>(length), static_cast<unsigned long long>(InputLimits::kMessageBytes));
        socket_->disconnect();
    } else {
        socket_->readDataToLength(length, durations_.readTimeout, kTagReadBody);
    }
}

void JPRPCConnection::socketDidReadData(JPTcpSocket* sock, const ByteView& data, int64_t tag) {
    if (sock != socket_.get()) return;
    if (tag == kTagReadLength) return readBody(readLittleEndian64(data.data()));
    if (tag == kTagReadBody) return handleBody(data.text());
    logLine("Padlink: Unknown tag in read of socket data %ld", static_cast<long>(tag));
}

// Reads the next header first: the delegate may end the connection while it is told.
void JPRPCConnection::handleBody(std::string_view body) {
    const RefPtr<JPRPCConnection> keepAlive(this);
    readLength();
    const RefPtr<JPXMLMapper> mapper = body.empty() ? nullptr : JPXMLMapper::mapperWithData(body);
    const RefPtr<Object> message = mapper ? mapper->outputObject() : nullptr;
    if (const auto call = refCast<JPMethodCall>(message)) {
        if (delegate_) delegate_->rpcConnectionDidReceiveMethodCall(this, call.get());
    } else if (const auto answer = refCast<JPMethodReturn>(message)) {
        if (requestFIFO_.empty()) {
            logLine("Padlink: Dropped a method return that answers no call");
            return;
        }
        const RefPtr<JPMethodCall> call = std::move(requestFIFO_.front());
        requestFIFO_.pop_front();
        if (delegate_) delegate_->rpcConnectionMethodCallDidReturn(this, call.get(), answer.get());
    }
}

void JPRPCConnection::socketDidWriteDataWithTag(JPTcpSocket* sock, int64_t tag) {
    if (sock != socket_.get()) return;
    const RefPtr<JPRPCConnection> keepAlive(this);
    if (tag == kTagCallBody && !methCallWriteFIFO_.empty()) {
        const RefPtr<JPMethodCall> call = std::move(methCallWriteFIFO_.front());
        methCallWriteFIFO_.pop_front();
        if (delegate_) delegate_->rpcConnectionDidWriteMethodCall(this, call.get());
    } else if (tag == kTagReturnBody && !methReturnWriteFIFO_.empty()) {
        const RefPtr<JPMethodContainer> written = std::move(methReturnWriteFIFO_.front());
        methReturnWriteFIFO_.pop_front();
        if (delegate_) delegate_->rpcConnectionDidWriteMethodReturn(this, written->methodReturn().get(), written->methodCall().get());
    }
}

void JPRPCConnection::socketDidDisconnect(JPTcpSocket* sock, const RefPtr<Error>&) {
    if (!sock || sock != socket_.get()) return;
    const RefPtr<JPRPCConnection> keepAlive(this);
    stopKeepAlive();
    dropSocket();
    if (delegate_) delegate_->rpcConnectionDidDisconnect(this);
}

void JPRPCConnection::sendXML(const std::string& text, Tag tag) {
    if (!socket_) return;
    socket_->writeData(littleEndian64(text.size()), durations_.writeTimeout, kTagLength);
    socket_->writeData(ByteView::copyOf(text), durations_.writeTimeout, tag);
}

void JPRPCConnection::sendKeepAlive() {
    if (!socket_ || !socket_->isConnected()) return stopKeepAlive();
    sendXML(JPXMLRPCEncoder::encodeKeepAlive(gKeepAliveCounter++), kTagKeepAlive);
}

void JPRPCConnection::stopKeepAlive() {
    if (keepAliveTimer_) keepAliveTimer_->invalidate();
    keepAliveTimer_.reset();
}

void JPRPCConnection::dropSocket() {
    const RefPtr<JPTcpSocket> socket = std::move(socket_);
    socket->synchronouslySetDelegate(nullptr, nullptr);
    socket->disconnect();
}
