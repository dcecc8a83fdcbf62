#include "platform/foundation/Value.h"

#include <plist/plist.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

static_assert(std::is_nothrow_move_constructible_v<Value> && std::is_nothrow_move_assignable_v<Value>,
              "containers of values must move, not copy, when they grow");

namespace {
// Constant-initialised, so that lookups made by other files' static initialisers find them ready.
constinit const Value kNone;
constinit const std::vector<Value::Entry> kNoEntries;
constinit const std::vector<Value> kNoElements;

template <typename Target>
Target saturated(double number) {
    if (std::isnan(number)) return 0;
    // Both limits are exact in a double for 32- and 64-bit targets (INT64_MAX rounds up to 2^63,
    // which is out of range, hence >=).
    if (number <= static_cast<double>(std::numeric_limits<Target>::min())) return std::numeric_limits<Target>::min();
    if (number >= static_cast<double>(std::numeric_limits<Target>::max())) return std::numeric_limits<Target>::max();
    return static_cast<Target>(number);
}

// The shortest digits that read back to the same double, laid out as "%.17g" lays them out:
// fixed notation for decimal exponents from -4 to 16, scientific otherwise.
std::string realString(double number) {
    if (!std::isfinite(number)) return std::isnan(number) ? "nan" : (number < 0 ? "-inf" : "inf");
    char text[64];
    const auto scientific = std::to_chars(text, text + sizeof text, number, std::chars_format::scientific);
    const std::string_view shortest(text, static_cast<size_t>(scientific.ptr - text));
    const size_t e = shortest.find('e');
    int digits = 0;
    for (char c : shortest.substr(0, e)) digits += c >= '0' && c <= '9';
    const int exponent = std::atoi(shortest.data() + e + 1);
    if (exponent < -4 || exponent >= 17) return std::string(shortest);
    const auto fixed = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed,
                                     std::max(0, digits - 1 - exponent));
    return std::string(text, fixed.ptr);
}
}  // namespace

Value::Value(std::string text) : storage_(std::move(text)) {}

Value::Value(const char* text) {
    if (text) storage_ = std::string(text);
}

Value::Value(bool flag) : storage_(flag) {}

Value::Value(double number) : storage_(Real{number}) {}

Value Value::dictionary() {
    Value value;
    value.storage_ = Dictionary{};
    return value;
}

Value Value::array() {
    Value value;
    value.storage_ = std::vector<Value>{};
    return value;
}

Value Value::data(std::string bytes) {
    Value value;
    value.storage_ = Data{std::move(bytes)};
    return value;
}

Value Value::date(double secondsSinceReferenceDate) {
    Value value;
    value.storage_ = Date{{secondsSinceReferenceDate}};
    return value;
}

bool Value::isUnsignedInteger() const {
    const auto* number = std::get_if<Integer>(&storage_);
    return number && number->isUnsigned;
}

const Value& Value::objectForKey(std::string_view key) const {
    const auto* dictionary = std::get_if<Dictionary>(&storage_);
    if (!dictionary) return kNone;
    const auto found = dictionary->index.find(key);
    return found == dictionary->index.end() ? kNone : dictionary->entries[found->second].second;
}

const Value& Value::at(size_t index) const {
    const auto& list = elements();
    return index < list.size() ? list[index] : kNone;
}

size_t Value::count() const {
    if (const auto* dictionary = std::get_if<Dictionary>(&storage_)) return dictionary->entries.size();
    return elements().size();
}

std::vector<std::string> Value::keys() const {
    std::vector<std::string> result;
    for (const auto& entry : entries()) result.push_back(entry.first);
    return result;
}

const std::vector<Value::Entry>& Value::entries() const {
    const auto* dictionary = std::get_if<Dictionary>(&storage_);
    return dictionary ? dictionary->entries : kNoEntries;
}

const std::vector<Value>& Value::elements() const {
    const auto* list = std::get_if<std::vector<Value>>(&storage_);
    return list ? *list : kNoElements;
}

void Value::set(std::string key, Value value) {
    auto* dictionary = std::get_if<Dictionary>(&storage_);
    if (!dictionary) throw NamedException("NSInvalidArgumentException", "set(key, value) on a value that is not a dictionary");
    const auto [position, added] = dictionary->index.try_emplace(key, dictionary->entries.size());
    if (added) {
        dictionary->entries.emplace_back(std::move(key), std::move(value));
    } else {
        dictionary->entries[position->second].second = std::move(value);
    }
}

