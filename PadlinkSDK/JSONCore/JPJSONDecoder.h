#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/JPJKError.h"
#include "PadlinkSDK/JSONCore/JPJKKeyLayout.h"
#include "PadlinkSDK/JSONCore/JPJKObject.h"

// Parse options (bit values); any value of 16 or more is refused.
inline constexpr uint64_t JPJKParseOptionNone = 0;
inline constexpr uint64_t JPJKParseOptionComments = 1;         // "//" to the line end and "/* */" are white space
inline constexpr uint64_t JPJKParseOptionUnicodeNewlines = 2;  // U+2028, U+2029 and U+0085 end lines
inline constexpr uint64_t JPJKParseOptionLooseUnicode = 4;     // bad UTF-8 and unusable \u escapes become U+FFFD
inline constexpr uint64_t JPJKParseOptionTrailingText = 8;     // text after the top-level value is allowed

// Turns UTF-8 JSON text (an array or a dictionary at the top) into a tree of JPJKArray,
// JPJKDictionary, JPJKString, JPJKNumber and JPJKNull objects.
//
// One pass of a recursive-descent parser over the bytes. A value cache of 1024 buckets, kept across
// the parses of one decoder, lets equal strings and numbers share one object: dictionary keys
// above all (a key may push a value out), other values when a bucket was free for them; immutable
// dictionaries whose keys are the same objects in the same order share one key layout. Bad
// input gives null and a JPJKError of domain "JPJKErrorDomain", code -1, with the byte index and
// line where it was found; the first error of a parse wins. Collections nest at most
// InputLimits::kNestingDepth deep. A decoder serves one thread at a time.
class JPJSONDecoder : public Object {
public:
    // A decoder without options.
    static RefPtr<JPJSONDecoder> decoder() { return decoderWithParseOptions(JPJKParseOptionNone); }
    // NSInvalidArgumentException "Invalid parse options." for options of 16 or more.
    static RefPtr<JPJSONDecoder> decoderWithParseOptions(uint64_t options);

    // Forgets every cached value.
    void clearCache();

    // Parses `length` bytes into immutable collections (mutable ones for the mutable forms). On
    // failure returns null with the error in *error (when given); on success *error is cleared.
    // A null `bytes` or `data` raises NSInvalidArgumentException.
    RefPtr<Object> objectWithUTF8String(const char* bytes, size_t length, JPJKError* error = nullptr);
    RefPtr<Object> mutableObjectWithUTF8String(const char* bytes, size_t length, JPJKError* error = nullptr);
    RefPtr<Object> objectWithData(const JPJKData* data, JPJKError* error = nullptr);
    RefPtr<Object> mutableObjectWithData(const JPJKData* data, JPJKError* error = nullptr);
    // The older names of objectWithUTF8String() and objectWithData().
    RefPtr<Object> parseUTF8String(const char* bytes, size_t length, JPJKError* error = nullptr) {
        return objectWithUTF8String(bytes, length, error);
    }
    RefPtr<Object> parseJSONData(const JPJKData* data, JPJKError* error = nullptr) { return objectWithData(data, error); }

    ~JPJSONDecoder() override;  // releases the cached objects

private:
    enum class Token { Number, String, ObjectBegin, ObjectEnd, ArrayBegin, ArrayEnd, Colon, Comma, True, False, Null };
    // Value types of the cache.
    enum : uint8_t { kStringValue = 5, kSignedValue = 7, kUnsignedValue = 11, kDoubleValue = 13 };
    // What may come next inside a collection.
    enum : unsigned { kAcceptValue = 1, kAcceptComma = 2, kAcceptClose = 4 };

    // The value of the string or number token just read.
    struct TokenValue {
        const uint8_t* bytes = nullptr;  // a string's bytes: in the input, or in tokenBuffer_
        size_t size = 0;                 // of the string, or 8 for a number
        uint8_t type = 0;
        uint64_t bits = 0;  // a number's value bytes
        uint64_t hash = 0;  // the value hash
    };

    struct CacheItem {
        RefPtr<JPJKObject> object;  // null when the bucket is empty
        uint64_t hash = 0;
        uint64_t bits = 0;  // a number's value bytes; a string's bytes are the object's own text
        uint8_t type = 0;

        bool holds(const TokenValue& value) const;
    };
    static constexpr size_t kCacheBuckets = 1024;

