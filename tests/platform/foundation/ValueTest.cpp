#include "platform/foundation/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <utility>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "support/TestSupport.h"

namespace {
constexpr int kDepth = InputLimits::kNestingDepth;

const char* const kEveryKindXML = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>zeta</key><integer>-7</integer> <key>alpha</key><string>two</string> <key>nested</key><array>
	<integer>1</integer><array><real>2.5</real><array><true/></array></array><dict><key>x</key><false/></dict></array>
	<key>big</key><integer>18446744073709551615</integer> <key>data</key><data>
	AAH+/w==
	</data> <key>date</key><date>2001-01-02T00:00:00Z</date>
	<key>unicode</key><string>h&#233;llo 世界 😀 &lt;&amp;&gt;</string> <key>real</key><real>0.1</real>
	<key>empty</key><dict/></dict></plist>)";

// The same content as a binary list from another writer (the date has half a second more, the
// unicode string no escaped characters), keys in the same unsorted order.
const std::string kEveryKindBinary(
    "\x62\x70\x6c\x69\x73\x74\x30\x30\xd9\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x15\x16\x17\x18\x19\x1a\x54\x7a\x65\x74"
    "\x61\x55\x61\x6c\x70\x68\x61\x56\x6e\x65\x73\x74\x65\x64\x53\x62\x69\x67\x54\x64\x61\x74\x61\x54\x64\x61\x74\x65\x57\x75\x6e"
    "\x69\x63\x6f\x64\x65\x54\x72\x65\x61\x6c\x55\x65\x6d\x70\x74\x79\x13\xff\xff\xff\xff\xff\xff\xff\xf9\x53\x74\x77\x6f\xa3\x0d"
    "\x0e\x12\x10\x01\xa2\x0f\x10\x23\x40\x04\x00\x00\x00\x00\x00\x00\xa1\x11\x09\xd1\x13\x14\x51\x78\x08\x14\x00\x00\x00\x00\x00"
    "\x00\x00\x00\xff\xff\xff\xff\xff\xff\xff\xff\x44\x00\x01\xfe\xff\x33\x40\xf5\x18\x08\x00\x00\x00\x00\x6b\x00\x68\x00\xe9\x00"
    "\x6c\x00\x6c\x00\x6f\x00\x20\x4e\x16\x75\x4c\x00\x20\xd8\x3d\xde\x00\x23\x3f\xb9\x99\x99\x99\x99\x99\x9a\xd0\x08\x1b\x20\x26"
    "\x2d\x31\x36\x3b\x43\x48\x4e\x57\x5b\x5f\x61\x64\x6d\x6f\x70\x73\x75\x76\x87\x8c\x95\xac\xb5\x00\x00\x00\x00\x00\x00\x01\x01"
    "\x00\x00\x00\x00\x00\x00\x00\x1b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xb6", 241);

std::string bigEndian(uint64_t value, size_t size) {
    std::string bytes;
    for (size_t i = size; i-- > 0;) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}
std::string ref(uint64_t n) { return bigEndian(n, 4); }  // object n of a list that binaryList builds

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

std::string repeated(const std::string& unit, size_t times) {
    std::string text;
    for (text.reserve(unit.size() * times); times > 0; --times) text += unit;
    return text;
}
std::string plist(const std::string& body) { return "<plist>" + body + "</plist>"; }

// `depth` arrays, each holding the next; the innermost is empty.
std::string nestedBinaryArrays(size_t depth) {
    std::vector<std::string> objects;
    for (size_t i = 0; i + 1 < depth; ++i) objects.push_back("\xA1" + ref(i + 1));
    objects.push_back("\xA0");
    return binaryList(objects);
}
std::string nestedXMLArrays(size_t depth) { return plist(repeated("<array>", depth) + repeated("</array>", depth)); }

void expectParseFailure(const std::string& bytes, const std::string& reason) {
    std::string error;
    EXPECT_TRUE(!Value::fromBytes(bytes, &error) && error.starts_with("Value: cannot parse property list data: ") &&
                error.find(reason) != std::string::npos) << reason << ": " << error;
}