void Value::append(Value value) {
    auto* list = std::get_if<std::vector<Value>>(&storage_);
    if (!list) throw NamedException("NSInvalidArgumentException", "append(value) on a value that is not an array");
    list->push_back(std::move(value));
}

int32_t Value::intValue() const {
    if (const auto* text = std::get_if<std::string>(&storage_)) return stringIntValue(*text);
    const int64_t number = integerValue();
    return static_cast<int32_t>(std::clamp<int64_t>(number, INT32_MIN, INT32_MAX));
}

int64_t Value::integerValue() const {
    switch (kind()) {
        case Kind::String: return stringIntegerValue(std::get<std::string>(storage_));
        case Kind::Integer: {
            const Integer number = std::get<Integer>(storage_);
            return number.isUnsigned ? INT64_MAX : number.bits;
        }
        case Kind::Real: return saturated<int64_t>(std::get<Real>(storage_).number);
        case Kind::Bool: return std::get<bool>(storage_) ? 1 : 0;
        default: return 0;
    }
}

uint64_t Value::unsignedIntegerValue() const {
    if (const auto* number = std::get_if<Integer>(&storage_)) return static_cast<uint64_t>(number->bits);
    if (const auto* real = std::get_if<Real>(&storage_); real && real->number > 0) return saturated<uint64_t>(real->number);
    return static_cast<uint64_t>(integerValue());
}

float Value::floatValue() const {
    if (const auto* text = std::get_if<std::string>(&storage_)) return stringFloatValue(*text);
    return static_cast<float>(doubleValue());
}

double Value::doubleValue() const {
    switch (kind()) {
        case Kind::String: return stringDoubleValue(std::get<std::string>(storage_));
        case Kind::Integer: {
            const Integer number = std::get<Integer>(storage_);
            return number.isUnsigned ? static_cast<double>(static_cast<uint64_t>(number.bits))
                                     : static_cast<double>(number.bits);
        }
        case Kind::Real: return std::get<Real>(storage_).number;
        case Kind::Bool: return std::get<bool>(storage_) ? 1.0 : 0.0;
        default: return 0.0;
    }
}

bool Value::boolValue() const {
    switch (kind()) {
        case Kind::String: return stringBoolValue(std::get<std::string>(storage_));
        case Kind::Integer: return std::get<Integer>(storage_).bits != 0;
        case Kind::Real: return std::get<Real>(storage_).number != 0.0;
        case Kind::Bool: return std::get<bool>(storage_);
        default: return false;
    }
}

std::string Value::stringValue() const {
    switch (kind()) {
        case Kind::String: return std::get<std::string>(storage_);
        case Kind::Integer: {
            const Integer number = std::get<Integer>(storage_);
            return number.isUnsigned ? std::to_string(static_cast<uint64_t>(number.bits)) : std::to_string(number.bits);
        }
        case Kind::Real: return realString(std::get<Real>(storage_).number);
        case Kind::Bool: return std::get<bool>(storage_) ? "1" : "0";
        default: return {};
    }
}

const std::string& Value::bytes() const {
    static const std::string none;
    const auto* data = std::get_if<Data>(&storage_);
    return data ? data->bytes : none;
}

double Value::timeIntervalSinceReferenceDate() const {
    const auto* date = std::get_if<Date>(&storage_);
    return date ? date->seconds.number : 0.0;
}

bool operator==(const Value& a, const Value& b) { return a.storage_ == b.storage_; }

// ---------------------------------------------------------------------------------------------
// Reading and writing through libplist 2.2.

namespace {
// Larger than any list the program reads or writes by orders of magnitude; bounds the memory that
// a hostile list can make the reader spend (see BinaryListCheck).
constexpr size_t kMaxInputBytes = 16 << 20;
constexpr std::string_view kBinaryMagic = "bplist00";
constexpr size_t kBinaryTrailerSize = 32;

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

// libplist 2.2 decodes a binary list recursively, decodes a shared object again at every reference
// (so a few objects that reference each other twice expand to millions of nodes) and trusts the
// lengths it reads. Before it sees a binary list, this walks the list's object graph from the top
// object without recursion and refuses: a trailer, offset or length that points outside the list,
// an unknown object type, a reference cycle, containers nested deeper than Value::kMaxDepth, an
// expanded tree of more than two nodes per input byte (a list written without shared containers
// expands to at most one node per byte, since every reference takes at least one byte), and a
// UTF-16 string holding U+0000.
class BinaryListCheck {
public:
    BinaryListCheck(std::string_view bytes, std::string* reason) : bytes_(bytes), reason_(reason) {}

