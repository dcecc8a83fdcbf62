#include "engine/core/support/CCFileUtils.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/foundation/Folders.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace fs = std::filesystem;

namespace {
constexpr size_t kInitialCacheCapacity = 30;

// The file system reads a name only up to its first NUL byte, so such a name would find another
// file than the one it spells.
bool holdsNul(std::string_view name) { return name.find('\0') != std::string_view::npos; }

bool isRegularFile(const std::string& path) {
    std::error_code error;
    return !holdsNul(path) && fs::is_regular_file(path, error);
}
}  // namespace

CCFileUtils* CCFileUtils::sharedFileUtils() {
    static const RefPtr<CCFileUtils> shared = makeRef<CCFileUtils>();
    return shared.get();
}

CCFileUtils::CCFileUtils() {
    fullPathCache_.reserve(kInitialCacheCapacity);
    removeSuffixCache_.reserve(kInitialCacheCapacity);
}

std::string CCFileUtils::fullPathFromRelativePath(const std::string& relPath) {
    return fullPathFromRelativePath(relPath, nullptr);
}

std::string CCFileUtils::fullPathFromRelativePath(const std::string& relPath, int32_t* resolutionType) {
    if (holdsNul(relPath)) {
        logLine("Lumora: file name refused, it holds a NUL byte: %s",
                stringByReplacingOccurrences(relPath, std::string_view("\0", 1), "\\0").c_str());
        if (resolutionType) *resolutionType = kCCResolutionStandard;
        return {};
    }
    std::lock_guard lock(mutex_);
    RefPtr<CCCacheValue>& cached = fullPathCache_[relPath];
    if (!cached) {
        std::string found;
        int32_t type = kCCResolutionStandard;
        const int64_t device = runningDevice();
        if (device == kCCDeviceStandardMac) {
            found = getPath(relPath, macSuffix_);
        } else if (device == kCCDeviceHighResolutionMac) {
            found = getPath(relPath, macRetinaDisplaySuffix_);
            type = kCCResolutionHigh;
            if (found.empty() && enableFallbackSuffixes_) {
                found = getPath(relPath, macSuffix_);
                type = kCCResolutionStandard;
            }
        }
        if (found.empty()) {
            found = getPath(relPath, "");
            type = kCCResolutionStandard;
        }
        cached = makeRef<CCCacheValue>(found.empty() ? relPath : found, type);
    }
    if (resolutionType) *resolutionType = cached->resolutionType();
    return cached->fullpath();
}

std::string CCFileUtils::getPath(const std::string& path, const std::string& suffix) const {
    std::string newName = path;
    if (!suffix.empty()) {
        std::string base = stringByDeletingPathExtension(path);
        if (lastPathComponent(base).find(suffix) == std::string::npos) {
            std::string extension = pathExtension(path);
            // Compressed textures keep their double extension together: "a.pvr.ccz" -> "a-mac.pvr.ccz".
            const std::string innerExtension = pathExtension(base);
            if ((extension == "ccz" || extension == "gz") && !innerExtension.empty()) {
                extension = innerExtension + "." + extension;
                base = stringByDeletingPathExtension(base);
            }
            newName = stringByAppendingPathExtension(base + suffix, extension);
        }
    }
    if (!isAbsolutePath(path)) {
        return pathForResource(lastPathComponent(newName), "", stringByDeletingLastPathComponent(path));
    }
    return isRegularFile(newName) ? newName : std::string();
}

std::string CCFileUtils::pathForResource(const std::string& name, const std::string& type,
                                         const std::string& directory) const {
    if (name.empty()) return {};
    const std::string file = stringByAppendingPathExtension(name, type);
    const std::string path =
        stringByAppendingPathComponent(stringByAppendingPathComponent(resourceFolder(), directory), file);
    return isRegularFile(path) ? path : std::string();
}

std::string CCFileUtils::removeSuffix(const std::string& suffix, const std::string& path) const {
    if (suffix.empty()) return path;
    const std::string name = lastPathComponent(path);
    if (name.find(suffix) == std::string::npos) return {};
    return stringByAppendingPathComponent(stringByDeletingLastPathComponent(path),
                                          stringByReplacingOccurrences(name, suffix, ""));
}

std::string CCFileUtils::removeSuffixFromFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    const auto cached = removeSuffixCache_.find(path);
    if (cached != removeSuffixCache_.end()) return cached->second;
    std::string result;
    if (runningDevice() == kCCDeviceHighResolutionMac) result = removeSuffix(macRetinaDisplaySuffix_, path);
    if (result.empty()) result = removeSuffix(macSuffix_, path);
    if (result.empty()) result = path;
    removeSuffixCache_.emplace(path, result);
    return result;
}

bool CCFileUtils::fileExistsAtPath(const std::string& path, const std::string& suffix) const {
    std::string fullpath = path;
    if (!isAbsolutePath(path)) {
        const std::string inResources =
            pathForResource(lastPathComponent(path), "", stringByDeletingLastPathComponent(path));
        if (!inResources.empty()) fullpath = inResources;
    }
    return !getPath(fullpath, suffix).empty();
}

bool CCFileUtils::macFileExistsAtPath(const std::string& path) const {
    return fileExistsAtPath(path, macSuffix());
}

bool CCFileUtils::macRetinaDisplayFileExistsAtPath(const std::string& path) const {
    return fileExistsAtPath(path, macRetinaDisplaySuffix());
}

void CCFileUtils::purgeCachedEntries() {
    std::lock_guard lock(mutex_);
    fullPathCache_.clear();
    removeSuffixCache_.clear();
}

bool CCFileUtils::enableFallbackSuffixes() const {
    std::lock_guard lock(mutex_);
    return enableFallbackSuffixes_;
}

void CCFileUtils::setEnableFallbackSuffixes(bool enable) {
    std::lock_guard lock(mutex_);
    enableFallbackSuffixes_ = enable;
}

std::string CCFileUtils::macSuffix() const {
    std::lock_guard lock(mutex_);
    return macSuffix_;
}

void CCFileUtils::setMacSuffix(const std::string& suffix) {
    std::lock_guard lock(mutex_);
    macSuffix_ = suffix;
}

std::string CCFileUtils::macRetinaDisplaySuffix() const {
    std::lock_guard lock(mutex_);
    return macRetinaDisplaySuffix_;
}

void CCFileUtils::setMacRetinaDisplaySuffix(const std::string& suffix) {
    std::lock_guard lock(mutex_);
    macRetinaDisplaySuffix_ = suffix;
}

int64_t ccLoadFileToMemory(const char* path, unsigned char** out) {
    *out = nullptr;
    std::vector<uint8_t> bytes;
    std::string why;
    if (!readRegularFile(path, InputLimits::kFileBytes, &bytes, &why)) return -1;
    // One spare byte so that an empty file still gets a buffer of its own.
    *out = static_cast<unsigned char*>(std::malloc(bytes.size() + 1));
    if (!*out) return -1;
    std::copy(bytes.begin(), bytes.end(), *out);
    return static_cast<int64_t>(bytes.size());
}
