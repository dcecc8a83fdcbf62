#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/foundation/Object.h"

// Resolution types stored with each answer of CCFileUtils::fullPathFromRelativePath.
inline constexpr int32_t kCCResolutionStandard = 1;
inline constexpr int32_t kCCResolutionHigh = 2;  // the high-resolution ("-machd") variant

// Devices reported by CCFileUtils::runningDevice.
inline constexpr int64_t kCCDeviceStandardMac = 0;
inline constexpr int64_t kCCDeviceHighResolutionMac = 1;

// One cached answer of a full-path lookup.
class CCCacheValue : public Object {
public:
    CCCacheValue(std::string fullpath, int32_t resolutionType)
        : fullpath_(std::move(fullpath)), resolutionType_(resolutionType) {}

    const std::string& fullpath() const { return fullpath_; }
    int32_t resolutionType() const { return resolutionType_; }

private:
    std::string fullpath_;
    int32_t resolutionType_;  // kCCResolutionStandard or kCCResolutionHigh
};

// Turns resource names into full paths. A relative name is looked up in the resource folder
// (resourceFolder(), read at every lookup), first with the device's suffix inserted before the
// extension ("hero.png" -> "hero-mac.png", "sheet.pvr.ccz" -> "sheet-mac.pvr.ccz"), then as it
// stands; an absolute path is checked on the file system. Answers are cached, found or not, until
// purgeCachedEntries.
//
// Paths are UTF-8 strings; an empty string stands for "no path" wherever an answer may be absent.
// Every operation may be called from any thread: the caches and suffixes are guarded by one mutex.
class CCFileUtils : public Object {
public:
    // The process-wide instance, made on first use.
    static CCFileUtils* sharedFileUtils();

    CCFileUtils();

    // The full path of a resource, or the name unchanged when no file is found. A name holding a
    // NUL byte is refused with one log line and answered with "" (the file system would read it
    // cut at the NUL, another file than the one named); it finds no file in the lookups below.
    std::string fullPathFromRelativePath(const std::string& relPath);
    // The same, storing the resolution type of the answer in `*resolutionType` (when not null).
    std::string fullPathFromRelativePath(const std::string& relPath, int32_t* resolutionType);

    // The path of the file named `path` with `suffix` inserted before its extension (kept as it
    // stands when its base name already contains the suffix, or when the suffix is empty), or ""
    // when no such file exists. Relative paths are looked up in the resource folder.
    std::string getPath(const std::string& path, const std::string& suffix) const;

    // Full path of resourceFolder()/directory/name[.type] when that regular file exists, else "".
    std::string pathForResource(const std::string& name, const std::string& type,
                                const std::string& directory) const;

    int64_t runningDevice() const { return kCCDeviceStandardMac; }

    // `path` with every occurrence of `suffix` removed from its last component; `path` itself
    // when the suffix is empty; "" when the last component does not contain the suffix.
    std::string removeSuffix(const std::string& suffix, const std::string& path) const;
    // `path` without the device's suffix (or unchanged when it has none); cached.
    std::string removeSuffixFromFile(const std::string& path);

    // True when the file, with `suffix` inserted, exists (relative paths in the resource folder).
    bool fileExistsAtPath(const std::string& path, const std::string& suffix) const;
    bool macFileExistsAtPath(const std::string& path) const;
    bool macRetinaDisplayFileExistsAtPath(const std::string& path) const;

    void purgeCachedEntries();

    bool enableFallbackSuffixes() const;
    void setEnableFallbackSuffixes(bool enable);
    std::string macSuffix() const;
    // Answers already cached are kept: purge them for the new suffix to take effect.
    void setMacSuffix(const std::string& suffix);
    std::string macRetinaDisplaySuffix() const;
    void setMacRetinaDisplaySuffix(const std::string& suffix);

private:
    mutable std::mutex mutex_;  // guards every field below
    std::unordered_map<std::string, RefPtr<CCCacheValue>> fullPathCache_;  // relative name -> answer
    std::unordered_map<std::string, std::string> removeSuffixCache_;      // path -> path without suffix
    // On the high-resolution device, fall back to the standard suffix when the high one finds nothing.
    bool enableFallbackSuffixes_ = false;
    std::string macSuffix_ = "-mac";
    std::string macRetinaDisplaySuffix_ = "-machd";
};

// Reads the whole file into a new malloc'ed buffer handed to the caller through `*out` (freed
// with free) and returns its size. An empty file gives 0 with a non-null buffer. Returns -1 with
// `*out` null, logging nothing, when readRegularFile refuses the file: it cannot be opened, is not
// a regular file, holds more than InputLimits::kFileBytes or cannot be read whole.
int64_t ccLoadFileToMemory(const char* path, unsigned char** out);
