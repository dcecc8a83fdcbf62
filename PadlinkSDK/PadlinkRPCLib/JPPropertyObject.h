#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Object.h"

class JPValue;

// An object that travels on the command channel as "<value><CLASS><properties>" with one named
// property after another: controller layouts and their input components. Reading it back sets the
// properties one by one through the class's own table of typed setters, so a peer can only set
// properties that exist, with values of their type.
class JPPropertyObject : public Object {
public:
    // The element name the object is written under ("JPHiddenControllerLayout").
    virtual const char* rpcClassName() const = 0;
    // The property names in the order they are written.
    virtual std::vector<std::string_view> propertiesToEncode() const = 0;
    // The value of one of propertiesToEncode(); nil for any other name.
    virtual JPValue valueForKey(std::string_view name) const = 0;
    // Sets a property from a value read off the wire. An unknown name or a value that is not of
    // the property's type (or outside its range) changes nothing and answers false.
    virtual bool setValueForKey(std::string_view name, const JPValue& value) = 0;
};
