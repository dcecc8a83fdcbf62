#pragma once

#include <cstdint>

#include "PadlinkSDK/JSONCore/JPJKObject.h"

// An immutable number: a signed or unsigned 64-bit integer, a double, or one of the two shared
// boolean objects. Numbers compare by value across their types (2 equals 2.0; booleans equal only
// booleans), as the platform's numbers do.
class JPJKNumber : public JPJKObject {
public:
    static RefPtr<JPJKNumber> numberWithLongLong(int64_t value);
    static RefPtr<JPJKNumber> numberWithUnsignedLongLong(uint64_t value);
    static RefPtr<JPJKNumber> numberWithDouble(double value);
    // The shared true or false object.
    static RefPtr<JPJKNumber> numberWithBool(bool value);

    // The platform's type code: 'q' signed, 'Q' unsigned, 'd' double, 'c' boolean.
    char objCType() const { return type_; }
    bool isBoolean() const { return type_ == 'c'; }
    // The value in each reading; integers read as doubles round, doubles read as integers truncate
    // (saturating), booleans read 1 or 0.
    int64_t longLongValue() const;
    uint64_t unsignedLongLongValue() const;
    double doubleValue() const;

    // Kind Number; equal when the values are (see above).
    Kind kind() const override { return Kind::Number; }
    uint64_t hash() const override;
    bool isEqualTo(const JPJKObject& other) const override;

private:
    JPJKNumber(char type, uint64_t bits) : type_(type), bits_(bits) {}

    char type_;
    uint64_t bits_;  // the int64_t, uint64_t or double value, by type_
};
