// JPTcpSocket: the switch to TLS, the handshake, and the transport callbacks of the TLS
// connection, which read and write the descriptor on the socket queue.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocket.h"
#include "platform/foundation/NamedException.h"

namespace {
constexpr const char* kAssertion = "NSInternalInconsistencyException";
// Largest piece handed to TLS per write call, bytes.
constexpr uint64_t kMaxTLSWritePiece = 32768;
// Capacity of the TLS pre-buffer when the handshake starts, bytes.
constexpr size_t kTLSPreBufferCapacity = 4096;
}  // namespace

RefPtr<Error> JPTcpSocket::tlsError(int32_t status, const std::string& text) {
    Value userInfo = Value::dictionary();
    userInfo.set(Error::kRecoverySuggestionKey, "Error code definition can be found in JPSecureTransport.h");
    return makeRef<Error>(kTLSErrorDomain, status, text.empty() ? "TLS failure" : text, "", userInfo);
}

void JPTcpSocket::startTLS(const Value& settings) {
    auto packet = std::make_shared<JPAsyncSpecialPacket>(settings.isDictionary() ? settings : Value::dictionary());
    asyncOnQueue([this, packet] {
        if (!(flags_ & kSocketStarted) || (flags_ & (kForbidReadsWrites | kQueuedTLS))) return;
        readQueue_.push_back(packet);
        writeQueue_.push_back(packet);
        flags_ |= kQueuedTLS;
        maybeDequeueRead();
        maybeDequeueWrite();
    });
}

JPSecureTransport* JPTcpSocket::sslContext() const { return socketQueue_->isCurrent() ? sslContext_.get() : nullptr; }

void JPTcpSocket::maybeStartTLS() {
    // Both sides must have reached the request: everything before it has been read and written.
    if (!(flags_ & kStartingReadTLS) || !(flags_ & kStartingWriteTLS)) return;
    const Value& settings = tlsRequest_->tlsSettings;
    const char* failedCall = nullptr;
    sslContext_ = JPSecureTransport::make(
        settings[JPSecureTransport::kIsServer].boolValue(),
        [this](void* data, size_t* length) { return sslRead(data, length); },
        [this](const void* data, size_t* length) { return sslWrite(data, length); }, &failedCall);
    if (sslContext_) failedCall = sslContext_->applySettings(settings);
    if (failedCall) {
        closeWithError(socketError(kOtherError, std::string("Error in ") + failedCall));
        return;
    }
    // Bytes already read past the switch are the first TLS records.
    sslPreBuffer_ = std::make_unique<JPTcpSocketPreBuffer>(kTLSPreBufferCapacity);
    JPTcpSocketPreBuffer& plain = reader_.preBuffer();
    sslPreBuffer_->ensureCapacityForWrite(plain.availableBytes());
    std::memcpy(sslPreBuffer_->writeBuffer(), plain.readBuffer(), plain.availableBytes());
    sslPreBuffer_->didWrite(plain.availableBytes());
    plain.reset();
    sslErrCode_ = 0;
    continueHandshake();
}

void JPTcpSocket::continueHandshake() {
    const int32_t status = sslContext_->handshake();
    if (status == JPSecureTransport::kWouldBlock) return;
    if (status != 0) {
        closeWithError(tlsError(status, sslContext_->failureText()));
        return;
    }
    flags_ = (flags_ & ~(kStartingReadTLS | kStartingWriteTLS)) | kSecure;
    tlsRequest_.reset();
    notify(JPTcpSocketDelegate::kDidSecure,
           [](JPTcpSocketDelegate* delegate, JPTcpSocket* sock) { delegate->socketDidSecure(sock); });
    maybeDequeueRead();
    maybeDequeueWrite();
}

void JPTcpSocket::endTLS() {
    // The TLS close goes out while the descriptor is still open.
    if (sslContext_) sslContext_->close();
    sslContext_.reset();
    sslPreBuffer_.reset();
    tlsRequest_.reset();
    sslWriteCachedLength_ = 0;
    sslErrCode_ = 0;
}