// The list the bytes hold, or none with a test failure.
Value read(const std::string& bytes) {
    std::string error;
    auto value = Value::fromBytes(bytes, &error);
    EXPECT_TRUE(value.has_value()) << error;
    return value.value_or(Value());
}

// The checks shared by the XML and the binary fixture.
void expectEveryKind(const Value& root) {
    EXPECT_EQ(root.keys(), (std::vector<std::string>{"zeta", "alpha", "nested", "big", "data", "date", "unicode", "real", "empty"}));
    EXPECT_TRUE(root["zeta"] == Value(-7) && root["alpha"] == Value("two") && root["real"] == Value(0.1));
    EXPECT_TRUE(root["nested"].at(1).at(1).at(0) == Value(true) && root["nested"].at(2)["x"] == Value(false));
    EXPECT_TRUE(root["big"].isUnsignedInteger() && root["empty"] == Value::dictionary() && root["data"] == Value::data(std::string("\0\1\xfe\xff", 4)));
    EXPECT_EQ(std::floor(root["date"].timeIntervalSinceReferenceDate()), 86400.0);
    EXPECT_TRUE(root["unicode"].stringValue().starts_with("h\xc3\xa9llo \xe4\xb8\x96\xe7\x95\x8c \xf0\x9f\x98\x80"));
}
}  // namespace

