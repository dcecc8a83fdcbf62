#include "platform/foundation/ByteView.h"

#include "platform/foundation/NamedException.h"

ByteView::ByteView(RefPtr<ByteBuffer> buffer) : buffer_(std::move(buffer)), length_(buffer_ ? buffer_->size() : 0) {}

ByteView::ByteView(RefPtr<ByteBuffer> buffer, size_t offset, size_t length)
    : buffer_(std::move(buffer)), offset_(offset), length_(length) {
    const size_t size = buffer_ ? buffer_->size() : 0;
    CC_REQUIRE(offset <= size && length <= size - offset, "NSRangeException",
               "window of %zu bytes at %zu beyond a buffer of %zu bytes", length, offset, size);
}

ByteView ByteView::copyOf(const void* bytes, size_t length) {
    return ByteView(makeRef<ByteBuffer>(bytes, length));
}

const uint8_t* ByteView::data() const { return length_ == 0 ? nullptr : buffer_->data() + offset_; }
