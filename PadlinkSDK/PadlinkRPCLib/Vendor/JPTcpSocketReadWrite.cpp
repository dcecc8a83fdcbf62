// JPTcpSocket: the read and write queues, their passes over the descriptor and their time-outs.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocket.h"
#include "platform/foundation/NamedException.h"

namespace {
constexpr const char* kAssertion = "NSInternalInconsistencyException";

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// The fraction done of a packet with `done` of `total` bytes (1 when there is no fixed total).
float fraction(uint64_t done, uint64_t total) {
    return total > 0 ? static_cast<float>(static_cast<double>(done) / static_cast<double>(total)) : 1.0f;
}
}  // namespace

// ---- requests ----

void JPTcpSocket::queueRead(ReadPacketPtr packet) {
    asyncOnQueue([this, packet = std::move(packet)] {
        if ((flags_ & kSocketStarted) && !(flags_ & kForbidReadsWrites)) {
            readQueue_.push_back(packet);
            maybeDequeueRead();
        }
    });
}

void JPTcpSocket::readDataWithTimeout(double timeout, int64_t tag) {
    readDataWithTimeout(timeout, nullptr, 0, 0, tag);
}

void JPTcpSocket::readDataWithTimeout(double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset, int64_t tag) {
    readDataWithTimeout(timeout, std::move(buffer), offset, 0, tag);
}

void JPTcpSocket::readDataWithTimeout(double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset, uint64_t maxLength,
                                        int64_t tag) {
    if (offset > (buffer ? buffer->size() : 0)) return;
    queueRead(std::make_shared<JPAsyncReadPacket>(std::move(buffer), offset, maxLength, timeout, 0, ByteView(), tag));
}

void JPTcpSocket::readDataToLength(uint64_t length, double timeout, int64_t tag) {
    readDataToLength(length, timeout, nullptr, 0, tag);
}

void JPTcpSocket::readDataToLength(uint64_t length, double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset,
                                     int64_t tag) {
    if (length == 0 || offset > (buffer ? buffer->size() : 0)) return;
    queueRead(std::make_shared<JPAsyncReadPacket>(std::move(buffer), offset, 0, timeout, length, ByteView(), tag));
}

void JPTcpSocket::readDataToData(const ByteView& term, double timeout, int64_t tag) {
    readDataToData(term, timeout, nullptr, 0, 0, tag);
}

void JPTcpSocket::readDataToData(const ByteView& term, double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset,
                                   int64_t tag) {
    readDataToData(term, timeout, std::move(buffer), offset, 0, tag);
}

void JPTcpSocket::readDataToData(const ByteView& term, double timeout, uint64_t maxLength, int64_t tag) {
    readDataToData(term, timeout, nullptr, 0, maxLength, tag);
}

void JPTcpSocket::readDataToData(const ByteView& term, double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset,
                                   uint64_t maxLength, int64_t tag) {
    if (term.empty() || offset > (buffer ? buffer->size() : 0)) return;
    if (maxLength > 0 && maxLength < term.size()) return;
    queueRead(std::make_shared<JPAsyncReadPacket>(std::move(buffer), offset, maxLength, timeout, 0, term, tag));
}

void JPTcpSocket::writeData(const ByteView& data, double timeout, int64_t tag) {
    if (data.empty()) return;
    asyncOnQueue([this, packet = std::make_shared<JPAsyncWritePacket>(data, timeout, tag)] {
        if ((flags_ & kSocketStarted) && !(flags_ & kForbidReadsWrites)) {
            writeQueue_.push_back(packet);
            maybeDequeueWrite();
        }
    });
}

float JPTcpSocket::progressOfReadReturningTag(int64_t* tag, uint64_t* done, uint64_t* total) const {
    return syncOnQueue([&] {
        const JPAsyncReadPacket* read = currentRead_.get();
        if (tag) *tag = read ? read->tag() : 0;
        if (done) *done = read ? read->bytesDone() : 0;
        if (total) *total = read ? read->readLength() : 0;
        return read ? fraction(read->bytesDone(), read->readLength()) : NAN;
    });
}