// Conversions saturate: reals truncate towards zero, NaN reads 0, unsigned integers read INT64_MAX.
TEST(ValueTest, BuildsComparesAndConvertsWithSaturation) {
    Value dictionary = Value::dictionary(), list = Value::array();
    dictionary.set("b", 1);
    dictionary.set("a", "text");
    dictionary.set("b", true);  // replaces in place
    list.append(dictionary);
    const Value reordered = read(plist("<dict><key>a</key><string>text</string><key>b</key><true/></dict>"));
    EXPECT_TRUE(dictionary.keys() == (std::vector<std::string>{"b", "a"}) && dictionary == reordered && list.at(0) == dictionary);
    EXPECT_TRUE(dictionary["missing"]["deeper"].at(3).isNone() && dictionary.at(0).isNone() && list["k"].isNone());
    EXPECT_THROW(list.set("k", 1), NamedException);
    EXPECT_THROW(dictionary.append(1), NamedException);
    EXPECT_TRUE(Value(1) != Value(1.0) && Value(int64_t{-1}) != Value(UINT64_MAX) && Value(uint64_t{5}) == Value(5));
    EXPECT_TRUE(Value("abc") != Value::data("abc") && Value(2.0) != Value::date(2.0) && Value(std::nan("")) == Value(std::nan("")));
    EXPECT_TRUE(Value(1e20).intValue() == INT32_MAX && Value(-1e20).integerValue() == INT64_MIN && Value(-1.7).intValue() == -1);
    EXPECT_TRUE(Value(std::nan("")).integerValue() == 0 && Value(int64_t{-5'000'000'000}).intValue() == INT32_MIN);
    EXPECT_TRUE(Value(UINT64_MAX).integerValue() == INT64_MAX && Value(-1).unsignedIntegerValue() == UINT64_MAX &&
                Value("99999999999").intValue() == INT32_MAX && Value::date(5).intValue() == 0);
    EXPECT_TRUE(Value(0.1 + 0.2).stringValue() == "0.30000000000000004" && Value(1e20).stringValue() == "1e+20" &&
                Value(1000000.0).stringValue() == "1000000" && Value(1e-5).stringValue() == "1e-05");
    // Short exponents right after long digit strings: the exponent is read from the written
    // characters only, never from what an earlier number left behind them.
    const std::pair<double, const char*> texts[] = {
        {1.2345678901234568e-300, "1.2345678901234568e-300"}, {1e20, "1e+20"}, {0.1 + 0.2, "0.30000000000000004"},
        {1e17, "1e+17"}, {-1.2345678901234567e+300, "-1.2345678901234567e+300"}, {1e-5, "1e-05"},
        {1e16, "10000000000000000"}, {0.00012, "0.00012"}, {5e-324, "5e-324"}, {1e-300, "1e-300"},
    };
    for (const auto& [number, text] : texts) EXPECT_EQ(Value(number).stringValue(), text);
}

TEST(ValueTest, ReadsXMLAndBinaryLists) {
    const Value xml = read(std::string("\xEF\xBB\xBF") + kEveryKindXML);  // with a byte order mark
    expectEveryKind(xml);
    EXPECT_EQ(xml["unicode"].stringValue(), "h\xc3\xa9llo \xe4\xb8\x96\xe7\x95\x8c \xf0\x9f\x98\x80 <&>");
    const Value binary = read(kEveryKindBinary);
    expectEveryKind(binary);
    EXPECT_EQ(binary["date"].timeIntervalSinceReferenceDate(), 86400.5);
    const Value duplicates = read(plist("<dict><key>a</key><integer>1</integer><key>b</key><integer> +2 </integer>"
                                        "<key>a</key><integer>-9223372036854775808</integer></dict>"));
    EXPECT_TRUE(duplicates.keys() == (std::vector<std::string>{"a", "b"}) && duplicates["a"] == Value(INT64_MIN) && duplicates["b"] == Value(2));
    EXPECT_EQ(read(binaryList({"\xA1" + ref(1), "\x80\x05"})).at(0)["CF$UID"], Value(5));  // an archive reference (UID 5)
}

TEST(ValueTest, WritesAndReadsBackBothFormats) {
    Value root = read(plist("<dict><key>zulu</key><string>h&#233;llo &lt;&amp;&gt;</string><key>big</key><integer>18446744073709551615</integer>"
                            "<key>min</key><integer>-9223372036854775808</integer><key>real</key><real>0.30000000000000004</real>"
                            "<key>flags</key><array><true/><dict/></array><key>data</key><data>AAEC/w==</data></dict>"));
    root.set("first", Value::date(-63113904000.0));  // 0001-01-01, outside 32-bit seconds
    root.set("last", Value::date(252423993599.0));   // 9999-12-31T23:59:59
    const Value fromXML = read(root.toXML());
    EXPECT_TRUE(fromXML == root && fromXML.keys() == root.keys());
    root.set("last", Value::date(86400.25));  // binary lists keep fractions of a second
    EXPECT_EQ(read(root.toBinary()), root);
    EXPECT_TRUE(read(Value("solo").toBinary()) == Value("solo") && read(Value(42).toXML()) == Value(42));
}

TEST(ValueTest, WritesOnlyWhatAListCanHold) {
    Value root = Value::dictionary(), withNone = Value::array(), huge = Value::array(), deeper = Value::array();
    root.set("bad \xff key", "bad \xc3 text \xed\xa0\x80.");
    EXPECT_EQ(read(root.toBinary())["bad \xef\xbf\xbd key"], Value("bad \xef\xbf\xbd text \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd."));
    withNone.append(Value());
    deeper.append(read(nestedXMLArrays(kDepth)));
    huge.append(Value::data(std::string(InputLimits::kFileBytes / 4 * 3 + 3, 'x')));  // base64 over the cap
    const std::pair<Value, const char*> cases[] = {{withNone, "a none value"}, {deeper, "nested deeper than 512 levels"},
        {huge, "larger than 67108864 bytes"}, {Value::date(252423993600.0), "a date outside the years 1 to 9999"}, {Value::date(NAN), "a date outside"}};
    for (const auto& [value, reason] : cases) {
        LogCapture capture;
        EXPECT_EQ(value.toXML(), "");
        EXPECT_TRUE(capture.contains(std::string("Value: cannot write a property list: ") + reason)) << reason;
    }
    EXPECT_EQ(read(deeper.at(0).toBinary()), deeper.at(0));
}

TEST(ValueTest, RefusesMalformedListsAndMadeUpValues) {
    const std::string xml = kEveryKindXML;
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty input"}, {"not a property list", "not an XML or binary property list"}, {"junk", "not an XML"},
        {xml.substr(0, xml.size() / 2), "not an XML"}, {plist("<array><true/></dict>"), "not an XML"},
        {kEveryKindBinary.substr(0, 120), "malformed binary"}, {kEveryKindBinary.substr(0, 240), "malformed binary"},
        {"bplist00" + std::string(40, '\xff'), "bad trailer"}, {binaryList({"\xA1" + ref(7)}), "bad reference"},
        {binaryList({"\x5F\x10\xFF" "abc"}), "object runs past the offset table"}, {binaryList({"\x70"}), "unknown object type"},
        // NUL in a string makes the library abort when the string is read back, or cuts it.
        {std::string("<plist><string>a\0b</string></plist>", 36), "NUL byte in XML text"},
        {binaryList({std::string("\x62\x00\x41\x00\x00", 5)}), "NUL character in a string"},
        {binaryList({"\xD1" + ref(1) + ref(2), std::string("\x53k\0y", 4), "\x09"}), "NUL character in a string"},
        {binaryList({std::string("\x62\xD8\x00\x00\x41", 5)}), "unpaired surrogate"}, {binaryList({std::string("\x61\xDC\x00", 3)}), "unpaired"},
        {plist("<string>a&#xD800;b</string>"), "bad character reference"},
        {plist("<dict><key>a&#0;</key><true/></dict>"), "bad character reference"},
        {plist("<string>a&amp</string>"), "character reference without ';'"},
        // Integers beyond 64 bits or not in plain decimal, reals and dates that are not ones.
        {binaryList({"\x14" + bigEndian(1, 8) + bigEndian(5, 8)}), "integer out of range"},
        {plist("<integer>18446744073709551616</integer>"), "bad integer"}, {plist("<integer>-9223372036854775809</integer>"), "bad"},
        {plist("<integer>010</integer>"), "bad integer"}, {plist("<integer>0x10</integer>"), "bad integer"},
        {plist("<integer>1e5</integer>"), "bad integer"}, {plist("<integer/>"), "bad integer"},
        {plist("<integer>1<!-- 2 --></integer>"), "markup inside <integer>"}, {plist("<real>1,5</real>"), "bad real"},
        {plist("<date>garbage</date>"), "bad date"}, {plist("<date>2001-02-29T00:00:00Z</date>"), "bad date"},
        {plist("<date>2001-13-01T00:00:00Z</date>"), "bad date"}, {plist("<date>2001-01-01T00:00:60Z</date>"), "bad date"},
        {plist("<date>10000-01-01T00:00:00Z</date>"), "bad date"}, {plist("<date>1\x04" "00-01-02T00:00:00Z</date>"), "bad date"},
        {binaryList({"\x33" + bigEndian(0x7FF8000000000000, 8)}), "date out of range"},
        {binaryList({"\x33" + bigEndian(0x4415AF1D78B58C40, 8)}), "date out of range"},  // 1e20 seconds
        // Keys without a value or outside a dictionary.
        {plist("<dict><key>a</key><true/><key>b</key></dict>"), "dictionary key without a value"},
        {plist("<array><key>a</key></array>"), "key outside a dictionary"}, {plist("<key>a</key>"), "key outside"},
    };
    for (const auto& [bytes, reason] : cases) expectParseFailure(bytes, reason);
    EXPECT_EQ(read(plist("<date>2000-02-29T23:59:59Z</date>")), Value::date(-24.0 * 3600 * 306 - 1));
    LogCapture capture;
    EXPECT_TRUE(!Value::fromBytes("junk", nullptr) && capture.contains("Value: cannot parse property list data: "));
}

TEST(ValueTest, RefusesHostileNestingAndSharingButNotFlatLists) {
    EXPECT_TRUE(read(nestedBinaryArrays(kDepth)).isArray());  // nesting up to the limit reads, one level more does not
    expectParseFailure(nestedXMLArrays(kDepth + 1), "nested deeper than 512 levels");
    expectParseFailure(nestedBinaryArrays(kDepth + 1), "nested deeper than 512 levels");
    // Deep enough to overflow the stack in the library's clean-up, also where its markup reading differs from XML's.
    const std::tuple<std::string, std::string, std::string> deep[] = {
        {"<plist>", "<array>", "nested deeper"}, {"<plist>", "<array /  >", "nested deeper"},
        {"<plist>", "<array><!-- </array> --><string a='</array>'>x</string>", "nested deeper"},
        {"<plist a='>", "<array>", "nested deeper"}, {"<?>", "<array>", "malformed processing instruction"},
        {"<plist>", "<array><?x a=\"?></array>\"?>", "malformed processing instruction"},
    };
    for (const auto& [prefix, unit, reason] : deep) expectParseFailure(prefix + repeated(unit, 200000), reason);
    expectParseFailure(nestedBinaryArrays(200000), "nested deeper");
    expectParseFailure("<!DOCTYPE plist [ <!ENTITY a 'b'> ]><plist><true/></plist>", "internal subset");
    // A cycle; arrays that each hold the next twice; a value shared beyond the value or the byte budget.
    expectParseFailure(binaryList({"\xA1" + ref(1), "\xA1" + ref(0)}), "reference cycle");
    std::vector<std::string> doubling(60, "\x09");
    for (int i = 0; i + 1 < 60; ++i) doubling[i] = "\xA2" + ref(i + 1) + ref(i + 1);
    expectParseFailure(binaryList(doubling), "more than 1048576 values");
    const auto shared = [](uint64_t count, const std::string& element) {
        return binaryList({"\xAF\x13" + bigEndian(count, 8) + repeated(ref(1), count), element});
    };
    expectParseFailure(shared(InputLimits::kPropertyListValues, "\x09"), "more than 1048576 values");
    const std::string megabyte = "\x4F\x13" + bigEndian(1 << 20, 8) + std::string(1 << 20, 'x');
    expectParseFailure(shared(129, megabyte), "strings and data larger than 134217728 bytes");
    EXPECT_EQ(read(shared(1000, "\x51x")).count(), 1000u);  // shared scalars, as writers make them
    expectParseFailure(plist("<array>" + repeated("<true/>", InputLimits::kPropertyListValues) + "</array>"),
                       "more than 1048576 values");
    // A flat list of empty containers, comments and instructions, read as XML reads them, is not nested.
    const std::string unit = "<array /><dict></dict ><dict\n/><!-- <array> --><string><![CDATA[<dict>]]></string><?pi <array>?>";
    const Value list = read(plist("<array>" + repeated(unit, kDepth + 1) + "</array>"));
    EXPECT_TRUE(list.count() == 4u * (kDepth + 1) && list.at(1) == Value::dictionary() && list.at(3) == Value("<dict>"));
}

TEST(ValueTest, ReadsFiles) {
    TemporaryFolder folder;
    EXPECT_EQ(Value::fromFile(folder.write("every.plist", kEveryKindBinary), nullptr), read(kEveryKindBinary));
    // A missing file, a folder, a file over the size cap (sparse, so nothing is written), a truncated list.
    const std::string large = folder.write("large.plist", "");
    std::filesystem::resize_file(large, InputLimits::kFileBytes + 1);
    const std::pair<std::string, std::string> cases[] = {{folder.file("missing.plist"), "cannot read (No such file or directory)"},
        {folder.path(), "cannot read (not a regular file)"}, {large, "cannot read (larger than 67108864 bytes)"},
        {folder.write("truncated.plist", kEveryKindBinary.substr(0, 100)), "malformed binary property list"}};
    for (const auto& [path, reason] : cases) {
        std::string error;
        EXPECT_TRUE(!Value::fromFile(path, &error) && error.starts_with("Value: cannot parse " + path + ": " + reason)) << error;
    }
}
