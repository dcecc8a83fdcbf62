// Arbitrary read requests and arrival chunks through the TCP read pass (terminator, length and
// available-data reads; own and caller buffers), checking what every completed read holds and that
// no byte is lost, duplicated or read ahead of a length read's need.
//
// Script, byte by byte: an operation byte, then its arguments.
//   op % 4 == 0: length read of (1 + next byte) bytes
//   op % 4 == 1: terminator read: next byte picks the terminator, the one after it the maximum
//   op % 4 == 2: available-data read: next byte is the maximum (0: none)
//   op % 4 == 3: a chunk arrives: next byte is its length, the bytes follow
// Bit 0x80 of a read's operation byte puts it into a caller's buffer behind three bytes.
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocketReader.h"

namespace {

constexpr std::string_view kTerms[] = {"\r\n", "\n", std::string_view("\0", 1), "aba"};
constexpr std::string_view kPrefix = "PFX";

void require(bool condition) {
    if (!condition) std::abort();
}

struct Read {
    std::shared_ptr<JPAsyncReadPacket> packet;
    RefPtr<ByteBuffer> callerBuffer;  // null for an own buffer
};

class Script {
public:
    Script(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    void run() {
        while (position_ < size_ && !closed_) {
            const uint8_t op = data_[position_++];
            if (op % 4 == 3) {
                const size_t length = std::min<size_t>(next(), size_ - position_);
                arrived_.append(reinterpret_cast<const char*>(data_ + position_), length);
                position_ += length;
            } else {
                queue(op);
            }
            drive();
        }
    }

private:
    uint8_t next() { return position_ < size_ ? data_[position_++] : 0; }

    void queue(uint8_t op) {
        RefPtr<ByteBuffer> caller = (op & 0x80) ? makeRef<ByteBuffer>(kPrefix.data(), kPrefix.size()) : nullptr;
        const uint64_t offset = caller ? kPrefix.size() : 0;
        std::shared_ptr<JPAsyncReadPacket> packet;
        if (op % 4 == 0) {
            packet = std::make_shared<JPAsyncReadPacket>(caller, offset, 0, -1, 1 + next(), ByteView(), 0);
        } else if (op % 4 == 1) {
            const std::string_view term = kTerms[next() % std::size(kTerms)];
            const uint8_t max = next();
            const uint64_t maxLength = max == 0 ? 0 : std::max<uint64_t>(max, term.size());
            packet = std::make_shared<JPAsyncReadPacket>(caller, offset, maxLength, -1, 0, ByteView::copyOf(term), 0);
        } else {
            packet = std::make_shared<JPAsyncReadPacket>(caller, offset, next(), -1, 0, ByteView(), 0);
        }
        reads_.push_back({packet, caller});
    }

    // Runs passes, as the socket does, while a read is waiting and bytes are at hand.
    void drive() {
        while (!reads_.empty() && !closed_) {
            JPAsyncReadPacket& packet = *reads_.front().packet;
            const uint64_t estimate = arrived_.size() - consumed_;
            if (estimate == 0 && reader_.preBuffer().availableBytes() == 0) return;
            const uint64_t before = packet.bytesDone();
            const JPTcpSocketReader::Pass pass = reader_.pass(packet, estimate, [&](uint8_t* into, uint64_t length) {
                // A length read never asks for more than it still needs.
                require(packet.readLength() == 0 || length <= packet.readLength() - packet.bytesDone());
                const uint64_t got = std::min<uint64_t>(length, arrived_.size() - consumed_);
                std::copy_n(arrived_.data() + consumed_, got, into);
                consumed_ += got;
                const bool drained = consumed_ == arrived_.size();
                return JPTcpSocketReader::Fill{got, drained ? JPTcpSocketReader::Stop::WouldBlock
                                                              : JPTcpSocketReader::Stop::None};
            });
            require(packet.bytesDone() == before + pass.stored);
            if (pass.maxedOut) {
                require(packet.isTermRead() && packet.reachedMaxLength());
                closed_ = true;  // the socket closes with the maximum-length error
            } else if (pass.done) {
                finish(reads_.front());
                reads_.pop_front();
            } else if (pass.stored == 0) {
                return;
            }
            checkNothingLost();
        }
    }

    void finish(const Read& read) {
        JPAsyncReadPacket& packet = *read.packet;
        const ByteView data = packet.finish();
        const std::string_view bytes = data.text();
        if (packet.readLength() > 0) require(bytes.size() == packet.readLength());
        if (packet.maxLength() > 0) require(bytes.size() <= packet.maxLength());
        if (packet.isTermRead()) {
            // Ends with its terminator, and no earlier occurrence ends inside it.
            const std::string_view term = packet.term().text();
            require(bytes.size() >= term.size() && bytes.substr(bytes.size() - term.size()) == term);
            require(bytes.substr(0, bytes.size() - 1).find(term) == std::string_view::npos);
        } else if (packet.readLength() == 0) {
            require(!bytes.empty());
        }
        if (read.callerBuffer) require(read.callerBuffer->text().substr(0, kPrefix.size()) == kPrefix);
        delivered_ += bytes;
    }

    // Delivered + in the current read + pre-buffered = everything taken from the arrivals, in order.
    void checkNothingLost() {
        std::string held = delivered_;
        if (!reads_.empty()) {
            const JPAsyncReadPacket& packet = *reads_.front().packet;
            const size_t start = reads_.front().callerBuffer ? kPrefix.size() : 0;
            held.append(reinterpret_cast<const char*>(packet.buffer()->data()) + start, packet.bytesDone());
        }
        JPTcpSocketPreBuffer& preBuffer = reader_.preBuffer();
        held.append(reinterpret_cast<const char*>(preBuffer.readBuffer()), preBuffer.availableBytes());
        require(held == std::string_view(arrived_).substr(0, consumed_));
    }

    const uint8_t* const data_;
    const size_t size_;
    size_t position_ = 0;
    JPTcpSocketReader reader_;
    std::deque<Read> reads_;
    std::string arrived_;    // every byte the peer sent so far
    size_t consumed_ = 0;    // of arrived_, taken by the reader
    std::string delivered_;  // completed reads, in order
    bool closed_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Script(data, size).run();
    return 0;
}