float JPTcpSocket::progressOfWriteReturningTag(int64_t* tag, uint64_t* done, uint64_t* total) const {
    return syncOnQueue([&] {
        const JPAsyncWritePacket* write = currentWrite_.get();
        if (tag) *tag = write ? write->tag() : 0;
        if (done) *done = write ? write->bytesDone() : 0;
        if (total) *total = write ? write->data().size() : 0;
        return write ? fraction(write->bytesDone(), write->data().size()) : NAN;
    });
}

// ---- reading ----

void JPTcpSocket::maybeDequeueRead() {
    requireSocketQueue();
    if (currentRead_ || (flags_ & kStartingReadTLS) || !(flags_ & kConnected)) return;
    if (readQueue_.empty()) {
        if (flags_ & kDisconnectAfterReads) {
            maybeClose();
        } else if (flags_ & kSecure) {
            // Decrypted bytes raise no read event: take them now.
            flushSSLBuffers();
            if (reader_.preBuffer().availableBytes() == 0) resumeReadSource();
        }
        return;
    }
    ReadRequest next = std::move(readQueue_.front());
    readQueue_.pop_front();
    if (auto* tls = std::get_if<SpecialPacketPtr>(&next)) {
        tlsRequest_ = std::move(*tls);
        flags_ |= kStartingReadTLS;
        maybeStartTLS();
        return;
    }
    currentRead_ = std::get<ReadPacketPtr>(std::move(next));
    if (currentRead_->timeout() >= 0) readTimer_ = makeTimer(currentRead_->timeout(), &JPTcpSocket::doReadTimeout);
    doReadData();
}

void JPTcpSocket::doReadData() {
    const bool atSwitch = flags_ & kStartingReadTLS;
    if ((!currentRead_ && !atSwitch) || (flags_ & kReadsPaused)) {
        if (flags_ & kSecure) flushSSLBuffers();
        // Nothing wants the bytes: stop the source firing for them.
        if (socketFDBytesAvailable_ > 0) suspendReadSource();
        return;
    }
    const uint64_t estimate = readEstimate();
    if (estimate == 0 && reader_.preBuffer().availableBytes() == 0) {
        resumeReadSource();
        return;
    }
    if (atSwitch) {
        // Bytes past the switch belong to TLS: none is read until both sides are there.
        if (flags_ & kStartingWriteTLS) {
            continueHandshake();
        } else {
            suspendReadSource();
        }
        return;
    }
    const int fd = connectedDescriptor()->get();
    RefPtr<Error> error;
    bool waiting = false;
    const bool endSeenBefore = flags_ & kSocketHasReadEOF;
    const JPTcpSocketReader::Pass pass = reader_.pass(
        *currentRead_, endSeenBefore ? 0 : estimate, [&](uint8_t* into, uint64_t length) -> JPTcpSocketReader::Fill {
            using Stop = JPTcpSocketReader::Stop;
            if (flags_ & kSecure) return readSecure(into, length, &error, &waiting);
            ssize_t result;
            do {
                result = ::read(fd, into, length);
            } while (result < 0 && errno == EINTR);
            if (result <= 0) {
                socketFDBytesAvailable_ = 0;
                if (result == 0) return {0, Stop::EndOfStream};
                if (wouldBlock(errno)) {
                    waiting = true;
                    return {0, Stop::WouldBlock};
                }
                error = Error::posix(errno, "Error in read() function");
                return {0, Stop::Failed};
            }
            const auto got = static_cast<uint64_t>(result);
            socketFDBytesAvailable_ = got < length ? 0 : socketFDBytesAvailable_ - std::min(got, socketFDBytesAvailable_);
            waiting = socketFDBytesAvailable_ == 0;
            return {got, waiting ? Stop::WouldBlock : Stop::None};
        });
    if (pass.stop == JPTcpSocketReader::Stop::EndOfStream) flags_ |= kSocketHasReadEOF;
    if (pass.maxedOut) error = socketError(kReadMaxedOutError, "Read operation reached set maximum length");
    const bool endOfStream = flags_ & kSocketHasReadEOF;
    if (pass.done) {
        completeCurrentRead();
        if (!error && (!endOfStream || reader_.preBuffer().availableBytes() > 0)) maybeDequeueRead();
        // The next read may have closed the socket already.
        if (!(flags_ & kSocketStarted)) return;
    } else if (pass.stored > 0) {
        notify(JPTcpSocketDelegate::kDidReadPartialData,
               [length = pass.stored, tag = currentRead_->tag()](JPTcpSocketDelegate* delegate, JPTcpSocket* sock) {
                   delegate->socketDidReadPartialDataOfLength(sock, length, tag);
               });
    }
    if (error) {
        closeWithError(error);
    } else if (endOfStream) {
        doReadEOF();
    } else if (waiting) {
        resumeReadSource();
    }
}

