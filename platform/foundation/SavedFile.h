#pragma once

#include <string>

#include "platform/foundation/Value.h"

// Files the program saves for itself (scores, statistics, caches): property-list dictionaries,
// written atomically and read back without ever losing what an unreadable file held.

// What reading a saved dictionary found.
struct SavedDictionary {
    // The file's dictionary; empty when the file was missing or unreadable.
    Value dictionary = Value::dictionary();
    // True when the file existed and held a readable dictionary.
    bool found = false;
};

// Reads the dictionary saved at `path`. A missing file reads as an empty dictionary. A file that
// is not a property list, or whose top is not a dictionary, is moved aside (moveFileAside) and
// also reads as empty, so that the next save cannot overwrite it.
SavedDictionary readSavedDictionary(const std::string& path);

// Moves an unreadable file aside (the one-argument moveFileAside of FileMove.h, which never
// replaces an earlier one) and logs one line giving `reason` and the new name. False, with the
// failure logged, when the file cannot be moved.
bool moveFileAside(const std::string& path, const std::string& reason);

// Writes the dictionary as an XML property list, atomically (writeFileAtomically). False with one
// log line when it cannot be written.
bool writeSavedDictionary(const std::string& path, const Value& dictionary);
