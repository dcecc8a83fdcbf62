#include "PadlinkSDK/JSONCore/JPJKNumber.h"

#include <bit>
#include <cmath>

namespace {
// 2^63 as a double: the first double above every int64_t value.
constexpr double kTwoTo63 = 9223372036854775808.0;

// The double's exact integer value when it has one within int64_t.
bool exactInteger(double value, int64_t* integer) {
    if (!(value >= -kTwoTo63 && value < kTwoTo63) || std::trunc(value) != value) return false;
    *integer = static_cast<int64_t>(value);
    return true;
}

// Keeps an object alive for the whole run.
JPJKNumber* shared(JPJKNumber* number) {
    number->retain();
    return number;
}
}  // namespace

RefPtr<JPJKNumber> JPJKNumber::numberWithLongLong(int64_t value) {
    return RefPtr<JPJKNumber>::adoptNew(new JPJKNumber('q', static_cast<uint64_t>(value)));
}

RefPtr<JPJKNumber> JPJKNumber::numberWithUnsignedLongLong(uint64_t value) {
    return RefPtr<JPJKNumber>::adoptNew(new JPJKNumber('Q', value));
}

RefPtr<JPJKNumber> JPJKNumber::numberWithDouble(double value) {
    return RefPtr<JPJKNumber>::adoptNew(new JPJKNumber('d', std::bit_cast<uint64_t>(value)));
}

RefPtr<JPJKNumber> JPJKNumber::numberWithBool(bool value) {
    static JPJKNumber* const booleans[2] = {shared(new JPJKNumber('c', 0)), shared(new JPJKNumber('c', 1))};
    return RefPtr<JPJKNumber>(booleans[value ? 1 : 0]);
}

int64_t JPJKNumber::longLongValue() const {
    if (type_ != 'd') return static_cast<int64_t>(bits_);
    const double value = doubleValue();
    if (value != value) return 0;
    if (value >= kTwoTo63) return INT64_MAX;
    if (value < -kTwoTo63) return INT64_MIN;
    return static_cast<int64_t>(value);
}

uint64_t JPJKNumber::unsignedLongLongValue() const {
    if (type_ != 'd') return bits_;
    const double value = doubleValue();
    if (!(value > 0)) return 0;
    if (value >= 2 * kTwoTo63) return UINT64_MAX;
    return static_cast<uint64_t>(value);
}

double JPJKNumber::doubleValue() const {
    switch (type_) {
    case 'd': return std::bit_cast<double>(bits_);
    case 'Q': return static_cast<double>(bits_);
    default: return static_cast<double>(static_cast<int64_t>(bits_));
    }
}

uint64_t JPJKNumber::hash() const {
    // Integral values hash as their int64_t so that 2, 2.0 and 2u agree; other values hash as the
    // bits of the double they equal (if any).
    uint64_t key = bits_;
    int64_t integer;
    if (type_ == 'd' && exactInteger(doubleValue(), &integer)) key = static_cast<uint64_t>(integer);
    if (type_ == 'Q' && bits_ > INT64_MAX) key = std::bit_cast<uint64_t>(doubleValue());
    return (key + (type_ == 'c')) * 0x9E3779B97F4A7C15ull;
}

bool JPJKNumber::isEqualTo(const JPJKObject& other) const {
    const auto& number = static_cast<const JPJKNumber&>(other);
    if (isBoolean() || number.isBoolean()) return type_ == number.type_ && bits_ == number.bits_;
    if (type_ == 'd' || number.type_ == 'd') {
        if (type_ == 'd' && number.type_ == 'd') return doubleValue() == number.doubleValue();
        const JPJKNumber& real = type_ == 'd' ? *this : number;
        const JPJKNumber& integral = type_ == 'd' ? number : *this;
        int64_t integer;
        if (integral.type_ == 'Q' && integral.bits_ > INT64_MAX) {
            return real.doubleValue() >= kTwoTo63 && real.doubleValue() < 2 * kTwoTo63 &&
                   static_cast<uint64_t>(real.doubleValue()) == integral.bits_;
        }
        return exactInteger(real.doubleValue(), &integer) && integer == static_cast<int64_t>(integral.bits_);
    }
    // Two integers: the same bits mean the same value unless one is an unsigned value above INT64_MAX.
    if (bits_ != number.bits_) return false;
    return type_ == number.type_ || bits_ <= INT64_MAX;
}