void JPTcpSocket::doReadEOF() {
    flags_ |= kSocketHasReadEOF;
    if (flags_ & kSecure) flushSSLBuffers();
    if (flags_ & (kStartingReadTLS | kStartingWriteTLS)) {
        closeWithError(tlsError(JPSecureTransport::kClosedAbort, "The connection ended during the TLS handshake"));
        return;
    }
    if (!(flags_ & kReadStreamClosed) && reader_.preBuffer().availableBytes() == 0) {
        bool close = true;
        if (config_ & kAllowHalfDuplex) {
            // Half duplex only while the peer still takes our bytes.
            pollfd probe{connectedDescriptor()->get(), POLLOUT, 0};
            close = poll(&probe, 1, 0) <= 0 || !(probe.revents & POLLOUT);
        }
        if (close) {
            const bool tlsFailed = sslErrCode_ != 0 && sslErrCode_ != JPSecureTransport::kClosedGraceful;
            closeWithError(tlsFailed ? tlsError(sslErrCode_, "The TLS connection ended without a close")
                                     : socketError(kClosedError, "Socket closed by remote peer"));
            return;
        }
        flags_ |= kReadStreamClosed;
        notify(JPTcpSocketDelegate::kDidCloseReadStream,
               [](JPTcpSocketDelegate* delegate, JPTcpSocket* sock) { delegate->socketDidCloseReadStream(sock); });
    }
    // The stream stays readable at its end: the source would fire for ever.
    suspendReadSource();
}

void JPTcpSocket::completeCurrentRead() {
    CC_REQUIRE(currentRead_, kAssertion, "Trying to complete current read when there is no current read.");
    notify(JPTcpSocketDelegate::kDidReadData,
           [data = currentRead_->finish(), tag = currentRead_->tag()](JPTcpSocketDelegate* delegate, JPTcpSocket* sock) {
               delegate->socketDidReadData(sock, data, tag);
           });
    endCurrentRead();
}

void JPTcpSocket::endCurrentRead() {
    if (readTimer_) readTimer_->cancel();
    readTimer_.reset();
    currentRead_.reset();
}

void JPTcpSocket::doReadTimeout() {
    flags_ |= kReadsPaused;
    askTimeoutExtension(true);
}

// ---- writing ----

void JPTcpSocket::maybeDequeueWrite() {
    requireSocketQueue();
    if (currentWrite_ || (flags_ & kStartingWriteTLS) || !(flags_ & kConnected)) return;
    if (writeQueue_.empty()) {
        if (flags_ & kDisconnectAfterWrites) maybeClose();
        return;
    }
    WriteRequest next = std::move(writeQueue_.front());
    writeQueue_.pop_front();
    if (std::holds_alternative<SpecialPacketPtr>(next)) {
        flags_ |= kStartingWriteTLS;
        maybeStartTLS();
        return;
    }
    currentWrite_ = std::get<WritePacketPtr>(std::move(next));
    if (currentWrite_->timeout() >= 0) writeTimer_ = makeTimer(currentWrite_->timeout(), &JPTcpSocket::doWriteTimeout);
    doWriteData();
}

void JPTcpSocket::doWriteData() {
    const bool atSwitch = flags_ & kStartingWriteTLS;
    if ((!currentWrite_ && !atSwitch) || (flags_ & kWritesPaused)) {
        if (flags_ & kSocketCanAcceptBytes) suspendWriteSource();
        return;
    }
    if (!(flags_ & kSocketCanAcceptBytes)) {
        resumeWriteSource();
        return;
    }
    if (atSwitch) {
        if (flags_ & kStartingReadTLS) {
            continueHandshake();
        } else {
            suspendWriteSource();
        }
        return;
    }
    const WriteOutcome outcome = flags_ & kSecure ? writeSecure() : writePlain();
    if (outcome.waiting) {
        flags_ &= ~kSocketCanAcceptBytes;
        resumeWriteSource();
    }
    if (outcome.written > 0) {
        currentWrite_->addBytesDone(outcome.written);
        if (currentWrite_->isComplete()) {
            completeCurrentWrite();
            if (!outcome.error) maybeDequeueWrite();
        } else {
            // The system took what it had room for: wait for more room.
            flags_ &= ~kSocketCanAcceptBytes;
            resumeWriteSource();
            notify(JPTcpSocketDelegate::kDidWritePartialData,
                   [length = outcome.written, tag = currentWrite_->tag()](JPTcpSocketDelegate* delegate, JPTcpSocket* sock) {
                       delegate->socketDidWritePartialDataOfLength(sock, length, tag);
                   });
        }
    }
    if (outcome.error) closeWithError(outcome.error);
}

