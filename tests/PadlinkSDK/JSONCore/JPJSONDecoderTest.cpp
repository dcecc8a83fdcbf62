#include "PadlinkSDK/JSONCore/JPJSONDecoder.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <random>

#include "platform/foundation/NamedException.h"
#include "tests/PadlinkSDK/JSONCore/JSONTestSupport.h"

namespace {
struct ErrorCase {
    std::string text;
    uint64_t options;
    std::string message;
    uint64_t index;
    uint64_t line;
};

const std::string kTokenMessage =
    "Unexpected token, wanted '{', '}', '[', ']', ',', ':', 'true', 'false', 'null', '\"STRING\"', 'NUMBER'.";
const std::string kIllegalEscape = "Illegal \\u Unicode escape sequence.";
const std::string kIllegalUTF8 = "Illegal UTF8 sequence found in \"\" string.";
}  // namespace

TEST(JPJSONDecoder, ErrorsCarryTheirTextIndexAndLine) {
    const std::vector<ErrorCase> cases = {
        {"", 0, "Reached the end of the buffer.", 0, 1},
        {"[", 0, "Reached the end of the buffer.", 1, 1},
        {"\"x\"", 0, "Expected either '[' or '{'.", 0, 1},
        {"5", 0, "Invalid number.", 1, 1},
        {"[1.]", 0, "Invalid number.", 3, 1},
        {"[1,]", 0, "Unexpected ']'.", 3, 1},
        {"[,1]", 0, "Unexpected ','.", 1, 1},
        {"[1 2]", 0, "Unexpected value.", 3, 1},
        {"[01]", 0, "Unexpected value.", 2, 1},
        {"[1:", 0, "Expected a comma or a ']', not ':'", 2, 1},
        {"{\"a\" 1}", 0, "Expected ':'.", 5, 1},
        {"{1:2}", 0, "Expected a \"STRING\" or a '}', not '1'", 1, 1},
        {"{\"a\":}", 0, "Expected a value, not '}'", 5, 1},
        {"{\"a\":1 \"b\"", 0, "Unexpected string.", 7, 1},
        {"{\"a\":1,}", 0, "Unexpected '}'.", 7, 1},
        {"[x]", 0, kTokenMessage, 1, 1},
        {"[tru]", 0, kTokenMessage, 1, 1},
        {"[1]\n x", 0, "A valid JSON object was parsed but there were additional non-white-space characters remaining.", 5, 2},
        {"[1]//c", 0, "A valid JSON object was parsed but there were additional non-white-space characters remaining.", 3, 1},
        {"[\"abc", 0, "Invalid string.", 5, 1},
        {"[\"a\tb\"]", 0, "Invalid character < 0x20 found in string: 0x09.", 3, 1},
        {"[\"\\x\"]", 0, "Invalid escape sequence found in \"\" string.", 3, 1},
        {"[\"\\u12G4\"]", 0, "Unexpected character found in \\u Unicode escape sequence.  Found 'G', expected [0-9a-fA-F].", 6, 1},
        {"[\n\"\\u0000\"]", 0, kIllegalEscape, 3, 2},
        {"[\"\\udc00\"]", 0, kIllegalEscape, 2, 1},
        {"[\"\\ud800\\u0041\"]", 0, kIllegalEscape, 2, 1},
        {"[\"\\ufdd0\"]", 0, kIllegalEscape, 2, 1},
        {"[\"\\ud83f\\udffe\"]", 0, kIllegalEscape, 2, 1},  // U+1FFFE
        {"[\"\\ud800x\"]", 0, "Required a second \\u Unicode escape sequence following a surrogate \\u Unicode escape sequence.", 8, 1},
        {"[\"a\xC3\"]", 0, kIllegalUTF8, 3, 1},
        {"[\"\xEF\xBF\xBE\"]", 0, kIllegalUTF8, 2, 1},
        {"[\"\xED\xA0\x80\"]", 0, kIllegalUTF8, 2, 1},
        {"[\"\xF4\x90\x80\x80\"]", 0, kIllegalUTF8, 2, 1},
        {"[\"\xC0\xAF\"]", 0, kIllegalUTF8, 2, 1},
        {"[\"\xE2\x82", 0, "End of buffer reached while parsing UTF8 in \"\" string.", 2, 1},
        {"[-9223372036854775809]", 0,
         "The value '-9223372036854775809' exceeded the minimum value that could be represented: -9223372036854775808.", 21, 1},
        {"[18446744073709551616]", 0,
         "The value '18446744073709551616' exceeded the maximum value that could be represented: 18446744073709551615.", 21, 1},
        {"[1e400]", 0, "The value '1e400' could not be represented as a 'double' due to overflow.", 6, 1},
        {"[-1e-400]", 0, "The value '-1e-400' could not be represented as a 'double' due to underflow.", 8, 1},
        {"[0." + std::string(400, '0') + "1]", 0,
         "The value '0." + std::string(400, '0') + "1' could not be represented as a 'double' due to underflow.", 404, 1},
        {"[1" + std::string(400, '0') + "e-5]", 0,
         "The value '1" + std::string(400, '0') + "e-5' could not be represented as a 'double' due to overflow.", 405, 1},
        // Comments count their line ends; \r\n is one line end; U+2028 ends a line only with option 2.
        {"/* a\n b */ [1 2]", JPJKParseOptionComments, "Unexpected value.", 14, 2},
        {"[1,\r\n\r x]", 0, kTokenMessage, 7, 3},
        {"[1,\xE2\x80\xA8x]", JPJKParseOptionUnicodeNewlines, kTokenMessage, 6, 2},
        {"[1,\xE2\x80\xA8x]", 0, kTokenMessage, 3, 1},
    };
    for (const ErrorCase& c : cases) {
        JPJKError error;
        EXPECT_FALSE(decode(c.text, c.options, &error)) << c.text;
        EXPECT_EQ(error.localizedDescription, c.message) << c.text;
        EXPECT_EQ(error.domain, "JPJKErrorDomain");
        EXPECT_EQ(error.code, -1);
        EXPECT_EQ(error.atIndex, c.index) << c.text;
        EXPECT_EQ(error.lineNumber, c.line) << c.text;
    }
}

