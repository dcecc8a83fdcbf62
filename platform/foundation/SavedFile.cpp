#include "platform/foundation/SavedFile.h"

#include <filesystem>
#include <system_error>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileMove.h"
#include "platform/foundation/Log.h"

SavedDictionary readSavedDictionary(const std::string& path) {
    SavedDictionary result;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return result;
    std::string reason;
    std::optional<Value> value = Value::fromFile(path, &reason);
    if (!value) {
        moveFileAside(path, reason);
    } else if (!value->isDictionary()) {
        moveFileAside(path, "it does not hold a dictionary");
    } else {
        result.dictionary = std::move(*value);
        result.found = true;
    }
    return result;
}

bool moveFileAside(const std::string& path, const std::string& reason) {
    const std::string aside = moveFileAside(path);
    if (aside.empty()) {
        logLine("Cannot read %s (%s), and cannot move it aside", path.c_str(), reason.c_str());
        return false;
    }
    logLine("Cannot read %s (%s): kept aside as %s", path.c_str(), reason.c_str(), aside.c_str());
    return true;
}

bool writeSavedDictionary(const std::string& path, const Value& dictionary) {
    const std::string bytes = dictionary.toXML();
    if (bytes.empty()) {
        logLine("Cannot save %s: the values cannot be written as a property list", path.c_str());
        return false;
    }
    return writeFileAtomically(path, bytes);
}