JPTcpSocket::WriteOutcome JPTcpSocket::writePlain() {
    const ByteView& data = currentWrite_->data();
    const uint64_t done = currentWrite_->bytesDone();
    ssize_t result;
    do {
        result = ::send(connectedDescriptor()->get(), data.data() + done, data.size() - done, MSG_NOSIGNAL);
    } while (result < 0 && errno == EINTR);
    WriteOutcome outcome;
    if (result > 0) {
        outcome.written = static_cast<uint64_t>(result);
    } else if (result < 0 && wouldBlock(errno)) {
        outcome.waiting = true;
    } else if (result < 0) {
        outcome.error = Error::posix(errno, "Error in write() function");
    }
    return outcome;
}

void JPTcpSocket::completeCurrentWrite() {
    CC_REQUIRE(currentWrite_, kAssertion, "Trying to complete current write when there is no current write.");
    notify(JPTcpSocketDelegate::kDidWriteData, [tag = currentWrite_->tag()](JPTcpSocketDelegate* delegate, JPTcpSocket* sock) {
        delegate->socketDidWriteDataWithTag(sock, tag);
    });
    endCurrentWrite();
}

void JPTcpSocket::endCurrentWrite() {
    if (writeTimer_) writeTimer_->cancel();
    writeTimer_.reset();
    currentWrite_.reset();
}

void JPTcpSocket::doWriteTimeout() {
    flags_ |= kWritesPaused;
    askTimeoutExtension(false);
}

// ---- time-outs ----

void JPTcpSocket::askTimeoutExtension(bool reading) {
    const uint32_t method = reading ? JPTcpSocketDelegate::kShouldTimeoutRead : JPTcpSocketDelegate::kShouldTimeoutWrite;
    JPTcpSocketDelegate* delegate = delegate_->load();
    if (!delegateQueue_ || !delegate || !(delegate->jpTcpSocketDelegateMethods() & method)) {
        doTimeoutWithExtension(reading, 0);
        return;
    }
    const int64_t tag = reading ? currentRead_->tag() : currentWrite_->tag();
    const double elapsed = reading ? currentRead_->timeout() : currentWrite_->timeout();
    const uint64_t done = reading ? currentRead_->bytesDone() : currentWrite_->bytesDone();
    // The answer comes back as a new block: the socket queue never waits for the delegate. A
    // delegate that has been replaced meanwhile counts as answering 0.
    delegateQueue_->async([self = RefPtr(this), cell = delegate_, delegate, reading, tag, elapsed, done] {
        double extension = 0;
        if (cell->load() == delegate) {
            extension = reading ? delegate->socketShouldTimeoutReadWithTag(self.get(), tag, elapsed, done)
                                : delegate->socketShouldTimeoutWriteWithTag(self.get(), tag, elapsed, done);
        }
        self->socketQueue_->async([self, reading, extension] { self->doTimeoutWithExtension(reading, extension); });
    });
}

void JPTcpSocket::doTimeoutWithExtension(bool reading, double extension) {
    if (reading ? !currentRead_ : !currentWrite_) return;
    if (!(extension > 0)) {
        closeWithError(reading ? socketError(kReadTimeoutError, "Read operation timed out")
                               : socketError(kWriteTimeoutError, "Write operation timed out"));
        return;
    }
    if (reading) {
        currentRead_->extendTimeout(extension);
        readTimer_->setTimer(extension);
        flags_ &= ~kReadsPaused;
        doReadData();
    } else {
        currentWrite_->extendTimeout(extension);
        writeTimer_->setTimer(extension);
        flags_ &= ~kWritesPaused;
        doWriteData();
    }
}
