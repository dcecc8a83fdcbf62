#include "platform/foundation/Folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/foundation/StringUtils.h"

namespace fs = std::filesystem;

namespace {
std::mutex folderMutex;
std::string resourceFolderOverride;

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/tmp";
}

// An XDG base folder: the variable when it holds an absolute path, else the default under home.
std::string xdgFolder(const char* variable, const char* defaultUnderHome) {
    const char* value = std::getenv(variable);
    if (value && isAbsolutePath(value)) return value;
    return stringByAppendingPathComponent(homeFolder(), defaultUnderHome);
}

std::string executableFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : executable.parent_path().string();
}
}  // namespace

std::string resourceFolder() {
    {
        std::lock_guard lock(folderMutex);
        if (!resourceFolderOverride.empty()) return resourceFolderOverride;
    }
    const std::string besideProgram = stringByAppendingPathComponent(executableFolder(), "resources");
    std::error_code error;
    if (fs::is_directory(besideProgram, error)) return besideProgram;
    return (fs::path(executableFolder()) / ".." / "share" / "vantrel").lexically_normal().string();
}

void setResourceFolder(const std::string& folder) {
    std::lock_guard lock(folderMutex);
    resourceFolderOverride = folder;
}

std::string applicationDataFolder() {
    return stringByAppendingPathComponent(xdgFolder("XDG_DATA_HOME", ".local/share"), kBundleIdentifier);
}

std::string configurationFolder() {
    return stringByAppendingPathComponent(xdgFolder("XDG_CONFIG_HOME", ".config"), kBundleIdentifier);
}

std::string cachesFolder() { return xdgFolder("XDG_CACHE_HOME", ".cache"); }

std::string documentsFolder() {
    // user-dirs.dirs holds shell assignments such as XDG_DOCUMENTS_DIR="$HOME/Documents".
    std::ifstream dirs(stringByAppendingPathComponent(xdgFolder("XDG_CONFIG_HOME", ".config"), "user-dirs.dirs"));
    const std::string key = "XDG_DOCUMENTS_DIR=";
    for (std::string line; std::getline(dirs, line);) {
        if (!hasPrefix(line, key)) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        value = stringByReplacingOccurrences(value, "$HOME", homeFolder());
        if (isAbsolutePath(value)) return value;
    }
    return stringByAppendingPathComponent(homeFolder(), "Documents");
}

bool createFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}
