// Preferences reading: any bytes as the stored settings file give a working set of preferences.
// The file is either read or moved aside whole; afterwards it reads back as a dictionary holding
// the running version, and the update rules follow the version the file held.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell/ApplicationPreferences.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/Value.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* kRunning = "2.0";

// One folder per process, emptied before each input.
const fs::path& workFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "vantrel-fuzz-preferences-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        std::atexit([] { fs::remove_all(workFolder()); });
        return fs::path(pattern);
    }();
    return folder;
}

void writeFile(const fs::path& path, const uint8_t* data, size_t size) {
    fs::create_directories(path.parent_path());
    FILE* stream = std::fopen(path.c_str(), "wb");
    if (!stream || (size > 0 && std::fwrite(data, 1, size, stream) != size)) std::abort();
    std::fclose(stream);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path& folder = workFolder();
    for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
    const fs::path settings = folder / "config" / "UserDefaults.plist";
    writeFile(settings, data, size);
    const uint8_t scores[] = {'o', 'l', 'd'};
    writeFile(folder / "caches" / "Scores.archive", scores, sizeof scores);

    LogCapture quiet;
    UserDefaults store(settings.string());
    ApplicationPreferences preferences(store, kRunning, (folder / "data").string(), (folder / "caches").string());

    const std::string old = preferences.oldVersion();
    if (preferences.updateRequired() != (old != kRunning)) std::abort();
    const bool moves = old == "1.0" || old == "1.1";
    if (fs::exists(folder / "data" / "Scores.archive") != moves) std::abort();
    if (old == "1.0" && !preferences.useGameCenter()) std::abort();
    const std::string name = preferences.gameControlsName();
    const int64_t controls = preferences.gameControls();
    if (name != (controls == 0 ? "joystick" : controls == 1 ? "tilt" : controls == 2 ? "dpad" : "Unknown")) std::abort();
    (void)preferences.gameControlsSensitivity();
    (void)preferences.useFullscreen();

    // The file as the next start finds it.
    quiet.clear();
    UserDefaults reread(settings.string());
    if (!quiet.lines().empty() || reread.stringForKey("version_preference") != kRunning) std::abort();
    return 0;
}
