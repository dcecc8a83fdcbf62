#include "platform/foundation/SavedFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {
// A few names per second are plenty: each move needs a broken file, which a save then replaces.
constexpr int kMaxAsideNames = 100;

// Renames unless `to` exists. Folders whose file system lacks the no-replace rename get a hard link
// and an unlink, which refuse an existing name just the same.
bool moveWithoutReplacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL) return false;
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

std::string utcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
}
}  // namespace

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
    const std::string base = path + ".corrupt-" + utcTimestamp();
    for (int attempt = 1; attempt <= kMaxAsideNames; ++attempt) {
        const std::string aside = attempt == 1 ? base : stringWithFormat("%s-%d", base.c_str(), attempt);
        // Never replaces an earlier broken file that was kept aside.
        if (moveWithoutReplacing(path, aside)) {
            logLine("Cannot read %s (%s): kept aside as %s", path.c_str(), reason.c_str(), aside.c_str());
            return true;
        }
        if (errno != EEXIST) break;
    }
    logLine("Cannot read %s (%s), and cannot move it aside: %s", path.c_str(), reason.c_str(), std::strerror(errno));
    return false;
}

bool writeSavedDictionary(const std::string& path, const Value& dictionary) {
    const std::string bytes = dictionary.toXML();
    if (bytes.empty()) {
        logLine("Cannot save %s: the values cannot be written as a property list", path.c_str());
        return false;
    }
    return writeFileAtomically(path, bytes);
}
