#include "game/core/ColourUtils.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace {

// One pass over a colour string, white space skipped before each token.
class ColourScanner {
public:
    explicit ColourScanner(std::string_view text) : text_(text) {}

    // The numbers between the braces, at most `maxCount`; -1 when the text does not parse.
    int scan(int maxCount, bool floats, double* numbers) {
        if (!take('{')) return -1;
        int count = 0;
        while (true) {
            if (count == maxCount || !number(floats, &numbers[count])) return -1;
            ++count;
            if (take('}')) break;
            if (!take(',')) return -1;
        }
        skipSpace();
        return at_ == text_.size() ? count : -1;
    }

private:
    void skipSpace() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }

    bool take(char c) {
        skipSpace();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    size_t digits() {
        const size_t start = at_;
        while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
        return at_ - start;
    }

    // A decimal number: [sign] digits, and for floats [. digits] [e [sign] digits]. Words such as
    // "nan" and "inf" are not numbers.
    bool number(bool floats, double* out) {
        skipSpace();
        bool negative = false;
        if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) negative = text_[at_++] == '-';
        const size_t unsignedStart = at_;
        size_t mantissa = digits();
        if (floats && at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            mantissa += digits();
        }
        if (mantissa == 0) return false;
        if (floats && at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (digits() == 0) return false;
        }
        double value = 0;
        const auto [end, error] = std::from_chars(text_.data() + unsignedStart, text_.data() + at_, value);
        if (end != text_.data() + at_) return false;
        if (error == std::errc::result_out_of_range) {
            // Saturates as the platform's scanner does: too small reads 0, too large stays large.
            const std::string_view token = text_.substr(unsignedStart, at_ - unsignedStart);
            const bool tiny = token.find("e-") != token.npos || token.find("E-") != token.npos;
            value = tiny ? 0 : 1e300;
        }
        *out = negative ? -value : value;
        return true;
    }

    std::string_view text_;
    size_t at_ = 0;
};

uint8_t toByte(double v) { return v < 1 ? 0 : v > 255 ? 255 : static_cast<uint8_t>(v); }
float toUnit(double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); }

}  // namespace

ccColor3B ColourUtils::ccColor3BFromString(std::string_view text) {
    double n[4] = {0, 0, 0, 0};
    if (ColourScanner(text).scan(3, false, n) < 0) return {0, 0, 0};
    return {toByte(n[0]), toByte(n[1]), toByte(n[2])};
}

ccColor4B ColourUtils::ccColor4BFromString(std::string_view text) {
    double n[4] = {0, 0, 0, 255};
    if (ColourScanner(text).scan(4, false, n) < 0) return {0, 0, 0, 255};
    return {toByte(n[0]), toByte(n[1]), toByte(n[2]), toByte(n[3])};
}

ccColor4F ColourUtils::ccColor4FFromString(std::string_view text) {
    double n[4] = {0, 0, 0, 1};
    if (ColourScanner(text).scan(4, true, n) < 0) return {0, 0, 0, 1};
    return {toUnit(n[0]), toUnit(n[1]), toUnit(n[2]), toUnit(n[3])};
}
