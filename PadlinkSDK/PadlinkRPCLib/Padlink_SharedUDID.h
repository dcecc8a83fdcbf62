#pragma once

#include <optional>
#include <string>

#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"

// The machine identifier answered to a phone's "UDID" call: 40 lowercase hexadecimal characters
// (the MD5 of a new UUID's text, then 8 random hexadecimal digits), the same for this user across
// runs and shared with every program following the same scheme.
//
// Copies live in the user defaults (the standard UserDefaults store, which the game's settings
// share, key "SharedUDID") and in 100 shared slots: files kSlotPrefix + 0...99 in a per-user folder, each a
// property list holding, under kDataType, a keyed archive of a record with the keys "SharedUDID",
// "SharedUDID_appUID", "SharedUDID_createdTS", "SharedUDID_slot" and "SharedUDID_optOutTS". Slot
// files may be written by other programs, so each is read as untrusted input: size-capped, and a
// file or record of the wrong shape or types counts as empty. Files are written atomically, owner
// only. Worked out once per process and cached. Safe from any thread.
class Padlink_SharedUDID {
public:
    // The scheme's data type name (also the errors' domain) and the slots' name prefix.
    static constexpr const char* kDataType = "org.padlink.SharedUDID";
    static constexpr const char* kSlotPrefix = "org.padlink.SharedUDID.slot.";
    static constexpr int kSlotCount = 100;

    // valueWithError without the report.
    static std::string value();
    // The identifier, or 40 "0" for an opted-out application (which needs no OpenSSL), or "" when
    // none is stored anywhere and OpenSSL, which a new one needs, is missing (said once per run in
    // the log; nothing is stored). *error (when given) receives the outcome: code 0 (retrieved, or
    // from the cache), 1 (opted out), 2 (the stored identifier differs from the one most slots
    // hold; the stored one is answered) or 3 (none could be made), its text also under the
    // user-information key "description".
    static std::string valueWithError(RefPtr<Error>* error);
    // Records the opt-out (or its end) in the user defaults and forgets the cached value.
    static void setOptOut(bool optOut);

    // Where the copies live: the user-defaults file and the slot folder (by default the standard
    // store and "$XDG_DATA_HOME/<kDataType>"). A file named here gets a store of its own, read at
    // the next look-up; an empty name goes back to the standard store. Starts over as a new run
    // would: forgets the cached value and that the missing OpenSSL was logged.
    // For tests and for a program hosting the library elsewhere.
    static void setStoreLocations(std::string userDefaultsFile, std::string slotFolder);

private:
    // Null without OpenSSL.
    static std::optional<std::string> generateFreshSharedUDID();
    // The record of a slot: nullopt when the slot's file does not exist, an empty dictionary when
    // it cannot be read or is not a record.
    static std::optional<Value> getDictFromPasteboard(int slot);
    static void setDictForPasteboard(const Value& record, int slot);
};
