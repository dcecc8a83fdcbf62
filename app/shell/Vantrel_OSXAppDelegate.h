#pragma once

#include <functional>

class ApplicationPreferences;
class CCDirectorMac;
class Object;

// The application's own operations on its window: full screen on and off, and leaving full screen
// while the application is in the background. The launch and activation handlers join these when
// the menus do.
//
// Engine thread only.
class Vantrel_OSXAppDelegate {
public:
    // The delegate of the running application, over the shared preferences; made on first use.
    static Vantrel_OSXAppDelegate* sharedInstance();

    explicit Vantrel_OSXAppDelegate(ApplicationPreferences& preferences);
    Vantrel_OSXAppDelegate(const Vantrel_OSXAppDelegate&) = delete;
    Vantrel_OSXAppDelegate& operator=(const Vantrel_OSXAppDelegate&) = delete;

    // Closes an open game-service view, switches the director's full screen to the other state and
    // stores the new state in the full-screen preference (saved at once). The sender (a menu
    // button, or none) is not used.
    void toggleFullScreen(Object* sender = nullptr);
    // Remembers whether the director is in full screen and, if so, leaves it (the preference
    // becomes false).
    void saveAndDisableFullScreen();
    // Goes back to full screen when saveAndDisableFullScreen left it (the preference becomes true
    // again); does nothing when the director is in full screen already.
    void restoreFullScreen();
    bool wasFullScreen() const { return wasFullScreen_; }

    // The call toggleFullScreen makes first to close an open game-service view; the shared
    // delegate closes GameKitHelper's, tests give their own.
    void setGameServiceViewCloser(std::function<void()> closer) { closeGameServiceView_ = std::move(closer); }

private:
    // The director as the desktop director it always is; null (logged) otherwise.
    static CCDirectorMac* director();

    ApplicationPreferences& preferences_;
    bool wasFullScreen_ = false;  // the director was in full screen when the application last went to the background
    std::function<void()> closeGameServiceView_;
};
