#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>

#include "PadlinkSDK/JSONCore/JPJKError.h"
#include "PadlinkSDK/JSONCore/JPJKObject.h"
#include "platform/foundation/NamedException.h"

// Serialize options (bit values).
inline constexpr uint64_t JPJKSerializeOptionNone = 0;
inline constexpr uint64_t JPJKSerializeOptionPretty = 1;          // line breaks, two spaces per level, sorted keys
inline constexpr uint64_t JPJKSerializeOptionUnicodeEscapes = 2;  // non-ASCII characters as \u escapes
inline constexpr uint64_t JPJKSerializeOptionSlashEscapes = 16;   // "/" as "\/"

// Encode options (bit values): the kind of result in the low three bits, and what the object must be.
inline constexpr uint64_t JPJKEncodeOptionAsData = 1;               // the result is a JPJKData
inline constexpr uint64_t JPJKEncodeOptionAsString = 2;             // the result is a JPJKString
inline constexpr uint64_t JPJKEncodeOptionCollectionObj = 8;        // the object must be an array or a dictionary
inline constexpr uint64_t JPJKEncodeOptionStringObj = 16;           // the object must be a string
inline constexpr uint64_t JPJKEncodeOptionStringObjTrimQuotes = 32;  // the string is written without its quotes

// Stands in for an object the encoder cannot write (anything but the library's strings, numbers,
// null, arrays and dictionaries): answers the object to write in its place, or null to fail.
using JPJKUnsupportedFormatter = std::function<RefPtr<Object>(Object* object)>;

// A formatter calling `selector` on `delegate` (not retained: it must outlive the serialize call);
// none when the delegate is null. A delegate without a selector raises NSInvalidArgumentException.
template <typename Delegate>
JPJKUnsupportedFormatter JPJKDelegateFormatter(Delegate* delegate, RefPtr<Object> (Delegate::*selector)(Object*)) {
    if (!delegate) return nullptr;
    CC_REQUIRE(selector, "NSInvalidArgumentException", "The delegate argument is not NULL, but the selector argument is NULL.");
    return [delegate, selector](Object* object) { return (delegate->*selector)(object); };
}

// Writes a tree of the library's values as UTF-8 JSON text, compact or pretty-printed.
//
// A string, number or null written once is copied from the earlier output when the same object
// comes again (the encode cache); the cache keys only objects of the given tree, never the
// formatter's replacements, and forgets everything whenever a formatter has run. Collections nest
// at most InputLimits::kNestingDepth deep, so a collection that contains itself fails with
// "Nesting too deep.". Failures give null and a JPJKError of domain "JPJKErrorDomain", code -1;
// the first error of a call wins.
class JPJKSerializer {
public:
    // Writes `object` (not null) as a JPJKData or JPJKString as `encodeOption` says, or answers null
    // with the error in *error (when given; cleared on success). `formatter` (may be empty) replaces
    // unsupported objects. Options that contradict each other raise NSInvalidArgumentException.
    static RefPtr<JPJKObject> serializeObject(Object* object, uint64_t options, uint64_t encodeOption,
                                              const JPJKUnsupportedFormatter& formatter, JPJKError* error);

    // An entry of the encode cache (kept per thread, across calls).
    struct CacheEntry {
        const Object* object = nullptr;  // not retained: an object of the tree being written
        size_t offset = 0;               // its text in out_
        size_t length = 0;
        uint64_t generation = 0;         // valid while equal to generation_
    };
    static constexpr size_t kCacheEntries = 1024;

private:
    JPJKSerializer(uint64_t options, uint64_t encodeOption, const JPJKUnsupportedFormatter& formatter);

    // The library value an object is, when the encoder can write it; null otherwise. The exact
    // classes of values seen last are remembered, so that most objects take no dynamic_cast.
    const JPJKObject* supportedValue(const Object* object);
    // Writes an object of the tree, from the cache when it can.
    bool writeObject(Object* object);
    // Writes a supported value.
    bool writeValue(const JPJKObject& value);
    bool writeReplacement(Object* object);
    bool writeNumber(const JPJKObject& value);
    bool writeString(const std::string& text);
    bool writeArray(const JPJKObject& value);
    bool writeDictionary(const JPJKObject& value);
    void openBracket(char bracket);
    void closeBracket(char bracket);
    void writeComma();
    void writeIndentation();
    static size_t cacheSlot(const Object* object);
    void fail(const char* format, ...) __attribute__((format(printf, 2, 3)));

    const uint64_t options_;
    const uint64_t encodeOption_;
    const JPJKUnsupportedFormatter& formatter_;
    std::string out_;
    int depth_ = 0;             // collections open
    int replacementDepth_ = 0;  // > 0 while writing a formatter's replacement
    CacheEntry* cache_;  // this thread's kCacheEntries entries
    // This call's own number among the thread's calls, renewed whenever a formatter has run, so
    // that entries of other calls (a formatter may serialize too) or of earlier states never match.
    uint64_t generation_;
    const std::type_info* valueTypes_[6] = {};
    size_t nextValueType_ = 0;
    JPJKError error_;
};
