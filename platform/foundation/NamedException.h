#pragma once

#include <stdexcept>
#include <string>

// A programming error, named by the family it belongs to ("NSInternalInconsistencyException",
// "NSRangeException", "GridBase", ...). Recoverable failures never throw: they return null or false
// and log a line.
class NamedException : public std::runtime_error {
public:
    NamedException(std::string name, std::string reason)
        : std::runtime_error(name + ": " + reason), name_(std::move(name)), reason_(std::move(reason)) {}

    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }

private:
    std::string name_;
    std::string reason_;
};

// Throws NamedException{name, reason formatted printf-style}. Kept out of line so that the checks
// below cost one predictable branch on the paths that pass.
[[noreturn]] void throwNamedException(const char* name, const char* reasonFormat, ...)
    __attribute__((format(printf, 2, 3), cold, noinline));

// The one invariant check: a broken precondition (an index out of range, a call off the engine
// thread, a walk index that would wrap) throws in every build, Release included. Use it for the
// caller's mistakes only; bad outside data gets a logged refusal instead.
//
//     CC_REQUIRE(index < count, "NSRangeException", "index %u beyond bounds [0 .. %u)", index, count);
//
// The reason's arguments are evaluated only when the check fails.
#define CC_REQUIRE(condition, name, ...)                                  \
    do {                                                                  \
        if (!(condition)) [[unlikely]] throwNamedException(name, __VA_ARGS__); \
    } while (false)
