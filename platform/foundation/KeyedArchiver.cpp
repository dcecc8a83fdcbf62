#include "platform/foundation/KeyedArchiver.h"

#include "platform/foundation/NamedException.h"

KeyedArchiver::KeyedArchiver(std::string className, int depth) : className_(std::move(className)), depth_(depth) {}

void KeyedArchiver::encodeValue(std::string key, Value value) {
    if (!value.isNone()) values_.set(std::move(key), std::move(value));
}

void KeyedArchiver::encodeObject(std::string key, const Object* object) {
    if (object) objects_.set(std::move(key), recordOf(object));
}

void KeyedArchiver::encodeObjects(std::string key, const std::vector<RefPtr<Object>>& objects) {
    Value records = Value::array();
    for (const RefPtr<Object>& object : objects) {
        CC_REQUIRE(object, "NSInvalidArgumentException", "cannot archive a null object under \"%s\"", key.c_str());
        records.append(recordOf(object.get()));
    }
    objects_.set(std::move(key), std::move(records));
}

std::string KeyedArchiver::archivedData() const {
    Value archive = Value::dictionary();
    archive.set("archive", kArchiveIdentifier);
    archive.set("version", kArchiveVersion);
    archive.set("top", record());
    return archive.toXML();
}

Value KeyedArchiver::recordOf(const Object* object) const {
    const auto* coding = dynamic_cast<const Coding*>(object);
    CC_REQUIRE(coding, "NSInvalidArgumentException", "%s cannot be archived", className(*object).c_str());
    CC_REQUIRE(depth_ < kMaxObjectDepth, "NSInvalidArgumentException", "archived objects nest deeper than %d levels",
               kMaxObjectDepth);
    KeyedArchiver nested(className(*object), depth_ + 1);
    coding->encodeWithCoder(nested);
    return nested.record();
}

Value KeyedArchiver::record() const {
    Value record = Value::dictionary();
    if (!className_.empty()) record.set("class", className_);
    record.set("values", values_);
    record.set("objects", objects_);
    return record;
}