TEST(JPJSONDecoder, NumbersKeepTheirTypeAndRange) {
    struct Case {
        std::string text;
        char type;
        double value;
    };
    const std::vector<Case> cases = {
        {"[-0]", 'd', -0.0},
        {"[-5]", 'q', -5},
        {"[-922337203685477580]", 'q', -922337203685477580.0},
        {"[18446744073709551615]", 'Q', 18446744073709551615.0},
        {"[9223372036854775807]", 'q', 9223372036854775807.0},
        {"[-9223372036854775808]", 'q', -9223372036854775808.0},
        {"[0.5E+1]", 'd', 5},
        {"[-12e-1]", 'd', -1.2},
        // A megabyte of digits is read in place, not through a fixed buffer.
        {"[0." + std::string(1 << 20, '3') + "]", 'd', 1.0 / 3},
    };
    for (const Case& c : cases) {
        const auto root = decode(c.text);
        const auto* number = dynamic_cast<const JPJKNumber*>(only(root));
        ASSERT_TRUE(number) << c.text.substr(0, 30);
        EXPECT_EQ(number->objCType(), c.type) << c.text.substr(0, 30);
        EXPECT_EQ(number->doubleValue(), c.value) << c.text.substr(0, 30);
        EXPECT_EQ(std::signbit(number->doubleValue()), std::signbit(c.value));
    }
    EXPECT_EQ(static_cast<JPJKNumber*>(only(decode("[18446744073709551615]")))->unsignedLongLongValue(), UINT64_MAX);
    JPJKError error;
    EXPECT_FALSE(decode("[" + std::string(1 << 20, '7') + "]", 0, &error));
    EXPECT_EQ(error.atIndex, (1u << 20) + 1);
}

TEST(JPJSONDecoder, DoublesAreTheNearestToTheirText) {
    // Short forms take a shortcut; every form must give what the full conversion gives.
    std::mt19937_64 random(7);
    std::vector<std::string> texts = {"9007199254740993.0", "9007199254740992e-22", "1e22", "1e23", "0.1", "-0.0", "5e-324"};
    for (int i = 0; i < 20000; ++i) {
        std::string digits = std::to_string(random() % 10'000'000'000'000'000'000ull).substr(0, 1 + random() % 19);
        digits.insert(1 + random() % digits.size(), ".0");
        texts.push_back(digits + "e" + std::to_string(static_cast<int>(random() % 61) - 30));
        char shortest[32];
        const double value = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 110);
        texts.emplace_back(shortest, std::to_chars(shortest, shortest + sizeof shortest, value).ptr);
    }
    for (const std::string& text : texts) {
        double wanted = 0;
        std::from_chars(text.data(), text.data() + text.size(), wanted);
        const auto root = decode("[" + text + "]");
        const auto* number = dynamic_cast<const JPJKNumber*>(only(root));
        ASSERT_TRUE(number) << text;
        EXPECT_EQ(std::bit_cast<uint64_t>(number->doubleValue()), std::bit_cast<uint64_t>(wanted)) << text;
    }
}

