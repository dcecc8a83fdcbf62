#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocketReader.h"

#include <cstring>

#include "platform/foundation/NamedException.h"

void JPTcpSocketReader::takeFromPreBuffer(JPAsyncReadPacket& packet, Pass& pass) {
    bool found = false;
    const uint64_t length = packet.isTermRead() ? packet.readLengthForTermWithPreBuffer(preBuffer_, &found)
                                                : packet.readLengthForNonTermWithHint(preBuffer_.availableBytes());
    packet.ensureCapacityForAdditionalDataOfLength(length);
    std::memcpy(packet.writePosition(), preBuffer_.readBuffer(), length);
    preBuffer_.didRead(length);
    packet.addBytesDone(length);
    pass.stored += length;
    if (found || packet.isFilled()) {
        pass.done = true;
    } else if (packet.isTermRead() && packet.reachedMaxLength()) {
        pass.maxedOut = true;
    }
}

JPTcpSocketReader::Pass JPTcpSocketReader::pass(JPAsyncReadPacket& packet, uint64_t estimate, const Source& source) {
    Pass pass;
    if (preBuffer_.availableBytes() > 0) takeFromPreBuffer(packet, pass);
    if (!pass.done && !pass.maxedOut && estimate > 0) {
        // Whatever was pre-buffered belonged to this packet and is now in it.
        CC_REQUIRE(preBuffer_.availableBytes() == 0, "NSInternalInconsistencyException", "Invalid logic");
        bool viaPreBuffer = false;
        const uint64_t length = packet.isTermRead() ? packet.readLengthForTermWithHint(estimate, &viaPreBuffer)
                                                    : packet.readLengthForNonTermWithHint(estimate);
        uint8_t* into;
        if (viaPreBuffer) {
            preBuffer_.ensureCapacityForWrite(length);
            into = preBuffer_.writeBuffer();
        } else {
            packet.ensureCapacityForAdditionalDataOfLength(length);
            into = packet.writePosition();
        }
        const Fill fill = source(into, length);
        CC_REQUIRE(fill.bytes <= length, "NSInternalInconsistencyException", "a source filled %llu of %llu bytes",
                   static_cast<unsigned long long>(fill.bytes), static_cast<unsigned long long>(length));
        pass.stop = fill.stop;
        const uint64_t got = fill.bytes;
        if (got > 0 && viaPreBuffer) {
            preBuffer_.didWrite(got);
            takeFromPreBuffer(packet, pass);
        } else if (got > 0 && packet.isTermRead()) {
            const int64_t beyond = packet.searchForTermAfterPreBuffering(got);
            if (beyond < 0) {
                packet.addBytesDone(got);
                pass.stored += got;
                pass.maxedOut = packet.reachedMaxLength();
            } else {
                // The bytes after the terminator serve the next read.
                const uint64_t kept = got - static_cast<uint64_t>(beyond);
                preBuffer_.ensureCapacityForWrite(beyond);
                std::memcpy(preBuffer_.writeBuffer(), packet.writePosition() + kept, beyond);
                preBuffer_.didWrite(beyond);
                packet.addBytesDone(kept);
                pass.stored += kept;
                pass.done = true;
            }
        } else if (got > 0) {
            packet.addBytesDone(got);
            pass.stored += got;
            pass.done = packet.isFilled();
        }
    }
    // An available-data read is complete with whatever one pass brought.
    if (!pass.done && !pass.maxedOut && !packet.isTermRead() && packet.readLength() == 0 && pass.stored > 0) {
        pass.done = true;
    }
    return pass;
}
