// Property-list reading: any bytes either fail cleanly or give a value within the reader's budgets
// that writes in both formats and reads back; from the second reading on, the value is a fixed
// point of every write and read (the first write may change it: XML keeps whole seconds of dates,
// writing repairs bad UTF-8).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Value.h"

namespace {
Value reread(const std::string& bytes) {
    std::string error;
    auto value = Value::fromBytes(bytes, &error);
    if (!value) std::abort();  // what we wrote must read back
    return std::move(*value);
}

// The values of a tree, keys included, as the reader counts them; aborts on nesting beyond the budget.
uint64_t countValues(const Value& value, int depth) {
    if ((value.isArray() || value.isDictionary()) && depth >= InputLimits::kNestingDepth) std::abort();
    uint64_t values = 1;
    for (const auto& entry : value.entries()) values += 1 + countValues(entry.second, depth + 1);
    for (const Value& element : value.elements()) values += countValues(element, depth + 1);
    return values;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto value = Value::fromBytes(std::string(reinterpret_cast<const char*>(data), size), &error);
    if (!value) return 0;
    const uint64_t values = countValues(*value, 0);
    if (values > InputLimits::kPropertyListValues) std::abort();
    // Round trips only for trees of moderate size: libplist's writer takes seconds on a tree of a
    // million values under the sanitizers, and the large trees are here to test the reader's budgets.
    if (values > 4096) return 0;
    for (bool binary : {true, false}) {
        const auto write = [binary](const Value& v) { return binary ? v.toBinary() : v.toXML(); };
        const Value once = reread(write(*value));
        if (!(reread(write(once)) == once)) std::abort();
    }
    return 0;
}
