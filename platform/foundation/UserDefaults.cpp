#include "platform/foundation/UserDefaults.h"

#include <sys/stat.h>

#include <vector>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileMove.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

UserDefaults& UserDefaults::standardUserDefaults() {
    // Never destroyed: saves may come from other threads while the program ends.
    static UserDefaults* standard =
        new UserDefaults(stringByAppendingPathComponent(configurationFolder(), "UserDefaults.plist"));
    return *standard;
}

UserDefaults::UserDefaults(std::string path) : path_(std::move(path)) { load(); }

void UserDefaults::load() {
    struct stat status {};
    if (lstat(path_.c_str(), &status) != 0) return;  // nothing saved yet
    std::vector<uint8_t> bytes;
    std::string why;
    if (readRegularFile(path_, InputLimits::kFileBytes, &bytes, &why)) {
        std::optional<Value> saved = Value::fromBytes(std::string(bytes.begin(), bytes.end()), &why);
        if (saved && saved->isDictionary()) {
            stored_ = std::move(*saved);
            return;
        }
        if (saved) why = "not a dictionary";
    }
    const std::string aside = moveFileAside(path_);
    if (aside.empty()) {
        canSave_ = false;
        logLine("The user defaults in %s cannot be read (%s) nor moved aside; the defaults apply and nothing is saved",
                path_.c_str(), why.c_str());
    } else {
        logLine("The user defaults in %s cannot be read (%s); moved to %s, the defaults apply", path_.c_str(),
                why.c_str(), aside.c_str());
    }
}

void UserDefaults::registerDefaults(const Value& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults.entries()) registered_.set(key, value);
}

Value UserDefaults::objectForKey(std::string_view key) const {
    std::lock_guard lock(mutex_);
    const Value& stored = stored_[key];
    return stored.isNone() ? registered_[key] : stored;
}

std::string UserDefaults::stringForKey(std::string_view key) const {
    const Value value = objectForKey(key);
    return value.isString() || value.isNumber() ? value.stringValue() : std::string();
}

bool UserDefaults::boolForKey(std::string_view key) const { return objectForKey(key).boolValue(); }

int64_t UserDefaults::integerForKey(std::string_view key) const { return objectForKey(key).integerValue(); }

double UserDefaults::doubleForKey(std::string_view key) const { return objectForKey(key).doubleValue(); }

void UserDefaults::setObject(std::string key, Value value) {
    if (value.isNone()) {
        removeObjectForKey(key);
        return;
    }
    std::lock_guard lock(mutex_);
    // The value stored already is no change, and the next save has nothing to write for it (the
    // launch stores the running version every time).
    if (stored_[key] == value) return;
    stored_.set(std::move(key), std::move(value));
    ++changes_;
}

void UserDefaults::removeObjectForKey(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (stored_[key].isNone()) return;
    Value kept = Value::dictionary();
    for (const auto& [name, value] : stored_.entries()) {
        if (name != key) kept.set(name, value);
    }
    stored_ = std::move(kept);
    ++changes_;
}

bool UserDefaults::synchronize() {
    std::lock_guard saving(saveMutex_);
    std::string bytes;
    uint64_t snapshot = 0;
    {
        std::lock_guard lock(mutex_);
        if (!canSave_) {
            logLine("Not saving the user defaults to %s: the unreadable file there could not be moved aside",
                    path_.c_str());
            return false;
        }
        if (changes_ == savedChanges_) return true;
        snapshot = changes_;
        bytes = stored_.toXML();
    }
    // toXML has logged why it could not write the values.
    if (bytes.empty()) return false;
    const std::string folder = stringByDeletingLastPathComponent(path_);
    if (!folder.empty() && !createFolder(folder)) {
        logLine("Cannot save the user defaults: cannot make the folder %s", folder.c_str());
        return false;
    }
    if (!writeFileAtomically(path_, bytes)) return false;
    std::lock_guard lock(mutex_);
    savedChanges_ = snapshot;
    return true;
}
