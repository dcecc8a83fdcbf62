#include "PadlinkSDK/JSONCore/JPJKSerializer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <typeinfo>
#include <vector>

#include "PadlinkSDK/JSONCore/JPJKArray.h"
#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/JPJKDictionary.h"
#include "PadlinkSDK/JSONCore/JPJKNumber.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"
#include "PadlinkSDK/JSONCore/JPJKUTF8.h"
#include "platform/foundation/InputLimits.h"

namespace {
// Serializations this thread has begun: a cache entry is valid only in the call that made it.
thread_local uint64_t threadGeneration = 0;
// The encode cache's entries, shared by this thread's calls (see generation_).
thread_local std::unique_ptr<JPJKSerializer::CacheEntry[]> threadCache;

bool isScalar(const JPJKObject& value) {
    return value.kind() != JPJKObject::Kind::Array && value.kind() != JPJKObject::Kind::Dictionary;
}

std::string classNameOf(const Object* object) { return object ? className(*object) : "NULL"; }

// Bytes written as they are, except through the option-dependent checks for '/' and non-ASCII.
constexpr bool needsEscape(uint8_t byte) { return byte < 0x20 || byte == '"' || byte == '\\' || byte == '/' || byte >= 0x80; }
constexpr auto kNeedsEscape = [] {
    std::array<bool, 256> table{};
    for (size_t byte = 0; byte < table.size(); ++byte) table[byte] = needsEscape(static_cast<uint8_t>(byte));
    return table;
}();
}  // namespace

RefPtr<JPJKObject> JPJKSerializer::serializeObject(Object* object, uint64_t options, uint64_t encodeOption,
                                                   const JPJKUnsupportedFormatter& formatter, JPJKError* error) {
    CC_REQUIRE(object, "NSInvalidArgumentException", "The object argument is NULL.");
    CC_REQUIRE(!(encodeOption & JPJKEncodeOptionCollectionObj) ||
                   !(encodeOption & (JPJKEncodeOptionStringObj | JPJKEncodeOptionStringObjTrimQuotes)),
               "NSInvalidArgumentException", "The collection option excludes the string options.");
    if (error) *error = JPJKError{};
    JPJKSerializer serializer(options, encodeOption, formatter);
    const JPJKObject* value = serializer.supportedValue(object);
    const auto kind = value ? value->kind() : JPJKObject::Kind::Data;
    if ((encodeOption & JPJKEncodeOptionCollectionObj) && kind != JPJKObject::Kind::Array &&
        kind != JPJKObject::Kind::Dictionary) {
        serializer.fail("Unable to serialize object class %s, expected a NSArray or NSDictionary.", className(*object).c_str());
    } else if ((encodeOption & JPJKEncodeOptionStringObj) && kind != JPJKObject::Kind::String) {
        serializer.fail("Unable to serialize object class %s, expected a NSString.", className(*object).c_str());
    } else if (serializer.writeObject(object)) {
        if ((encodeOption & 7) == JPJKEncodeOptionAsString) {
            uint64_t hash = kJPJKHashSeed;
            for (char byte : serializer.out_) hash = JPJKHashByte(hash, static_cast<uint8_t>(byte));
            return RefPtr<JPJKObject>(new JPJKString(std::move(serializer.out_), hash));
        }
        if ((encodeOption & 7) == JPJKEncodeOptionAsData) return JPJKData::dataWithBytes(std::move(serializer.out_));
        serializer.fail("Unknown encode as type.");
    }
    if (error) *error = std::move(serializer.error_);
    return nullptr;
}

JPJKSerializer::JPJKSerializer(uint64_t options, uint64_t encodeOption, const JPJKUnsupportedFormatter& formatter)
    : options_(options), encodeOption_(encodeOption), formatter_(formatter), generation_(++threadGeneration) {
    if (!threadCache) threadCache.reset(new CacheEntry[kCacheEntries]);
    cache_ = threadCache.get();
    out_.reserve(4096);
}

const JPJKObject* JPJKSerializer::supportedValue(const Object* object) {
    const std::type_info* const type = &typeid(*object);
    for (const std::type_info* known : valueTypes_) {
        if (known == type) return static_cast<const JPJKObject*>(object);
    }
    const auto* value = dynamic_cast<const JPJKObject*>(object);
    if (!value || value->kind() == JPJKObject::Kind::Data) return nullptr;
    valueTypes_[nextValueType_++ % std::size(valueTypes_)] = type;
    return value;
}

