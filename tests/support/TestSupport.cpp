#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/foundation/Folders.h"
#include "platform/foundation/RunLoop.h"

namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "vantrel-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
}

std::string TemporaryFolder::file(const std::string& name) const { return (fs::path(path_) / name).string(); }

std::string TemporaryFolder::write(const std::string& name, const std::string& bytes) const {
    const fs::path target = fs::path(path_) / name;
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return target.string();
}

ScopedResourceFolder::ScopedResourceFolder(const std::string& folder) : saved_(resourceFolder()) {
    setResourceFolder(folder);
}

ScopedResourceFolder::~ScopedResourceFolder() { setResourceFolder(saved_); }

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> filesKeptAside(const std::string& folder) {
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".corrupt-") != std::string::npos) paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

void drainMainRunLoop() {
    while (RunLoop::main().runOnce() > 0) {
    }
}
