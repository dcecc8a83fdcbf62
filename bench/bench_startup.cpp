// Start-up: launching the vantrel program until its first frame (the intro's splash) is on screen,
// against two floors, minimal SDL2 + OpenGL programs that open a window of the same size with the
// same GL attributes: one decodes the same splash picture with libpng, uploads it and draws it as
// one quad, the other only clears. Each iteration is one launch of a fresh process, ended by a
// preloaded library right after its first swap. Run under a display (xvfb-run) with repetitions
// for the median, interleaved so that a change of the machine's load meets every program alike:
// --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BenchmarkPairs.h"

extern char** environ;

namespace {

std::string home;

// Runs the program with its arguments until its first frame, with the extra environment; false
// when it failed.
bool launch(const std::vector<std::string>& command, const std::vector<std::string>& extra) {
    std::vector<std::string> variables(extra);
    variables.push_back("LD_PRELOAD=" FIRST_FRAME_EXIT);
    for (char** entry = environ; *entry; ++entry) variables.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<std::string> arguments(command);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void timeLaunches(benchmark::State& state, const std::vector<std::string>& command,
                  const std::vector<std::string>& extra = {}) {
    for (auto _ : state) {
        if (!launch(command, extra)) {
            state.SkipWithError("the program did not start and end cleanly (is there a display?)");
            return;
        }
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
