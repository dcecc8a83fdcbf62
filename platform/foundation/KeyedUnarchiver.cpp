#include "platform/foundation/KeyedUnarchiver.h"

#include <map>
#include <mutex>

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/Log.h"

namespace {
std::mutex registryMutex;

std::map<std::string, KeyedUnarchiver::Factory, std::less<>>& registry() {
    static std::map<std::string, KeyedUnarchiver::Factory, std::less<>> factories;
    return factories;
}

const Value kNone;
}  // namespace

void KeyedUnarchiver::registerClass(std::string name, Factory factory) {
    std::lock_guard lock(registryMutex);
    registry()[std::move(name)] = std::move(factory);
}

KeyedUnarchiver::KeyedUnarchiver(const std::string& bytes) : record_(&kNone), failed_(std::make_shared<bool>(false)) {
    std::string error;
    auto list = Value::fromBytes(bytes, &error);
    if (!list) {
        fail("not a property list: " + error);
        return;
    }
    const Value& top = (*list)["top"];
    if ((*list)["archive"].stringValue() != KeyedArchiver::kArchiveIdentifier || !(*list)["archive"].isString() ||
        !(*list)["version"].isInteger() || (*list)["version"].integerValue() != KeyedArchiver::kArchiveVersion ||
        !top.isDictionary()) {
        fail("not a keyed archive of this program");
        return;
    }
    archive_ = std::make_shared<const Value>(std::move(*list));
    record_ = &(*archive_)["top"];
}

KeyedUnarchiver::KeyedUnarchiver(const Value* record, std::shared_ptr<bool> failed)
    : record_(record), failed_(std::move(failed)) {}

const Value& KeyedUnarchiver::decodeValue(std::string_view key) const {
    return (*record_)["values"][key];
}

RefPtr<Object> KeyedUnarchiver::decodeObject(std::string_view key) {
    const Value& record = (*record_)["objects"][key];
    return record.isNone() ? nullptr : objectFrom(record);
}

std::vector<RefPtr<Object>> KeyedUnarchiver::decodeObjects(std::string_view key) {
    const Value& records = (*record_)["objects"][key];
    if (!records.isArray()) {
        fail("no objects under \"" + std::string(key) + "\"");
        return {};
    }
    std::vector<RefPtr<Object>> objects;
    for (const Value& record : records.elements()) {
        RefPtr<Object> object = objectFrom(record);
        if (!object) return {};
        objects.push_back(std::move(object));
    }
    return objects;
}

void KeyedUnarchiver::fail(const std::string& reason) {
    if (*failed_) return;
    *failed_ = true;
    logLine("KeyedUnarchiver: cannot read the archive: %s", reason.c_str());
}

RefPtr<Object> KeyedUnarchiver::objectFrom(const Value& record) {
    const std::string& name = record["class"].stringValue();
    if (!record.isDictionary() || name.empty()) {
        fail("an object without a class");
        return nullptr;
    }
    Factory factory;
    {
        std::lock_guard lock(registryMutex);
        const auto found = registry().find(name);
        if (found != registry().end()) factory = found->second;
    }
    if (!factory) {
        fail("no class named " + name);
        return nullptr;
    }
    KeyedUnarchiver coder(&record, failed_);
    RefPtr<Object> object = factory(coder);
    if (!object) fail("could not make a " + name);
    return *failed_ ? nullptr : object;
}