    bool run() {
        if (!readTrailer()) return fail("bad trailer");
        const uint64_t maxNodes = 2 * static_cast<uint64_t>(bytes_.size());
        nodes_.assign(objectCount_, kUnvisited);
        std::vector<Frame> path;
        if (!enter(top_, path)) return false;
        while (!path.empty()) {
            Frame& frame = path.back();
            uint64_t child = frame.object;
            if (frame.next == frame.refCount) {
                nodes_[frame.object] = static_cast<uint32_t>(frame.nodes + 1);
                path.pop_back();
                if (path.empty()) break;
            } else {
                child = readBigEndian(bytes_, frame.refsAt + frame.next * refSize_, refSize_);
                ++frame.next;
                if (child >= objectCount_) return fail("bad reference");
                if (nodes_[child] == kOnPath) return fail("reference cycle");
                if (nodes_[child] == kUnvisited && !enter(child, path)) return false;
                if (nodes_[child] == kOnPath) continue;  // a container, now walked first
            }
            // No sum overflows: every term was within the limit when it was added.
            path.back().nodes += nodes_[child];
            if (path.back().nodes > maxNodes) {
                *reason_ = "binary property list expands too far";
                return false;
            }
        }
        return true;
    }

private:
    // Marks in nodes_ for objects not yet reached and containers whose references are being walked.
    static constexpr uint32_t kUnvisited = 0, kOnPath = UINT32_MAX;

    // A container on the path from the top object; its references are read one at a time.
    struct Frame {
        uint64_t object;
        size_t refsAt;      // offset of the first reference
        uint64_t refCount;  // references (twice the entry count for a dictionary)
        uint64_t next = 0;
        uint64_t nodes = 0;  // expanded nodes of the children walked so far
    };

    bool fail(const char* what) {
        *reason_ = std::string("malformed binary property list (") + what + ")";
        return false;
    }

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

    // Checks the object's extent; a scalar is done at once, a container goes onto the path.
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
        if (type == 0x6 && !noNulUnits(at, length)) return fail("NUL character in a string");
        if (!isContainer) {
            nodes_[object] = 1;
            return true;
        }
        if (path.size() == static_cast<size_t>(Value::kMaxDepth)) {
            *reason_ = "nested deeper than " + std::to_string(Value::kMaxDepth) + " levels";
            return false;
        }
        nodes_[object] = kOnPath;
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

    // libplist keeps a UTF-16 NUL inside the decoded string, and reading that string back fails an
    // assertion in the library, which aborts the program.
    bool noNulUnits(size_t at, uint64_t units) const {
        for (uint64_t i = 0; i < units; ++i) {
            if (bytes_[at + 2 * i] == '\0' && bytes_[at + 2 * i + 1] == '\0') return false;
        }
        return true;
    }

    std::string_view bytes_;
    std::string* reason_;
    size_t tableEnd_ = 0;
    size_t offsetSize_ = 0, refSize_ = 0;
    uint64_t objectCount_ = 0, top_ = 0, tableOffset_ = 0;
    // Per object: kUnvisited, kOnPath, or the nodes of its expanded tree (at most twice the input
    // size plus one).
    std::vector<uint32_t> nodes_;
};

size_t countOpenings(std::string_view markup) {
    size_t count = 0;
    for (std::string_view tag : {"<array", "<dict"}) {
        for (size_t at = markup.find(tag); at != std::string_view::npos; at = markup.find(tag, at + 1)) ++count;
    }
    return count;
}

// Offset just past the markup that starts at text[start] == '<' (the end of the text when it is
// not closed): comments, CDATA sections and processing instructions end at their own terminators,
// everything else at the first '>' outside single or double quotes.
size_t markupEnd(std::string_view text, size_t start) {
    const std::string_view rest = text.substr(start);
    for (auto [opening, closing] : {std::pair<std::string_view, std::string_view>{"<!--", "-->"},
                                    {"<![CDATA[", "]]>"},
                                    {"<?", "?>"}}) {
        if (!rest.starts_with(opening)) continue;
        const size_t end = rest.find(closing, opening.size());
        return end == std::string_view::npos ? text.size() : start + end + closing.size();
    }
    char quote = 0;
    for (size_t at = start + 1; at < text.size(); ++at) {
        const char c = text[at];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return at + 1;
        }
    }
    return text.size();
}

