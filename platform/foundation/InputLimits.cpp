#include "platform/foundation/InputLimits.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

bool readRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>* bytes, std::string* why) {
    bytes->clear();
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        *why = std::strerror(errno);
        return false;
    }
    // Directories and devices open too, but have no meaningful size.
    struct stat status {};
    if (fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode)) {
        *why = "not a regular file";
        return false;
    }
    const uint64_t size = static_cast<uint64_t>(status.st_size);
    if (size > maxBytes) {
        *why = "larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    bytes->resize(size);
    // A file that shrinks while it is read is a failure, not a shorter answer.
    if (std::fread(bytes->data(), 1, size, file.get()) != size) {
        bytes->clear();
        *why = "read error";
        return false;
    }
    return true;
}
