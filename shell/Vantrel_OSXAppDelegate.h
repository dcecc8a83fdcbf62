#pragma once

#include <functional>
#include <memory>

#include "platform/foundation/Object.h"

class ApplicationPreferences;
class CCDirectorMac;
class CCGLView;
class CCScene;
class GLWindow;
class VantrelViewController;

// The application's life cycle: the ordered launch, activation changes (the window losing and
// gaining keyboard focus), full screen on and off, and termination.
//
// The program ends one way only: the frame loop stops (the window's close button, the system's
// quit request or terminate()), then the caller of the loop calls applicationWillTerminate and
// ends the director. Nothing exits in the middle of a frame.
//
// Engine thread only.
class Vantrel_OSXAppDelegate {
public:
    // What an activation change does to the sound and to a game being played. The shared
    // delegate ducks VantrelAudio; the program that links the play scene sets pauseGame.
    struct ActivationResponders {
        std::function<void()> pauseGame;
        std::function<void()> duckAudio;
        std::function<void()> unduckAudio;
    };

    // The delegate of the running application, over the shared preferences, which its launch makes
    // in their turn; made on first use.
    static Vantrel_OSXAppDelegate* sharedInstance();

    // Over the given preferences instead of the shared ones.
    explicit Vantrel_OSXAppDelegate(ApplicationPreferences& preferences);
    ~Vantrel_OSXAppDelegate();
    Vantrel_OSXAppDelegate(const Vantrel_OSXAppDelegate&) = delete;
    Vantrel_OSXAppDelegate& operator=(const Vantrel_OSXAppDelegate&) = delete;

    // The launch, in order: the random generator seeded with the time; the shared global state,
    // preferences, audio, game-service client and phone glue made; the view held by the view
    // controller and given to the director (high resolution, resource suffix, 2D projection,
    // letterboxing resize mode); full screen when the preference asks for it; the view taking
    // trackpad touches but no bare pointer motion, and telling this delegate of focus changes;
    // `firstScene` run.
    void applicationDidFinishLaunching(RefPtr<CCGLView> view, const std::function<RefPtr<CCScene>()>& firstScene);

    // The window lost focus: an open game-service view is closed, full screen is left (and
    // remembered), and a game being played pauses while anything else only ducks the sound.
    void applicationWillResignActive();
    // The window got focus back: full screen comes back when it was left, and outside a game the
    // sound is unducked. A paused game stays paused.
    void applicationWillBecomeActive();
    // Saves the preferences.
    void applicationWillTerminate();
    // Closing the last window quits.
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
    // The quit button: the frame loop stops after the frame under way.
    void terminate(Object* sender = nullptr);
    // A focus change of the view: resign or become active, once per change. While our own
    // full-screen switch settles (some window managers move focus back and forth then) changes are
    // only noted; when it has settled, the window's focus as last reported decides.
    void windowFocusChanged(bool focused);
    // Seconds after our own full-screen switch during which focus changes are only noted.
    static constexpr double kFocusSettleSeconds = 0.5;
    // The clock of that settling: monotonic seconds. The steady clock unless tests give their own.
    using Clock = std::function<double()>;
    void setFocusSettleClock(Clock clock) { focusSettleClock_ = std::move(clock); }

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
    bool isActive() const { return isActive_; }

    VantrelViewController* viewController() const { return viewController_.get(); }
    // The program's window: the one the view controller's view draws into, from the launch on
    // (null before, or when the launch had no view). Full screen keeps the same window. Not owned:
    // the view owns it, and the view controller keeps the view.
    GLWindow* window() const;

    // The call toggleFullScreen makes first to close an open game-service view; the shared
    // delegate closes GameKitHelper's, tests give their own.
    void setGameServiceViewCloser(std::function<void()> closer) { closeGameServiceView_ = std::move(closer); }
    void setActivationResponders(ActivationResponders responders) { responders_ = std::move(responders); }
    // The pause of the running play scene, set by the program that links it.
    void setGamePauser(std::function<void()> pauseGame) { responders_.pauseGame = std::move(pauseGame); }

private:
    Vantrel_OSXAppDelegate();  // the shared delegate, over the shared preferences

    // The director as the desktop director it always is; null (logged) otherwise.
    static CCDirectorMac* director();
    // Resigns or becomes active as the window's focus says, when they differ.
    void followWindowFocus();
    // Checked once a frame while a switch settles: follows the focus once it has.
    void settleFocus();
    ApplicationPreferences& preferences() const;

    ApplicationPreferences* preferences_ = nullptr;  // given ones; null: the shared ones
    std::unique_ptr<VantrelViewController> viewController_;
    bool wasFullScreen_ = false;  // the director was in full screen when the application last went to the background
    bool isActive_ = true;        // between a resign and the next become-active: false
    bool windowFocused_ = true;   // the focus the window reported last
    // Our own full-screen switch settles until ownSwitchSettlesAt_ (seconds of focusSettleClock_):
    // focus changes are only noted meanwhile.
    bool switchSettling_ = false;
    double ownSwitchSettlesAt_ = 0;
    Clock focusSettleClock_;
    // The scheduler target of settleFocus while a switch settles.
    RefPtr<Object> settleWatch_ = makeRef<Object>();
    std::function<void()> closeGameServiceView_;
    ActivationResponders responders_;
};
