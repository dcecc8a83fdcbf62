#include "platform/foundation/FileMove.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

FileMoveResult report(const std::string& from, const std::string& to, const char* step, int error) {
    logLine("Cannot move %s to %s: %s failed: %s", from.c_str(), to.c_str(), step,
            std::error_code(error, std::generic_category()).message().c_str());
    return FileMoveResult::failed;
}

std::string folderOf(const std::string& path) {
    const std::string parent = stringByDeletingLastPathComponent(path);
    return parent.empty() ? std::string(".") : parent;
}

// Copies everything readable from one descriptor to the other. False with errno set on failure.
bool copyBytes(int source, int target) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = read(source, buffer, sizeof buffer);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (ssize_t written = 0; written < count;) {
            const ssize_t step = write(target, buffer + written, static_cast<size_t>(count - written));
            if (step < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            written += step;
        }
    }
}

// The copy, link and unlink route, for moves the kernel cannot do as one rename.
FileMoveResult copyThenLink(const std::string& from, const std::string& to) {
    const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (source < 0) return errno == ENOENT ? FileMoveResult::sourceMissing : report(from, to, "opening", errno);
    struct stat status {};
    if (fstat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = S_ISREG(status.st_mode) ? errno : EINVAL;
        close(source);
        return report(from, to, "checking it is a plain file", error);
    }

    const std::string folder = folderOf(to);
    std::string temporary = stringByAppendingPathComponent(folder, stringWithFormat(".%s.XXXXXX", lastPathComponent(to).c_str()));
    const int target = mkostemp(temporary.data(), O_CLOEXEC);
    if (target < 0) {
        const int error = errno;
        close(source);
        return report(from, to, "creating a temporary file", error);
    }
    const char* failed = nullptr;
    if (!copyBytes(source, target)) failed = "copying";
    else if (fchmod(target, status.st_mode & 07777) != 0) failed = "copying permissions";
    else if (fsync(target) != 0) failed = "flushing";
    int error = errno;
    if (close(target) != 0 && !failed) {
        failed = "closing";
        error = errno;
    }
    close(source);
    if (!failed && link(temporary.c_str(), to.c_str()) != 0) {
        error = errno;
        failed = "linking";
    }
    unlink(temporary.c_str());
    if (failed) return error == EEXIST ? FileMoveResult::destinationExists : report(from, to, failed, error);

    if (const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    // The copy is safe in place; a source that cannot be removed only leaves a second copy behind.
    if (unlink(from.c_str()) != 0) report(from, to, "removing the original", errno);
    return FileMoveResult::moved;
}

}  // namespace

FileMoveResult moveFileWithoutReplacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return FileMoveResult::moved;
    switch (errno) {
        case ENOENT:
            // Either end may be missing: a missing destination folder is a failure, not a missing file.
            if (access(from.c_str(), F_OK) != 0) return FileMoveResult::sourceMissing;
            return report(from, to, "renaming", ENOENT);
        case EEXIST:
            return FileMoveResult::destinationExists;
        case EXDEV:   // across file systems
        case EINVAL:  // the file system does not take the flag
        case ENOSYS:  // the kernel does not know renameat2
            return copyThenLink(from, to);
        default:
            return report(from, to, "renaming", errno);
    }
}

std::string moveFileAside(const std::string& path) {
    const time_t now = time(nullptr);
    struct tm utc {};
    gmtime_r(&now, &utc);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    const std::string base = path + ".corrupt-" + stamp;
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::string aside = attempt == 1 ? base : stringWithFormat("%s-%d", base.c_str(), attempt);
        switch (moveFileWithoutReplacing(path, aside)) {
            case FileMoveResult::moved:
                return aside;
            case FileMoveResult::destinationExists:
                continue;
            case FileMoveResult::sourceMissing:
                logLine("Cannot move %s aside: it is gone", path.c_str());
                return {};
            case FileMoveResult::failed:
                return {};
        }
    }
    logLine("Cannot move %s aside: every name is taken", path.c_str());
    return {};
}
