#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/foundation/Object.h"

// A growable run of bytes shared by reference: a read buffer that a socket fills for its caller, the
// bytes of a completed read handed to a delegate, data queued for sending. Whoever holds the buffer
// may change it; code that hands a buffer on promises not to change it afterwards (ByteView reads
// it in place). Not thread-safe: one thread at a time, handed over through a queue.
class ByteBuffer : public Object {
public:
    ByteBuffer() = default;
    // `length` zero bytes.
    explicit ByteBuffer(size_t length) : bytes_(length) {}
    ByteBuffer(const void* bytes, size_t length);

    // The bytes and their count.
    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }

    // Growth is zero-filled; shrinking drops the tail. Pointers into the buffer are invalid after
    // either (views recompute theirs on every access).
    void resize(size_t length) { bytes_.resize(length); }
    void append(const void* bytes, size_t length);
    // The bytes as characters, in place.
    std::string_view text() const { return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()}; }

private:
    std::vector<uint8_t> bytes_;
};
