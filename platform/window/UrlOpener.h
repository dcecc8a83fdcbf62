#pragma once

#include <string>

// Opening an address (a web page or a file: address) in the desktop's browser. The hook in effect
// is SDL's (SDL_OpenURL) unless a test has set its own. Main thread only.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;

    // False (logged) when the desktop refused the address.
    virtual bool openURL(const std::string& url) = 0;

    static UrlOpener& current();
    // Makes `hook` (not owned) the one in effect; null goes back to SDL's.
    static void setCurrent(UrlOpener* hook);
};