// Refuses XML text that libplist 2.2 cannot be trusted with.
// A NUL byte (which XML does not allow anyway): inside a string the parser keeps it, and reading the
// string back then fails an assertion in the library, which aborts the program.
// Deep nesting: the parser works without recursion but frees a tree recursively, also the
// half-built tree of a document it rejects, so deep enough nesting overflows the stack whatever
// else the text says. The nesting is bounded before the parser sees the text, erring on the side
// of counting too deep: every "<array" or "<dict" inside markup (a tag, its attribute values, a
// comment, a CDATA section) counts as an opening, except the empty tags "<array/>" and "<dict/>"
// themselves, and only the exact tags "</array>" and "</dict>" count as closings (a closing that
// does not match makes the parser stop). A DOCTYPE with an internal subset is refused outright,
// since where such a subset ends is the parser's own business.
bool checkXMLText(std::string_view text, std::string* reason) {
    if (text.find('\0') != std::string_view::npos) {
        *reason = "NUL byte in XML text";
        return false;
    }
    size_t depth = 0;
    for (size_t start = text.find('<'); start != std::string_view::npos; start = text.find('<', start)) {
        const size_t end = markupEnd(text, start);
        const std::string_view markup = text.substr(start, end - start);
        if (markup == "</array>" || markup == "</dict>") {
            if (depth > 0) --depth;
        } else if (markup != "<array/>" && markup != "<dict/>") {
            if (markup.starts_with("<!") && !markup.starts_with("<!--") && !markup.starts_with("<![CDATA[") &&
                markup.find('[') != std::string_view::npos) {
                *reason = "document type declarations with an internal subset are not accepted";
                return false;
            }
            depth += countOpenings(markup);
            if (depth > static_cast<size_t>(Value::kMaxDepth)) {
                *reason = "nested deeper than " + std::to_string(Value::kMaxDepth) + " levels";
                return false;
            }
        }
        start = end;
    }
    return true;
}

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
    const std::string_view bytes(list, length);
    std::string object;
    if (length > kBinaryMagic.size() + kBinaryTrailerSize) {
        const uint64_t tableOffset = readBigEndian(bytes, length - 8, 8);
        if (tableOffset > kBinaryMagic.size() && tableOffset < length) {
            object = bytes.substr(kBinaryMagic.size(), tableOffset - kBinaryMagic.size());
        }
    }
    plist_to_bin_free(list);
    return object;
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

// Bits of a 64-bit floating-point value, most significant byte first.
std::string bigEndianDouble(double number) {
    uint64_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    std::string bytes;
    appendBigEndian(bytes, bits, 8);
    return bytes;
}

std::string takeString(char* text) {
    std::string result = text ? text : "";
    std::free(text);
    return result;
}

