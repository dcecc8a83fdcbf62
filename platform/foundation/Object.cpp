#include "platform/foundation/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "platform/foundation/StringUtils.h"

std::string className(const Object& object) {
    const char* mangled = typeid(object).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    return status == 0 && demangled ? demangled.get() : mangled;
}

std::string Object::description() const {
    return stringWithFormat("<%s = %p>", className(*this).c_str(), static_cast<const void*>(this));
}
