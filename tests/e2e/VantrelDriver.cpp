// Preloaded into the unchanged vantrel program (LD_PRELOAD), this library drives it from the
// buffer swap: before each frame is shown it reads a pixel of the sky and pushes the input of the
// step under way, as the windowing system would. It expects the program's window at 1024 x 768
// points, windowed; the menu's world turns under the probe, so the probe sees the background
// gradient of the screen shown.
//
// Steps: the splash shows for about two seconds, then the title's gradient; a left-arrow key, a
// click on the left arrow and another key reach the credits' colours; a drag moves the world and,
// let go without speed, swings back to the credits; a game pad (an SDL virtual joystick attached
// during the splash) turns the world to the settings with its hat, where its first button changes
// the game controls; a click on the leaderboard button opens the score view, under which the world
// stands still when the hat is pushed again, and Escape closes it; the full-screen button switches
// the window to full screen; a quit event ends the program. It prints "E2E: passed" before the
// quit, or "E2E: failed: <why>" and ends the program with status 3.
//
// In every scenario the window must stay windowed through the splash: the caller stored the
// full-screen preference off, and full screen is what a lost preferences file gives.
//
// With VANTREL_E2E_SCENARIO=level it plays into a level and back instead: two right-arrow keys
// from the title reach the first level group ("meadow", the third screen to the right), where
// level A's hive shows honey and level B's none (the caller saved a best score for A); a click on
// level A's play button brings the transition and then the play scene; Escape opens the pause menu
// and its quit button brings the transition back, after which the menu turns to the meadow screen
// and fills level A's hive again.
//
// With VANTREL_E2E_SCENARIO=pad the virtual pad alone plays the level: two pushes of its hat turn
// the world to the meadow, its fourth button starts level A, its first button pauses the level and,
// pressed again in the pause menu, quits it; the menu comes back on the meadow with level A's hive
// filled. Four pushes to the left reach the settings, whose leaderboard button opens the score view
// with rows of stored bests (not the note that there are none); the world stands still under it
// when the hat is pushed, and Escape closes it.
//
// With VANTREL_E2E_SCENARIO=kill it plays the same way into level A, with shorter waits, presses
// the pause menu's quit button (which saves the progress on leaving) and at once creates the file
// named by VANTREL_E2E_QUIT_MARKER, for the caller to kill the program around the saves; each such
// run is also the restart after the kill before it, so its windowed title and filled hive show
// that the saved files were read. With VANTREL_E2E_SCENARIO=restart it turns to the meadow,
// checks the hives as the level scenario does, prints "E2E: passed" and quits.
// With VANTREL_E2E_SCENARIO=started it only waits for the title after the splash, prints
// "E2E: passed" and quits.
//
// With VANTREL_E2E_SCENARIO=summary it plays level A's whole day: from the level's start it holds
// the left and down arrows (pushed again every half second, as a held key repeats), so that the
// bee skims the ground past the flowers; the night flies it home and the summary shows, which the
// program marks by showing the pointer again (the first time it does in the level). Then, with the
// end menu up, it closes the window; the caller restarts the program and reads the best score.

#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <epoxy/gl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

