// Reading and writing property lists through libplist 2.2 (the Value members declared under "Reads
// an XML or binary property list" in Value.h). libplist trusts what it reads, so every list is
// walked here first, and whatever libplist would crash on, spend unbounded memory on, or read as a
// different value is refused with a reason.
#include <plist/plist.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"

namespace {
constexpr std::string_view kBinaryMagic = "bplist00";
constexpr size_t kBinaryTrailerSize = 32;
constexpr int kMaxDepth = InputLimits::kNestingDepth;
constexpr std::string_view kBlanks = " \t\r\n";

// The dates a list carries exactly in both forms, in seconds since 2001: from 0001-01-01T00:00:00Z
// up to 10000-01-01T00:00:00Z, since XML dates hold a year of at most four digits.
constexpr double kFirstDate = -63113904000.0, kEndDate = 252423993600.0;

bool isDateInRange(double seconds) { return seconds >= kFirstDate && seconds < kEndDate; }

std::string nestedTooDeep() { return "nested deeper than " + std::to_string(kMaxDepth) + " levels"; }

std::string tooManyValues() { return "more than " + std::to_string(InputLimits::kPropertyListValues) + " values"; }

std::string tooManyBytes(uint64_t limit) { return "larger than " + std::to_string(limit) + " bytes"; }

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using PlistOwner = std::unique_ptr<void, PlistFree>;

uint64_t readBigEndian(std::string_view bytes, size_t offset, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

void appendBigEndian(std::string& bytes, uint64_t value, size_t size) {
    for (size_t i = size; i-- > 0;) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

double doubleFromBits(uint64_t bits) {
    double number;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

// libplist 2.2 decodes a binary list recursively, decodes a shared object again at every reference
// (so a few objects that reference each other, or one object referenced a million times, expand
// to gigabytes) and trusts the lengths it reads. Before it sees a binary list, this walks the
// list's object graph from the top object without recursion and refuses: a trailer, offset or
// length that points outside the list, an unknown object type, a reference cycle, containers nested
// deeper than kNestingDepth, an expanded tree of more than kPropertyListValues values (every
// reference counts, keys included) or more than kDecodedBytes of string and data payload, and the
// scalars libplist would read as some other value: a 16-byte integer beyond 64 bits (it keeps the
// low half), a date outside kFirstDate..kEndDate, a string holding U+0000 (it cuts the string
// there) or an unpaired UTF-16 surrogate (it drops it).
class BinaryListCheck {
public:
    BinaryListCheck(std::string_view bytes, std::string* reason) : bytes_(bytes), reason_(reason) {}

    bool run() {
        if (!readTrailer()) return fail("bad trailer");
        // Every object stands in at least one place, so more objects than values is over budget.
        if (objectCount_ > InputLimits::kPropertyListValues) return refuse(tooManyValues());
        expansions_.assign(objectCount_, Expansion{});
        std::vector<Frame> path;
        if (!enter(top_, path)) return false;
        while (!path.empty()) {
            Frame& frame = path.back();
            uint64_t child = frame.object;
            if (frame.next == frame.refCount) {
                expansions_[frame.object] = {frame.values + 1, frame.bytes};
                path.pop_back();
                if (path.empty()) break;
            } else {
                child = readBigEndian(bytes_, frame.refsAt + frame.next * refSize_, refSize_);
                ++frame.next;
                if (child >= objectCount_) return fail("bad reference");
                if (expansions_[child].values == kOnPath) return fail("reference cycle");
                if (expansions_[child].values == kUnvisited && !enter(child, path)) return false;
                if (expansions_[child].values == kOnPath) continue;  // a container, now walked first
            }
            // No sum overflows: every term was within its budget when it was added.
            Frame& parent = path.back();
            parent.values += expansions_[child].values;
            parent.bytes += expansions_[child].bytes;
            if (parent.values >= InputLimits::kPropertyListValues) return refuse(tooManyValues());
            if (parent.bytes > InputLimits::kDecodedBytes) {
                return refuse("strings and data " + tooManyBytes(InputLimits::kDecodedBytes));
            }
        }
        return true;
    }

private:
    // The tree an object expands to wherever it stands: its values (itself included) and the bytes
    // of its strings and data. values also marks objects not yet reached and containers whose
    // references are being walked.
    struct Expansion {
        uint64_t values = 0, bytes = 0;
    };
    static constexpr uint64_t kUnvisited = 0, kOnPath = UINT64_MAX;

    // A container on the path from the top object; its references are read one at a time.
    struct Frame {
        uint64_t object;
        size_t refsAt;      // offset of the first reference
        uint64_t refCount;  // references (twice the entry count for a dictionary)
        uint64_t next = 0;
        uint64_t values = 0, bytes = 0;  // expansion of the children walked so far
    };

    bool refuse(const std::string& reason) const {
        *reason_ = reason;
        return false;
    }

    bool fail(const char* what) const { return refuse(std::string("malformed binary property list (") + what + ")"); }

    bool readTrailer() {
        if (bytes_.size() < kBinaryMagic.size() + 1 + kBinaryTrailerSize) return false;
        tableEnd_ = bytes_.size() - kBinaryTrailerSize;
        offsetSize_ = static_cast<unsigned char>(bytes_[tableEnd_ + 6]);
        refSize_ = static_cast<unsigned char>(bytes_[tableEnd_ + 7]);
        objectCount_ = readBigEndian(bytes_, tableEnd_ + 8, 8);
        top_ = readBigEndian(bytes_, tableEnd_ + 16, 8);
        tableOffset_ = readBigEndian(bytes_, tableEnd_ + 24, 8);
        return offsetSize_ >= 1 && offsetSize_ <= 8 && refSize_ >= 1 && refSize_ <= 8 && objectCount_ > 0 &&
               top_ < objectCount_ && tableOffset_ > kBinaryMagic.size() && tableOffset_ <= tableEnd_ &&
               objectCount_ <= (tableEnd_ - tableOffset_) / offsetSize_;
    }

    // Checks the object's extent and content; a scalar is done at once, a container goes onto the path.
    bool enter(uint64_t object, std::vector<Frame>& path) {
        const uint64_t offset = readBigEndian(bytes_, tableOffset_ + object * offsetSize_, offsetSize_);
        if (offset < kBinaryMagic.size() || offset >= tableOffset_) return fail("bad offset");
        size_t at = offset + 1;
        const unsigned marker = static_cast<unsigned char>(bytes_[offset]);
        const unsigned type = marker >> 4, info = marker & 0xF;
        const bool isContainer = type >= 0xA && type <= 0xD;
        uint64_t length = info;
        if (info == 0xF && (isContainer || (type >= 0x4 && type <= 0x6)) && !readLength(at, length)) {
            return fail("bad length");
        }
        const uint64_t room = tableOffset_ - at;
        uint64_t payload = 0, refCount = 0;
        switch (type) {
            case 0x0: break;
            case 0x1: if (info > 4) return fail("bad integer"); payload = uint64_t{1} << info; break;
            case 0x2: if (info > 3) return fail("bad real"); payload = uint64_t{1} << info; break;
            case 0x3: if (info != 3) return fail("bad date"); payload = 8; break;
            case 0x4: case 0x5: payload = length; break;
            case 0x6: if (length > room / 2) return fail("bad length"); payload = 2 * length; break;
            case 0x8: payload = info + 1; break;
            case 0xA: case 0xB: case 0xC: refCount = length; break;
            case 0xD: if (length > room) return fail("bad length"); refCount = 2 * length; break;
            default: return fail("unknown object type");
        }
        if (refCount > room / refSize_) return fail("bad length");
        if (isContainer) payload = refCount * refSize_;
        if (payload > room) return fail("object runs past the offset table");
        if (!isContainer) {
            if (!checkScalar(type, info, bytes_.substr(at, payload))) return false;
            // A keyed-archive reference reads as a dictionary of one key and one integer.
            expansions_[object] = {type == 0x8 ? 3u : 1u, type >= 0x4 && type <= 0x6 ? payload : 0};
            return true;
        }
        if (path.size() == static_cast<size_t>(kMaxDepth)) return refuse(nestedTooDeep());
        expansions_[object].values = kOnPath;
        path.push_back({object, at, refCount});
        return true;
    }

    // An object count above 14 follows the marker as an integer object of 1, 2, 4 or 8 bytes.
    bool readLength(size_t& at, uint64_t& length) const {
        if (at >= tableOffset_) return false;
        const unsigned marker = static_cast<unsigned char>(bytes_[at]);
        if (marker >> 4 != 0x1 || (marker & 0xF) > 3) return false;
        const size_t size = size_t{1} << (marker & 0xF);
        if (size > tableOffset_ - at - 1) return false;
        length = readBigEndian(bytes_, at + 1, size);
        at += 1 + size;
        return true;
    }

    bool checkScalar(unsigned type, unsigned info, std::string_view payload) const {
        switch (type) {
            case 0x1:  // a 16-byte integer holds an unsigned 64-bit one in its low half
                if (info == 4 && readBigEndian(payload, 0, 8) != 0) return fail("integer out of range");
                return true;
            case 0x3:
                if (!isDateInRange(doubleFromBits(readBigEndian(payload, 0, 8)))) return fail("date out of range");
                return true;
            case 0x5:
                if (payload.find('\0') != std::string_view::npos) return fail("NUL character in a string");
                return true;
            case 0x6: return checkUTF16(payload);
            default: return true;
        }
    }

    // libplist keeps a UTF-16 NUL inside the decoded string, and reading that string back fails an
    // assertion in the library, which aborts the program.
    bool checkUTF16(std::string_view payload) const {
        for (size_t at = 0; at < payload.size(); at += 2) {
            const uint64_t unit = readBigEndian(payload, at, 2);
            if (unit == 0) return fail("NUL character in a string");
            if (unit < 0xD800 || unit > 0xDFFF) continue;
            const bool paired = unit < 0xDC00 && at + 2 < payload.size() &&
                                (readBigEndian(payload, at + 2, 2) & 0xFC00) == 0xDC00;
            if (!paired) return fail("unpaired surrogate in a string");
            at += 2;
        }
        return true;
    }

    std::string_view bytes_;
    std::string* reason_;
    size_t tableEnd_ = 0;
    size_t offsetSize_ = 0, refSize_ = 0;
    uint64_t objectCount_ = 0, top_ = 0, tableOffset_ = 0;
    std::vector<Expansion> expansions_;  // per object
};

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

// The value of a run of decimal digits, or -1 when it is empty or holds anything else.
int64_t digitsValue(std::string_view text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? int64_t{value} : -1;
}

// A plain decimal within 64 bits (signed, or unsigned when positive), blanks around allowed: what
// libplist's base-0 reading reads as written. It reads "010" as octal and "0x10" as hex, and
// saturates or wraps what does not fit.
bool isIntegerText(std::string_view text) {
    text = trimmed(text);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) text.remove_prefix(1);
    if (text.empty() || (text.size() > 1 && text[0] == '0')) return false;
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    return error == std::errc() && end == text.data() + text.size() && (!negative || magnitude <= uint64_t{1} << 63);
}

// A number strtod reads whole, blanks around allowed; libplist reads the leading number of any text
// and 0 when there is none.
bool isRealText(std::string_view text) {
    const std::string number(trimmed(text));
    char* end = nullptr;
    std::strtod(number.c_str(), &end);
    return !number.empty() && end == number.c_str() + number.size();
}

// Y-MM-DDTHH:MM:SSZ with a year of one to four digits from 1 (libplist writes years below 1000
// without leading zeros), naming a real day and time. libplist reads anything else as some other
// date: garbage as 1970, month 13 as the next year, February 30 as March 2.
bool isDateText(std::string_view text) {
    constexpr std::string_view kLayout = "-00-00T00:00:00Z";  // after the year; '0' stands for a digit
    const size_t dash = text.find('-');
    if (dash < 1 || dash > 4 || text.size() != dash + kLayout.size()) return false;
    for (size_t i = 0; i < kLayout.size(); ++i) {
        const char c = text[dash + i];
        if (kLayout[i] == '0' ? c < '0' || c > '9' : c != kLayout[i]) return false;
    }
    const auto field = [&](size_t at) { return digitsValue(text.substr(dash + at, 2)); };
    const int64_t year = digitsValue(text.substr(0, dash)), month = field(1), day = field(4);
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 &&
           day <= kMonthDays[month - 1] + (month == 2 && leap ? 1 : 0) && field(7) < 24 && field(10) < 60 &&
           field(13) < 60;
}

// Offset just past the markup that starts at text[start] == '<', as libplist 2.2 ends it (the end
// of the text when it is not closed): a comment at the first "-->" after "<!--", a CDATA section at
// the first "]]>"; a processing instruction at the first "?>" outside double quotes, found from the
// '?' on (so "<?>" closes itself); everything else at the first '>' outside double quotes (libplist
// takes no notice of single quotes).
size_t markupEnd(std::string_view text, size_t start) {
    const std::string_view rest = text.substr(start);
    for (auto [opening, closing] : {std::pair<std::string_view, std::string_view>{"<!--", "-->"},
                                    {"<![CDATA[", "]]>"}}) {
        if (!rest.starts_with(opening)) continue;
        const size_t end = rest.find(closing, opening.size());
        return end == std::string_view::npos ? text.size() : start + end + closing.size();
    }
    const bool instruction = rest.starts_with("<?");
    bool quoted = false;
    for (size_t at = 1; at < rest.size(); ++at) {
        if (rest[at] == '"') quoted = !quoted;
        if (!quoted && rest[at] == '>' && (!instruction || rest[at - 1] == '?')) return start + at + 1;
    }
    return text.size();
}

size_t countOpenings(std::string_view markup) {
    size_t count = 0;
    for (std::string_view tag : {"<array", "<dict"}) {
        for (size_t at = markup.find(tag); at != std::string_view::npos; at = markup.find(tag, at + 1)) ++count;
    }
    return count;
}

// Walks XML text the way libplist 2.2 reads it, before libplist sees it, and refuses:
// - a NUL byte (which XML does not allow anyway): inside a string libplist keeps it, and reading the
//   string back fails an assertion in the library, which aborts the program;
// - nesting deeper than kNestingDepth: libplist frees a tree recursively, also the half-built tree
//   of a document it rejects, so deep enough nesting overflows the stack whatever else the text
//   says. The count reads markup as markupEnd() ends it, skips comments, CDATA sections and
//   processing instructions as XML does (refusing an instruction that XML would end elsewhere),
//   and errs on the side of too deep where XML and libplist may read a tag differently: every
//   "<array" or "<dict" inside a tag or declaration counts as an opening, except the name of a tag
//   that closes itself ("<array/>", "<dict />"), and only "</array>" and "</dict>" (blanks allowed
//   before '>') count as closings;
// - a DOCTYPE with an internal subset, since where such a subset ends is libplist's own business;
// - more than kPropertyListValues values, keys included;
// - what libplist would read as a made-up value: an integer, real or date whose text is not one
//   (see isIntegerText and the others), a character reference to U+0000, a surrogate or a code
//   point beyond U+10FFFF (libplist writes those as bytes that are not UTF-8) or one without its
//   ';' (libplist drops it and the rest of the text), a key outside a dictionary (libplist reads it
//   as a string) and a dictionary's last key without a value (libplist drops it).
class XMLListCheck {
public:
    XMLListCheck(std::string_view text, std::string* reason) : text_(text), reason_(reason) {}

    bool run() {
        if (text_.find('\0') != std::string_view::npos) return fail("NUL byte in XML text");
        for (size_t at = 0; at < text_.size();) {
            const size_t start = std::min(text_.find('<', at), text_.size());
            const std::string_view text = text_.substr(at, start - at);
            if (!checkReferences(text)) return false;
            if (start == text_.size()) break;
            const size_t end = markupEnd(text_, start);
            const std::string_view markup = text_.substr(start, end - start);
            if (!scalar_.empty()) {
                if (!isClosing(markup, scalar_)) return fail("markup inside <" + std::string(scalar_) + ">");
                if (!checkScalar(scalar_, text)) return false;
                scalar_ = {};
            }
            if (!markup.starts_with("<!--") && !markup.starts_with("<![CDATA[") && !readMarkup(markup)) return false;
            at = end;
        }
        return true;
    }

private:
    // An open array or dictionary element.
    struct Container {
        bool isDictionary;
        bool keyPending = false;  // a dictionary's key read, its value not yet
    };

    bool fail(const std::string& reason) const {
        *reason_ = reason;
        return false;
    }

    static std::string_view tagName(std::string_view markup) {
        const size_t from = markup.starts_with("</") ? 2 : 1;
        return markup.substr(from, markup.find_first_of(" \t\r\n/>", from) - from);
    }

    // "</name>", blanks allowed before the '>'.
    static bool isClosing(std::string_view markup, std::string_view name) {
        return markup.starts_with("</") && tagName(markup) == name && markup.ends_with('>') &&
               markup.find_first_not_of(kBlanks, 2 + name.size()) == markup.size() - 1;
    }

    bool readMarkup(std::string_view markup) {
        const bool isTag = !markup.starts_with("<!") && !markup.starts_with("</");
        const std::string_view name = tagName(markup);
        const bool isContainer = name == "array" || name == "dict";
        if (isContainer && isClosing(markup, name)) {
            if (depth_ > 0) --depth_;
            if (containers_.empty()) return true;
            if (containers_.back().keyPending) return fail("dictionary key without a value");
            containers_.pop_back();
            return true;
        }
        if (markup.starts_with("<?")) {
            // XML ends an instruction at the first "?>" after "<?"; where libplist ends it elsewhere,
            // what it reads next is not what the count saw.
            if (markup.find("?>", 2) != markup.size() - 2) return fail("malformed processing instruction");
            return true;
        }
        if (markup.starts_with("<!") && markup.find('[') != std::string_view::npos) {
            return fail("document type declarations with an internal subset are not accepted");
        }
        const bool closesItself = markup.ends_with("/>");
        depth_ += countOpenings(markup) - (isTag && isContainer && closesItself ? 1 : 0);
        if (depth_ > static_cast<size_t>(kMaxDepth)) return fail(nestedTooDeep());
        if (!isTag) return true;

        constexpr std::string_view kValueNames[] = {"key", "array", "dict", "string", "integer",
                                                    "real", "true", "false", "date", "data"};
        if (std::find(std::begin(kValueNames), std::end(kValueNames), name) == std::end(kValueNames)) return true;
        if (++values_ > InputLimits::kPropertyListValues) return fail(tooManyValues());
        const bool inDictionary = !containers_.empty() && containers_.back().isDictionary;
        if (name == "key" && !inDictionary) return fail("key outside a dictionary");
        if (inDictionary) containers_.back().keyPending = name == "key";
        if (isContainer && !closesItself) containers_.push_back({name == "dict"});
        if (name == "integer" || name == "real" || name == "date") {
            if (closesItself) return checkScalar(name, {});
            scalar_ = name;
        }
        return true;
    }

    bool checkScalar(std::string_view name, std::string_view text) const {
        const bool valid = name == "integer" ? isIntegerText(text) : name == "real" ? isRealText(text) : isDateText(text);
        return valid || fail("bad " + std::string(name) + " \"" + std::string(text.substr(0, 40)) + "\"");
    }

    bool checkReferences(std::string_view text) const {
        for (size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&', at + 1)) {
            const size_t end = text.find(';', at);
            if (end == std::string_view::npos) return fail("character reference without ';'");
            std::string_view name = text.substr(at + 1, end - at - 1);
            if (name == "lt" || name == "gt" || name == "amp" || name == "apos" || name == "quot") continue;
            const int base = name.starts_with("#x") ? 16 : 10;
            name.remove_prefix(std::min<size_t>(name.size(), base == 16 ? 2 : 1));
            uint32_t code = 0;
            const auto [last, error] = std::from_chars(name.data(), name.data() + name.size(), code, base);
            const bool valid = !name.empty() && text[at + 1] == '#' && error == std::errc() &&
                               last == name.data() + name.size() && code != 0 && code <= 0x10FFFF &&
                               (code < 0xD800 || code > 0xDFFF);
            if (!valid) return fail("bad character reference \"" + std::string(text.substr(at, end + 1 - at)) + "\"");
        }
        return true;
    }

    std::string_view text_;
    std::string* reason_;
    size_t depth_ = 0;                   // conservative nesting, see the class comment
    uint64_t values_ = 0;
    std::vector<Container> containers_;  // the open arrays and dictionaries, at most depth_ of them
    std::string_view scalar_;            // an open integer, real or date element, whose text comes next
};

// libplist 2.2 has no interface for two things a list can hold: a date outside the 32-bit seconds
// its date functions take, and the mark that tells an unsigned integer above INT64_MAX from a
// negative one. Its binary form carries both exactly, so those scalars travel as one-object binary
// lists: these give the object bytes (marker and payload) of a scalar node, and a node made from
// such bytes.
std::string binaryObjectOf(plist_t node) {
    char* list = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &list, &length);
    if (!list) return {};
    const std::unique_ptr<char, decltype(&plist_to_bin_free)> owner(list, &plist_to_bin_free);
    const std::string_view bytes(list, length);
    if (length <= kBinaryMagic.size() + kBinaryTrailerSize) return {};
    const uint64_t tableOffset = readBigEndian(bytes, length - 8, 8);
    if (tableOffset <= kBinaryMagic.size() || tableOffset >= length) return {};
    return std::string(bytes.substr(kBinaryMagic.size(), tableOffset - kBinaryMagic.size()));
}

plist_t nodeFromBinaryObject(std::string_view object) {
    std::string list(kBinaryMagic);
    list += object;
    list += static_cast<char>(kBinaryMagic.size());  // offset table: the object follows the magic
    list.append(6, '\0');
    list += '\1';  // offset size
    list += '\1';  // reference size
    appendBigEndian(list, 1, 8);  // object count
    appendBigEndian(list, 0, 8);  // top object
    appendBigEndian(list, kBinaryMagic.size() + object.size(), 8);  // offset table offset
    plist_t node = nullptr;
    plist_from_bin(list.data(), static_cast<uint32_t>(list.size()), &node);
    return node;
}

std::string takeString(char* text) {
    const std::unique_ptr<char, decltype(&std::free)> owner(text, &std::free);
    return text ? text : "";
}

std::optional<Value> valueFromNode(plist_t node, int depth, std::string* reason) {
    const plist_type type = plist_get_node_type(node);
    // The checks bound the nesting of containers; a reference becomes a dictionary one level down.
    if (type == PLIST_UID && depth >= kMaxDepth) {
        *reason = nestedTooDeep();
        return std::nullopt;
    }
    switch (type) {
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            return Value(flag != 0);
        }
        case PLIST_UINT: {
            uint64_t number = 0;
            plist_get_uint_val(node, &number);
            if (number <= static_cast<uint64_t>(INT64_MAX)) return Value(static_cast<int64_t>(number));
            // Above INT64_MAX the bits are either a negative integer or a big unsigned one; only
            // the unsigned kind is stored in 16 bytes.
            const std::string object = binaryObjectOf(node);
            const bool isUnsigned = !object.empty() && object[0] == '\x14';
            return isUnsigned ? Value(number) : Value(static_cast<int64_t>(number));
        }
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(node, &number);
            return Value(number);
        }
        case PLIST_STRING: {
            char* text = nullptr;
            plist_get_string_val(node, &text);
            return Value(takeString(text));
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            uint64_t length = 0;
            plist_get_data_val(node, &bytes, &length);
            const std::unique_ptr<char, decltype(&std::free)> owner(bytes, &std::free);
            return Value::data(std::string(bytes ? bytes : "", bytes ? length : 0));
        }
        case PLIST_DATE: {
            const std::string object = binaryObjectOf(node);
            if (object.size() != 9 || object[0] != '\x33') {
                *reason = "unreadable date";
                return std::nullopt;
            }
            // The text checks should leave no other; this keeps what is read writable whatever slips past.
            const double seconds = doubleFromBits(readBigEndian(object, 1, 8));
            if (!isDateInRange(seconds)) {
                *reason = "date out of range";
                return std::nullopt;
            }
            return Value::date(seconds);
        }
        case PLIST_UID: {
            // The form XML lists use for keyed-archive references.
            uint64_t number = 0;
            plist_get_uid_val(node, &number);
            Value reference = Value::dictionary();
            reference.set("CF$UID", number);
            return reference;
        }
        case PLIST_ARRAY: {
            Value list = Value::array();
            plist_array_iter iterator = nullptr;
            plist_array_new_iter(node, &iterator);
            const std::unique_ptr<void, decltype(&std::free)> iteratorOwner(iterator, &std::free);
            for (plist_t item = nullptr;;) {
                plist_array_next_item(node, iterator, &item);
                if (!item) break;
                auto element = valueFromNode(item, depth + 1, reason);
                if (!element) return std::nullopt;
                list.append(std::move(*element));
            }
            return list;
        }
        case PLIST_DICT: {
            Value dictionary = Value::dictionary();
            plist_dict_iter iterator = nullptr;
            plist_dict_new_iter(node, &iterator);
            const std::unique_ptr<void, decltype(&std::free)> iteratorOwner(iterator, &std::free);
            for (;;) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, iterator, &key, &item);
                std::string name = takeString(key);
                if (!item) break;
                auto element = valueFromNode(item, depth + 1, reason);
                if (!element) return std::nullopt;
                dictionary.set(std::move(name), std::move(*element));
            }
            return dictionary;
        }
        default:
            *reason = "unexpected node type " + std::to_string(type);
            return std::nullopt;
    }
}

