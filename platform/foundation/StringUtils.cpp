#include "platform/foundation/StringUtils.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>

std::string stringWithFormatV(const char* format, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) return {};
    std::string result(static_cast<size_t>(length), '\0');
    std::vsnprintf(result.data(), result.size() + 1, format, arguments);
    return result;
}

std::string stringWithFormat(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string result = stringWithFormatV(format, arguments);
    va_end(arguments);
    return result;
}

bool hasPrefix(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool hasSuffix(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool hasSuffixIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           lowercaseString(text.substr(text.size() - suffix.size())) == lowercaseString(suffix);
}

size_t utf8SequenceLength(std::string_view text, size_t at) {
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
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

bool isValidUTF8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string lowercaseString(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string stringByReplacingOccurrences(std::string_view text, std::string_view target,
                                         std::string_view replacement) {
    if (target.empty()) return std::string(text);
    std::string result;
    size_t start = 0;
    for (size_t found; (found = text.find(target, start)) != std::string_view::npos;
         start = found + target.size()) {
        result.append(text.substr(start, found - start)).append(replacement);
    }
    result.append(text.substr(start));
    return result;
}

namespace {
// The path without trailing slashes; "/" stays "/".
std::string_view trimmedPath(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return path;
}

// Position of the extension's dot in the trimmed path, or npos.
size_t extensionDot(std::string_view path) {
    const size_t slash = path.rfind('/');
    const size_t componentStart = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot <= componentStart) return std::string_view::npos;
    return dot;
}
}  // namespace

std::string lastPathComponent(std::string_view path) {
    path = trimmedPath(path);
    if (path == "/") return "/";
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string pathExtension(std::string_view path) {
    path = trimmedPath(path);
    const size_t dot = extensionDot(path);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

std::string stringByDeletingPathExtension(std::string_view path) {
    path = trimmedPath(path);
    const size_t dot = extensionDot(path);
    return std::string(dot == std::string_view::npos ? path : path.substr(0, dot));
}

std::string stringByDeletingLastPathComponent(std::string_view path) {
    path = trimmedPath(path);
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return path.size() > 1 ? "/" : "";
    return std::string(trimmedPath(path.substr(0, slash)));
}

std::string stringByAppendingPathComponent(std::string_view path, std::string_view component) {
    while (!component.empty() && component.front() == '/') component.remove_prefix(1);
    std::string result(trimmedPath(path));
    if (result.empty()) return std::string(component);
    if (component.empty()) return result;
    if (result.back() != '/') result += '/';
    return result.append(component);
}

std::string stringByAppendingPathExtension(std::string_view path, std::string_view extension) {
    std::string result(trimmedPath(path));
    if (extension.empty()) return result;
    return result.append(".").append(extension);
}

bool isAbsolutePath(std::string_view path) {
    return !path.empty() && (path.front() == '/' || path.front() == '~');
}

namespace {
std::string_view skipWhitespace(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    return text;
}

template <typename Integer>
Integer integerPrefix(std::string_view text) {
    text = skipWhitespace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Accumulate towards the sign so that the most negative value is reachable.
    Integer value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        const Integer digit = c - '0';
        if (negative) {
            if (value < (std::numeric_limits<Integer>::min() + digit) / 10) return std::numeric_limits<Integer>::min();
            value = value * 10 - digit;
        } else {
            if (value > (std::numeric_limits<Integer>::max() - digit) / 10) return std::numeric_limits<Integer>::max();
            value = value * 10 + digit;
        }
    }
    return value;
}

// Length of the longest prefix of the form [+-]digits[.digits][(e|E)[+-]digits] with at least one digit.
size_t decimalPrefixLength(std::string_view text) {
    size_t i = 0;
    auto digits = [&] {
        const size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t mantissaDigits = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0) return 0;
    const size_t beforeExponent = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) i = beforeExponent;
    }
    return i;
}
}  // namespace

int32_t stringIntValue(std::string_view text) { return integerPrefix<int32_t>(text); }

int64_t stringIntegerValue(std::string_view text) { return integerPrefix<int64_t>(text); }

double stringDoubleValue(std::string_view text) {
    text = skipWhitespace(text);
    const size_t length = decimalPrefixLength(text);
    if (length == 0) return 0.0;
    std::string_view number = text.substr(0, length);
    if (number.front() == '+') number.remove_prefix(1);  // from_chars takes no plus sign
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    // Out of range: from_chars leaves the value alone; the platform answers with infinity or 0.
    if (result.ec == std::errc::result_out_of_range) {
        const bool tiny = number.find_first_of("eE") != std::string_view::npos &&
                          number[number.find_first_of("eE") + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        if (number.front() == '-') value = -value;
    }
    return value;
}

float stringFloatValue(std::string_view text) { return static_cast<float>(stringDoubleValue(text)); }

bool stringBoolValue(std::string_view text) {
    text = skipWhitespace(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    while (!text.empty() && text.front() == '0') text.remove_prefix(1);
    if (text.empty()) return false;
    const char c = text.front();
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}
