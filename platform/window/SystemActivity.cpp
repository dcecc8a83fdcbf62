#include "platform/window/SystemActivity.h"

#include <SDL.h>

#include <atomic>

namespace {

class SDLSystemActivity : public SystemActivity {
public:
    // Without a video subsystem there is no screen saver to keep off, and SDL does nothing.
    void keepAwake() override { SDL_DisableScreenSaver(); }
};

SDLSystemActivity sdlSystemActivity;
std::atomic<SystemActivity*> currentHook = nullptr;

}  // namespace

SystemActivity& SystemActivity::current() {
    SystemActivity* hook = currentHook.load(std::memory_order_acquire);
    return hook ? *hook : sdlSystemActivity;
}

void SystemActivity::setCurrent(SystemActivity* hook) { currentHook.store(hook, std::memory_order_release); }
