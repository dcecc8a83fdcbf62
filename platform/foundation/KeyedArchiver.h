#pragma once

#include <string>
#include <vector>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

class KeyedArchiver;

// An object that can be written into a keyed archive. Reading it back goes through the factory
// registered with KeyedUnarchiver::registerClass under the object's class name (className()).
class Coding {
public:
    virtual void encodeWithCoder(KeyedArchiver& coder) const = 0;

protected:
    ~Coding() = default;
};

// Writes keyed values and objects into an archive: an XML property list of our own schema,
//
//     { "archive": "org.vantrel.keyed-archive", "version": 1, "top": RECORD }
//     RECORD = { "class": name (objects only), "values": { key: value },
//                "objects": { key: RECORD or [RECORD, ...] } }
//
// where values are property-list values and objects are Coding objects, each written through its
// encodeWithCoder into a record of its own. Archives nest objects at most kMaxObjectDepth deep,
// which keeps every archive within the property-list reader's nesting budget.
class KeyedArchiver {
public:
    // What the "archive" and "version" entries hold.
    static constexpr const char* kArchiveIdentifier = "org.vantrel.keyed-archive";
    static constexpr int64_t kArchiveVersion = 1;
    // Each object takes up to three levels of the list (its record, its objects dictionary and an
    // array); a quarter of the budget leaves room for the top and for nested values.
    static constexpr int kMaxObjectDepth = InputLimits::kNestingDepth / 4;

    // An empty archive; encode into it, then take archivedData().
    KeyedArchiver() = default;

    // A none value writes nothing (and reads back as none).
    void encodeValue(std::string key, Value value);
    // A null object writes nothing (and reads back as null). The object must adopt Coding, and
    // objects must not nest deeper than kMaxObjectDepth (a cycle would); both throw
    // NSInvalidArgumentException.
    void encodeObject(std::string key, const Object* object);
    // The objects in order; none may be null.
    void encodeObjects(std::string key, const std::vector<RefPtr<Object>>& objects);

    // The archive's bytes; empty, with one log line, when the list cannot be written (see
    // Value::toXML).
    std::string archivedData() const;

private:
    KeyedArchiver(std::string className, int depth);
    Value recordOf(const Object* object) const;
    Value record() const;

    std::string className_;  // empty at the top
    int depth_ = 0;          // objects enclosing this record
    Value values_ = Value::dictionary();
    Value objects_ = Value::dictionary();
};
