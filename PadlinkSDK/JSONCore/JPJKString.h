#pragma once

#include <string>
#include <string_view>

#include "PadlinkSDK/JSONCore/JPJKObject.h"

// An immutable string of well-formed UTF-8 (U+0000 and noncharacters included). The decoder
// shares one object among equal strings of a document through its value cache.
class JPJKString : public JPJKObject {
public:
    // Null when the text is not well-formed UTF-8.
    static RefPtr<JPJKString> stringWithUTF8String(std::string_view text);
    // The one shared empty string.
    static RefPtr<JPJKString> emptyString();

    // The text, as UTF-8 bytes.
    const std::string& UTF8String() const { return text_; }

    // Kind String; the hash is the value hash of the bytes; equal when the bytes are.
    Kind kind() const override { return Kind::String; }
    uint64_t hash() const override { return hash_; }
    bool isEqualTo(const JPJKObject& other) const override;

    // Byte order, which is code point order.
    bool operator<(const JPJKString& other) const { return text_ < other.text_; }

protected:
    // `text` is well-formed UTF-8 and `hash` its value hash.
    JPJKString(std::string text, uint64_t hash) : text_(std::move(text)), hash_(hash) {}

    std::string text_;
    uint64_t hash_;

private:
    // They make strings of text they have checked, with hashes they have computed.
    friend class JPJSONDecoder;
    friend class JPJKSerializer;
};
