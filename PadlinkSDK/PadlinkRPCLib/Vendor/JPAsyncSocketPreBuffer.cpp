#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncSocketPreBuffer.h"

#include "platform/foundation/NamedException.h"

JPAsyncSocketPreBuffer::JPAsyncSocketPreBuffer(size_t capacity) : storage_(capacity) {}

void JPAsyncSocketPreBuffer::ensureCapacityForWrite(size_t length) {
    if (length > availableSpace()) storage_.resize(storage_.size() + (length - availableSpace()));
}

void JPAsyncSocketPreBuffer::didRead(size_t length) {
    CC_REQUIRE(length <= availableBytes(), "NSInternalInconsistencyException", "read %zu of %zu pre-buffered bytes",
               length, availableBytes());
    readOffset_ += length;
    if (readOffset_ == writeOffset_) reset();
}

void JPAsyncSocketPreBuffer::didWrite(size_t length) {
    CC_REQUIRE(length <= availableSpace(), "NSInternalInconsistencyException", "wrote %zu into %zu free bytes",
               length, availableSpace());
    writeOffset_ += length;
}
