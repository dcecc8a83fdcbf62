// Start-up: launching the vantrel program until its first frame (the intro's splash) is on screen,
// against two floors, minimal SDL2 + OpenGL programs that open a window of the same size with the
// same GL attributes: one decodes the same splash picture with libpng, uploads it and draws it as
// one quad, the other only clears. Each iteration is one launch of a fresh process, timed from its
// start to the return of its first swap, which a preloaded library reports before it ends the
// process (tearing a process down is no part of starting it). Run under a display (xvfb-run)
// with repetitions for the median, interleaved so that a change of the machine's load meets every
// program alike: --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "BenchmarkPairs.h"

extern char** environ;

namespace {

std::string home;
// The descriptor on which a launched program tells the time of its first frame.
constexpr int kFirstFrameFd = 3;

// Seconds from starting the program with its arguments (and the extra environment) to the return
// of its first swap; a negative value when it failed.
double launch(const std::vector<std::string>& command, const std::vector<std::string>& extra) {
    int firstFrame[2];
    if (pipe2(firstFrame, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, firstFrame[1], kFirstFrameFd);
    std::vector<std::string> variables(extra);
    variables.push_back("LD_PRELOAD=" FIRST_FRAME_EXIT);
    variables.push_back("FIRST_FRAME_FD=" + std::to_string(kFirstFrameFd));
    for (char** entry = environ; *entry; ++entry) variables.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<std::string> arguments(command);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t child = 0;
    const bool spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(firstFrame[1]);
    int64_t shown = 0;
    const bool told = spawned && read(firstFrame[0], &shown, sizeof shown) == sizeof shown;
    close(firstFrame[0]);
    int status = 0;
    const bool clean = spawned && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!told || !clean) return -1;
    return double(shown - (int64_t(start.tv_sec) * 1000000000 + start.tv_nsec)) / 1e9;
}

void timeLaunches(benchmark::State& state, const std::vector<std::string>& command,
                  const std::vector<std::string>& extra = {}) {
    for (auto _ : state) {
        const double seconds = launch(command, extra);
        if (seconds < 0) {
            state.SkipWithError("the program did not show a frame and end cleanly (is there a display?)");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void startToFirstFrame(benchmark::State& state) {
    // The program's own files go to a scratch home, with full screen off as on a desk.
    timeLaunches(state, {VANTREL_PROGRAM},
                 {"XDG_CONFIG_HOME=" + home + "/config", "XDG_DATA_HOME=" + home + "/data",
                  "XDG_CACHE_HOME=" + home + "/cache", "ALSOFT_DRIVERS=null"});
}

void pictureFloor(benchmark::State& state) { timeLaunches(state, {MINIMAL_WINDOW_PROGRAM, SPLASH_PICTURE}); }

void clearedWindowFloor(benchmark::State& state) { timeLaunches(state, {MINIMAL_WINDOW_PROGRAM}); }

void makeHome() {
    char folder[] = "/tmp/vantrel-bench-start-XXXXXX";
    if (!mkdtemp(folder)) return;
    home = folder;
    // Windowed, so that every program shows the same 1024 x 768 window.
    const std::string config = home + "/config/org.vantrel.Vantrel";
    std::system(("mkdir -p " + config).c_str());
    if (FILE* out = std::fopen((config + "/UserDefaults.plist").c_str(), "w")) {
        std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                   "<key>use_fullscreen_preference</key><false/></dict></plist>\n",
                   out);
        std::fclose(out);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<BenchmarkGroup> groups = {
        {"StartToFirstFrame",
         startToFirstFrame,
         {{"picture floor", pictureFloor}, {"window that clears", clearedWindowFloor}},
         true},
    };
    return runBenchmarkGroups(argc, argv, groups, benchmark::kMillisecond, makeHome);
}
