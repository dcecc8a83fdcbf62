#include "platform/foundation/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "support/TestSupport.h"

namespace {
const char* const kEveryKindXML = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>zeta</key>
	<integer>-7</integer>
	<key>alpha</key>
	<string>two</string>
	<key>nested</key>
	<array>
		<integer>1</integer>
		<array>
			<real>2.5</real>
			<array><true/></array>
		</array>
		<dict>
			<key>x</key>
			<false/>
		</dict>
	</array>
	<key>big</key>
	<integer>18446744073709551615</integer>
	<key>data</key>
	<data>
	AAH+/w==
	</data>
	<key>date</key>
	<date>2001-01-02T00:00:00Z</date>
	<key>unicode</key>
	<string>h&#233;llo 世界 😀 &lt;&amp;&gt;</string>
	<key>real</key>
	<real>0.1</real>
	<key>empty</key>
	<dict/>
</dict>
</plist>
)";

// The same content as a binary list (the date has half a second more, the unicode string no
// escaped characters), keys in the same unsorted order.
const std::string kEveryKindBinary(
    "\x62\x70\x6c\x69\x73\x74\x30\x30\xd9\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x15\x16\x17"
    "\x18\x19\x1a\x54\x7a\x65\x74\x61\x55\x61\x6c\x70\x68\x61\x56\x6e\x65\x73\x74\x65\x64\x53\x62\x69"
    "\x67\x54\x64\x61\x74\x61\x54\x64\x61\x74\x65\x57\x75\x6e\x69\x63\x6f\x64\x65\x54\x72\x65\x61\x6c"
    "\x55\x65\x6d\x70\x74\x79\x13\xff\xff\xff\xff\xff\xff\xff\xf9\x53\x74\x77\x6f\xa3\x0d\x0e\x12\x10"
    "\x01\xa2\x0f\x10\x23\x40\x04\x00\x00\x00\x00\x00\x00\xa1\x11\x09\xd1\x13\x14\x51\x78\x08\x14\x00"
    "\x00\x00\x00\x00\x00\x00\x00\xff\xff\xff\xff\xff\xff\xff\xff\x44\x00\x01\xfe\xff\x33\x40\xf5\x18"
    "\x08\x00\x00\x00\x00\x6b\x00\x68\x00\xe9\x00\x6c\x00\x6c\x00\x6f\x00\x20\x4e\x16\x75\x4c\x00\x20"
    "\xd8\x3d\xde\x00\x23\x3f\xb9\x99\x99\x99\x99\x99\x9a\xd0\x08\x1b\x20\x26\x2d\x31\x36\x3b\x43\x48"
    "\x4e\x57\x5b\x5f\x61\x64\x6d\x6f\x70\x73\x75\x76\x87\x8c\x95\xac\xb5\x00\x00\x00\x00\x00\x00\x01"
    "\x01\x00\x00\x00\x00\x00\x00\x00\x1b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\xb6",
    241);

