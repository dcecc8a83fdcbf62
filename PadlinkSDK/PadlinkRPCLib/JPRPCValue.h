#pragma once

#include <optional>
#include <string>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPValue.h"

// One value being read by JPXMLMapper: the element that typed it, its text, and the elements or
// properties read inside it so far.
struct JPRPCValue {
    // The finished value by className: nil, string, i4/int/float (a number read from the text,
    // nil when the text is not one), boolean, array, base64, a controller layout or an input
    // component (properties set through their typed setters; the others are ignored with one log
    // line). Any other type logs and gives nil.
    JPValue output() const;
    // The fields, one "name: value," line each, after a blank line.
    std::string debugDescription() const;

    JPValue::Dictionary properties;  // property name → value, in order read
    std::optional<std::string> nextPropertyName;  // of the property being read
    std::string className;                       // the element that typed the value ("i4", "array", ...)
    std::string text;                            // of a string, number, boolean or base64 value
    JPValue::Array rpcValues;  // elements of an array
    // Finished values of the reader below this count belong to enclosing values, not to this array.
    size_t firstElement = 0;
};