std::optional<Value> parseList(std::string_view bytes, std::string* reason) {
    if (bytes.empty()) {
        *reason = "empty input";
        return std::nullopt;
    }
    if (bytes.size() > InputLimits::kFileBytes) {
        *reason = tooManyBytes(InputLimits::kFileBytes);
        return std::nullopt;
    }
    plist_t root = nullptr;
    if (bytes.starts_with(kBinaryMagic)) {
        if (!BinaryListCheck(bytes, reason).run()) return std::nullopt;
        plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        if (!root) *reason = "malformed binary property list";
    } else {
        // The parser refuses a UTF-8 byte order mark, which some editors put before the text.
        if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        if (!XMLListCheck(bytes, reason).run()) return std::nullopt;
        plist_from_xml(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        if (!root) *reason = "not an XML or binary property list";
    }
    if (!root) return std::nullopt;
    const PlistOwner owner(root);
    return valueFromNode(root, 0, reason);
}

// The text with every byte that does not start a well-formed UTF-8 sequence (no overlong forms,
// no surrogates, nothing above U+10FFFF) replaced by U+FFFD; libplist writes such bytes into binary
// lists that it then cannot read back.
std::string validUTF8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            result += "\xEF\xBF\xBD";
            ++at;
        } else {
            result.append(text.substr(at, length));
            at += length;
        }
    }
    return result;
}

