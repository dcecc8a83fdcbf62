#pragma once

#include <cstdint>
#include <functional>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncReadPacket.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocketPreBuffer.h"

// The read side of a TCP connection without the connection: the pre-buffer and the read pass that
// moves bytes from it and from a byte source into the current read packet. The socket drives it
// with its descriptor as the source; tests and the fuzz target drive it with scripted chunks.
class JPTcpSocketReader {
public:
    // Why a source stopped filling.
    enum class Stop { None, WouldBlock, EndOfStream, Failed };
    // What one fill gave: bytes stored at `into`, and a stop reason (with or without bytes).
    struct Fill {
        uint64_t bytes = 0;
        Stop stop = Stop::None;
    };
    // Stores at most `length` bytes at `into`.
    using Source = std::function<Fill(uint8_t* into, uint64_t length)>;

    // The outcome of one pass.
    struct Pass {
        uint64_t stored = 0;     // bytes added to the packet in this pass
        bool done = false;       // the packet is complete
        bool maxedOut = false;   // a terminator read reached its maximum without the terminator
        Stop stop = Stop::None;  // how the source's fill ended (None when it was not asked)
    };

    // Pre-buffer capacity at creation, bytes.
    static constexpr size_t kInitialPreBufferCapacity = 4096;

    JPTcpSocketReader() : preBuffer_(kInitialPreBufferCapacity) {}

    // One pass for `packet`: first the pre-buffered bytes that belong to it; then, unless that
    // finished it or `estimate` is 0, one fill of at most `estimate` bytes (fewer when the packet
    // wants fewer). Bytes beyond the packet's terminator stay pre-buffered for the next read; a
    // length read never asks the source for more than it still needs.
    Pass pass(JPAsyncReadPacket& packet, uint64_t estimate, const Source& source);

    JPTcpSocketPreBuffer& preBuffer() { return preBuffer_; }

private:
    // Moves the pre-buffered bytes that belong to the packet into it.
    void takeFromPreBuffer(JPAsyncReadPacket& packet, Pass& pass);

    JPTcpSocketPreBuffer preBuffer_;
};
