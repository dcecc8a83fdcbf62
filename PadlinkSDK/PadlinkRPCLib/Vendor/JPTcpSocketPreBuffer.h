#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes read from a descriptor that no read has consumed yet: a linear buffer with a read position
// and a write position. Bytes are appended only while nothing has been consumed since it was last
// emptied, so the free space is always behind the write position. It grows by exactly the shortfall
// asked for and never shrinks.
class JPTcpSocketPreBuffer {
public:
    explicit JPTcpSocketPreBuffer(size_t capacity);

    // Makes room for `length` more bytes behind the write position.
    void ensureCapacityForWrite(size_t length);

    // Unread bytes and where they start.
    size_t availableBytes() const { return writeOffset_ - readOffset_; }
    const uint8_t* readBuffer() const { return storage_.data() + readOffset_; }
    // Consumes `length` bytes; when none are left both positions return to the start.
    void didRead(size_t length);

    // Free bytes behind the write position and where they start.
    size_t availableSpace() const { return storage_.size() - writeOffset_; }
    uint8_t* writeBuffer() { return storage_.data() + writeOffset_; }
    // Marks `length` bytes behind the write position as written.
    void didWrite(size_t length);

    // Drops every unread byte.
    void reset() { readOffset_ = writeOffset_ = 0; }
    // Bytes of storage.
    size_t capacity() const { return storage_.size(); }

private:
    std::vector<uint8_t> storage_;  // size() is the capacity
    size_t readOffset_ = 0;         // invariant: readOffset_ <= writeOffset_ <= storage_.size()
    size_t writeOffset_ = 0;
};
