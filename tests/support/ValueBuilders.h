#pragma once

#include <initializer_list>
#include <utility>

#include "platform/foundation/Value.h"

// Property-list values written inline in tests: dict({{"type", 2}, {"vertices", array({...})}}).
inline Value dict(std::initializer_list<std::pair<const char*, Value>> entries) {
    Value d = Value::dictionary();
    for (const auto& [key, value] : entries) d.set(key, value);
    return d;
}

inline Value array(std::initializer_list<Value> elements) {
    Value a = Value::array();
    for (const Value& element : elements) a.append(element);
    return a;
}
