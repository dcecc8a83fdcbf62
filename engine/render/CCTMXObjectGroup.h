#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

// A named group of map objects. Each object is a dictionary of its attributes ("name", "type",
// "width", "height", "gid" as text; "x" and "y" as integers in pixels with the origin at the map's
// bottom-left; "polygonPoints", "polylinePoints") and of its properties, which may overwrite them.
class CCTMXObjectGroup : public Object {
public:
    // The first object, in document order, whose "name" is the string; null if none.
    const Value* objectNamed(std::string_view name) const;
    // The group's property, or none.
    const Value& propertyNamed(std::string_view name) const { return properties_[name]; }

    const std::string& groupName() const { return groupName_; }
    void setGroupName(std::string groupName) { groupName_ = std::move(groupName); }
    // Pixels added to every object's position.
    CGPoint positionOffset() const { return positionOffset_; }
    void setPositionOffset(CGPoint positionOffset) { positionOffset_ = positionOffset; }
    // Dictionaries, in document order.
    std::vector<Value>& objects() { return objects_; }
    const std::vector<Value>& objects() const { return objects_; }
    // Name -> string value.
    Value& properties() { return properties_; }
    const Value& properties() const { return properties_; }

private:
    std::string groupName_;
    CGPoint positionOffset_;
    std::vector<Value> objects_;
    Value properties_ = Value::dictionary();
};
