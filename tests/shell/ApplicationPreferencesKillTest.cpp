// The preferences file survives the program being killed at any moment of a save: a fresh read
// finds it whole, holding the last save that completed or the one that was under way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "shell/ApplicationPreferences.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// The saver: numbers its saves on from what the file holds, alternating between two settings, so
// that the file always holds save n in one and n - 1 in the other; reports each finished save on
// the pipe. Runs until killed.
[[noreturn]] void saveForever(const std::string& folder, int reportFd) {
    UserDefaults store(folder + "/config/UserDefaults.plist");
    ApplicationPreferences preferences(store, "2.0", folder + "/data", folder + "/caches");
    int64_t save = std::max(preferences.gameControls(), preferences.gameControlsSensitivity());
    for (;;) {
        ++save;
        if (save % 2 == 0) preferences.setGameControls(save);
        else preferences.setGameControlsSensitivity(save);
        if (write(reportFd, &save, sizeof save) != sizeof save) _exit(2);
    }
}

// The last save the saver reported, or `none` when it reported none.
int64_t lastReportedSave(int readFd, int64_t none) {
    int64_t last = none, save = 0;
    while (read(readFd, &save, sizeof save) == sizeof save) last = save;
    return last;
}

}  // namespace

TEST(ApplicationPreferencesKill, FileReadsBackWholeAfterAKillAtAnyMoment) {
    TemporaryFolder folder;
    const std::string path = folder.file("config/UserDefaults.plist");
    std::random_device seedSource;
    const unsigned seed = seedSource();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicroseconds(0, 20000);

    int64_t lastSave = 0;  // the newest save known to be complete
    for (int kill = 0; kill < 200; ++kill) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t saver = fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            close(pipeFds[0]);
            saveForever(folder.path(), pipeFds[1]);
        }
        close(pipeFds[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ASSERT_EQ(::kill(saver, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(saver, &status, 0), saver);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself, status " << status;
        const int64_t reported = lastReportedSave(pipeFds[0], lastSave);
        close(pipeFds[0]);

        LogCapture capture;
        UserDefaults reread(path);
        ASSERT_TRUE(capture.lines().empty()) << "kill " << kill << ": " << capture.lines().front();
        const int64_t controls = reread.integerForKey("game_controls_preference");
        const int64_t sensitivity = reread.integerForKey("game_controls_sensitivity_preference");
        const int64_t newest = std::max(controls, sensitivity);
        ASSERT_TRUE(newest == reported || newest == reported + 1)
            << "kill " << kill << ": the file holds save " << newest << ", the last finished was " << reported;
        ASSERT_TRUE(newest == 0 || std::min(controls, sensitivity) == newest - 1) << "kill " << kill << ": a mixed file";
        if (fs::exists(path)) {
            ASSERT_EQ(reread.stringForKey("version_preference"), "2.0");  // saved first of all
        }
        lastSave = newest;
    }
    EXPECT_GT(lastSave, 0) << "the saver never saved";
    EXPECT_TRUE(filesKeptAside(folder.file("config")).empty());
}