namespace {

constexpr int kWindowHeight = 768;
// The probe: high in the sky on the right, clear of the buttons and pictures.
constexpr int kProbeX = 1000;
constexpr int kProbeY = 740;  // from the bottom

struct Rgb {
    int r, g, b;
};

// The gradients' colours at the probe's height: the bottom colour blended towards the top one.
constexpr Rgb at(Rgb bottom, Rgb top) {
    const double f = double(kProbeY) / kWindowHeight;
    return {int(bottom.r + (top.r - bottom.r) * f), int(bottom.g + (top.g - bottom.g) * f),
            int(bottom.b + (top.b - bottom.b) * f)};
}
constexpr Rgb kTitleSky = at({241, 170, 25}, {254, 204, 7});
constexpr Rgb kCreditsSky = at({255, 145, 83}, {170, 157, 195});
constexpr Rgb kMeadowSky = at({200, 230, 250}, {96, 160, 230});

// Places the step's clicks hit, window points from the top-left corner.
constexpr int kLeftArrowX = 84, kLeftArrowY = kWindowHeight - 399;
// Just inside the left edge of the credits card (which starts at x = 274) when the screen is at rest.
constexpr int kCardProbeX = 290, kCardProbeY = 300;
// Frames the drag lasts: three steps of 50 points, then held still.
constexpr int kDragFrames = 40;
// The full-screen button sits right of the quit button, centred 20 points below the top edge.
constexpr int kFullScreenButtonX = 20 + 40 + 5, kFullScreenButtonY = 20;  // the quit button is 40 wide
// The middle of the settings screen's leaderboard button (240 x 84, lower-left corner at 656, 258).
constexpr int kLeaderboardX = 656 + 120, kLeaderboardY = kWindowHeight - (258 + 42);
// A pad of no known make: its buttons reach the menu by their own numbers.
constexpr const char* kPadName = "Vantrel Test Pad";

// The meadow screen's three slots stand at x 168, 412 and 656 (lower-left corners, 187 above the
// bottom); level A's play button is 200 x 60 at the first, each hive 112 x 150 at (44, 136) in its slot.
constexpr int kPlayButtonAX = 168 + 100, kPlayButtonAY = kWindowHeight - (187 + 30);
constexpr int kHiveProbeAX = 168 + 44 + 56, kHiveProbeBX = 412 + 44 + 56, kHiveProbeY = 187 + 136 + 30;
// The pause menu: a band 150 high centred on the window; its quit button (200 wide) at
// (1024 - 246, 34) in the band, and bare band between the title and the continue button.
constexpr int kBandBottom = kWindowHeight / 2 - 75;
constexpr int kQuitButtonX = 1024 - 246 + 100, kQuitButtonY = kWindowHeight - (kBandBottom + 34 + 30);
constexpr int kBandProbeX = 420, kBandProbeY = kBandBottom + 100;
// The score view's panel is 80 % of the window, centred; its first row's text hangs from 28 % below
// the panel's top, about 31 points high, the name starting 8 % of the panel's width in. The note
// shown when there are no scores is centred on the panel, well clear of that start. GL coordinates.
constexpr int kPanelLeft = 1024 / 10, kPanelBottom = kWindowHeight / 10, kPanelHeight = kWindowHeight * 8 / 10;
constexpr int kFirstRowLeft = kPanelLeft + 1024 * 8 / 10 * 8 / 100;
constexpr int kFirstRowTop = kPanelBottom + kPanelHeight * 72 / 100;
// The pad's buttons by number (no known make, so the menu and the level read them as they are).
constexpr int kPadButtonFirst = 0;   // pauses a level, quits it from the pause menu
constexpr int kPadButtonFourth = 3;  // acts on a group screen's level A
// The summary scenario: the longest level A's day (90 s) and night may take, slow frames
// stretching the day (each frame's time is capped at 1/15 s), and how long the end menu is left up
// before the window is closed.
constexpr uint32_t kDayLimitMs = 240000;
constexpr uint32_t kEndMenuMs = 1500;
constexpr int kKeyRepeatFrames = 30;

// How often the program has shown the pointer (the interposed call below counts).
std::atomic<int> pointerShows{0};

enum class Step {
    splash, title, credits, dragged, pad, settings, fullScreen, done,
    // The level scenario.
    toMeadow, meadowHives, meadow, leaving, playing, paused, returning, filling,
    // The pad scenario, which shares the level scenario's steps from the meadow to the filling.
    padToMeadow, padToSettings, padScores, padClosing,
    // The summary scenario, after the level scenario's steps up to leaving the menu.
    flying, endMenu
};

enum class Scenario { menu, level, pad, kill, restart, started, summary };

bool near(Rgb a, Rgb b) { return std::abs(a.r - b.r) <= 6 && std::abs(a.g - b.g) <= 6 && std::abs(a.b - b.b) <= 6; }

[[noreturn]] void fail(const char* why, Rgb seen) {
    std::printf("E2E: failed: %s (the probe shows %d, %d, %d)\n", why, seen.r, seen.g, seen.b);
    std::fflush(stdout);
    _exit(3);
}

class Driver {
public:
    void frame(SDL_Window* window) {
        window_ = SDL_GetWindowID(window);
        const Rgb seen = probe();
        const uint32_t now = SDL_GetTicks();
        if (step_ == Step::splash && stepStart_ == 0) {
            stepStart_ = now;
            attachPad(seen);
        }
        releaseDuePad(now);
        const uint32_t elapsed = now - stepStart_;
        if (elapsed > (step_ == Step::flying ? kDayLimitMs : 15000)) fail(stepName(), seen);

        switch (step_) {
            case Step::splash:
                if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) {
                    fail("the window opened full screen: the stored preference was not read", seen);
                }
                if (!near(seen, kTitleSky)) return;
                if (elapsed < 1600 || elapsed > 3500) fail("the splash did not last about 2 s", seen);
                if (scenario_ == Scenario::started) {
                    pass();
                    break;
                }
                next(scenario_ == Scenario::menu  ? Step::title
                     : scenario_ == Scenario::pad ? Step::padToMeadow
                                                  : Step::toMeadow,
                     now);
                break;
            case Step::title:
                // Left, click, left: flight log, settings, credits; each after the last change ended.
                if (elapsed == 0) return;
                if (actions_ == 0 && elapsed > 300) key(SDL_SCANCODE_LEFT), ++actions_;
                if (actions_ == 1 && elapsed > 1800) click(kLeftArrowX, kLeftArrowY), ++actions_;
                if (actions_ == 2 && elapsed > 3300) key(SDL_SCANCODE_LEFT), ++actions_;
                if (actions_ == 3 && elapsed > 4800) {
                    if (!near(seen, kCreditsSky)) fail("two keys and a click did not reach the credits", seen);
                    next(Step::credits, now);
                }
                break;
            case Step::credits:
                // Dragged 150 points to the right and held still: the world follows the drag, so
                // the credits card's left edge leaves the card probe; let go without speed, the
                // world swings back and the card returns.
                if (actions_ == 0) {
                    cardAtRest_ = probe(kCardProbeX, kCardProbeY);
                    button(SDL_MOUSEBUTTONDOWN, 400, 400);
                }
                if (actions_ < kDragFrames) {
                    motion(400 + 50 * std::min(actions_ + 1, 3), 400);
                    ++actions_;
                } else if (actions_ == kDragFrames) {
                    if (near(probe(kCardProbeX, kCardProbeY), cardAtRest_)) fail("the world did not follow the drag", seen);
                    button(SDL_MOUSEBUTTONUP, 550, 400);
                    ++actions_;
                } else if (elapsed > 3000) {
                    if (!near(seen, kCreditsSky)) fail("the drag did not swing back to the credits", seen);
                    if (!near(probe(kCardProbeX, kCardProbeY), cardAtRest_)) {
                        fail("the credits card did not come back to its place", seen);
                    }
                    next(Step::dragged, now);
                }
                break;
            case Step::dragged:
                // From the credits one screen to the right: the settings, in the title's colours.
                if (actions_ == 0) hat(SDL_HAT_RIGHT), ++actions_;
                if (actions_ == 1 && elapsed > 100) hat(SDL_HAT_CENTERED), ++actions_;
                if (actions_ == 2 && elapsed > 1600) {
                    if (!near(seen, kTitleSky)) fail("the pad's hat did not turn the world to the settings", seen);
                    next(Step::pad, now);
                }
                break;
            case Step::pad:
                // The pad's first button steps the game controls (run_e2e.py reads the saved
                // preference); then the leaderboard button opens the score view.
                if (actions_ == 0) padButton(0, true), ++actions_;
                if (actions_ == 1 && elapsed > 100) padButton(0, false), ++actions_;
                if (actions_ == 2 && elapsed > 400) click(kLeaderboardX, kLeaderboardY), ++actions_;
                if (actions_ == 3 && elapsed > 1200) {
                    if (near(seen, kTitleSky)) fail("the leaderboard button did not open the score view", seen);
                    hat(SDL_HAT_RIGHT);
                    ++actions_;
                }
                if (actions_ == 4 && elapsed > 1300) hat(SDL_HAT_CENTERED), ++actions_;
                if (actions_ == 5 && elapsed > 2800) key(SDL_SCANCODE_ESCAPE), next(Step::settings, now);
                break;
            case Step::settings:
                if (elapsed < 1500) return;
                if (!near(seen, kTitleSky)) fail("the world moved under the score view, or Escape did not close it", seen);
                click(kFullScreenButtonX, kFullScreenButtonY);
                next(Step::fullScreen, now);
                break;
            case Step::fullScreen:
                if (elapsed < 1000) return;
                if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP)) {
                    fail("the full-screen button left the window as it was", seen);
                }
                pass();
                break;
            case Step::toMeadow:
                if (elapsed == 0) return;
                if (actions_ == 0 && elapsed > 300) key(SDL_SCANCODE_RIGHT), ++actions_;
                if (actions_ == 1 && elapsed > wait(1800, 1500)) key(SDL_SCANCODE_RIGHT), ++actions_;
                if (actions_ == 2 && elapsed > wait(3300, 2800)) {
                    if (!near(seen, kMeadowSky)) fail("two right keys from the title did not reach the meadow", seen);
                    if (scenario_ == Scenario::summary) {
                        // It starts from no progress: no hive has honey to show.
                        click(kPlayButtonAX, kPlayButtonAY);
                        next(Step::meadow, now);
                    } else {
                        next(Step::meadowHives, now);
                    }
                }
                break;
            case Step::meadowHives: {
                // The honey rises once the world has come to rest: the saved best score was read.
                const Rgb a = probe(kHiveProbeAX, kHiveProbeY), b = probe(kHiveProbeBX, kHiveProbeY);
                if (!showsHoney(a) || near(a, b)) {
                    if (elapsed > 2500) fail("level A's hive shows no honey on the meadow: its best score was not read", a);
                    break;
                }
                if (scenario_ == Scenario::restart) {
                    pass();
                    break;
                }
                click(kPlayButtonAX, kPlayButtonAY);
                next(Step::meadow, now);
                break;
            }
            case Step::meadow:
                // The transition covers the menu.
                if (!near(seen, kMeadowSky)) next(Step::leaving, now);
                else if (elapsed > 2000) fail("level A's play button did not start the level", seen);
                break;
            case Step::leaving:
                // The bee slides in and out (about 3 s with the level's loading); then the level
                // plays under the sky probe.
                if (elapsed > wait(6000, 3500)) {
                    if (scenario_ == Scenario::summary) {
                        shownBefore_ = pointerShows.load();
                        next(Step::flying, now);
                        break;
                    }
                    bandBefore_ = probe(kBandProbeX, kBandProbeY);
                    pressPause();
                    next(Step::playing, now);
                }
                break;
            case Step::flying:
                if (pointerShows.load() > shownBefore_) {
                    next(Step::endMenu, now);
                    break;
                }
                if (actions_++ % kKeyRepeatFrames == 0) {
                    const bool repeat = actions_ > 1;
                    keyDown(SDL_SCANCODE_LEFT, repeat);
                    keyDown(SDL_SCANCODE_DOWN, repeat);
                }
                break;
            case Step::endMenu:
                if (elapsed < kEndMenuMs) return;
                std::printf("E2E: passed\n");
                std::fflush(stdout);
                closeWindow();
                next(Step::done, now);
                break;
            case Step::playing: {
                const Rgb band = probe(kBandProbeX, kBandProbeY);
                if (band.r > 220 && band.g > 120 && band.b < 190 && !near(band, bandBefore_)) {
                    next(Step::paused, now);
                } else if (elapsed > wait(2500, 1500)) {
                    // The level may not have reached its day yet; one more press.
                    if (++escapes_ > (scenario_ == Scenario::kill ? 6 : 3)) {
                        fail("the pause key or button did not open the pause menu", band);
                    }
                    pressPause();
                    stepStart_ = now;
                }
                break;
            }
            case Step::paused:
                if (elapsed < 800) return;  // the band has slid in
                if (scenario_ == Scenario::pad) {
                    padPress(kPadButtonFirst);
                } else {
                    click(kQuitButtonX, kQuitButtonY);
                    if (scenario_ == Scenario::kill) markQuitPressed(seen);
                }
                next(Step::returning, now);
                break;
            case Step::returning:
                if (near(seen, kMeadowSky)) next(Step::filling, now);
                break;
            case Step::filling: {
                if (elapsed < 1500) return;  // the world has turned and the honey risen
                const Rgb a = probe(kHiveProbeAX, kHiveProbeY), b = probe(kHiveProbeBX, kHiveProbeY);
                if (near(a, b)) fail("level A's hive shows no more honey than level B's", a);
                if (!showsHoney(a)) fail("level A's hive is not filled with honey", a);
                if (scenario_ == Scenario::pad) {
                    next(Step::padToSettings, now);
                    break;
                }
                pass();
                break;
            }
            case Step::padToMeadow:
                // Title, then the screen to its right, then the meadow; each push after the last turn ended.
                if (elapsed == 0) return;
                if (actions_ < 2 && elapsed > 300 + 1500u * actions_) hatPush(SDL_HAT_RIGHT), ++actions_;
                if (actions_ == 2 && elapsed > 3300) {
                    if (!near(seen, kMeadowSky)) fail("two pushes of the pad's hat did not reach the meadow", seen);
                    padPress(kPadButtonFourth);
                    next(Step::meadow, now);
                }
                break;
            case Step::padToSettings:
                // Meadow, the screen left of it, title, flight log, settings.
                if (actions_ < 4 && elapsed > 1500u * actions_) hatPush(SDL_HAT_LEFT), ++actions_;
                if (actions_ == 4 && elapsed > 6000) {
                    if (!near(seen, kTitleSky)) fail("four pushes of the pad's hat did not reach the settings", seen);
                    click(kLeaderboardX, kLeaderboardY);
                    next(Step::padScores, now);
                }
                break;
            case Step::padScores:
                if (elapsed < 1200) return;
                if (actions_ == 0) {
                    if (near(seen, kTitleSky)) fail("the leaderboard button did not open the score view", seen);
                    if (!firstRowShown()) fail("the score view lists no stored best", seen);
                    hatPush(SDL_HAT_RIGHT);
                    ++actions_;
                }
                if (actions_ == 1 && elapsed > 2800) key(SDL_SCANCODE_ESCAPE), next(Step::padClosing, now);
                break;
            case Step::padClosing:
                if (elapsed < 1500) return;
                if (!near(seen, kTitleSky)) fail("the world moved under the score view, or Escape did not close it", seen);
                pass();
                break;
            case Step::done:
                break;
        }
    }

