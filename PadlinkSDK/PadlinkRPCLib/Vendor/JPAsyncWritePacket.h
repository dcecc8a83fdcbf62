#pragma once

#include <cstdint>

#include "platform/foundation/ByteView.h"

// One queued write of a TCP socket. The bytes are the caller's, shared and not copied: the caller
// must not change them afterwards.
class JPAsyncWritePacket {
public:
    JPAsyncWritePacket(ByteView data, double timeout, int64_t tag) : data_(std::move(data)), timeout_(timeout), tag_(tag) {}

    // The bytes to send and how many have been sent.
    const ByteView& data() const { return data_; }
    uint64_t bytesDone() const { return bytesDone_; }
    void addBytesDone(uint64_t length) { bytesDone_ += length; }
    bool isComplete() const { return bytesDone_ == data_.size(); }
    int64_t tag() const { return tag_; }
    // Seconds allowed so far (grows with each extension); negative: none.
    double timeout() const { return timeout_; }
    void extendTimeout(double seconds) { timeout_ += seconds; }

private:
    const ByteView data_;
    uint64_t bytesDone_ = 0;
    double timeout_;
    const int64_t tag_;
};