std::string bigEndian(uint64_t value, size_t size) {
    std::string bytes;
    for (size_t i = size; i-- > 0;) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

// A reference to object n in the lists that binaryList builds.
std::string ref(uint64_t n) { return bigEndian(n, 4); }

// A binary list of the given objects (marker and payload bytes, references made with ref()),
// with object 0 at the top.
std::string binaryList(const std::vector<std::string>& objects) {
    std::string list = "bplist00", table;
    for (const std::string& object : objects) {
        table += bigEndian(list.size(), 4);
        list += object;
    }
    const size_t tableOffset = list.size();
    list += table;
    list += std::string(6, '\0') + '\4' + '\4' + bigEndian(objects.size(), 8) + bigEndian(0, 8) + bigEndian(tableOffset, 8);
    return list;
}

// `depth` arrays, each holding the next; the innermost is empty.
std::string nestedBinaryArrays(size_t depth) {
    std::vector<std::string> objects;
    for (size_t i = 0; i + 1 < depth; ++i) objects.push_back("\xA1" + ref(i + 1));
    objects.push_back("\xA0");
    return binaryList(objects);
}

std::string nestedXMLArrays(size_t depth) {
    std::string text = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (size_t i = 0; i < depth; ++i) text += "<array>";
    for (size_t i = 0; i < depth; ++i) text += "</array>";
    return text + "</plist>";
}

Value nestedValue(size_t depth) {
    Value value = Value::array();
    for (size_t i = 1; i < depth; ++i) {
        Value outer = Value::array();
        outer.append(std::move(value));
        value = std::move(outer);
    }
    return value;
}

void expectParseFailure(const std::string& bytes, const std::string& reason) {
    std::string error;
    EXPECT_FALSE(Value::fromBytes(bytes, &error).has_value()) << reason;
    EXPECT_EQ(error.rfind("Value: cannot parse property list data: ", 0), 0u) << error;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
}

// The checks shared by the XML and the binary fixture.
void expectEveryKind(const Value& root) {
    ASSERT_TRUE(root.isDictionary());
    EXPECT_EQ(root.keys(), (std::vector<std::string>{"zeta", "alpha", "nested", "big", "data", "date", "unicode",
                                                     "real", "empty"}));
    EXPECT_EQ(root["zeta"], Value(-7));
    EXPECT_EQ(root["alpha"], Value("two"));

    const Value& nested = root["nested"];
    ASSERT_EQ(nested.count(), 3u);
    EXPECT_EQ(nested.at(0), Value(1));
    EXPECT_EQ(nested.at(1).at(0), Value(2.5));
    EXPECT_EQ(nested.at(1).at(1).at(0), Value(true));
    EXPECT_EQ(nested.at(2)["x"], Value(false));

    EXPECT_EQ(root["big"].unsignedIntegerValue(), UINT64_MAX);
    EXPECT_EQ(root["big"].integerValue(), INT64_MAX);
    EXPECT_EQ(root["data"], Value::data(std::string("\x00\x01\xfe\xff", 4)));
    EXPECT_TRUE(root["date"].isDate());
    EXPECT_EQ(std::floor(root["date"].timeIntervalSinceReferenceDate()), 86400.0);
    EXPECT_TRUE(root["unicode"].stringValue().starts_with("h\xc3\xa9llo \xe4\xb8\x96\xe7\x95\x8c \xf0\x9f\x98\x80"));
    EXPECT_EQ(root["real"].doubleValue(), 0.1);
    EXPECT_EQ(root["empty"], Value::dictionary());
}
}  // namespace