// Converts a tree for libplist and keeps the output within kFileBytes. The running estimate of the
// output counts a tag per value (a marker and a reference in binary), XML's indentation, and the
// bytes of keys, strings and data (data as base64 in XML): less than libplist writes, so that a
// tree over the cap is refused before libplist builds it; the written output is checked exactly.
class ListWriter {
public:
    explicit ListWriter(bool binary) : binary_(binary) {}

    // The list's bytes, or empty with one line logged.
    std::string write(const Value& value) {
        std::string result;
        try {
            const PlistOwner root(toNode(value, 0));
            if (root) result = serialized(root.get());
        } catch (const std::bad_alloc&) {
            result.clear();
            reason_ = "out of memory";
        }
        if (result.empty()) logLine("Value: cannot write a property list: %s", reason_.c_str());
        return result;
    }

private:
    plist_t refuse(std::string reason) {
        reason_ = std::move(reason);
        return nullptr;
    }

    bool take(uint64_t bytes, int depth) {
        estimate_ += bytes + (binary_ ? 2 : 8 + static_cast<uint64_t>(depth));
        if (estimate_ <= InputLimits::kFileBytes) return true;
        reason_ = tooManyBytes(InputLimits::kFileBytes);
        return false;
    }

    // A new libplist node for the value (owned by the caller), or null with the reason.
    plist_t toNode(const Value& value, int depth) {
        switch (value.kind()) {
            case Value::Kind::None: return refuse("a none value has no property-list form");
            case Value::Kind::Dictionary:
            case Value::Kind::Array: {
                if (depth >= kMaxDepth) return refuse(nestedTooDeep());
                if (!take(0, depth)) return nullptr;
                const bool isDictionary = value.isDictionary();
                PlistOwner node(isDictionary ? plist_new_dict() : plist_new_array());
                for (size_t i = 0; i < value.count(); ++i) {
                    if (isDictionary && !take(value.entries()[i].first.size(), depth + 1)) return nullptr;
                    plist_t child = toNode(isDictionary ? value.entries()[i].second : value.elements()[i], depth + 1);
                    if (!child) return nullptr;
                    if (isDictionary) {
                        plist_dict_set_item(node.get(), validUTF8(value.entries()[i].first).c_str(), child);
                    } else {
                        plist_array_append_item(node.get(), child);
                    }
                }
                return node.release();
            }
            case Value::Kind::String: {
                const std::string text = validUTF8(value.stringValue());
                return take(text.size(), depth) ? plist_new_string(text.c_str()) : nullptr;
            }
            case Value::Kind::Data: {
                const std::string& bytes = value.bytes();
                const uint64_t written = binary_ ? bytes.size() : bytes.size() / 3 * 4;
                return take(written, depth) ? plist_new_data(bytes.data(), bytes.size()) : nullptr;
            }
            case Value::Kind::Date: {
                const double seconds = value.timeIntervalSinceReferenceDate();
                if (!isDateInRange(seconds)) return refuse("a date outside the years 1 to 9999");
                if (!take(0, depth)) return nullptr;
                uint64_t bits;
                std::memcpy(&bits, &seconds, sizeof bits);
                std::string object("\x33", 1);
                appendBigEndian(object, bits, 8);
                return nodeFromBinaryObject(object);
            }
            default: break;  // numbers
        }
        if (!take(0, depth)) return nullptr;
        if (value.isReal()) return plist_new_real(value.doubleValue());
        if (value.isBool()) return plist_new_bool(value.boolValue() ? 1 : 0);
        if (!value.isUnsignedInteger()) return plist_new_uint(static_cast<uint64_t>(value.integerValue()));
        std::string object("\x14", 1);  // a 16-byte integer: high half zero, then the bits
        appendBigEndian(object, 0, 8);
        appendBigEndian(object, value.unsignedIntegerValue(), 8);
        return nodeFromBinaryObject(object);
    }

