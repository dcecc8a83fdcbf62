#include "PadlinkSDK/JSONCore/JPJSONDecoder.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "PadlinkSDK/JSONCore/JPJKArray.h"
#include "PadlinkSDK/JSONCore/JPJKDictionary.h"
#include "PadlinkSDK/JSONCore/JPJKNull.h"
#include "PadlinkSDK/JSONCore/JPJKNumber.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"
#include "PadlinkSDK/JSONCore/JPJKUTF8.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/NamedException.h"

namespace {
constexpr uint32_t kReplacementCharacter = 0xFFFD;

bool isDigit(uint8_t byte) { return byte >= '0' && byte <= '9'; }

// Whether a number's value lies below 1 in magnitude, from its text (which has a non-zero digit):
// decides whether a double out of range underflowed or overflowed. Exponents saturate, so a
// megabyte of digits is judged right as well.
bool magnitudeBelowOne(const uint8_t* at, const uint8_t* end) {
    if (*at == '-') ++at;
    int64_t scale = 0;  // decimal exponent of the first non-zero digit, before the exponent part
    bool found = false;
    bool fraction = false;
    for (; at < end && *at != 'e' && *at != 'E'; ++at) {
        if (*at == '.') {
            fraction = true;
        } else if (!found && *at != '0') {
            found = true;
            scale = fraction ? -1 : 0;
        } else if (found && !fraction) {
            scale = std::min<int64_t>(scale + 1, INT32_MAX);
        } else if (!found && fraction) {
            scale = std::max<int64_t>(scale - 1, INT32_MIN);
        }
    }
    if (!found) return true;
    if (fraction && scale == 0) scale = -1;
    int64_t exponent = 0;
    bool negative = false;
    if (at < end) {
        ++at;
        if (*at == '+' || *at == '-') negative = *at++ == '-';
        for (; at < end; ++at) exponent = std::min<int64_t>(exponent * 10 + (*at - '0'), INT32_MAX);
    }
    return scale + (negative ? -exponent : exponent) < 0;
}

// Whether the `size` bytes at a and b agree. Keys are short: up to 16 bytes take two overlapping
// 8-byte or 4-byte reads of each side instead of a call.
bool sameBytes(const char* a, const uint8_t* b, size_t size) {
    const auto read = [](const void* at, auto word) {
        std::memcpy(&word, at, sizeof word);
        return word;
    };
    if (size >= 8 && size <= 16) {
        return read(a, uint64_t{}) == read(b, uint64_t{}) &&
               read(a + size - 8, uint64_t{}) == read(b + size - 8, uint64_t{});
    }
    if (size >= 4 && size < 8) {
        return read(a, uint32_t{}) == read(b, uint32_t{}) &&
               read(a + size - 4, uint32_t{}) == read(b + size - 4, uint32_t{});
    }
    return std::memcmp(a, b, size) == 0;
}

// The double nearest to significand * 10^exponent when one double operation finds it: a
// significand of at most 2^53 and 10^0 .. 10^22 are exact doubles, and a multiplication or
// division of exact operands rounds once. Other numbers are left to the full conversion.
bool exactDouble(uint64_t significand, int64_t exponent, double* value) {
    static constexpr auto kPowers = [] {
        std::array<double, 23> powers{};
        double power = 1;
        for (double& entry : powers) {
            entry = power;
            power *= 10;
        }
        return powers;
    }();
    if (significand > (uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
    const auto exact = static_cast<double>(significand);
    *value = exponent < 0 ? exact / kPowers[-exponent] : exact * kPowers[exponent];
    return true;
}

// Ends the scope of one collection.
struct DepthGuard {
    int& depth;
    ~DepthGuard() { --depth; }
};
}  // namespace

RefPtr<JPJSONDecoder> JPJSONDecoder::decoderWithParseOptions(uint64_t options) {
    CC_REQUIRE(options < 16, "NSInvalidArgumentException", "Invalid parse options.");
    return RefPtr<JPJSONDecoder>(new JPJSONDecoder(options));
}

JPJSONDecoder::JPJSONDecoder(uint64_t options)
    : options_(options), cache_(new CacheItem[kCacheBuckets]), layouts_(new RefPtr<JPJKKeyLayout>[kLayoutBuckets]) {}

JPJSONDecoder::~JPJSONDecoder() = default;

void JPJSONDecoder::clearCache() {
    for (size_t bucket = 0; bucket < kCacheBuckets; ++bucket) cache_[bucket] = CacheItem{};
    for (size_t bucket = 0; bucket < kLayoutBuckets; ++bucket) layouts_[bucket].reset();
    std::memset(ages_, 0, sizeof ages_);
}

RefPtr<Object> JPJSONDecoder::objectWithUTF8String(const char* bytes, size_t length, JPJKError* error) {
    CC_REQUIRE(bytes, "NSInvalidArgumentException", "The string argument is NULL.");
    return parse(bytes, length, false, error);
}

RefPtr<Object> JPJSONDecoder::mutableObjectWithUTF8String(const char* bytes, size_t length, JPJKError* error) {
    CC_REQUIRE(bytes, "NSInvalidArgumentException", "The string argument is NULL.");
    return parse(bytes, length, true, error);
}

RefPtr<Object> JPJSONDecoder::objectWithData(const JPJKData* data, JPJKError* error) {
    CC_REQUIRE(data, "NSInvalidArgumentException", "The jsonData argument is NULL.");
    return parse(data->bytes().data(), data->bytes().size(), false, error);
}

RefPtr<Object> JPJSONDecoder::mutableObjectWithData(const JPJKData* data, JPJKError* error) {
    CC_REQUIRE(data, "NSInvalidArgumentException", "The jsonData argument is NULL.");
    return parse(data->bytes().data(), data->bytes().size(), true, error);
}

RefPtr<Object> JPJSONDecoder::parse(const char* bytes, size_t length, bool mutableCollections, JPJKError* error) {
    begin_ = at_ = tokenStart_ = reinterpret_cast<const uint8_t*>(bytes);
    end_ = begin_ + length;
    line_ = tokenLine_ = 1;
    error_ = JPJKError{};
    mutableCollections_ = mutableCollections;
    depth_ = 0;

    RefPtr<Object> root;
    if (length > 0 && nextToken()) {
        if (token_ == Token::ArrayBegin || token_ == Token::ObjectBegin) {
            root = valueOfToken();
        } else {
            recordError(true, "Expected either '[' or '{'.");
        }
    }
    if (!root) {
        if (at_ == end_) recordError(false, "Reached the end of the buffer.");
        recordError(false, "Unable to parse JSON.");
    } else {
        skipWhiteSpace();
        if (at_ < end_ && !(options_ & JPJKParseOptionTrailingText)) {
            recordError(false, "A valid JSON object was parsed but there were additional non-white-space characters remaining.");
            root.reset();
        }
    }
    objects_.clear();
    keys_.clear();
    kept_.clear();
    keyHashes_.clear();
    if (error) *error = std::move(error_);
    error_ = JPJKError{};
    begin_ = end_ = at_ = tokenStart_ = nullptr;
    return root;
}

RefPtr<Object> JPJSONDecoder::valueOfToken() {
    switch (token_) {
    case Token::String:
    case Token::Number: return tokenObject();
    case Token::True: return JPJKNumber::numberWithBool(true);
    case Token::False: return JPJKNumber::numberWithBool(false);
    case Token::Null: return JPJKNull::null();
    case Token::ArrayBegin: return parseArray();
    case Token::ObjectBegin: return parseDictionary();
    default: return nullptr;
    }
}

bool JPJSONDecoder::tokenStartsValue() const {
    return token_ != Token::ObjectEnd && token_ != Token::ArrayEnd && token_ != Token::Colon && token_ != Token::Comma;
}

bool JPJSONDecoder::enterCollection() {
    if (depth_ >= InputLimits::kNestingDepth) {
        recordError(true, "Nesting too deep.");
        return false;
    }
    ++depth_;
    return true;
}

bool JPJSONDecoder::allowed(unsigned accepted, unsigned wanted, const char* unexpected) {
    if (accepted & wanted) return true;
    recordError(true, "%s", unexpected);
    return false;
}

RefPtr<Object> JPJSONDecoder::parseArray() {
    if (!enterCollection()) return nullptr;
    DepthGuard guard{depth_};
    const size_t base = objects_.size();
    unsigned accepted = kAcceptValue | kAcceptClose;
    while (nextToken()) {
        if (tokenStartsValue()) {
            if (!allowed(accepted, kAcceptValue, "Unexpected value.")) break;
            RefPtr<Object> value = valueOfToken();
            if (!value) break;
            objects_.push_back(std::move(value));
            accepted = kAcceptComma | kAcceptClose;
        } else if (token_ == Token::Comma) {
            if (!allowed(accepted, kAcceptComma, "Unexpected ','.")) break;
            accepted = kAcceptValue;
        } else if (token_ == Token::ArrayEnd) {
            if (!allowed(accepted, kAcceptClose, "Unexpected ']'.")) break;
            RefPtr<Object> array =
                JPJKArray::arrayWithObjects(objects_.data() + base, objects_.size() - base, mutableCollections_);
            objects_.resize(base);
            return array;
        } else {
            expectedError(accepted, "a value", "a comma", "a ']'");
            break;
        }
    }
    objects_.resize(base);
    return nullptr;
}

RefPtr<Object> JPJSONDecoder::parseDictionary() {
    if (!enterCollection()) return nullptr;
    DepthGuard guard{depth_};
    const size_t base = objects_.size();
    const size_t keyBase = keys_.size();
    unsigned accepted = kAcceptValue | kAcceptClose;
    bool done = false;
    while (!done && nextToken()) {
        if (token_ == Token::String) {
            if (!allowed(accepted, kAcceptValue, "Unexpected string.")) break;
            JPJKObject* const key = tokenKey();
            const uint64_t keyHash = value_.hash;  // a string's hash() is its value hash
            if (!nextToken()) break;
            if (token_ != Token::Colon) {
                recordError(true, "Expected ':'.");
                break;
            }
            if (!nextToken()) break;
            if (!tokenStartsValue()) {
                expectedError(kAcceptValue, "a value", "a comma", "a '}'");
                break;
            }
            RefPtr<Object> value = valueOfToken();
            if (!value) break;
            keyHashes_.push_back(keyHash);
            keys_.push_back(key);
            objects_.push_back(std::move(value));
            accepted = kAcceptComma | kAcceptClose;
        } else if (token_ == Token::Comma) {
            if (!allowed(accepted, kAcceptComma, "Unexpected ','.")) break;
            accepted = kAcceptValue;
        } else if (token_ == Token::ObjectEnd) {
            if (!allowed(accepted, kAcceptClose, "Unexpected '}'.")) break;
            done = true;
        } else {
            expectedError(accepted, "a \"STRING\"", "a comma", "a '}'");
            break;
        }
    }
    RefPtr<Object> dictionary;
    if (done) {
        JPJKObject* const* const keys = keys_.data() + keyBase;
        const size_t count = keys_.size() - keyBase;
        dictionary = JPJKDictionary::dictionaryWithObjects(objects_.data() + base, keys, keyHashes_.data() + keyBase, count,
                                                           mutableCollections_, &layouts_[layoutBucket(keys, count)]);
    }
    objects_.resize(base);
    keys_.resize(keyBase);
    keyHashes_.resize(keyBase);
    return dictionary;
}

// Tokens ---------------------------------------------------------------------------------------

size_t JPJSONDecoder::lineEndLength(const uint8_t* at) const {
    if (*at == '\n') return 1;
    if (*at == '\r') return at + 1 < end_ && at[1] == '\n' ? 2 : 1;
    if (options_ & JPJKParseOptionUnicodeNewlines) {
        if (*at == 0xE2 && end_ - at >= 3 && at[1] == 0x80 && (at[2] == 0xA8 || at[2] == 0xA9)) return 3;
        if (*at == 0xC2 && end_ - at >= 2 && at[1] == 0x85) return 2;
    }
    return 0;
}

void JPJSONDecoder::skipWhiteSpace() {
    // Compact text: the next byte is no space, line end or comment start under any option.
    if (at_ < end_ && *at_ > ' ' && *at_ != '/' && *at_ < 0x80) return;
    while (at_ < end_) {
        if (*at_ == ' ' || *at_ == '\t') {
            ++at_;
        } else if (const size_t lineEnd = lineEndLength(at_)) {
            at_ += lineEnd;
            ++line_;
        } else if ((options_ & JPJKParseOptionComments) && *at_ == '/' && end_ - at_ >= 2 && (at_[1] == '/' || at_[1] == '*')) {
            const bool toLineEnd = at_[1] == '/';
            at_ += 2;
            while (at_ < end_) {
                if (toLineEnd ? lineEndLength(at_) != 0 : (at_[0] == '*' && end_ - at_ >= 2 && at_[1] == '/')) break;
                const size_t lineEnd = toLineEnd ? 0 : lineEndLength(at_);
                at_ += lineEnd ? lineEnd : 1;
                line_ += lineEnd ? 1 : 0;
            }
            if (!toLineEnd && at_ < end_) at_ += 2;
        } else {
            return;
        }
    }
}

bool JPJSONDecoder::nextToken() {
    skipWhiteSpace();
    tokenStart_ = at_;
    tokenLine_ = line_;
    if (at_ >= end_) return false;
    switch (*at_) {
    case ',': token_ = Token::Comma; break;
    case ':': token_ = Token::Colon; break;
    case '[': token_ = Token::ArrayBegin; break;
    case ']': token_ = Token::ArrayEnd; break;
    case '{': token_ = Token::ObjectBegin; break;
    case '}': token_ = Token::ObjectEnd; break;
    case '"': return parseString();
    case 't': return parseLiteral("true", 4, Token::True);
    case 'f': return parseLiteral("false", 5, Token::False);
    case 'n': return parseLiteral("null", 4, Token::Null);
    default:
        if (*at_ == '-' || isDigit(*at_)) return parseNumber();
        recordError(false,
                    "Unexpected token, wanted '{', '}', '[', ']', ',', ':', 'true', 'false', 'null', '\"STRING\"', 'NUMBER'.");
        return false;
    }
    ++at_;
    return true;
}

bool JPJSONDecoder::parseLiteral(const char* word, size_t length, Token token) {
    // The word must be followed by at least one more byte of input.
    if (static_cast<size_t>(end_ - at_) <= length || std::memcmp(at_, word, length) != 0) {
        recordError(false,
                    "Unexpected token, wanted '{', '}', '[', ']', ',', ':', 'true', 'false', 'null', '\"STRING\"', 'NUMBER'.");
        return false;
    }
    at_ += length;
    token_ = token;
    return true;
}

bool JPJSONDecoder::parseString() {
    token_ = Token::String;
    const uint8_t* const start = at_ + 1;
    uint64_t hash = kJPJKHashSeed;
    for (const uint8_t* at = start; at < end_;) {
        const uint8_t byte = *at;
        if (byte == '"') {
            at_ = at + 1;
            setStringValue(start, static_cast<size_t>(at - start), hash);
            return true;
        }
        if (byte == '\\') return parseStringWithEscapes(start, at, hash);
        if (byte < 0x20) {
            at_ = at;
            recordError(false, "Invalid character < 0x20 found in string: 0x%2.2x.", byte);
            recordError(false, "Invalid string.");
            return false;
        }
        if (byte < 0x80) {
            hash = JPJKHashByte(hash, byte);
            ++at;
            continue;
        }
        const JPJKUTF8::Sequence sequence = JPJKUTF8::read(at, end_);
        if (sequence.status != JPJKUTF8::Status::Ok || JPJKUTF8::isRefusedInJSON(sequence.codePoint)) {
            return parseStringWithEscapes(start, at, hash);
        }
        for (size_t i = 0; i < sequence.length; ++i) hash = JPJKHashByte(hash, at[i]);
        at += sequence.length;
    }
    at_ = end_;
    recordError(false, "Invalid string.");
    return false;
}

bool JPJSONDecoder::readHexQuad(const uint8_t* at, uint32_t* value) {
    *value = 0;
    for (int i = 0; i < 4; ++i, ++at) {
        if (at >= end_) {
            at_ = end_;
            return false;
        }
        const uint8_t c = *at;
        uint32_t digit;
        if (isDigit(c)) {
            digit = c - '0';
        } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            digit = (c | 0x20) - 'a' + 10;
        } else {
            at_ = at;
            recordError(false, "Unexpected character found in \\u Unicode escape sequence.  Found '%c', expected [0-9a-fA-F].", c);
            return false;
        }
        *value = *value << 4 | digit;
    }
    return true;
}

bool JPJSONDecoder::parseStringWithEscapes(const uint8_t* start, const uint8_t* at, uint64_t hash) {
    const bool loose = options_ & JPJKParseOptionLooseUnicode;
    tokenBuffer_.assign(reinterpret_cast<const char*>(start), static_cast<size_t>(at - start));
    const auto append = [&](uint32_t codePoint) {
        uint8_t bytes[4];
        const size_t count = JPJKUTF8::write(codePoint, bytes);
        for (size_t i = 0; i < count; ++i) hash = JPJKHashByte(hash, bytes[i]);
        tokenBuffer_.append(reinterpret_cast<const char*>(bytes), count);
    };
    const auto illegal = [&](const uint8_t* where, const char* message) {
        if (loose) {
            append(kReplacementCharacter);
            return true;
        }
        at_ = where;
        recordError(false, "%s", message);
        return false;
    };
    bool ok = true;
    while (ok && at < end_) {
        const uint8_t byte = *at;
        if (byte == '"') {
            at_ = at + 1;
            setStringValue(reinterpret_cast<const uint8_t*>(tokenBuffer_.data()), tokenBuffer_.size(), hash);
            return true;
        }
        if (byte < 0x20) {
            at_ = at;
            recordError(false, "Invalid character < 0x20 found in string: 0x%2.2x.", byte);
            ok = false;
        } else if (byte >= 0x80) {
            const JPJKUTF8::Sequence sequence = JPJKUTF8::read(at, end_);
            if (sequence.status == JPJKUTF8::Status::Truncated) {
                at_ = at;
                recordError(false, "End of buffer reached while parsing UTF8 in \"\" string.");
                ok = false;
            } else if (sequence.status == JPJKUTF8::Status::Ok && !JPJKUTF8::isRefusedInJSON(sequence.codePoint)) {
                tokenBuffer_.append(reinterpret_cast<const char*>(at), sequence.length);
                for (size_t i = 0; i < sequence.length; ++i) hash = JPJKHashByte(hash, at[i]);
            } else {
                ok = illegal(at, "Illegal UTF8 sequence found in \"\" string.");
            }
            at += sequence.length;
        } else if (byte != '\\') {
            tokenBuffer_.push_back(static_cast<char>(byte));
            hash = JPJKHashByte(hash, byte);
            ++at;
        } else if (at + 1 >= end_) {
            at = end_;
        } else if (at[1] != 'u') {
            static constexpr char kEscaped[] = "\"\\/bfnrt";
            static constexpr char kMeaning[] = "\"\\/\b\f\n\r\t";
            const char* found = std::strchr(kEscaped, at[1]);
            if (!found || at[1] == 0) {
                at_ = at + 1;
                recordError(false, "Invalid escape sequence found in \"\" string.");
                ok = false;
            } else {
                const char meaning = kMeaning[found - kEscaped];
                tokenBuffer_.push_back(meaning);
                hash = JPJKHashByte(hash, static_cast<uint8_t>(meaning));
                at += 2;
            }
        } else {
            uint32_t codePoint;
            if (!readHexQuad(at + 2, &codePoint)) {
                ok = false;
                break;
            }
            const uint8_t* const escape = at;
            at += 6;
            if (JPJKUTF8::isHighSurrogate(codePoint)) {
                if (end_ - at >= 2 && at[0] == '\\' && at[1] == 'u') {
                    uint32_t low;
                    if (!readHexQuad(at + 2, &low)) {
                        ok = false;
                        break;
                    }
                    at += 6;
                    if (JPJKUTF8::isLowSurrogate(low)) {
                        codePoint = JPJKUTF8::fromSurrogates(codePoint, low);
                    } else {
                        ok = illegal(escape, "Illegal \\u Unicode escape sequence.");
                        continue;
                    }
                } else {
                    if (!loose) {
                        at_ = at;
                        recordError(false,
                                    "Required a second \\u Unicode escape sequence following a surrogate \\u Unicode escape sequence.");
                        ok = false;
                    } else {
                        append(kReplacementCharacter);
                    }
                    continue;
                }
            }
            if (JPJKUTF8::isLowSurrogate(codePoint) || JPJKUTF8::isRefusedInJSON(codePoint)) {
                ok = illegal(escape, "Illegal \\u Unicode escape sequence.");
            } else {
                append(codePoint);
            }
        }
    }
    if (ok) at_ = end_;
    recordError(false, "Invalid string.");
    return false;
}

bool JPJSONDecoder::parseNumber() {
    token_ = Token::Number;
    const uint8_t* const start = at_;
    const uint8_t* at = start;
    const bool negative = *at == '-';
    if (negative) ++at;
    // The digits of the integer and fraction parts as one integer, as they are scanned: exact
    // while there are at most 19 of them.
    uint64_t significand = 0;
    const auto digits = [&] {
        const uint8_t* const first = at;
        for (; at < end_ && isDigit(*at); ++at) significand = significand * 10 + (*at - '0');
        return static_cast<size_t>(at - first);
    };
    const uint8_t* const integerStart = at;
    bool valid = true;
    if (at < end_ && *at == '0') {
        ++at;
    } else {
        valid = digits() > 0;
    }
    const size_t integerDigits = static_cast<size_t>(at - integerStart);
    bool floating = false;
    size_t fractionDigits = 0;
    if (valid && at < end_ && *at == '.') {
        floating = true;
        ++at;
        fractionDigits = digits();
        valid = fractionDigits > 0;
    }
    int64_t exponent = 0;  // saturates far beyond any double's range
    if (valid && at < end_ && (*at == 'e' || *at == 'E')) {
        floating = true;
        ++at;
        const bool negativeExponent = at < end_ && *at == '-';
        if (at < end_ && (*at == '+' || *at == '-')) ++at;
        const uint8_t* const first = at;
        for (; at < end_ && isDigit(*at); ++at) exponent = std::min<int64_t>(exponent * 10 + (*at - '0'), 1 << 20);
        valid = at > first;
        if (negativeExponent) exponent = -exponent;
    }
    at_ = at;
    // A number must end before the input does.
    if (!valid || at >= end_) {
        recordError(false, "Invalid number.");
        return false;
    }
    // "-0" is the double -0.0, which no integer can hold.
    if (floating || (negative && significand == 0 && integerDigits == 1)) {
        double value;
        if (integerDigits + fractionDigits <= 19 && exactDouble(significand, exponent - static_cast<int64_t>(fractionDigits), &value)) {
            return numberToken(kDoubleValue, std::bit_cast<uint64_t>(negative ? -value : value));
        }
        return convertDouble(start);
    }
    if (integerDigits > 18) return convertLongInteger(start, negative);
    if (negative) return numberToken(kSignedValue, static_cast<uint64_t>(-static_cast<int64_t>(significand)));
    return numberToken(kUnsignedValue, significand);
}

bool JPJSONDecoder::convertDouble(const uint8_t* start) {
    const auto* first = reinterpret_cast<const char*>(start);
    const auto* last = reinterpret_cast<const char*>(at_);
    double value = 0;
    const std::from_chars_result result = std::from_chars(first, last, value);
    const bool overflowed = result.ec == std::errc() && (value == HUGE_VAL || value == -HUGE_VAL);
    if (result.ec == std::errc::result_out_of_range || overflowed) {
        const bool underflow = !overflowed && magnitudeBelowOne(start, at_);
        recordError(false, "The value '%.*s' could not be represented as a 'double' due to %s.", printableLength(start), first,
                    underflow ? "underflow" : "overflow");
        recordError(false, "Invalid number.");
        return false;
    }
    if (result.ec != std::errc() || result.ptr != last) return unconsumedNumber();
    return numberToken(kDoubleValue, std::bit_cast<uint64_t>(value));
}

bool JPJSONDecoder::convertLongInteger(const uint8_t* start, bool negative) {
    const auto* first = reinterpret_cast<const char*>(start);
    const auto* last = reinterpret_cast<const char*>(at_);
    std::from_chars_result result;
    uint64_t bits;
    if (negative) {
        int64_t value = 0;
        result = std::from_chars(first, last, value);
        if (result.ec == std::errc::result_out_of_range) {
            recordError(false, "The value '%.*s' exceeded the minimum value that could be represented: %lld.",
                        printableLength(start), first, static_cast<long long>(INT64_MIN));
            recordError(false, "Invalid number.");
            return false;
        }
        bits = static_cast<uint64_t>(value);
    } else {
        result = std::from_chars(first, last, bits);
        if (result.ec == std::errc::result_out_of_range) {
            recordError(false, "The value '%.*s' exceeded the maximum value that could be represented: %llu.",
                        printableLength(start), first, static_cast<unsigned long long>(UINT64_MAX));
            recordError(false, "Invalid number.");
            return false;
        }
    }
    if (result.ec != std::errc() || result.ptr != last) return unconsumedNumber();
    return numberToken(negative ? kSignedValue : kUnsignedValue, bits);
}

int JPJSONDecoder::printableLength(const uint8_t* start) const {
    return static_cast<int>(std::min<ptrdiff_t>(at_ - start, INT32_MAX));
}

bool JPJSONDecoder::unconsumedNumber() {
    recordError(false, "The conversion function did not consume all of the number tokens characters.");
    recordError(false, "Invalid number.");
    return false;
}

bool JPJSONDecoder::numberToken(uint8_t type, uint64_t bits) {
    uint64_t hash = type == kDoubleValue ? 1402737938 : (type == kSignedValue ? 1402737932 : 1402737936) + bits;
    for (int shift = 0; shift < 64; shift += 8) hash = JPJKHashByte(hash, static_cast<uint8_t>(bits >> shift));
    value_ = TokenValue{nullptr, sizeof bits, type, bits, hash};
    return true;
}

void JPJSONDecoder::setStringValue(const uint8_t* bytes, size_t size, uint64_t hash) {
    value_ = TokenValue{bytes, size, kStringValue, 0, hash};
}

RefPtr<JPJKObject> JPJSONDecoder::makeTokenObject() const {
    const TokenValue& value = value_;
    switch (value.type) {
    case kStringValue:
        return RefPtr<JPJKObject>::adoptNew(
            new JPJKString(std::string(reinterpret_cast<const char*>(value.bytes), value.size), value.hash));
    case kDoubleValue: return JPJKNumber::numberWithDouble(std::bit_cast<double>(value.bits));
    case kUnsignedValue:
        if (value.bits > INT64_MAX) return JPJKNumber::numberWithUnsignedLongLong(value.bits);
        [[fallthrough]];
    default: return JPJKNumber::numberWithLongLong(static_cast<int64_t>(value.bits));
    }
}

RefPtr<JPJKObject> JPJSONDecoder::tokenObject() {
    if (value_.type == kStringValue && value_.size == 0) return JPJKString::emptyString();
    if (const CacheItem* hit = cacheHit()) return hit->object;
    RefPtr<JPJKObject> object = makeTokenObject();
    if (CacheItem* bucket = freeBucket(false)) bucket->object = object;
    return object;
}

JPJKObject* JPJSONDecoder::tokenKey() {
    if (value_.size == 0) return JPJKString::emptyString().get();  // lives for the whole run
    if (const CacheItem* hit = cacheHit()) return hit->object.get();
    RefPtr<JPJKObject> object = makeTokenObject();
    JPJKObject* const key = object.get();
    if (CacheItem* bucket = freeBucket(true)) {
        bucket->object = std::move(object);
    } else {
        kept_.push_back(std::move(object));
    }
    return key;
}

// Value cache ----------------------------------------------------------------------------------

bool JPJSONDecoder::CacheItem::holds(const TokenValue& value) const {
    if (!object || hash != value.hash || type != value.type) return false;
    if (type != kStringValue) return bits == value.bits;
    const std::string& text = static_cast<const JPJKString&>(*object).UTF8String();
    return text.size() == value.size && sameBytes(text.data(), value.bytes, value.size);
}

size_t JPJSONDecoder::probe(uint64_t i) const {
    return (value_.hash + i * (value_.size + value_.type + 3)) & (kCacheBuckets - 1);
}

const JPJSONDecoder::CacheItem* JPJSONDecoder::cacheHit() {
    for (uint64_t i = 0; i < 4; ++i) {
        const size_t bucket = probe(i);
        if (cache_[bucket].holds(value_)) {
            if (ages_[bucket] < 255) ++ages_[bucket];
            return &cache_[bucket];
        }
    }
    return nullptr;
}

JPJSONDecoder::CacheItem* JPJSONDecoder::freeBucket(bool isKey) {
    size_t chosen = kCacheBuckets;
    for (uint64_t i = 0; i < 4 && chosen == kCacheBuckets; ++i) {
        if (!cache_[probe(i)].object) chosen = probe(i);
    }
    // No empty bucket: a key takes the first probed one that has not been hit lately, ageing the
    // others and two buckets drawn by the shift register for each one aged. Other values stay out:
    // most of them (ids, coordinates, text) never come again, and each one cached would cost
    // two reference count changes and the release of the value it pushed out.
    for (uint64_t i = 0; isKey && i < 4 && chosen == kCacheBuckets; ++i) {
        if (ages_[probe(i)] == 0) {
            chosen = probe(i);
        } else {
            ages_[probe(i)] >>= 1;
            ageDrawnBucket();
            ageDrawnBucket();
        }
    }
    if (chosen == kCacheBuckets) return nullptr;
    CacheItem& item = cache_[chosen];
    // Keys of the dictionaries being read may be this object: it lives until the parse ends.
    if (item.object) kept_.push_back(std::move(item.object));
    item = CacheItem{nullptr, value_.hash, value_.bits, value_.type};
    ages_[chosen] = 0;
    return &item;
}

void JPJSONDecoder::ageDrawnBucket() {
    lfsr_ = (lfsr_ >> 1) ^ ((lfsr_ & 1) ? 0x80200003u : 0u);
    ages_[lfsr_ & (kCacheBuckets - 1)] >>= 1;
}

size_t JPJSONDecoder::layoutBucket(JPJKObject* const* keys, size_t count) {
    uint64_t hash = count;
    for (size_t i = 0; i < count; ++i) hash = (hash ^ reinterpret_cast<uintptr_t>(keys[i])) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(hash >> 56) & (kLayoutBuckets - 1);
}

// Errors ---------------------------------------------------------------------------------------

void JPJSONDecoder::recordError(bool syntax, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const bool recorded = error_.recordFirst(format, arguments);
    va_end(arguments);
    if (!recorded) return;
    error_.atIndex = static_cast<uint64_t>((syntax ? tokenStart_ : at_) - begin_);
    error_.lineNumber = syntax ? tokenLine_ : line_;
}

void JPJSONDecoder::expectedError(unsigned accepted, const char* value, const char* comma, const char* close) {
    const char* items[3];
    int count = 0;
    if (accepted & kAcceptValue) items[count++] = value;
    if (accepted & kAcceptComma) items[count++] = comma;
    if (accepted & kAcceptClose) items[count++] = close;
    const int length = static_cast<int>(std::min<ptrdiff_t>(at_ - tokenStart_, INT32_MAX));
    const auto* token = reinterpret_cast<const char*>(tokenStart_);
    if (count == 1) recordError(true, "Expected %s, not '%*.*s'", items[0], length, length, token);
    if (count == 2) recordError(true, "Expected %s or %s, not '%*.*s'", items[0], items[1], length, length, token);
    if (count == 3) recordError(true, "Expected %s, %s, or %s, not '%*.*s", items[0], items[1], items[2], length, length, token);
}
