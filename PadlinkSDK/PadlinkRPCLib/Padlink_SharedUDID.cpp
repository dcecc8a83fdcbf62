#include "PadlinkSDK/PadlinkRPCLib/Padlink_SharedUDID.h"

#include <sys/random.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <utility>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/OpenSSLFunctions.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/UserDefaults.h"

namespace {
constexpr const char* kIdentifierKey = "SharedUDID";  // also the user-defaults key of the record
constexpr const char* kAppUIDKey = "SharedUDID_appUID";
constexpr const char* kCreatedKey = "SharedUDID_createdTS";
constexpr const char* kSlotKey = "SharedUDID_slot";
constexpr const char* kOptOutKey = "SharedUDID_optOutTS";
constexpr size_t kIdentifierLength = 40;
// Seconds from 1970-01-01 to 2001-01-01, both UTC.
constexpr double kReferenceDateSince1970 = 978307200;
// Why no identifier could be worked out: MD5, for a new one, comes from OpenSSL.
constexpr const char* kNeedsOpenSSL =
    "No SharedUDID is stored, and a new one needs OpenSSL's libssl3 (libssl.so.3), which cannot be loaded";

std::mutex udidMutex;  // guards everything below and the files
std::optional<std::string> cachedValue;
std::string userDefaultsFile;  // empty: the standard store
std::unique_ptr<UserDefaults> customStore;  // over userDefaultsFile, made on first use
std::string slotFolder;
bool toldNeedsOpenSSL = false;  // the log says kNeedsOpenSSL once per run

std::string slotsPath() {
    if (!slotFolder.empty()) return slotFolder;
    const std::string dataHome = stringByDeletingLastPathComponent(applicationDataFolder());
    return stringByAppendingPathComponent(dataHome, Padlink_SharedUDID::kDataType);
}

std::string pasteboardName(int slot) {
    return Padlink_SharedUDID::kSlotPrefix + std::to_string(slot);
}

double now() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceEpoch).count() - kReferenceDateSince1970;
}

// "2024-05-01 12:00:00 +0000".
std::string dateDescription(double secondsSinceReferenceDate) {
    const auto seconds = static_cast<time_t>(std::floor(secondsSinceReferenceDate + kReferenceDateSince1970));
    struct tm utc {};
    gmtime_r(&seconds, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return text;
}

bool isIdentifier(const Value& value) {
    const std::string& text = value.isString() ? value.stringValue() : std::string();
    return text.size() == kIdentifierLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

void fillRandom(void* buffer, size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t got = getrandom(bytes, size, 0);
        if (got < 0 && errno == EINTR) continue;
        CC_REQUIRE(got > 0, "NSInternalInconsistencyException", "getrandom failed: %s", std::strerror(errno));
        bytes += got;
        size -= static_cast<size_t>(got);
    }
}

// A version 4 UUID as upper-case 8-4-4-4-12 text.
std::string newUUIDString() {
    unsigned char u[16];
    fillRandom(u, sizeof u);
    u[6] = (u[6] & 0x0F) | 0x40;
    u[8] = (u[8] & 0x3F) | 0x80;
    return stringWithFormat("%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", u[0], u[1], u[2],
                            u[3], u[4], u[5], u[6], u[7], u[8], u[9], u[10], u[11], u[12], u[13], u[14], u[15]);
}

// The dictionary without the key.
Value without(const Value& dictionary, std::string_view key) {
    Value copy = Value::dictionary();
    for (const auto& [name, value] : dictionary.entries()) {
        if (name != key) copy.set(name, value);
    }
    return copy;
}

// The user-defaults store the identifier lives in: the standard one, or a store of its own over
// the file set with setStoreLocations, read at the first look-up after that.
UserDefaults& defaultsStore() {
    if (userDefaultsFile.empty()) return UserDefaults::standardUserDefaults();
    if (!customStore) customStore = std::make_unique<UserDefaults>(userDefaultsFile);
    return *customStore;
}

void writeDefaultsRecord(const Value& record) {
    UserDefaults& defaults = defaultsStore();
    defaults.setObject(kIdentifierKey, record);
    defaults.synchronize();
}

// The outcome of a look-up, for valueWithError.
void report(RefPtr<Error>* error, int64_t code, const std::string& text) {
    if (!error) return;
    Value userInfo = Value::dictionary();
    userInfo.set("description", text);
    *error = makeRef<Error>(Padlink_SharedUDID::kDataType, code, text, std::string(), std::move(userInfo));
}

// The record's entries that have the right types, from a slot another program may have written.
Value checkedRecord(const KeyedUnarchiver& coder) {
    Value record = Value::dictionary();
    if (const Value& identifier = coder.decodeValue(kIdentifierKey); isIdentifier(identifier)) {
        record.set(kIdentifierKey, identifier);
    }
    for (const char* key : {kAppUIDKey, kSlotKey}) {
        if (const Value& text = coder.decodeValue(key); text.isString()) record.set(key, text);
    }
    for (const char* key : {kCreatedKey, kOptOutKey}) {
        if (const Value& date = coder.decodeValue(key); date.isDate()) record.set(key, date);
    }
    return record;
}
}  // namespace