size_t JPJKSerializer::cacheSlot(const Object* object) {
    const auto p = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(object));
    return ((p >> 4) + ((p >> 21) ^ (p >> 9))) & (kCacheEntries - 1);
}

bool JPJKSerializer::writeObject(Object* object) {
    CacheEntry& entry = cache_[cacheSlot(object)];
    const bool cacheable = replacementDepth_ == 0;
    if (cacheable && entry.object == object && entry.generation == generation_) {
        out_.reserve(out_.size() + entry.length);
        out_.append(out_.data() + entry.offset, entry.length);
        return true;
    }
    const JPJKObject* value = supportedValue(object);
    if (!value) return writeReplacement(object);
    const size_t start = out_.size();
    if (!writeValue(*value)) return false;
    if (cacheable && isScalar(*value)) entry = CacheEntry{object, start, out_.size() - start, generation_};
    return true;
}

bool JPJKSerializer::writeReplacement(Object* object) {
    if (!formatter_) {
        fail("Unable to serialize object class %s.", className(*object).c_str());
        return false;
    }
    const RefPtr<Object> original(object);  // the formatter may let go of the tree's reference
    const RefPtr<Object> replacement = formatter_(object);
    // The formatter may have changed or released objects already written: forget them all.
    generation_ = ++threadGeneration;
    if (!replacement) {
        fail("Unable to serialize object class %s.", className(*object).c_str());
        return false;
    }
    const JPJKObject* value = supportedValue(replacement.get());
    if (!value) {
        fail("Unable to serialize object class %s that was returned by the unsupported class formatter.  Original object "
             "class was %s.",
             classNameOf(replacement.get()).c_str(), className(*object).c_str());
        return false;
    }
    const size_t start = out_.size();
    ++replacementDepth_;
    const bool written = writeValue(*value);
    --replacementDepth_;
    if (written && replacementDepth_ == 0 && isScalar(*value)) {
        cache_[cacheSlot(object)] = CacheEntry{object, start, out_.size() - start, generation_};
    }
    return written;
}

bool JPJKSerializer::writeValue(const JPJKObject& value) {
    switch (value.kind()) {
    case JPJKObject::Kind::Null: out_ += "null"; return true;
    case JPJKObject::Kind::Number: return writeNumber(value);
    case JPJKObject::Kind::String: return writeString(static_cast<const JPJKString&>(value).UTF8String());
    case JPJKObject::Kind::Array: return writeArray(value);
    case JPJKObject::Kind::Dictionary: return writeDictionary(value);
    case JPJKObject::Kind::Data: break;
    }
    return false;
}

bool JPJKSerializer::writeNumber(const JPJKObject& value) {
    const auto& number = static_cast<const JPJKNumber&>(value);
    if (number.isBoolean()) {
        out_ += number.longLongValue() ? "true" : "false";
        return true;
    }
    char text[32];
    std::to_chars_result result;
    if (number.objCType() == 'q') {
        result = std::to_chars(text, text + sizeof text, number.longLongValue());
    } else if (number.objCType() == 'Q') {
        result = std::to_chars(text, text + sizeof text, number.unsignedLongLongValue());
    } else {
        const double real = number.doubleValue();
        if (!std::isfinite(real)) {
            fail("Floating point values must be finite.  JSON does not support NaN or Infinity.");
            return false;
        }
        // As "%.17g" writes it, whatever the locale.
        result = std::to_chars(text, text + sizeof text, real, std::chars_format::general, 17);
    }
    out_.append(text, result.ptr);
    return true;
}

