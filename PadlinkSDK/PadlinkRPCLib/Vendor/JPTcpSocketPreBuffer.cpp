#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocketPreBuffer.h"

#include "platform/foundation/NamedException.h"

JPTcpSocketPreBuffer::JPTcpSocketPreBuffer(size_t capacity) : storage_(capacity) {}

void JPTcpSocketPreBuffer::ensureCapacityForWrite(size_t length) {
    if (length > availableSpace()) storage_.resize(storage_.size() + (length - availableSpace()));
}

void JPTcpSocketPreBuffer::didRead(size_t length) {
    CC_REQUIRE(length <= availableBytes(), "NSInternalInconsistencyException", "read %zu of %zu pre-buffered bytes",
               length, availableBytes());
    readOffset_ += length;
    if (readOffset_ == writeOffset_) reset();
}

void JPTcpSocketPreBuffer::didWrite(size_t length) {
    CC_REQUIRE(length <= availableSpace(), "NSInternalInconsistencyException", "wrote %zu into %zu free bytes",
               length, availableSpace());
    writeOffset_ += length;
}
