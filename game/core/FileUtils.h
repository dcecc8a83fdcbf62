#pragma once

#include <string>

// File names resolved against the user's documents folder.
class FileUtils {
public:
    // Whether anything exists at the path.
    static bool fileExists(const std::string& path);
    static std::string documentsDirectory();
    // An absolute path as it is; a relative one inside the documents folder.
    static std::string documentsFilePath(const std::string& name);
    // documentsFilePath(name) when that file exists, else the fallback unchanged.
    static std::string documentsFilePathIfExists(const std::string& name, const std::string& fallbackFileName);
};
