// Property-list reading: any bytes either fail cleanly or give a value that writes in both formats
// and reads back; from the second reading on, the value is a fixed point of every write and read
// (the first write may change it: XML keeps whole seconds of dates, writing repairs bad UTF-8).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/foundation/Value.h"

namespace {
Value reread(const std::string& bytes) {
    std::string error;
    auto value = Value::fromBytes(bytes, &error);
    if (!value) std::abort();  // what we wrote must read back
    return std::move(*value);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto value = Value::fromBytes(std::string(reinterpret_cast<const char*>(data), size), &error);
    if (!value) return 0;
    for (bool binary : {true, false}) {
        const auto write = [binary](const Value& v) { return binary ? v.toBinary() : v.toXML(); };
        const Value once = reread(write(*value));
        if (!(reread(write(once)) == once)) std::abort();
    }
    return 0;
}
