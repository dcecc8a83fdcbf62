#include "PadlinkSDK/JSONCore/JPJKString.h"

#include "PadlinkSDK/JSONCore/JPJKUTF8.h"

RefPtr<JPJKString> JPJKString::stringWithUTF8String(std::string_view text) {
    std::string copy(text);
    if (!JPJKUTF8::isWellFormed(copy)) return nullptr;
    uint64_t hash = kJPJKHashSeed;
    for (char byte : copy) hash = JPJKHashByte(hash, static_cast<uint8_t>(byte));
    return RefPtr<JPJKString>(new JPJKString(std::move(copy), hash));
}

RefPtr<JPJKString> JPJKString::emptyString() {
    static JPJKString* const empty = [] {
        auto* string = new JPJKString(std::string(), kJPJKHashSeed);
        string->retain();  // lives for the whole run
        return string;
    }();
    return RefPtr<JPJKString>(empty);
}

bool JPJKString::isEqualTo(const JPJKObject& other) const {
    const auto& string = static_cast<const JPJKString&>(other);
    return hash_ == string.hash_ && text_ == string.text_;
}