TEST(ValueTest, BuildsDictionariesAndArrays) {
    Value dictionary = Value::dictionary();
    dictionary.set("b", 1);
    dictionary.set("a", "text");
    dictionary.set("c", 2.5);
    dictionary.set("b", true);  // replaces in place
    EXPECT_EQ(dictionary.keys(), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(dictionary["b"], Value(true));
    EXPECT_TRUE(dictionary["missing"].isNone());

    std::string visited;
    for (const auto& [key, value] : dictionary.entries()) visited += key + "=" + value.stringValue() + ";";
    EXPECT_EQ(visited, "b=1;a=text;c=2.5;");

    Value list = Value::array();
    list.append(dictionary);
    list.append(Value::data("xy"));
    EXPECT_EQ(list.at(0), dictionary);
    EXPECT_TRUE(list.at(2).isNone());
    EXPECT_TRUE(list["key"].isNone());
    EXPECT_TRUE(dictionary.at(0).isNone());

    EXPECT_THROW(list.set("k", 1), NamedException);
    EXPECT_THROW(dictionary.append(1), NamedException);
    Value none;
    EXPECT_THROW(none.set("k", 1), NamedException);
    EXPECT_TRUE(Value(static_cast<const char*>(nullptr)).isNone());
}

TEST(ValueTest, EqualityComparesKindAndContent) {
    Value first = Value::dictionary(), second = Value::dictionary();
    first.set("a", 1);
    first.set("b", 2);
    second.set("b", 2);
    second.set("a", 1);
    EXPECT_EQ(first, second);  // key order does not matter
    second.set("a", 3);
    EXPECT_NE(first, second);
    EXPECT_NE(Value(1), Value(1.0));
    EXPECT_NE(Value(int64_t{-1}), Value(UINT64_MAX));
    EXPECT_EQ(Value(uint64_t{5}), Value(5));  // small unsigned values are plain integers
    EXPECT_NE(Value("abc"), Value::data("abc"));
    EXPECT_NE(Value(2.0), Value::date(2.0));
    EXPECT_EQ(Value(), Value());
}

TEST(ValueTest, ConvertsStringsLikeThePlatform) {
    EXPECT_EQ(Value("1.5").intValue(), 1);
    EXPECT_EQ(Value("  -3").integerValue(), -3);
    EXPECT_EQ(Value("99999999999").intValue(), INT32_MAX);
    EXPECT_TRUE(Value("YES").boolValue());
    EXPECT_FALSE(Value("0").boolValue());
}

TEST(ValueTest, ConvertsNumbersWithSaturation) {
    EXPECT_EQ(Value(-1.7).intValue(), -1);
    EXPECT_EQ(Value(1e20).intValue(), INT32_MAX);
    EXPECT_EQ(Value(-1e20).integerValue(), INT64_MIN);
    EXPECT_EQ(Value(std::nan("")).integerValue(), 0);
    EXPECT_EQ(Value(int64_t{5'000'000'000}).intValue(), INT32_MAX);
    EXPECT_EQ(Value(int64_t{-5'000'000'000}).intValue(), INT32_MIN);
    EXPECT_EQ(Value(UINT64_MAX).intValue(), INT32_MAX);
    EXPECT_EQ(Value(UINT64_MAX).doubleValue(), 18446744073709551615.0);
    EXPECT_EQ(Value(-1).unsignedIntegerValue(), UINT64_MAX);
    EXPECT_EQ(Value(1e30).unsignedIntegerValue(), UINT64_MAX);
    EXPECT_TRUE(Value(0.5).boolValue());

    EXPECT_EQ(Value(1000000.0).stringValue(), "1000000");
    EXPECT_EQ(Value(1e20).stringValue(), "1e+20");
    EXPECT_EQ(Value(1e-5).stringValue(), "1e-05");
    EXPECT_EQ(Value(0.1 + 0.2).stringValue(), "0.30000000000000004");
    EXPECT_EQ(Value(std::numeric_limits<double>::infinity()).stringValue(), "inf");
    EXPECT_EQ(Value(true).stringValue(), "1");
    EXPECT_EQ(Value::data("x").stringValue(), "");
}

TEST(ValueTest, MissingValuesReadAsZero) {
    const Value dictionary = Value::dictionary();
    const Value& missing = dictionary["level"]["objects"].at(3)["x"];
    EXPECT_TRUE(missing.isNone());
    EXPECT_EQ(missing.intValue(), 0);
    EXPECT_EQ(missing.doubleValue(), 0.0);
    EXPECT_EQ(missing.stringValue(), "");
    EXPECT_EQ(missing.count(), 0u);
    EXPECT_EQ(Value::dictionary().intValue(), 0);
    EXPECT_EQ(Value::date(5).doubleValue(), 0.0);
}

TEST(ValueTest, ReadsXMLAndBinaryLists) {
    std::string error;
    const auto xml = Value::fromBytes(std::string("\xEF\xBB\xBF") + kEveryKindXML, &error);  // with a byte order mark
    ASSERT_TRUE(xml.has_value()) << error;
    expectEveryKind(*xml);
    EXPECT_EQ((*xml)["date"].timeIntervalSinceReferenceDate(), 86400.0);
    EXPECT_EQ((*xml)["unicode"].stringValue(), "h\xc3\xa9llo \xe4\xb8\x96\xe7\x95\x8c \xf0\x9f\x98\x80 <&>");

    const auto binary = Value::fromBytes(kEveryKindBinary, &error);
    ASSERT_TRUE(binary.has_value()) << error;
    expectEveryKind(*binary);
    EXPECT_EQ((*binary)["date"].timeIntervalSinceReferenceDate(), 86400.5);
}

TEST(ValueTest, ReadsDuplicateKeysAndArchiveReferences) {
    const auto duplicates = Value::fromBytes(
        "<plist><dict><key>a</key><integer>1</integer><key>b</key><integer>2</integer>"
        "<key>a</key><integer>3</integer></dict></plist>",
        nullptr);
    ASSERT_TRUE(duplicates.has_value());
    EXPECT_EQ(duplicates->keys(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ((*duplicates)["a"].intValue(), 3);

    // A keyed-archive reference (UID 5) reads as the dictionary XML lists use for it.
    const auto archive = Value::fromBytes(binaryList({"\xA1" + ref(1), "\x80\x05"}), nullptr);
    ASSERT_TRUE(archive.has_value());
    EXPECT_EQ(archive->at(0)["CF$UID"], Value(5));
}

TEST(ValueTest, WritesAndReadsBackBothFormats) {
    Value root = Value::dictionary();
    root.set("zulu", "last");
    root.set("alpha", "h\xc3\xa9llo \xf0\x9f\x98\x80 <&>");
    root.set("negative", -1);
    root.set("big", UINT64_MAX);
    root.set("min", INT64_MIN);
    root.set("real", 0.30000000000000004);
    Value flags = Value::array();
    flags.append(true);
    flags.append(false);
    flags.append(Value::dictionary());
    root.set("flags", flags);
    root.set("data", Value::data(std::string("\0\1\2\xff", 4)));
    root.set("date", Value::date(-86400.0 * 365 * 101));  // 1900, outside 32-bit seconds
    root.set("later", Value::date(86400.0 * 365 * 99));   // 2100

    std::string error;
    const auto fromXML = Value::fromBytes(root.toXML(), &error);
    ASSERT_TRUE(fromXML.has_value()) << error;
    EXPECT_EQ(*fromXML, root);
    EXPECT_EQ(fromXML->keys(), root.keys());
    EXPECT_NE(root.toXML().find("<integer>18446744073709551615</integer>"), std::string::npos);

    // Binary lists also keep fractions of a second.
    root.set("date", Value::date(86400.25));
    const std::string binary = root.toBinary();
    EXPECT_TRUE(binary.starts_with("bplist00"));
    const auto fromBinary = Value::fromBytes(binary, &error);
    ASSERT_TRUE(fromBinary.has_value()) << error;
    EXPECT_EQ(*fromBinary, root);
    EXPECT_EQ(fromBinary->keys(), root.keys());

    // Scalars stand at the top as well.
    EXPECT_EQ(Value::fromBytes(Value("solo").toBinary(), nullptr), Value("solo"));
    EXPECT_EQ(Value::fromBytes(Value(42).toXML(), nullptr), Value(42));
}

TEST(ValueTest, WritesOnlyWhatAListCanHold) {
    Value root = Value::dictionary();
    root.set("bad \xff key", "bad \xc3 text \xed\xa0\x80.");
    const auto back = Value::fromBytes(root.toBinary(), nullptr);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ((*back)["bad \xef\xbf\xbd key"].stringValue(), "bad \xef\xbf\xbd text \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd.");

    LogCapture capture;
    Value withNone = Value::array();
    withNone.append(Value());
    EXPECT_EQ(withNone.toXML(), "");
    EXPECT_EQ(withNone.toBinary(), "");
    EXPECT_TRUE(capture.contains("Value: cannot write a property list: a none value"));

    EXPECT_FALSE(nestedValue(Value::kMaxDepth).toBinary().empty());
    EXPECT_EQ(nestedValue(Value::kMaxDepth + 1).toXML(), "");
    EXPECT_TRUE(capture.contains("nested deeper than 512 levels"));
}

TEST(ValueTest, RefusesMalformedInput) {
    const std::string xml = kEveryKindXML;
    expectParseFailure("", "empty input");
    expectParseFailure("not a property list", "not an XML or binary property list");
    expectParseFailure(xml.substr(0, xml.size() / 2), "not an XML or binary property list");
    expectParseFailure("<plist><array><true/></dict></plist>", "not an XML or binary property list");
    for (size_t length : {9ul, 40ul, 120ul, kEveryKindBinary.size() - 1}) {
        expectParseFailure(kEveryKindBinary.substr(0, length), "binary property list");
    }
    expectParseFailure("bplist00" + std::string(40, '\xff'), "bad trailer");
    expectParseFailure(binaryList({"\xA1" + ref(7)}), "bad reference");
    expectParseFailure(binaryList({"\x5F\x10\xFF" "abc"}), "object runs past the offset table");
    expectParseFailure(binaryList({"\x70"}), "unknown object type");
    expectParseFailure(std::string(17 << 20, ' '), "larger than 16777216 bytes");
    // Strings holding NUL make the library abort when they are read back, so they never reach it.
    expectParseFailure(std::string("<plist><string>a\0b</string></plist>", 36), "NUL byte in XML text");
    expectParseFailure(binaryList({std::string("\x62\x00\x41\x00\x00", 5)}), "NUL character in a string");

    LogCapture capture;
    EXPECT_FALSE(Value::fromBytes("junk", nullptr).has_value());
    EXPECT_TRUE(capture.contains("Value: cannot parse property list data: "));
}

TEST(ValueTest, RefusesHostileNestingAndSharing) {
    // Nesting up to the limit reads; one more level fails cleanly in both formats.
    std::string error;
    EXPECT_TRUE(Value::fromBytes(nestedXMLArrays(Value::kMaxDepth), &error).has_value()) << error;
    EXPECT_TRUE(Value::fromBytes(nestedBinaryArrays(Value::kMaxDepth), &error).has_value()) << error;
    expectParseFailure(nestedXMLArrays(Value::kMaxDepth + 1), "nested deeper than 512 levels");
    expectParseFailure(nestedBinaryArrays(Value::kMaxDepth + 1), "nested deeper than 512 levels");

    // Deep enough to overflow the stack in the parser's own clean-up.
    std::string unclosed = "<plist>";
    for (int i = 0; i < 200000; ++i) unclosed += "<array>";
    expectParseFailure(unclosed, "nested deeper");
    expectParseFailure(nestedBinaryArrays(200000), "nested deeper");

    // Closings the parser does not see do not lower the count.
    std::string hidden = "<plist>";
    for (int i = 0; i < 600; ++i) hidden += "<array><!-- </array> --><string a='</array>'>x</string>";
    expectParseFailure(hidden, "nested deeper");
    expectParseFailure("<!DOCTYPE plist [ <!ENTITY a 'b'> ]><plist><true/></plist>", "internal subset");

    // A cycle, and 60 arrays that each hold the next twice (2^60 nodes once expanded).
    expectParseFailure(binaryList({std::string("\xA1").append(ref(1)), std::string("\xA1").append(ref(0))}),
                       "reference cycle");
    std::vector<std::string> doubling;
    for (int i = 0; i < 60; ++i) doubling.push_back(std::string("\xA2").append(ref(i + 1)).append(ref(i + 1)));
    doubling.push_back("\x09");
    expectParseFailure(binaryList(doubling), "expands too far");

    // Shared scalars, as writers that unique them produce, are fine.
    std::vector<std::string> shared = {"\xA4" + ref(1) + ref(1) + ref(1) + ref(1), "\x51x"};
    const auto list = Value::fromBytes(binaryList(shared), &error);
    ASSERT_TRUE(list.has_value()) << error;
    EXPECT_EQ(list->count(), 4u);
}

TEST(ValueTest, ReadsFiles) {
    TemporaryFolder folder;
    const auto value = Value::fromFile(folder.write("every.plist", kEveryKindXML), nullptr);
    ASSERT_TRUE(value.has_value());
    expectEveryKind(*value);

    std::string error;
    const std::string missing = folder.file("missing.plist");
    EXPECT_FALSE(Value::fromFile(missing, &error).has_value());
    EXPECT_EQ(error, "Value: cannot parse " + missing + ": cannot open (No such file or directory)");
    EXPECT_FALSE(Value::fromFile(folder.path(), &error).has_value());
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    const std::string truncated = folder.write("truncated.plist", kEveryKindBinary.substr(0, 100));
    EXPECT_FALSE(Value::fromFile(truncated, &error).has_value());
    EXPECT_EQ(error.rfind("Value: cannot parse " + truncated + ": malformed binary property list", 0), 0u) << error;
}
