#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncReadPacket.h"

#include <algorithm>
#include <cstring>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocketPreBuffer.h"
#include "platform/foundation/NamedException.h"

namespace {
constexpr const char* kAssertion = "NSInternalInconsistencyException";
}

JPAsyncReadPacket::JPAsyncReadPacket(RefPtr<ByteBuffer> buffer, uint64_t startOffset, uint64_t maxLength,
                                     double timeout, uint64_t readLength, ByteView term, int64_t tag)
    : buffer_(buffer ? buffer : makeRef<ByteBuffer>()),
      startOffset_(startOffset),
      maxLength_(maxLength),
      timeout_(timeout),
      readLength_(readLength),
      term_(term.empty() ? ByteView() : ByteView::copyOf(term.data(), term.size())),
      bufferOwner_(!buffer),
      originalBufferLength_(buffer ? buffer->size() : 0),
      tag_(tag) {
    CC_REQUIRE(startOffset <= buffer_->size(), kAssertion, "read offset beyond its buffer");
}

void JPAsyncReadPacket::ensureCapacityForAdditionalDataOfLength(uint64_t length) {
    const uint64_t needed = startOffset_ + bytesDone_ + length;
    if (needed > buffer_->size()) buffer_->resize(needed);
}

uint64_t JPAsyncReadPacket::readLengthForNonTermWithHint(uint64_t hint) const {
    CC_REQUIRE(!isTermRead(), kAssertion, "This method does not apply to term reads");
    CC_REQUIRE(hint > 0, kAssertion, "Invalid parameter: bytesAvailable");
    if (readLength_ > 0) return std::min(hint, readLength_ - bytesDone_);
    return maxLength_ > 0 ? std::min(hint, maxLength_ - bytesDone_) : hint;
}

uint64_t JPAsyncReadPacket::readLengthForTermWithHint(uint64_t hint, bool* shouldPreBuffer) const {
    CC_REQUIRE(isTermRead(), kAssertion, "This method does not apply to non-term reads");
    CC_REQUIRE(hint > 0, kAssertion, "Invalid parameter: bytesAvailable");
    const uint64_t length = maxLength_ > 0 ? std::min(hint, maxLength_ - bytesDone_) : hint;
    const uint64_t room = buffer_->size() - (startOffset_ + bytesDone_);
    *shouldPreBuffer = room < length;
    return length;
}

uint64_t JPAsyncReadPacket::readLengthForTermWithPreBuffer(const JPTcpSocketPreBuffer& preBuffer, bool* found) const {
    CC_REQUIRE(isTermRead(), kAssertion, "This method does not apply to non-term reads");
    const uint64_t available = preBuffer.availableBytes();
    CC_REQUIRE(available > 0, kAssertion, "Invoked with empty pre buffer!");
    *found = false;
    const uint64_t termLength = term_.size();
    if (bytesDone_ + available < termLength) return available;
    const uint64_t usable = maxLength_ > 0 ? std::min(available, maxLength_ - bytesDone_) : available;
    // The search window: the last `tail` stored bytes (the terminator may begin there) followed by
    // the first `usable` pre-buffered ones. A match must end in the pre-buffered part.
    const uint64_t tail = std::min<uint64_t>(bytesDone_, termLength - 1);
    const uint8_t* stored = buffer_->data() + startOffset_ + bytesDone_ - tail;
    const uint8_t* fresh = preBuffer.readBuffer();
    const auto at = [&](uint64_t index) { return index < tail ? stored[index] : fresh[index - tail]; };
    const uint64_t window = tail + usable;
    for (uint64_t start = 0; start + termLength <= window; ++start) {
        uint64_t matched = 0;
        while (matched < termLength && at(start + matched) == term_[matched]) ++matched;
        if (matched == termLength) {
            *found = true;
            return start + termLength - tail;
        }
    }
    return usable;
}

int64_t JPAsyncReadPacket::searchForTermAfterPreBuffering(uint64_t length) const {
    const uint64_t termLength = term_.size();
    const uint8_t* start = buffer_->data() + startOffset_;
    const uint64_t end = bytesDone_ + length;  // the terminator must end by here and after bytesDone
    uint64_t position = bytesDone_ + 1 >= termLength ? bytesDone_ + 1 - termLength : 0;
    for (; position + termLength <= end; ++position) {
        if (std::memcmp(start + position, term_.data(), termLength) == 0) {
            return static_cast<int64_t>(end - (position + termLength));
        }
    }
    return -1;
}

bool JPAsyncReadPacket::isFilled() const {
    if (readLength_ > 0) return bytesDone_ == readLength_;
    return !isTermRead() && reachedMaxLength();
}

ByteView JPAsyncReadPacket::finish() {
    if (bufferOwner_) {
        buffer_->resize(bytesDone_);
        return ByteView(buffer_);
    }
    const uint64_t end = startOffset_ + bytesDone_;
    if (buffer_->size() > originalBufferLength_) buffer_->resize(std::max(end, originalBufferLength_));
    return ByteView(buffer_, startOffset_, bytesDone_);
}