bool JPJKSerializer::writeString(const std::string& text) {
    const bool quotes = !(encodeOption_ & JPJKEncodeOptionStringObjTrimQuotes);
    const bool slashes = options_ & JPJKSerializeOptionSlashEscapes;
    const bool unicode = options_ & JPJKSerializeOptionUnicodeEscapes;
    out_.reserve(out_.size() + text.size() + 2);
    if (quotes) out_ += '"';
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const uint8_t* const end = bytes + text.size();
    char escape[16];
    while (bytes < end) {
        const uint8_t* run = bytes;
        while (bytes < end && !kNeedsEscape[*bytes]) ++bytes;
        out_.append(reinterpret_cast<const char*>(run), static_cast<size_t>(bytes - run));
        if (bytes == end) break;
        const uint8_t byte = *bytes;
        if (byte >= 0x80) {
            const JPJKUTF8::Sequence sequence = JPJKUTF8::read(bytes, end);
            if (sequence.status != JPJKUTF8::Status::Ok) {
                fail("Error converting UTF8.");
                return false;
            }
            if (!unicode) {
                out_.append(reinterpret_cast<const char*>(bytes), sequence.length);
            } else if (sequence.codePoint < JPJKUTF8::kFirstSupplementary) {
                out_.append(escape, static_cast<size_t>(snprintf(escape, sizeof escape, "\\u%4.4x", sequence.codePoint)));
            } else {
                const uint32_t high = JPJKUTF8::highSurrogate(sequence.codePoint);
                const uint32_t low = JPJKUTF8::lowSurrogate(sequence.codePoint);
                out_.append(escape, static_cast<size_t>(snprintf(escape, sizeof escape, "\\u%4.4x\\u%4.4x", high, low)));
            }
            bytes += sequence.length;
            continue;
        }
        switch (byte) {
        case '\b': out_ += "\\b"; break;
        case '\t': out_ += "\\t"; break;
        case '\n': out_ += "\\n"; break;
        case '\f': out_ += "\\f"; break;
        case '\r': out_ += "\\r"; break;
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '/': out_ += slashes ? "\\/" : "/"; break;
        default: out_.append(escape, static_cast<size_t>(snprintf(escape, sizeof escape, "\\u%4.4x", byte))); break;
        }
        ++bytes;
    }
    if (quotes) out_ += '"';
    return true;
}

bool JPJKSerializer::writeArray(const JPJKObject& value) {
    if (depth_ >= InputLimits::kNestingDepth) {
        fail("Nesting too deep.");
        return false;
    }
    const auto& array = static_cast<const JPJKArray&>(value);
    const RefPtr<const JPJKArray> keep(&array);  // a formatter may let go of the tree's reference
    openBracket('[');
    bool first = true;
    const bool written = JPJKEnumerate(array, [&](Object* element) {
        if (!first) writeComma();
        first = false;
        return writeObject(element);
    });
    closeBracket(']');
    return written;
}

bool JPJKSerializer::writeDictionary(const JPJKObject& value) {
    if (depth_ >= InputLimits::kNestingDepth) {
        fail("Nesting too deep.");
        return false;
    }
    const auto& dictionary = static_cast<const JPJKDictionary&>(value);
    const RefPtr<const JPJKDictionary> keep(&dictionary);
    const auto writePair = [&](JPJKString* key, Object* object, bool first) {
        if (!first) writeComma();
        if (!writeObject(key)) return false;
        out_ += (options_ & JPJKSerializeOptionPretty) ? ": " : ":";
        return writeObject(object);
    };
    const auto stringKey = [&](Object* key) -> JPJKString* {
        const JPJKObject* value = supportedValue(key);
        if (value && value->kind() == JPJKObject::Kind::String) return static_cast<JPJKString*>(key);
        fail("Key must be a string object.");
        return nullptr;
    };
    openBracket('{');
    bool written;
    if (options_ & JPJKSerializeOptionPretty) {
        // Sorted, from a snapshot of the pairs that a formatter cannot change under us.
        std::vector<std::pair<RefPtr<JPJKString>, RefPtr<Object>>> pairs;
        pairs.reserve(dictionary.count());
        written = JPJKEnumerate(dictionary, [&](Object* key) {
            JPJKString* string = stringKey(key);
            if (string) pairs.emplace_back(RefPtr<JPJKString>(string), RefPtr<Object>(dictionary.objectForKey(string)));
            return string != nullptr;
        });
        std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return *a.first < *b.first; });
        for (size_t i = 0; written && i < pairs.size(); ++i) {
            written = writePair(pairs[i].first.get(), pairs[i].second.get(), i == 0);
        }
    } else {
        bool first = true;
        written = JPJKEnumerate(dictionary, [&](Object* key) {
            JPJKString* string = stringKey(key);
            const bool pair = string && writePair(string, dictionary.objectForKey(string), first);
            first = false;
            return pair;
        });
    }
    closeBracket('}');
    return written;
}

void JPJKSerializer::openBracket(char bracket) {
    ++depth_;
    out_ += bracket;
    writeIndentation();
}

void JPJKSerializer::closeBracket(char bracket) {
    --depth_;
    writeIndentation();
    out_ += bracket;
}

void JPJKSerializer::writeComma() {
    out_ += ',';
    writeIndentation();
}

void JPJKSerializer::writeIndentation() {
    if (!(options_ & JPJKSerializeOptionPretty)) return;
    out_ += '\n';
    out_.append(2 * static_cast<size_t>(depth_), ' ');
}

void JPJKSerializer::fail(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    error_.recordFirst(format, arguments);
    va_end(arguments);
}
