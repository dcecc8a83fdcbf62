#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/foundation/ByteBuffer.h"

// A read-only window onto a shared ByteBuffer: the buffer is kept alive, never copied. Copying a
// view copies the window, not the bytes. A default view is empty and has no buffer.
//
// The window is fixed when the view is made; the bytes are read in place at every access, so the
// owner of the buffer must not shrink it below the window (growing it is fine).
class ByteView {
public:
    ByteView() = default;
    // The whole buffer as it is now; a null buffer gives an empty view.
    explicit ByteView(RefPtr<ByteBuffer> buffer);
    // `length` bytes from `offset`; a window outside the buffer throws NamedException
    // "NSRangeException".
    ByteView(RefPtr<ByteBuffer> buffer, size_t offset, size_t length);

    // A view of a new buffer holding a copy of the bytes.
    static ByteView copyOf(const void* bytes, size_t length);
    static ByteView copyOf(std::string_view text) { return copyOf(text.data(), text.size()); }

    // Null for an empty view.
    const uint8_t* data() const;
    size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    uint8_t operator[](size_t index) const { return data()[index]; }

    std::string_view text() const { return {reinterpret_cast<const char*>(data()), length_}; }
    // The buffer behind the view and where the window starts in it.
    const RefPtr<ByteBuffer>& buffer() const { return buffer_; }
    size_t offset() const { return offset_; }

    // Equal bytes, wherever they live.
    friend bool operator==(const ByteView& a, const ByteView& b) { return a.text() == b.text(); }

private:
    RefPtr<ByteBuffer> buffer_;
    size_t offset_ = 0;
    size_t length_ = 0;
};
