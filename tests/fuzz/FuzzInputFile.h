#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// For fuzz targets that read files: one temporary file per process, rewritten with each input
// and removed when the process exits normally.
class FuzzInputFile {
public:
    // Writes the input to the file and returns its path.
    static const char* write(const uint8_t* data, size_t size) {
        static FuzzInputFile file;
        FILE* stream = std::fopen(file.path_.c_str(), "wb");
        if (!stream || std::fwrite(data, 1, size, stream) != size) std::abort();
        std::fclose(stream);
        return file.path_.c_str();
    }

private:
    FuzzInputFile() {
        path_ = (std::filesystem::temp_directory_path() / "vantrel-fuzz-XXXXXX").string();
        const int descriptor = mkstemp(path_.data());
        if (descriptor < 0) std::abort();
        close(descriptor);
    }
    ~FuzzInputFile() { std::remove(path_.c_str()); }

    std::string path_;
};

// For fuzz targets that work in a folder: one temporary folder per process, emptied for each
// input and removed when the process exits normally.
class FuzzScratchFolder {
public:
    // Empties the folder and returns its path.
    static const std::string& fresh() {
        static FuzzScratchFolder folder;
        std::filesystem::remove_all(folder.path_);
        std::filesystem::create_directory(folder.path_);
        return folder.path_;
    }

private:
    FuzzScratchFolder() {
        path_ = (std::filesystem::temp_directory_path() / "vantrel-fuzz-folder-XXXXXX").string();
        if (!mkdtemp(path_.data())) std::abort();
    }
    ~FuzzScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    std::string path_;
};

// Points the program's data, configuration and cache folders into the folder, so that nothing a
// target saves reaches the user's own.
inline void useFolderAsHome(const std::string& folder) {
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
}
