#include "platform/window/UrlOpener.h"

#include <SDL.h>

#include "platform/foundation/Log.h"

namespace {

class SDLUrlOpener : public UrlOpener {
public:
    bool openURL(const std::string& url) override {
        if (SDL_OpenURL(url.c_str()) == 0) return true;
        logLine("Cannot open \"%s\": %s", url.c_str(), SDL_GetError());
        return false;
    }
};

SDLUrlOpener sdlUrlOpener;
UrlOpener* currentHook = nullptr;

}  // namespace

UrlOpener& UrlOpener::current() { return currentHook ? *currentHook : sdlUrlOpener; }

void UrlOpener::setCurrent(UrlOpener* hook) { currentHook = hook; }