    explicit JPJSONDecoder(uint64_t options);

    RefPtr<Object> parse(const char* bytes, size_t length, bool mutableCollections, JPJKError* error);
    RefPtr<Object> parseArray();
    RefPtr<Object> parseDictionary();
    // The object of the token just read: a scalar, or a collection parsed from its opening bracket.
    RefPtr<Object> valueOfToken();
    bool tokenStartsValue() const;
    // Counts one more open collection; false (with the error) beyond the nesting limit.
    bool enterCollection();
    // Whether the token just read, one of `wanted`, may come now; records `unexpected` when not.
    bool allowed(unsigned accepted, unsigned wanted, const char* unexpected);

    // Reads the next token into token_; false at the end of the input or on an error.
    bool nextToken();
    void skipWhiteSpace();
    // Bytes of the line end at `at` (0 when there is none).
    size_t lineEndLength(const uint8_t* at) const;
    bool parseString();
    bool parseStringWithEscapes(const uint8_t* start, const uint8_t* at, uint64_t hash);
    bool readHexQuad(const uint8_t* at, uint32_t* value);
    bool parseNumber();
    // Convert the number text from `start` to at_ where the scan could not.
    bool convertDouble(const uint8_t* start);
    bool convertLongInteger(const uint8_t* start, bool negative);
    int printableLength(const uint8_t* start) const;
    bool unconsumedNumber();
    // Record the value of the token just read.
    bool numberToken(uint8_t type, uint64_t bits);
    void setStringValue(const uint8_t* bytes, size_t size, uint64_t hash);
    // The object of the string or number token just read, shared through the cache where it can
    // be; a value takes only a free bucket.
    RefPtr<JPJKObject> tokenObject();
    // The same for a dictionary key, which may push another value out of the cache. Not retained:
    // the cache or kept_ holds it until the parse ends.
    JPJKObject* tokenKey();
    // A new object for the token just read.
    RefPtr<JPJKObject> makeTokenObject() const;
    bool parseLiteral(const char* word, size_t length, Token token);

    // The bucket of the i-th probe (0-3) for value_.
    size_t probe(uint64_t i) const;
    // The bucket holding value_ (its age raised), or null.
    const CacheItem* cacheHit();
    // A bucket made ready for value_'s new object (which the caller stores), or null when none is
    // free; only a key may push another value out.
    CacheItem* freeBucket(bool isKey);
    // Steps the shift register and halves the age of the bucket it names.
    void ageDrawnBucket();
    // The layout slot for a dictionary with these keys.
    static size_t layoutBucket(JPJKObject* const* keys, size_t count);

    // Records the first error of the parse; syntax errors concern the token just read and report
    // where it began.
    void recordError(bool syntax, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void expectedError(unsigned accepted, const char* value, const char* comma, const char* close);

    const uint64_t options_;

    // The input and the position in it.
    const uint8_t* begin_ = nullptr;
    const uint8_t* end_ = nullptr;
    const uint8_t* at_ = nullptr;
    uint64_t line_ = 1;  // of at_
    const uint8_t* tokenStart_ = nullptr;
    uint64_t tokenLine_ = 1;

    // The token just read: its type, its bytes in the input and, for strings and numbers, its value.
    Token token_ = Token::Null;
    TokenValue value_;
    std::string tokenBuffer_;  // strings with escapes are decoded here

    // Children of the collections being parsed; each collection remembers where its own start.
    std::vector<RefPtr<Object>> objects_;
    std::vector<JPJKObject*> keys_;  // not retained: see tokenKey()
    std::vector<uint64_t> keyHashes_;
    int depth_ = 0;  // collections open

    std::unique_ptr<CacheItem[]> cache_;
    // Key objects of this parse that the cache does not hold (any more).
    std::vector<RefPtr<JPJKObject>> kept_;
    uint8_t ages_[kCacheBuckets] = {};  // how often each bucket was hit lately, up to 255
    uint32_t lfsr_ = 1;                 // picks buckets to age

    // Key layouts shared by the immutable dictionaries of equal key sequences, by layoutBucket().
    static constexpr size_t kLayoutBuckets = 256;
    std::unique_ptr<RefPtr<JPJKKeyLayout>[]> layouts_;

    JPJKError error_;
    bool mutableCollections_ = false;
};