std::string Padlink_SharedUDID::value() {
    return valueWithError(nullptr);
}

std::string Padlink_SharedUDID::valueWithError(RefPtr<Error>* error) {
    std::lock_guard lock(udidMutex);
    if (cachedValue) {
        report(error, 0, "SharedUDID in cache from first call");
        return *cachedValue;
    }
    const UserDefaults& defaults = defaultsStore();
    const Value storedAppUID = defaults.objectForKey(kAppUIDKey);
    const std::string appUID = storedAppUID.isString() ? storedAppUID.stringValue() : newUUIDString();

    Value record;  // the local record, none when there is none
    std::string stored, slotName;
    Value optOutDate;
    if (Value saved = defaults.objectForKey(kIdentifierKey); saved.isDictionary()) {
        record = std::move(saved);
        if (isIdentifier(record[kIdentifierKey])) stored = record[kIdentifierKey].stringValue();
        if (record[kSlotKey].isString()) slotName = record[kSlotKey].stringValue();
        if (record[kOptOutKey].isDate()) optOutDate = record[kOptOutKey];
    }

    std::vector<std::pair<std::string, int>> counts;  // identifier → slots holding it, in order first seen
    std::optional<int> freeSlot;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::optional<Value> slotRecord = getDictFromPasteboard(slot);
        const Value& identifier = slotRecord ? (*slotRecord)[kIdentifierKey] : Value();
        if (identifier.isString()) {
            auto found = std::find_if(counts.begin(), counts.end(),
                                      [&](const auto& count) { return count.first == identifier.stringValue(); });
            if (found == counts.end()) counts.emplace_back(identifier.stringValue(), 1);
            else ++found->second;
        } else if (!freeSlot) {
            freeSlot = slot;
        }
        if (slotRecord && (*slotRecord)[kAppUIDKey].isString() && (*slotRecord)[kAppUIDKey].stringValue() == appUID) {
            slotName = pasteboardName(slot);
            if (!optOutDate.isNone()) optOutDate = (*slotRecord)[kOptOutKey];
        }
    }
    std::stable_sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    const std::string mostFrequent = counts.empty() ? std::string() : counts.back().first;

    std::string identifier = stored;
    bool discrepancy = false;
    bool save = false;
    if (!stored.empty()) {
        discrepancy = !mostFrequent.empty() && mostFrequent != stored;
    } else {
        const std::optional<std::string> found = mostFrequent.empty() ? generateFreshSharedUDID() : mostFrequent;
        if (found) {
            identifier = *found;
            if (record.isNone()) {
                record = Value::dictionary();
                record.set(kAppUIDKey, appUID);
                record.set(kCreatedKey, Value::date(now()));
            }
            // A record without a usable identifier gets the one answered, so the next run agrees.
            record.set(kIdentifierKey, identifier);
            save = true;
        } else if (optOutDate.isNone()) {
            // Nothing is stored or cached: a later look-up with OpenSSL starts afresh.
            if (!std::exchange(toldNeedsOpenSSL, true)) {
                logLine("Padlink: %s; phones asking for the device identifier get none", kNeedsOpenSSL);
            }
            report(error, 3, kNeedsOpenSSL);
            return {};
        }
        // Otherwise opted out: the zeros answered need no digest, and with no identifier at hand
        // nothing is stored, so a later run with OpenSSL makes and keeps one as usual.
    }
    if (!identifier.empty() && freeSlot && (slotName.empty() || slotName == pasteboardName(*freeSlot))) {
        record.set(kSlotKey, pasteboardName(*freeSlot));
        save = true;
        setDictForPasteboard(record, *freeSlot);
    }
    if (save) writeDefaultsRecord(record);

    if (!optOutDate.isNone()) {
        report(error, 1,
               stringWithFormat("Application with unique id %s is opted-out from SharedUDID as of %s", appUID.c_str(),
                                dateDescription(optOutDate.timeIntervalSinceReferenceDate()).c_str()));
        identifier = std::string(kIdentifierLength, '0');
    } else if (discrepancy) {
        report(error, 2,
               "Found a discrepancy between stored SharedUDID (reliable) and redundant copies; one of the apps on the "
               "device is most likely corrupting the SharedUDID protocol");
    } else {
        report(error, 0, "SharedUDID succesfully retrieved");
    }
    cachedValue = identifier;
    return identifier;
}

