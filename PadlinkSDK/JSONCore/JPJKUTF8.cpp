#include "PadlinkSDK/JSONCore/JPJKUTF8.h"

namespace JPJKUTF8 {

Sequence read(const uint8_t* bytes, const uint8_t* end) {
    const uint8_t lead = bytes[0];
    if (lead < 0x80) return {Status::Ok, lead, 1};
    size_t continuations;
    uint32_t codePoint;
    uint8_t low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        codePoint = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {Status::Malformed, 0, 1};
    }
    for (size_t i = 1; i <= continuations; ++i) {
        if (bytes + i >= end) return {Status::Truncated, 0, i};
        const uint8_t next = bytes[i];
        if (next < low || next > high) return {Status::Malformed, 0, i};
        codePoint = (codePoint << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {Status::Ok, codePoint, continuations + 1};
}

size_t write(uint32_t codePoint, uint8_t* out) {
    if (codePoint < 0x80) {
        out[0] = static_cast<uint8_t>(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = static_cast<uint8_t>(0xC0 | (codePoint >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < kFirstSupplementary) {
        out[0] = static_cast<uint8_t>(0xE0 | (codePoint >> 12));
        out[1] = static_cast<uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = static_cast<uint8_t>(0xF0 | (codePoint >> 18));
    out[1] = static_cast<uint8_t>(0x80 | ((codePoint >> 12) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | ((codePoint >> 6) & 0x3F));
    out[3] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
    return 4;
}

bool isWellFormed(const std::string& text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const uint8_t* end = bytes + text.size();
    while (bytes < end) {
        const Sequence sequence = read(bytes, end);
        if (sequence.status != Status::Ok) return false;
        bytes += sequence.length;
    }
    return true;
}

}  // namespace JPJKUTF8
