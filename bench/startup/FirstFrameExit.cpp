// Preloaded into a program (LD_PRELOAD): the first buffer swap is shown, then the process ends at
// once with status 0. Start-up timing thus stops at the first frame on screen.
#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    static const auto realSwap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    realSwap(window);
    _exit(0);
}
