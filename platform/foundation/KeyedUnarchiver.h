#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

// Reads an archive written by KeyedArchiver. Archives may come from disk or from other programs:
// bytes that are not an archive of our schema, a record of the wrong shape, or a class no factory
// is registered for make the archive fail (failed() is then true, one line is logged, and the
// decoders answer none, null or empty), never a crash.
class KeyedUnarchiver {
public:
    // Makes an object of a class from its record: decode what encodeWithCoder wrote, and return
    // null when something is missing.
    using Factory = std::function<RefPtr<Object>(KeyedUnarchiver& coder)>;

    // Registers the factory of the class named `name` (as className() gives it). Safe from any
    // thread; a later registration of the same name replaces the earlier.
    static void registerClass(std::string name, Factory factory);

    // Reads the archive's bytes (as archivedData() gave them); decode from it with the keys used.
    explicit KeyedUnarchiver(const std::string& bytes);

    // The value under the key, none when absent.
    const Value& decodeValue(std::string_view key) const;
    // The object under the key; null when absent or when it cannot be made.
    RefPtr<Object> decodeObject(std::string_view key);
    // The objects under the key in order; empty, and the archive failed, when absent or when one
    // of them cannot be made.
    std::vector<RefPtr<Object>> decodeObjects(std::string_view key);

    // True once any part of the archive could not be read.
    bool failed() const { return *failed_; }

private:
    KeyedUnarchiver(const Value* record, std::shared_ptr<bool> failed);
    // Logs and marks the archive failed, once.
    void fail(const std::string& reason);
    RefPtr<Object> objectFrom(const Value& record);

    std::shared_ptr<const Value> archive_;  // the whole list, shared so that copies of the coder stay valid
    const Value* record_;
    std::shared_ptr<bool> failed_;  // shared by the coders of nested objects
};