void Padlink_SharedUDID::setOptOut(bool optOut) {
    valueWithError(nullptr);
    std::lock_guard lock(udidMutex);
    const Value stored = defaultsStore().objectForKey(kIdentifierKey);
    Value record = without(stored.isDictionary() ? stored : Value::dictionary(), kOptOutKey);
    if (optOut) record.set(kOptOutKey, Value::date(now()));
    writeDefaultsRecord(record);
    cachedValue.reset();
}

void Padlink_SharedUDID::setStoreLocations(std::string userDefaultsFilePath, std::string slotFolderPath) {
    std::lock_guard lock(udidMutex);
    userDefaultsFile = std::move(userDefaultsFilePath);
    customStore.reset();
    slotFolder = std::move(slotFolderPath);
    cachedValue.reset();
    toldNeedsOpenSSL = false;
}

std::optional<std::string> Padlink_SharedUDID::generateFreshSharedUDID() {
    if (!openSSL()) return std::nullopt;
    const std::string uuid = newUUIDString();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    CC_REQUIRE(
        EVP_Digest(uuid.data(), uuid.size(), digest, &digestLength, EVP_md5(), nullptr) == 1 && digestLength == 16,
        "NSInternalInconsistencyException", "MD5 is not available");
    std::string identifier;
    for (unsigned int i = 0; i < digestLength; ++i) identifier += stringWithFormat("%02x", digest[i]);
    uint32_t random = 0;
    fillRandom(&random, sizeof random);
    return identifier + stringWithFormat("%08x", random % 4294967295u);
}

std::optional<Value> Padlink_SharedUDID::getDictFromPasteboard(int slot) {
    const std::string path = stringByAppendingPathComponent(slotsPath(), pasteboardName(slot));
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    std::string why;
    if (readRegularFile(path, InputLimits::kFileBytes, &bytes, &why)) {
        const auto slotFile = Value::fromBytes(std::string(bytes.begin(), bytes.end()), &why);
        const Value& archive = slotFile ? (*slotFile)[kDataType] : Value();
        if (archive.isData()) {
            const KeyedUnarchiver coder(archive.bytes());
            if (!coder.failed()) return checkedRecord(coder);
            why = "not a keyed archive";
        } else if (slotFile) {
            why = "no record";
        }
    }
    logLine("Padlink: Ignoring shared slot %s: %s", path.c_str(), why.c_str());
    return Value::dictionary();
}

void Padlink_SharedUDID::setDictForPasteboard(const Value& record, int slot) {
    KeyedArchiver archiver;
    for (const auto& [key, value] : record.entries()) archiver.encodeValue(key, value);
    Value slotFile = Value::dictionary();
    slotFile.set(kDataType, Value::data(archiver.archivedData()));
    const std::string folder = slotsPath();
    if (!createFolder(folder) || chmod(folder.c_str(), 0700) != 0) {
        logLine("Padlink: Cannot make the shared slot folder %s", folder.c_str());
        return;
    }
    writeFileAtomically(stringByAppendingPathComponent(folder, pasteboardName(slot)), slotFile.toXML());
}
