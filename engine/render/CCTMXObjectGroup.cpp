#include "engine/render/CCTMXObjectGroup.h"

const Value* CCTMXObjectGroup::objectNamed(std::string_view name) const {
    for (const Value& object : objects_) {
        const Value& objectName = object["name"];
        if (objectName.isString() && objectName.stringValue() == name) return &object;
    }
    return nullptr;
}
