#include "platform/foundation/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

bool report(const std::string& path, const char* step, int error) {
    logLine("Cannot save %s: %s failed: %s", path.c_str(), step,
            std::error_code(error, std::generic_category()).message().c_str());
    return false;
}

bool writeAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

// Writes, flushes and closes the temporary file. Returns the step that failed, with errno set, or
// null; the file is closed either way.
const char* fillTemporary(int fd, const std::string& path, const std::string& bytes) {
    struct stat target;
    const char* failed = nullptr;
    if (!writeAll(fd, bytes)) {
        failed = "writing";
    } else if (stat(path.c_str(), &target) == 0 && fchmod(fd, target.st_mode & 07777) != 0) {
        failed = "copying permissions";
    } else if (fsync(fd) != 0) {
        failed = "flushing";
    }
    const int error = errno;
    if (close(fd) != 0 && !failed) return "closing";
    errno = error;
    return failed;
}

}  // namespace

bool writeFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string parent = stringByDeletingLastPathComponent(path);
    const std::string folder = parent.empty() ? std::string(".") : parent;
    std::string temporary = stringByAppendingPathComponent(folder, stringWithFormat(".%s.XXXXXX", lastPathComponent(path).c_str()));

    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return report(path, "creating a temporary file", errno);

    const char* failed = fillTemporary(fd, path, bytes);
    if (!failed && rename(temporary.c_str(), path.c_str()) != 0) failed = "renaming";
    if (failed) {
        const int error = errno;
        unlink(temporary.c_str());
        return report(path, failed, error);
    }

    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) return report(path, "opening the folder", errno);
    // Some file systems cannot flush a folder (EINVAL); the rename is as safe as they allow.
    const bool flushed = fsync(folderFd) == 0 || errno == EINVAL;
    const int error = errno;
    close(folderFd);
    return flushed || report(path, "flushing the folder", error);
}