int32_t JPTcpSocket::sslRead(void* data, size_t* length) {
    CC_REQUIRE(socketQueue_->isCurrent(), kAssertion, "What the deuce?");
    const size_t wanted = *length;
    *length = 0;
    if (socketFDBytesAvailable_ == 0 && sslPreBuffer_->availableBytes() == 0) {
        resumeReadSource();
        return JPSecureTransport::kWouldBlock;
    }
    auto* into = static_cast<uint8_t*>(data);
    size_t done = std::min(wanted, sslPreBuffer_->availableBytes());
    std::memcpy(into, sslPreBuffer_->readBuffer(), done);
    sslPreBuffer_->didRead(done);
    if (done == wanted) {
        *length = done;
        return 0;
    }
    if (socketFDBytesAvailable_ == 0) {
        *length = done;
        resumeReadSource();
        return JPSecureTransport::kWouldBlock;
    }
    // More reported than wanted: take it all now (one call) and keep the rest for the next ask.
    const size_t stillWanted = wanted - done;
    const bool viaPreBuffer = socketFDBytesAvailable_ > stillWanted;
    const size_t asked = viaPreBuffer ? socketFDBytesAvailable_ : stillWanted;
    uint8_t* target = into + done;
    if (viaPreBuffer) {
        sslPreBuffer_->ensureCapacityForWrite(asked);
        target = sslPreBuffer_->writeBuffer();
    }
    ssize_t result;
    do {
        result = ::read(connectedDescriptor()->get(), target, asked);
    } while (result < 0 && errno == EINTR);
    int32_t status = 0;
    if (result > 0) {
        const auto got = static_cast<size_t>(result);
        socketFDBytesAvailable_ -= std::min<uint64_t>(got, socketFDBytesAvailable_);
        if (viaPreBuffer) {
            sslPreBuffer_->didWrite(got);
            const size_t taken = std::min(got, stillWanted);
            std::memcpy(into + done, sslPreBuffer_->readBuffer(), taken);
            sslPreBuffer_->didRead(taken);
            done += taken;
        } else {
            done += got;
        }
    } else if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        status = JPSecureTransport::kWouldBlock;
    } else {
        socketFDBytesAvailable_ = 0;
        status = JPSecureTransport::kClosedAbort;
    }
    *length = done;
    if (status == 0 && done < wanted) status = JPSecureTransport::kWouldBlock;
    // Whoever waits for more (the handshake as well as a read) is woken by the read source.
    if (status == JPSecureTransport::kWouldBlock) resumeReadSource();
    return status;
}

int32_t JPTcpSocket::sslWrite(const void* data, size_t* length) {
    CC_REQUIRE(socketQueue_->isCurrent(), kAssertion, "What the deuce?");
    const size_t wanted = *length;
    *length = 0;
    if (!(flags_ & kSocketCanAcceptBytes)) {
        resumeWriteSource();
        return JPSecureTransport::kWouldBlock;
    }
    ssize_t result;
    do {
        result = ::send(connectedDescriptor()->get(), data, wanted, MSG_NOSIGNAL);
    } while (result < 0 && errno == EINTR);
    if (result > 0) *length = static_cast<size_t>(result);
    if (*length == wanted) return 0;
    // Full: the write source wakes whoever waits (the handshake as well as a write).
    flags_ &= ~kSocketCanAcceptBytes;
    resumeWriteSource();
    return result < 0 && errno != EAGAIN && errno != EWOULDBLOCK ? JPSecureTransport::kClosedAbort
                                                                   : JPSecureTransport::kWouldBlock;
}

JPTcpSocketReader::Fill JPTcpSocket::readSecure(uint8_t* into, uint64_t length, RefPtr<Error>* error, bool* waiting) {
    using Stop = JPTcpSocketReader::Stop;
    uint64_t got = 0;
    int32_t status = 0;
    while (got < length && status == 0) {
        size_t processed = 0;
        status = sslContext_->read(into + got, length - got, &processed);
        got += processed;
    }
    if (status == 0) return {got, Stop::None};
    if (status == JPSecureTransport::kWouldBlock) {
        *waiting = true;
        return {got, Stop::WouldBlock};
    }
    if (status == JPSecureTransport::kClosedGraceful || status == JPSecureTransport::kClosedAbort) {
        sslErrCode_ = status;
        return {got, Stop::EndOfStream};
    }
    *error = tlsError(status, sslContext_->failureText());
    return {got, Stop::Failed};
}

JPTcpSocket::WriteOutcome JPTcpSocket::writeSecure() {
    WriteOutcome outcome;
    int32_t status = 0;
    if (sslWriteCachedLength_ > 0) {
        size_t ignored;
        status = sslContext_->write(nullptr, 0, &ignored);
        if (status == 0) {
            outcome.written = sslWriteCachedLength_;
            sslWriteCachedLength_ = 0;
        }
    }
    const ByteView& data = currentWrite_->data();
    uint64_t done = currentWrite_->bytesDone() + outcome.written;
    while (status == 0 && done < data.size()) {
        const size_t piece = std::min(data.size() - done, kMaxTLSWritePiece);
        size_t processed = 0;
        status = sslContext_->write(data.data() + done, piece, &processed);
        // Would-block: TLS holds the piece and sends it with the next flush.
        if (status == JPSecureTransport::kWouldBlock) sslWriteCachedLength_ = piece;
        outcome.written += processed;
        done += processed;
    }
    outcome.waiting = status == JPSecureTransport::kWouldBlock;
    if (status != 0 && !outcome.waiting) outcome.error = tlsError(status, sslContext_->failureText());
    return outcome;
}

void JPTcpSocket::flushSSLBuffers() {
    CC_REQUIRE(flags_ & kSecure, kAssertion, "Cannot flush ssl buffers on non-secure socket");
    JPTcpSocketPreBuffer& preBuffer = reader_.preBuffer();
    if (preBuffer.availableBytes() > 0) return;
    for (uint64_t estimate = readEstimate(); estimate > 0; estimate = readEstimate()) {
        preBuffer.ensureCapacityForWrite(estimate);
        size_t processed = 0;
        const int32_t status = sslContext_->read(preBuffer.writeBuffer(), estimate, &processed);
        preBuffer.didWrite(processed);
        if (status != 0) break;
    }
}

uint64_t JPTcpSocket::readEstimate() const {
    if (!(flags_ & kSecure)) return socketFDBytesAvailable_;
    return socketFDBytesAvailable_ + sslPreBuffer_->availableBytes() + sslContext_->bufferedReadSize();
}
