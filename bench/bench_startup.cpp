// Start-up: launching the vantrel program until its first frame (the intro) is on screen, against
// a minimal SDL2 + OpenGL program that opens a window of the same size and swaps once. Each
// iteration is one launch of a fresh process; run under a display (xvfb-run) with repetitions for
// the median, e.g. --benchmark_repetitions=15.
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BenchmarkPairs.h"

extern char** environ;

namespace {

std::string home;

// Runs the program to its end with the extra environment; false when it failed.
bool launch(const char* program, const std::vector<std::string>& extra) {
    std::vector<std::string> variables(extra);
    for (char** entry = environ; *entry; ++entry) variables.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program, nullptr, nullptr, argv, envp.data()) != 0) return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void timeLaunches(benchmark::State& state, const char* program, const std::vector<std::string>& extra) {
    for (auto _ : state) {
        if (!launch(program, extra)) {
            state.SkipWithError("the program did not start and end cleanly (is there a display?)");
            return;
        }
    }
}

void startToFirstFrame(benchmark::State& state) {
    // The program's own files go to a scratch home, with full screen off as on a desk.
    timeLaunches(state, VANTREL_PROGRAM,
                 {"LD_PRELOAD=" FIRST_FRAME_EXIT, "XDG_CONFIG_HOME=" + home + "/config",
                  "XDG_DATA_HOME=" + home + "/data", "XDG_CACHE_HOME=" + home + "/cache", "ALSOFT_DRIVERS=null"});
}

void minimalWindowSwap(benchmark::State& state) { timeLaunches(state, MINIMAL_WINDOW_PROGRAM, {}); }

void makeHome() {
    char folder[] = "/tmp/vantrel-bench-start-XXXXXX";
    if (!mkdtemp(folder)) return;
    home = folder;
    // Windowed, so that both programs show the same 1024 x 768 window.
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
        {"StartToFirstFrame", startToFirstFrame, {{"minimal SDL2 window", minimalWindowSwap}}},
    };
    return runBenchmarkGroups(argc, argv, groups, benchmark::kMillisecond, makeHome);
}
