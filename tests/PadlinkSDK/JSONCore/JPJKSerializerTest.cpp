#include "PadlinkSDK/JSONCore/JPJKSerializer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "PadlinkSDK/JSONCore/JPJKData.h"
#include "PadlinkSDK/JSONCore/NSArrayJSONCoreSerializing.h"
#include "PadlinkSDK/JSONCore/NSStringJSONCoreSerializing.h"
#include "platform/foundation/NamedException.h"
#include "tests/PadlinkSDK/JSONCore/JSONTestSupport.h"

namespace {
// A string whose text the test may change: stands for a new object at a released one's address.
class ReusedString : public JPJKString {
public:
    explicit ReusedString(std::string text) : JPJKString(std::move(text), 0) {}
    void setText(std::string text) { text_ = std::move(text); }
};
}  // namespace

TEST(JPJKSerializer, WritesExactCompactAndPrettyText) {
    const auto nested = arr({num(1), dict({{"k", arr({JPJKNumber::numberWithBool(true), JPJKNull::null()})}})});
    const auto unsortedKeys = dict({{"b", num(1)}, {"a", dict({})}});
    const std::string emoji = "\xF0\x9F\x98\x80";
    const auto text = arr({str("a\tb\"\xC3\xA9/\x01\\" + emoji)});
    const std::vector<std::tuple<RefPtr<Object>, uint64_t, std::string>> cases = {
        {arr({}), 0, "[]"},
        {arr({}), JPJKSerializeOptionPretty, "[\n  \n]"},
        {nested, 0, "[1,{\"k\":[true,null]}]"},
        {nested, JPJKSerializeOptionPretty, "[\n  1,\n  {\n    \"k\": [\n      true,\n      null\n    ]\n  }\n]"},
        {unsortedKeys, JPJKSerializeOptionPretty, "{\n  \"a\": {\n    \n  },\n  \"b\": 1\n}"},
        {text, 0, "[\"a\\tb\\\"\xC3\xA9/\\u0001\\\\" + emoji + "\"]"},
        {text, JPJKSerializeOptionUnicodeEscapes | JPJKSerializeOptionSlashEscapes,
         "[\"a\\tb\\\"\\u00e9\\/\\u0001\\\\\\ud83d\\ude00\"]"},
        {arr({str("\xF0\x90\x80\x80\xF4\x8F\xBF\xBD")}), JPJKSerializeOptionUnicodeEscapes,
         "[\"\\ud800\\udc00\\udbff\\udffd\"]"},  // U+10000 and U+10FFFD, the ends of the pairs' range
        {arr({real(0.1), real(-0.0), real(1e21), real(5e-324), num(INT64_MIN),
              JPJKNumber::numberWithUnsignedLongLong(UINT64_MAX), JPJKNumber::numberWithBool(false)}),
         0, "[0.10000000000000001,-0,1e+21,4.9406564584124654e-324,-9223372036854775808,18446744073709551615,false]"},
    };
    for (const auto& [object, options, expected] : cases) EXPECT_EQ(encode(object.get(), options), expected);
    EXPECT_EQ(NSStringJSONCoreSerializing::JSONStringWithOptions(0, false, nullptr, str("a\"b").get())->UTF8String(), "a\\\"b");
    EXPECT_EQ(NSStringJSONCoreSerializing::JSONDataforNSString(str("x").get())->bytes(), "\"x\"");
}

