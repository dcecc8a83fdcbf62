// Preloaded into a program (LD_PRELOAD): the first buffer swap is shown, the moment it returns is
// written (CLOCK_MONOTONIC nanoseconds, 8 bytes) to the descriptor named by FIRST_FRAME_FD when
// that is set, then the process ends at once with status 0. Start-up timing thus stops at the
// first frame on screen, whatever the process then takes to be torn down.
#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    static const auto realSwap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    realSwap(window);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int64_t nanoseconds = int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
    if (const char* fd = std::getenv("FIRST_FRAME_FD")) {
        if (write(std::atoi(fd), &nanoseconds, sizeof nanoseconds) != sizeof nanoseconds) _exit(1);
    }
    _exit(0);
}
