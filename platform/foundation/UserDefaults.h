#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/foundation/Value.h"

// The user's settings: a dictionary kept in a property-list file, over a dictionary of registered
// defaults that answer for every key the file does not hold. The program has one store per file;
// the standard store, the only owner of "<configuration folder>/UserDefaults.plist", serves the
// game and the controller library alike, so neither drops the other's keys when it saves.
//
// The file is read once, when the store is made. A file that exists but cannot be read (too large,
// not a property list, not a dictionary) is moved aside with one log line and the store starts
// empty, so the registered defaults apply and the next save cannot overwrite it; when even the move
// fails, the store refuses to save. synchronize() replaces the file atomically.
//
// Safe from any thread: every operation takes the store's lock.
class UserDefaults {
public:
    // The standard store, made on first use from the configuration folder of that moment.
    static UserDefaults& standardUserDefaults();

    // A store over the file at `path` (read now; the folder is made on the first save).
    explicit UserDefaults(std::string path);
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    const std::string& path() const { return path_; }

    // Adds the dictionary's entries to the registered defaults (a key registered again takes the
    // new value). Registered defaults are never saved. Anything but a dictionary is ignored.
    void registerDefaults(const Value& defaults);

    // The stored value of the key, else its registered default, else none.
    Value objectForKey(std::string_view key) const;
    // The value read as the platform reads it: a string as it stands and a number in decimal
    // (anything else ""); numbers and number-like strings as numbers (anything else 0 / false).
    std::string stringForKey(std::string_view key) const;
    bool boolForKey(std::string_view key) const;
    int64_t integerForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;

    // Stores the value under the key (none removes it), in memory until synchronize(). Storing the
    // value the key holds already changes nothing.
    void setObject(std::string key, Value value);
    void setString(std::string key, std::string value) { setObject(std::move(key), Value(std::move(value))); }
    void setBool(std::string key, bool value) { setObject(std::move(key), Value(value)); }
    void setInteger(std::string key, int64_t value) { setObject(std::move(key), Value(value)); }
    void setDouble(std::string key, double value) { setObject(std::move(key), Value(value)); }
    void removeObjectForKey(std::string_view key);

    // Writes the stored values to the file when they changed since the last save. True when the
    // file holds them afterwards; false (logged) when the write failed or the store refuses to save.
    bool synchronize();

private:
    void load();

    const std::string path_;
    mutable std::mutex mutex_;  // guards the fields below
    Value stored_ = Value::dictionary();
    Value registered_ = Value::dictionary();
    uint64_t changes_ = 0;       // bumped by every change of stored_
    uint64_t savedChanges_ = 0;  // changes_ of the values the file holds
    bool canSave_ = true;        // false when an unreadable file could not be moved aside
    std::mutex saveMutex_;       // orders saves, so a later snapshot is never overwritten by an earlier one
};