std::optional<Value> valueFromNode(plist_t node, int depth, std::string* reason) {
    const plist_type type = plist_get_node_type(node);
    if ((type == PLIST_DICT || type == PLIST_ARRAY || type == PLIST_UID) && depth >= Value::kMaxDepth) {
        *reason = "nested deeper than " + std::to_string(Value::kMaxDepth) + " levels";
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
            std::string data(bytes ? bytes : "", bytes ? length : 0);
            std::free(bytes);
            return Value::data(std::move(data));
        }
        case PLIST_DATE: {
            const std::string object = binaryObjectOf(node);
            if (object.size() != 9 || object[0] != '\x33') {
                *reason = "unreadable date";
                return std::nullopt;
            }
            const uint64_t bits = readBigEndian(object, 1, 8);
            double seconds;
            std::memcpy(&seconds, &bits, sizeof seconds);
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

std::optional<Value> parseList(const std::string& bytes, std::string* reason) {
    if (bytes.empty()) {
        *reason = "empty input";
        return std::nullopt;
    }
    if (bytes.size() > kMaxInputBytes) {
        *reason = "larger than " + std::to_string(kMaxInputBytes) + " bytes";
        return std::nullopt;
    }
    plist_t root = nullptr;
    if (hasPrefix(bytes, kBinaryMagic)) {
        if (!BinaryListCheck(bytes, reason).run()) return std::nullopt;
        plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        if (!root) *reason = "malformed binary property list";
    } else {
        // The parser refuses a UTF-8 byte order mark, which some editors put before the text.
        std::string_view text = bytes;
        if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        if (!checkXMLText(text, reason)) return std::nullopt;
        plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &root);
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
        const auto byte = [&](size_t i) { return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u; };
        const unsigned lead = byte(0);
        size_t length = 0;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            const unsigned low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
            if (byte(1) >= low && byte(1) <= high) length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            const unsigned low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
            if (byte(1) >= low && byte(1) <= high) length = 4;
        }
        for (size_t i = lead >= 0xE0 ? 2 : 1; i < length; ++i) {
            if ((byte(i) & 0xC0) != 0x80) length = 0;
        }
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
}  // namespace

plist_t Value::toNode(const Value& value, int depth, std::string* reason) {
    switch (value.kind()) {
        case Kind::None:
            *reason = "a none value has no property-list form";
            return nullptr;
        case Kind::Dictionary:
        case Kind::Array: {
            if (depth >= kMaxDepth) {
                *reason = "nested deeper than " + std::to_string(kMaxDepth) + " levels";
                return nullptr;
            }
            const bool isDictionary = value.isDictionary();
            PlistOwner node(isDictionary ? plist_new_dict() : plist_new_array());
            for (size_t i = 0; i < value.count(); ++i) {
                plist_t child = toNode(isDictionary ? value.entries()[i].second : value.elements()[i], depth + 1, reason);
                if (!child) return nullptr;
                if (isDictionary) {
                    plist_dict_set_item(node.get(), validUTF8(value.entries()[i].first).c_str(), child);
                } else {
                    plist_array_append_item(node.get(), child);
                }
            }
            return node.release();
        }
        case Kind::String: return plist_new_string(validUTF8(std::get<std::string>(value.storage_)).c_str());
        case Kind::Integer: {
            const Integer number = std::get<Integer>(value.storage_);
            if (!number.isUnsigned) return plist_new_uint(static_cast<uint64_t>(number.bits));
            std::string object("\x14", 1);  // a 16-byte integer: high half zero, then the bits
            appendBigEndian(object, 0, 8);
            appendBigEndian(object, static_cast<uint64_t>(number.bits), 8);
            return nodeFromBinaryObject(object);
        }
        case Kind::Real: return plist_new_real(std::get<Real>(value.storage_).number);
        case Kind::Bool: return plist_new_bool(std::get<bool>(value.storage_) ? 1 : 0);
        case Kind::Data: {
            const std::string& bytes = std::get<Data>(value.storage_).bytes;
            return plist_new_data(bytes.data(), bytes.size());
        }
        case Kind::Date: return nodeFromBinaryObject("\x33" + bigEndianDouble(std::get<Date>(value.storage_).seconds.number));
    }
    return nullptr;
}

std::optional<Value> Value::fromBytes(const std::string& bytes, std::string* error) {
    std::string reason;
    auto value = parseList(bytes, &reason);
    if (!value) {
        const std::string text = "Value: cannot parse property list data: " + reason;
        if (error) *error = text; else logLine("%s", text.c_str());
    }
    return value;
}

std::optional<Value> Value::fromFile(const std::string& path, std::string* error) {
    std::string reason;
    std::optional<Value> value;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reason = std::string("cannot open (") + std::strerror(errno) + ")";
    } else {
        std::string bytes;
        char buffer[1 << 16];
        size_t got;
        while (bytes.size() <= kMaxInputBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, got);
        }
        if (std::ferror(file)) {
            reason = std::string("cannot read (") + std::strerror(errno) + ")";
        } else {
            value = parseList(bytes, &reason);
        }
        std::fclose(file);
    }
    if (!value) {
        const std::string text = "Value: cannot parse " + path + ": " + reason;
        if (error) *error = text; else logLine("%s", text.c_str());
    }
    return value;
}

std::string Value::serialized(bool binary) const {
    std::string reason;
    const PlistOwner root(toNode(*this, 0, &reason));
    if (!root) {
        logLine("Value: cannot write a property list: %s", reason.c_str());
        return {};
    }
    char* bytes = nullptr;
    uint32_t length = 0;
    if (binary) {
        plist_to_bin(root.get(), &bytes, &length);
    } else {
        plist_to_xml(root.get(), &bytes, &length);
    }
    std::string result(bytes ? bytes : "", bytes ? length : 0);
    if (binary) {
        plist_to_bin_free(bytes);
    } else {
        plist_to_xml_free(bytes);
    }
    return result;
}

std::string Value::toXML() const { return serialized(false); }

std::string Value::toBinary() const { return serialized(true); }
