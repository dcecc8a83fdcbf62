#include "audio/OALTools.h"

#include <time.h>

#include <cstdarg>
#include <filesystem>
#include <mutex>

#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

constexpr const char* kFileScheme = "file://";

std::mutex bundleMutex;
std::string bundleFolder;  // empty: the resource folder

void logWithPrefix(const char* prefix, const char* function, const char* format, va_list arguments) {
    const std::string message = stringWithFormatV(format, arguments);
    logLine("%s%s: %s", prefix, function, message.c_str());
}

const char* extAudioErrorText(int32_t status) {
    switch (status) {
    case -66570: return "Async write could not be completed in time";
    case -66569: return "Async write too large";
    case -66568: return "Seek offset out of bounds";
    case -66567: return "Max packet size unknown";
    case -66566: return "Invalid data format";
    case -66565: return "Invalid operation order";
    case -66564: return "Wrong number of channels for format";
    case -66563: return "Non-PCM client format";
    case -66562: return "Invalid property size";
    case -66561: return "Invalid property";
    default: return "Unknown ext audio error";
    }
}

}  // namespace

void OALTools::logError(const char* function, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    logWithPrefix("OAL Error: ", function, format, arguments);
    va_end(arguments);
}

void OALTools::logWarning(const char* function, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    logWithPrefix("OAL Warning: ", function, format, arguments);
    va_end(arguments);
}

std::string OALTools::defaultBundle() {
    std::lock_guard lock(bundleMutex);
    return bundleFolder.empty() ? resourceFolder() : bundleFolder;
}

void OALTools::setDefaultBundle(const std::string& folder) {
    std::lock_guard lock(bundleMutex);
    bundleFolder = folder;
}

std::string OALTools::urlForPath(const std::string& path) {
    return urlForPath(path, defaultBundle());
}

std::string OALTools::urlForPath(const std::string& path, const std::string& folder) {
    if (path.empty()) return "";
    if (isAbsolutePath(path)) return kFileScheme + path;
    const std::string fullPath = stringByAppendingPathComponent(folder, path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(fullPath, error)) {
        logError("+[OALTools urlForPath:bundle:]", "Could not find full path of file %s", path.c_str());
        return "";
    }
    return kFileScheme + std::filesystem::absolute(fullPath, error).string();
}

std::string OALTools::pathForUrl(const std::string& url) {
    return hasPrefix(url, kFileScheme) ? url.substr(std::char_traits<char>::length(kFileScheme)) : "";
}

void OALTools::notifyExtAudioError(int32_t status, const char* function, const char* format, ...) {
    if (status == 0) return;
    va_list arguments;
    va_start(arguments, format);
    const std::string description = stringWithFormatV(format, arguments);
    va_end(arguments);
    logError(function, "%s (error code 0x%08lx: %s)", description.c_str(), static_cast<unsigned long>(int64_t{status}),
             extAudioErrorText(status));
}

void OALTools::notifyAudioSessionError(int32_t, const char*, const char*, ...) {}

uint64_t machAbsoluteTime() {
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000000000u + uint64_t(now.tv_nsec);
}

double secondsBetweenMachTimes(uint64_t later, uint64_t earlier) {
    return later > earlier ? double(later - earlier) * 1e-9 : 0.0;
}