TEST(JPJSONDecoder, StringsDecodeEscapesAndReplaceBadUnicodeWhenLoose) {
    const std::string replacement = "\xEF\xBF\xBD";
    const std::vector<std::tuple<std::string, uint64_t, std::string>> cases = {
        {"[\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"]", 0, "\"\\/\b\f\n\r\t"},
        {"[\"\\u00e9\\u00C9\"]", 0, "\xC3\xA9\xC3\x89"},
        {"[\"\xC3\xA9\"]", 0, "\xC3\xA9"},
        {"[\"\\ud83d\\ude00\"]", 0, "\xF0\x9F\x98\x80"},
        {"[\"\\ud800\\udc00\\udbff\\udffd\"]", 0, "\xF0\x90\x80\x80\xF4\x8F\xBF\xBD"},  // U+10000, U+10FFFD
        {"[\"\xF0\x9F\x98\x80 \\n\"]", 0, "\xF0\x9F\x98\x80 \n"},
        {"[\"\\u0000\"]", JPJKParseOptionLooseUnicode, replacement},
        {"[\"\\udc00z\"]", JPJKParseOptionLooseUnicode, replacement + "z"},
        {"[\"\\ud800x\"]", JPJKParseOptionLooseUnicode, replacement + "x"},
        {"[\"\\ud800\\u0041\"]", JPJKParseOptionLooseUnicode, replacement},
        {"[\"a\xC3(b\"]", JPJKParseOptionLooseUnicode, "a" + replacement + "(b"},
        {"[\"\xE2\x82z\"]", JPJKParseOptionLooseUnicode, replacement + "z"},
        {"[\"\xEF\xBF\xBE\\n\"]", JPJKParseOptionLooseUnicode, replacement + "\n"},
        {"[\"\xFF\"]", JPJKParseOptionLooseUnicode, replacement},
    };
    for (const auto& [text, options, expected] : cases) {
        JPJKError error;
        EXPECT_EQ(textOf(only(decode(text, options, &error))), expected) << text << " " << error.localizedDescription;
    }
}

TEST(JPJSONDecoder, OptionsAllowCommentsTrailingTextAndRefuseUnknownBits) {
    const auto root = decode("// lead\n[1, /* two\r\n */ 2 // three\n] x", JPJKParseOptionComments | JPJKParseOptionTrailingText);
    const auto* array = dynamic_cast<const JPJKArray*>(root.get());
    ASSERT_TRUE(array);
    EXPECT_EQ(array->count(), 2u);
    EXPECT_TRUE(decode("[1] \t\r\n"));
    EXPECT_THROW(JPJSONDecoder::decoderWithParseOptions(16), NamedException);
    EXPECT_THROW(JPJSONDecoder::decoder()->objectWithUTF8String(nullptr, 0), NamedException);
}

TEST(JPJSONDecoder, RepeatedKeysAndValuesShareOneObjectAcrossParses) {
    const auto decoder = JPJSONDecoder::decoder();
    const std::string text = R"([{"key":"v"},{"key":"v"}])";
    std::vector<RefPtr<Object>> roots;
    std::vector<Object*> keys, values;
    for (int parse = 0; parse < 3; ++parse) {
        if (parse == 2) decoder->clearCache();
        roots.push_back(parse == 1 ? decoder->mutableObjectWithUTF8String(text.data(), text.size())
                                   : decoder->objectWithUTF8String(text.data(), text.size()));
        for (uint64_t i = 0; i < 2; ++i) {
            const auto* dictionary = static_cast<JPJKDictionary*>(static_cast<JPJKArray*>(roots.back().get())->objectAtIndex(i));
            JPJKObject* key = dictionary->keyEnumerator()->nextObject();
            keys.push_back(key);
            values.push_back(dictionary->objectForKey(key));
        }
    }
    for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(keys[i] == keys[0] && values[i] == values[0]);
    // A cleared cache makes new objects.
    EXPECT_TRUE(keys[4] != keys[0] && keys[4] == keys[5] && JPJKObject::isEqual(keys[4], keys[0]));
    // Keys still get in once values have filled every bucket.
    std::string filler = "[";
    for (int i = 0; i < 8192; ++i) filler += (i ? ",\"" : "\"") + std::to_string(i) + "\"";
    filler += R"(,{"late":1},{"late":2}])";
    const auto root = refCast<JPJKArray>(decoder->objectWithUTF8String(filler.data(), filler.size()));
    EXPECT_EQ(static_cast<JPJKDictionary*>(root->objectAtIndex(8192))->keyEnumerator()->nextObject(),
              static_cast<JPJKDictionary*>(root->objectAtIndex(8193))->keyEnumerator()->nextObject());
}

TEST(JPJSONDecoder, NestingStopsAt512Levels) {
    std::string dictionaries;
    for (int i = 0; i < 513; ++i) dictionaries += "{\"k\":";
    EXPECT_TRUE(decode(std::string(512, '[') + std::string(512, ']')));
    EXPECT_TRUE(decode(dictionaries.substr(5) + "1" + std::string(512, '}')));
    for (const auto& [text, index] : {std::pair{std::string(100000, '['), 512u}, std::pair{dictionaries + "1", 2560u}}) {
        JPJKError error;
        EXPECT_FALSE(decode(text, 0, &error));
        EXPECT_EQ(error.localizedDescription, "Nesting too deep.");
        EXPECT_EQ(error.atIndex, index);
    }
}
