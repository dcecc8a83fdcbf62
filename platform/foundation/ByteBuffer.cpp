#include "platform/foundation/ByteBuffer.h"

ByteBuffer::ByteBuffer(const void* bytes, size_t length) { append(bytes, length); }

void ByteBuffer::append(const void* bytes, size_t length) {
    if (length == 0) return;
    const auto* first = static_cast<const uint8_t*>(bytes);
    bytes_.insert(bytes_.end(), first, first + length);
}