TEST(JPJKSerializer, RefusesWhatJSONCannotHold) {
    const auto selfContaining = arr({}, true);
    selfContaining->insertObject(selfContaining, 0);
    RefPtr<Object> deep = num(1);
    for (int i = 0; i < 513; ++i) deep = arr({deep});
    const auto numberKey = JPJKDictionary::dictionaryWithPairs({{JPJKNumber::numberWithLongLong(1), num(2)}}, false);
    const std::vector<std::tuple<RefPtr<Object>, uint64_t, std::string>> cases = {
        {arr({real(std::nan(""))}), JPJKEncodeOptionAsString, "Floating point values must be finite.  JSON does not support NaN or Infinity."},
        {arr({real(-INFINITY)}), JPJKEncodeOptionAsString, "Floating point values must be finite.  JSON does not support NaN or Infinity."},
        {numberKey, JPJKEncodeOptionAsString, "Key must be a string object."},
        {arr({JPJKData::dataWithBytes("x")}), JPJKEncodeOptionAsString, "Unable to serialize object class JPJKData."},
        {str("x"), 10, "Unable to serialize object class JPJKString, expected a NSArray or NSDictionary."},
        {arr({}), 18, "Unable to serialize object class JPJKArray, expected a NSString."},
        {arr({}), JPJKEncodeOptionCollectionObj, "Unknown encode as type."},
        {selfContaining, JPJKEncodeOptionAsString, "Nesting too deep."},
        {deep, JPJKEncodeOptionAsString, "Nesting too deep."},
    };
    for (const auto& [object, encodeOption, message] : cases) {
        JPJKError error;
        EXPECT_FALSE(JPJKSerializer::serializeObject(object.get(), JPJKSerializeOptionPretty, encodeOption, nullptr, &error));
        EXPECT_EQ(error.localizedDescription, message);
        EXPECT_EQ(error.domain, "JPJKErrorDomain");
    }
    selfContaining->removeObjectAtIndex(0);  // breaks the cycle
    EXPECT_EQ(encode(static_cast<JPJKArray*>(deep.get())->objectAtIndex(0)).size(), 512u * 2 + 1);
    EXPECT_THROW(JPJKSerializer::serializeObject(nullptr, 0, 2, nullptr, nullptr), NamedException);
    EXPECT_THROW(JPJKSerializer::serializeObject(str("x").get(), 0, JPJKEncodeOptionCollectionObj | JPJKEncodeOptionStringObj, nullptr, nullptr),
                 NamedException);
}

TEST(JPJKSerializer, FormatterReplacesUnsupportedObjectsAndARepeatedOneIsWrittenOnce) {
    const auto unsupported = JPJKData::dataWithBytes("payload");
    std::vector<RefPtr<Object>> elements(100, unsupported);
    int calls = 0;
    const JPJKUnsupportedFormatter formatter = [&](Object* object) {
        ++calls;
        return str(static_cast<JPJKData*>(object)->bytes());
    };
    std::string expected = "[";
    for (int i = 0; i < 100; ++i) expected += i ? ",\"payload\"" : "\"payload\"";
    EXPECT_EQ(encode(arr(elements).get(), 0, nullptr, formatter), expected + "]");
    EXPECT_EQ(calls, 1);

    JPJKError error;
    encode(arr({unsupported}).get(), 0, &error, [](Object*) { return RefPtr<Object>(JPJKData::dataWithBytes("")); });
    EXPECT_EQ(error.localizedDescription,
              "Unable to serialize object class JPJKData that was returned by the unsupported class formatter.  Original object "
              "class was JPJKData.");

    struct Delegate {
        RefPtr<Object> format(Object*) { return num(7); }
    } delegate;
    const auto data = NSArrayJSONCoreSerializing::JSONDataWithOptions(0, &delegate, &Delegate::format, nullptr, arr({unsupported}).get());
    EXPECT_EQ(data->bytes(), "[7]");
    EXPECT_THROW(JPJKDelegateFormatter<Delegate>(&delegate, nullptr), NamedException);
}

TEST(JPJKSerializer, CacheNeverHitsOnTheFormattersObjects) {
    // The formatter hands out one object with new text each time, as a new object would that the
    // allocator placed where the previous replacement was released.
    const RefPtr<ReusedString> scratch(new ReusedString(""));
    const auto first = JPJKData::dataWithBytes("alpha");
    const auto second = JPJKData::dataWithBytes("beta");
    const JPJKUnsupportedFormatter formatter = [&](Object* object) {
        scratch->setText(static_cast<JPJKData*>(object)->bytes());
        return RefPtr<Object>(arr({scratch}));
    };
    EXPECT_EQ(encode(arr({first, second, first}).get(), 0, nullptr, formatter), "[[\"alpha\"],[\"beta\"],[\"alpha\"]]");
}

TEST(JPJKSerializer, AFormatterThatSerializesLeavesTheOuterCacheRight) {
    // The inner call caches `shared` at its own offsets; the outer call must not copy from them.
    const auto shared = str("shared");
    const JPJKUnsupportedFormatter formatter = [&](Object*) { return str(encode(arr({num(12345), shared}).get())); };
    EXPECT_EQ(encode(arr({str("a"), JPJKData::dataWithBytes(""), shared}).get(), 0, nullptr, formatter),
              "[\"a\",\"[12345,\\\"shared\\\"]\",\"shared\"]");
}
