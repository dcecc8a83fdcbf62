#include "PadlinkSDK/PadlinkRPCLib/JPStringHelper.h"

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kBytesPerLine = 90;
}  // namespace

std::string JPStringHelper::escapeString(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    // One pass gives what the replacements in order give, since none of them brings back a
    // character that a later one replaces.
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#x27;"; break;
        case '>': escaped += "&gt;"; break;
        case '<': escaped += "&lt;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string JPStringHelper::base64StringFromData(std::string_view data, size_t lineLength) {
    std::string text;
    text.reserve((data.size() + 2) / 3 * 4 + data.size() / 45 + 2);
    size_t charactersOnLine = 0;
    for (size_t at = 0; at < data.size(); at += 3) {
        const size_t remaining = data.size() - at;
        uint32_t group = static_cast<uint8_t>(data[at]) << 16;
        if (remaining > 1) group |= static_cast<uint8_t>(data[at + 1]) << 8;
        if (remaining > 2) group |= static_cast<uint8_t>(data[at + 2]);
        text += kAlphabet[group >> 18 & 63];
        text += kAlphabet[group >> 12 & 63];
        text += remaining > 1 ? kAlphabet[group >> 6 & 63] : '=';
        text += remaining > 2 ? kAlphabet[group & 63] : '=';
        if ((at + 3) % kBytesPerLine == 0) text += '\n';
        charactersOnLine += 4;
        if (lineLength > 0 && charactersOnLine >= lineLength) {
            text += '\n';
            charactersOnLine = 0;
        }
    }
    return text;
}
