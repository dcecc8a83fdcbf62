#include "game/core/FileUtils.h"

#include <filesystem>
#include <system_error>

#include "platform/foundation/Folders.h"
#include "platform/foundation/StringUtils.h"

bool FileUtils::fileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

std::string FileUtils::documentsDirectory() { return documentsFolder(); }

std::string FileUtils::documentsFilePath(const std::string& name) {
    return isAbsolutePath(name) ? name : stringByAppendingPathComponent(documentsDirectory(), name);
}

std::string FileUtils::documentsFilePathIfExists(const std::string& name, const std::string& fallbackFileName) {
    const std::string path = documentsFilePath(name);
    return fileExists(path) ? path : fallbackFileName;
}
