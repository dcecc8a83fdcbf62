#pragma once

#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    // Full path of a file in the folder.
    std::string file(const std::string& name) const;
    // Writes the bytes to the named file (parents created) and returns its full path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// Points the program's resource folder at another folder while alive, and back afterwards, also
// when a test ends early.
class ScopedResourceFolder {
public:
    explicit ScopedResourceFolder(const std::string& folder);
    ~ScopedResourceFolder();
    ScopedResourceFolder(const ScopedResourceFolder&) = delete;
    ScopedResourceFolder& operator=(const ScopedResourceFolder&) = delete;

private:
    std::string saved_;
};

// The whole content of a file; empty when it cannot be read.
std::string readFileBytes(const std::string& path);

// Full paths, sorted, of the files in the folder that were moved aside as unreadable
// ("<name>.corrupt-<time>").
std::vector<std::string> filesKeptAside(const std::string& folder);

// Runs passes of the main run loop until one finds no work: completions posted by a pass run too.
void drainMainRunLoop();
