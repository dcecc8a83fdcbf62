#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "PadlinkSDK/JSONCore/JPJKArray.h"
#include "PadlinkSDK/JSONCore/JPJKDictionary.h"
#include "PadlinkSDK/JSONCore/JPJKDictionaryEnumerator.h"
#include "PadlinkSDK/JSONCore/JPJKNull.h"
#include "PadlinkSDK/JSONCore/JPJKNumber.h"
#include "PadlinkSDK/JSONCore/JPJKSerializer.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"
#include "PadlinkSDK/JSONCore/JPJSONDecoder.h"

// Builders and one-call encode/decode for the JSON tests.
inline RefPtr<Object> str(std::string_view text) { return JPJKString::stringWithUTF8String(text); }
inline RefPtr<Object> num(int64_t value) { return JPJKNumber::numberWithLongLong(value); }
inline RefPtr<Object> real(double value) { return JPJKNumber::numberWithDouble(value); }
inline RefPtr<JPJKArray> arr(std::vector<RefPtr<Object>> elements, bool isMutable = false) {
    return JPJKArray::arrayWithObjects(std::move(elements), isMutable);
}
inline RefPtr<JPJKDictionary> dict(std::vector<std::pair<std::string, RefPtr<Object>>> pairs, bool isMutable = false) {
    std::vector<std::pair<RefPtr<JPJKObject>, RefPtr<Object>>> entries;
    for (auto& [key, value] : pairs) entries.emplace_back(JPJKString::stringWithUTF8String(key), std::move(value));
    return JPJKDictionary::dictionaryWithPairs(std::move(entries), isMutable);
}

// The compact (or optioned) text of an object, or "<null>" with the error in *error.
inline std::string encode(Object* object, uint64_t options = 0, JPJKError* error = nullptr,
                          const JPJKUnsupportedFormatter& formatter = nullptr) {
    const auto text = refCast<JPJKString>(
        JPJKSerializer::serializeObject(object, options, JPJKEncodeOptionAsString, formatter, error));
    return text ? text->UTF8String() : "<null>";
}

inline RefPtr<Object> decode(std::string_view text, uint64_t options = 0, JPJKError* error = nullptr) {
    return JPJSONDecoder::decoderWithParseOptions(options)->objectWithUTF8String(text.data(), text.size(), error);
}

// The first element of a decoded one-element array.
inline Object* only(const RefPtr<Object>& array) {
    const auto* elements = dynamic_cast<const JPJKArray*>(array.get());
    return elements && elements->count() == 1 ? elements->objectAtIndex(0) : nullptr;
}

inline std::string textOf(const Object* object) {
    const auto* string = dynamic_cast<const JPJKString*>(object);
    return string ? string->UTF8String() : "<not a string>";
}