    std::string serialized(plist_t root) {
        char* bytes = nullptr;
        uint32_t length = 0;
        binary_ ? plist_to_bin(root, &bytes, &length) : plist_to_xml(root, &bytes, &length);
        const std::unique_ptr<char, decltype(&plist_to_bin_free)> owner(bytes, binary_ ? &plist_to_bin_free
                                                                                        : &plist_to_xml_free);
        if (!bytes) reason_ = "libplist wrote nothing";
        if (length > InputLimits::kFileBytes) reason_ = tooManyBytes(InputLimits::kFileBytes);
        return bytes && length <= InputLimits::kFileBytes ? std::string(bytes, length) : std::string();
    }

    const bool binary_;
    uint64_t estimate_ = 0;  // bytes of output so far, see the class comment
    std::string reason_;
};

std::optional<Value> reportFailure(const std::string& source, const std::string& reason, std::string* error) {
    const std::string text = "Value: cannot parse " + source + ": " + reason;
    if (error) *error = text; else logLine("%s", text.c_str());
    return std::nullopt;
}
}  // namespace

// Allocation failure is one more refusal: a list within the budgets needs a few hundred MB at most,
// which a small machine may still lack.
std::optional<Value> Value::fromBytes(const std::string& bytes, std::string* error) {
    std::string reason;
    try {
        if (auto value = parseList(bytes, &reason)) return value;
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    }
    return reportFailure("property list data", reason, error);
}

std::optional<Value> Value::fromFile(const std::string& path, std::string* error) {
    std::string reason;
    try {
        std::vector<uint8_t> bytes;
        if (!readRegularFile(path, InputLimits::kFileBytes, &bytes, &reason)) {
            reason = "cannot read (" + reason + ")";
        } else if (auto value = parseList({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, &reason)) {
            return value;
        }
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    }
    return reportFailure(path, reason, error);
}

std::string Value::toXML() const { return ListWriter(false).write(*this); }

std::string Value::toBinary() const { return ListWriter(true).write(*this); }