private:
    void attachPad(Rgb seen) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) fail(SDL_GetError(), seen);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 2;
        desc.nbuttons = 4;
        desc.nhats = 1;
        desc.name = kPadName;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        pad_ = index < 0 ? nullptr : SDL_JoystickOpen(index);
        if (!pad_) fail(SDL_GetError(), seen);
    }

    void hat(uint8_t value) {
        if (SDL_JoystickSetVirtualHat(pad_, 0, value) != 0) fail(SDL_GetError(), {0, 0, 0});
    }

    void padButton(int button, bool down) {
        if (SDL_JoystickSetVirtualButton(pad_, button, down) != 0) fail(SDL_GetError(), {0, 0, 0});
    }

    // A press held for a tenth of a second, released by releaseDuePad().
    void padPress(int button) {
        padButton(button, true);
        heldButton_ = button;
        releaseAt_ = SDL_GetTicks() + 100;
    }

    void hatPush(uint8_t direction) {
        hat(direction);
        heldHat_ = true;
        releaseAt_ = SDL_GetTicks() + 100;
    }

    void releaseDuePad(uint32_t now) {
        if (heldButton_ < 0 && !heldHat_) return;
        if (now < releaseAt_) return;
        if (heldButton_ >= 0) padButton(heldButton_, false);
        if (heldHat_) hat(SDL_HAT_CENTERED);
        heldButton_ = -1;
        heldHat_ = false;
    }

    void pressPause() {
        if (scenario_ == Scenario::pad) {
            padPress(kPadButtonFirst);
        } else {
            key(SDL_SCANCODE_ESCAPE);
        }
    }

    // Light text at the start of the score view's first row, where the note has none.
    bool firstRowShown() const {
        uint8_t pixels[16 * 32 * 4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(kFirstRowLeft, kFirstRowTop - 32, 16, 32, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        for (size_t i = 0; i < sizeof pixels; i += 4) {
            if (pixels[i] > 150 && pixels[i + 1] > 150 && pixels[i + 2] > 150) return true;
        }
        return false;
    }

    const char* stepName() const {
        static const char* const names[] = {"splash", "title", "credits", "dragged", "pad", "settings",
                                            "fullScreen", "done",
                                            "toMeadow", "meadowHives", "meadow", "leaving", "playing", "paused", "returning",
                                            "filling", "padToMeadow", "padToSettings", "padScores",
                                            "padClosing", "flying", "endMenu"};
        static char why[64];
        std::snprintf(why, sizeof why, "step %s took more than 15 s", names[static_cast<int>(step_)]);
        return why;
    }

    Rgb probe(int x = kProbeX, int y = kProbeY) const {
        uint8_t pixel[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return {pixel[0], pixel[1], pixel[2]};
    }

    void next(Step step, uint32_t now) {
        step_ = step;
        stepStart_ = now;
        actions_ = 0;
    }

    void push(SDL_Event& event) {
        if (SDL_PushEvent(&event) != 1) fail(SDL_GetError(), {0, 0, 0});
    }

    void keyEvent(uint32_t type, SDL_Scancode scancode, bool repeat) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = window_;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        push(event);
    }

    void key(SDL_Scancode scancode) {
        keyEvent(SDL_KEYDOWN, scancode, false);
        keyEvent(SDL_KEYUP, scancode, false);
    }

    // Pressed and not let go; a repeat, as the windowing system sends for a held key.
    void keyDown(SDL_Scancode scancode, bool repeat) { keyEvent(SDL_KEYDOWN, scancode, repeat); }

    void button(uint32_t type, int x, int y) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = window_;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = x;
        event.button.y = y;
        push(event);
    }

    void click(int x, int y) {
        button(SDL_MOUSEBUTTONDOWN, x, y);
        button(SDL_MOUSEBUTTONUP, x, y);
    }

    void motion(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = window_;
        event.motion.state = SDL_BUTTON_LMASK;
        event.motion.x = x;
        event.motion.y = y;
        push(event);
    }

    void quit() {
        SDL_Event event{};
        event.type = SDL_QUIT;
        push(event);
    }

    // Every step seen through: says so and ends the program.
    void pass() {
        std::printf("E2E: passed\n");
        std::fflush(stdout);
        quit();
        next(Step::done, SDL_GetTicks());
    }

    // A hive probe's colour is the honey's amber, not the empty hive's inside.
    static bool showsHoney(Rgb seen) { return seen.r > 200 && seen.g > 100 && seen.b < 140; }

    // The window's close button.
    void closeWindow() {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        event.window.windowID = window_;
        push(event);
    }

    // The wait of the level scenario, or the shorter one of the kill scenario, which runs twenty times.
    uint32_t wait(uint32_t level, uint32_t kill) const { return scenario_ == Scenario::kill ? kill : level; }

    // Tells the caller the quit button is pressed: the saves come with the next frames.
    static void markQuitPressed(Rgb seen) {
        const char* path = std::getenv("VANTREL_E2E_QUIT_MARKER");
        const int fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
        if (fd < 0) fail("cannot create the quit marker named by VANTREL_E2E_QUIT_MARKER", seen);
        close(fd);
    }

    const Scenario scenario_ = [] {
        const char* chosen = std::getenv("VANTREL_E2E_SCENARIO");
        const std::string_view name = chosen ? chosen : "menu";
        if (name == "level") return Scenario::level;
        if (name == "pad") return Scenario::pad;
        if (name == "kill") return Scenario::kill;
        if (name == "restart") return Scenario::restart;
        if (name == "started") return Scenario::started;
        if (name == "summary") return Scenario::summary;
        return Scenario::menu;
    }();
    Step step_ = Step::splash;
    Rgb bandBefore_ = {0, 0, 0};
    int escapes_ = 0;
    int shownBefore_ = 0;  // pointerShows when the level began
    uint32_t stepStart_ = 0;
    int actions_ = 0;
    uint32_t window_ = 0;
    Rgb cardAtRest_ = {0, 0, 0};
    SDL_Joystick* pad_ = nullptr;  // the virtual pad, open for the whole run
    int heldButton_ = -1;          // the pad button pressed and not yet released, if any
    bool heldHat_ = false;         // the hat pushed and not yet centred
    uint32_t releaseAt_ = 0;
};

Driver driver;

}  // namespace

extern "C" int SDL_ShowCursor(int toggle) {
    using ShowCursor = int (*)(int);
    static const auto realShowCursor = reinterpret_cast<ShowCursor>(dlsym(RTLD_NEXT, "SDL_ShowCursor"));
    if (toggle == SDL_ENABLE) ++pointerShows;
    return realShowCursor(toggle);
}

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using Swap = void (*)(SDL_Window*);
    static const auto realSwap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    driver.frame(window);
    realSwap(window);
}
