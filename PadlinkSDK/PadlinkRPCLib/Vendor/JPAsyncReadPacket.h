#pragma once

#include <cstdint>

#include "platform/foundation/ByteView.h"

class JPTcpSocketPreBuffer;

// One queued read of a TCP socket, of exactly one kind:
// - a length read (readLength > 0): exactly that many bytes;
// - a terminator read (term not empty): up to and including the first occurrence of the terminator,
//   failing when maxLength bytes pass without it;
// - an available-data read (neither): whatever one pass can take, at most maxLength.
// Bytes go into `buffer` from startOffset on: the caller's buffer, or one the packet makes. An own
// buffer starts empty and grows only as bytes arrive, so a declared length (which may come from a
// peer) costs no memory until the bytes are there.
class JPAsyncReadPacket {
public:
    // A null `buffer` makes an own one (startOffset must then be 0).
    JPAsyncReadPacket(RefPtr<ByteBuffer> buffer, uint64_t startOffset, uint64_t maxLength, double timeout,
                      uint64_t readLength, ByteView term, int64_t tag);

    // Lengthens the buffer by exactly the shortfall, so that `length` more bytes fit behind
    // startOffset + bytesDone.
    void ensureCapacityForAdditionalDataOfLength(uint64_t length);
    // Bytes a length or available-data read takes when `hint` (> 0) are at hand.
    uint64_t readLengthForNonTermWithHint(uint64_t hint) const;
    // Bytes a terminator read takes when `hint` (> 0) are at hand, and whether they must go through
    // the pre-buffer (the buffer has less room than that behind the bytes done).
    uint64_t readLengthForTermWithHint(uint64_t hint, bool* shouldPreBuffer) const;
    // Pre-buffered bytes (the pre-buffer must not be empty) that belong to this terminator read, and
    // whether they end with the terminator; the terminator may begin in the bytes already stored.
    uint64_t readLengthForTermWithPreBuffer(const JPTcpSocketPreBuffer& preBuffer, bool* found) const;
    // After `length` new bytes were stored straight behind bytesDone: the number of them that follow
    // the first terminator ending among them, or -1 when none ends there.
    int64_t searchForTermAfterPreBuffering(uint64_t length) const;

    // Where the next byte goes.
    uint8_t* writePosition() { return buffer_->data() + startOffset_ + bytesDone_; }
    // The completed read as delivered: an own buffer cut to the bytes done, or a view of the bytes
    // done in the caller's buffer (cut back to its original length, or to the end of the read if
    // that is longer).
    ByteView finish();

    bool isTermRead() const { return !term_.empty(); }
    // True when the bytes done complete a length read or fill an available-data read's maximum.
    bool isFilled() const;
    // True when a maximum is set and the bytes done have reached it.
    bool reachedMaxLength() const { return maxLength_ > 0 && bytesDone_ >= maxLength_; }

    // The packet's fields (see the class comment); bytesDone counts the bytes stored so far.
    const RefPtr<ByteBuffer>& buffer() const { return buffer_; }
    uint64_t bytesDone() const { return bytesDone_; }
    void addBytesDone(uint64_t length) { bytesDone_ += length; }
    uint64_t readLength() const { return readLength_; }
    uint64_t maxLength() const { return maxLength_; }
    const ByteView& term() const { return term_; }
    int64_t tag() const { return tag_; }
    // Seconds allowed so far (grows with each extension); negative: none.
    double timeout() const { return timeout_; }
    void extendTimeout(double seconds) { timeout_ += seconds; }

private:
    RefPtr<ByteBuffer> buffer_;
    const uint64_t startOffset_;
    uint64_t bytesDone_ = 0;
    const uint64_t maxLength_;      // 0: none
    double timeout_;
    const uint64_t readLength_;     // 0 unless a length read
    const ByteView term_;           // a copy of the caller's terminator; empty unless a terminator read
    const bool bufferOwner_;
    const uint64_t originalBufferLength_;  // of the caller's buffer when queued; 0 for an own buffer
    const int64_t tag_;
};
