// Preloaded into the unchanged vantrel program (LD_PRELOAD), this library drives it from the
// buffer swap: before each frame is shown it reads pixels back (probes) and pushes the input of the
// step under way, as the windowing system would. It expects the program's window at 1024 x 768
// points, windowed; the menu's world turns under the probe, so the probe sees the background
// gradient of the screen shown.
//
// Every step waits on what is drawn, never on the clock: after an input it waits until the probes
// show what that input leads to (a screen change has ended once the sky probe shows the new
// screen's colours and a row of the world, which moved, stays the same from one frame to the next).
// A wait is allowed far more time than a loaded machine needs; one that runs out fails the run,
// naming the step, what it waited for and what the probe saw.
//
// Steps: the splash shows for at least 1.6 s, then the title's gradient; a left-arrow key, a click
// on the left arrow and another key reach the credits' colours; a drag moves the world and, let go
// without speed, swings back to the credits; a game pad (an SDL virtual joystick attached during
// the splash) turns the world to the settings with its hat, where its first button changes the
// game controls; a click on the leaderboard button opens the score view, under which the world
// stands still when the hat is pushed, and Escape closes it; the full-screen button switches the
// window to full screen; a quit event ends the program. It prints "E2E: passed" before the quit,
// or "E2E: failed: <why>" and ends the program with status 3.
//
// In every scenario the window must stay windowed through the splash: the caller stored the
// full-screen preference off, and full screen is what a lost preferences file gives.
//
// With VANTREL_E2E_SCENARIO=level it plays into a level and back instead: two right-arrow keys
// from the title reach the first level group ("meadow", past the instructions), where level A's
// hive shows honey and level B's none (the caller saved a best score for A); a click on level A's
// play button brings the transition and then the play scene (its pause button shows under the sky
// probe); Escape opens the pause menu and its quit button brings the transition back, after which
// the menu turns to the meadow screen and fills level A's hive again.
//
// With VANTREL_E2E_SCENARIO=pad the virtual pad alone plays the level: two pushes of its hat turn
// the world to the meadow, its fourth button starts level A, its first button pauses the level and,
// pressed again in the pause menu, quits it; the menu comes back on the meadow with level A's hive
// filled. Four pushes to the left reach the settings, whose leaderboard button opens the score view
// with rows of stored bests (not the note that there are none); the world stands still under it
// when the hat is pushed, and Escape closes it.
//
// With VANTREL_E2E_SCENARIO=kill it plays the same way into level A, presses the pause menu's quit
// button (which saves the progress on leaving) and at once creates the file named by
// VANTREL_E2E_QUIT_MARKER, for the caller to kill the program around the saves; each such run is
// also the restart after the kill before it, so its windowed title and filled hive show that the
// saved files were read. With VANTREL_E2E_SCENARIO=restart it turns to the meadow, checks the hives
// as the level scenario does, prints "E2E: passed" and quits. With VANTREL_E2E_SCENARIO=started it
// only waits for the title after the splash, prints "E2E: passed" and quits.
//
// With VANTREL_E2E_SCENARIO=summary it plays level A's whole day: from the level's start it holds
// the left and down arrows (pushed again every 30 frames, as a held key repeats), so that the bee
// skims the ground past the flowers; the night flies it home and the summary shows, which the
// program marks by showing the pointer again (the first time it does in the level). Once the end
// menu's buttons have slid up to their place it closes the window; the caller restarts the program
// and reads the best score.

#include <SDL.h>
#include <dlfcn.h>
#include <epoxy/gl.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr int kWindowWidth = 1024, kWindowHeight = 768;
// The probe: high in the sky on the right, clear of the menu's buttons and pictures; in the play
// scene the pause button's white rim is drawn there.
constexpr int kProbeX = 1000;
constexpr int kProbeY = 740;  // from the bottom
// A row through the menu's ground, which nothing animates: it changes only while the world moves.
constexpr int kWorldRowY = 80;  // from the bottom

// How long one wait may last, milliseconds: many times what the slowest machine needs, so that only
// a program that never shows what the step waits for runs out of it.
constexpr uint32_t kWaitLimitMs = 60000;
// The shortest the splash can show, milliseconds: it lasts 2 s of the program's time, and a slow
// machine only makes it longer.
constexpr uint32_t kShortestSplashMs = 1600;

struct Rgb {
    int r, g, b;
};

// The gradients' colours at the probe's height: the bottom colour blended towards the top one.
constexpr Rgb at(Rgb bottom, Rgb top) {
    const double f = double(kProbeY) / kWindowHeight;
    return {int(bottom.r + (top.r - bottom.r) * f), int(bottom.g + (top.g - bottom.g) * f),
            int(bottom.b + (top.b - bottom.b) * f)};
}
// The title, the instructions and the settings share the first gradient.
constexpr Rgb kTitleSky = at({241, 170, 25}, {254, 204, 7});
constexpr Rgb kFlightLogSky = at({207, 236, 231}, {84, 211, 244});
constexpr Rgb kCreditsSky = at({255, 145, 83}, {170, 157, 195});
constexpr Rgb kMeadowSky = at({200, 230, 250}, {96, 160, 230});

// Places the step's clicks hit, window points from the top-left corner.
constexpr int kLeftArrowX = 84, kLeftArrowY = kWindowHeight - 399;
// Just inside the left edge of the credits card (which starts at x = 274) when the screen is at rest.
constexpr int kCardProbeX = 290, kCardProbeY = 300;
// The drag: three steps of 50 points to the right, then held still.
constexpr int kDragStartX = 400, kDragY = 400, kDragStep = 50, kDragSteps = 3;
constexpr int kDragEndX = kDragStartX + kDragStep * kDragSteps;
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
// The pause menu: a band 150 high centred on the window, which slides down from above; its quit
// button (200 wide) at (1024 - 246, 34) in the band, and bare band between the title and the
// continue button, high in the band and just above its lower edge (covered only once the band has
// come to its place).
constexpr int kBandBottom = kWindowHeight / 2 - 75;
constexpr int kQuitButtonX = 1024 - 246 + 100, kQuitButtonY = kWindowHeight - (kBandBottom + 34 + 30);
constexpr int kBandProbeX = 420, kBandProbeY = kBandBottom + 100, kBandPlacedY = kBandBottom + 12;
// The score view's panel is 80 % of the window, centred; its first row's text hangs from 28 % below
// the panel's top, about 31 points high, the name starting 8 % of the panel's width in. The note
// shown when there are no scores is centred on the panel, well clear of that start. GL coordinates.
constexpr int kPanelLeft = 1024 / 10, kPanelBottom = kWindowHeight / 10, kPanelHeight = kWindowHeight * 8 / 10;
constexpr int kFirstRowLeft = kPanelLeft + 1024 * 8 / 10 * 8 / 100;
constexpr int kFirstRowTop = kPanelBottom + kPanelHeight * 72 / 100;
// The end menu's main-menu button, whose lower edge rises to 30 points above the bottom: a probe
// just above that edge.
constexpr int kEndMenuProbeX = 1024 - 258 + 100, kEndMenuProbeY = 30 + 8;
// Input pushed before a frame's swap is handled in the next frame, which draws its outcome; the
// one after that is drawn with it taken for certain.
constexpr int kFramesToTakeAPress = 2;
// The pad's buttons by number (no known make, so the menu and the level read them as they are).
constexpr int kPadButtonFirst = 0;   // pauses a level, quits it from the pause menu
constexpr int kPadButtonFourth = 3;  // acts on a group screen's level A
// The summary scenario: the longest level A's day (90 s) and night may take, slow frames
// stretching the day (each frame's time is capped at 1/15 s).
constexpr uint32_t kDayLimitMs = 600000;
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

const char* const kStepNames[] = {"splash", "title", "credits", "dragged", "pad", "settings", "fullScreen", "done",
                                  "toMeadow", "meadowHives", "meadow", "leaving", "playing", "paused", "returning",
                                  "filling", "padToMeadow", "padToSettings", "padScores", "padClosing", "flying",
                                  "endMenu"};

enum class Scenario { menu, level, pad, kill, restart, started, summary };

bool near(Rgb a, Rgb b) { return std::abs(a.r - b.r) <= 6 && std::abs(a.g - b.g) <= 6 && std::abs(a.b - b.b) <= 6; }

// The pause menu's band, amber, is drawn there.
bool isBand(Rgb seen) { return seen.r > 220 && seen.g > 120 && seen.b < 190; }

// A hive probe's colour is the honey's amber, not the empty hive's inside.
bool showsHoney(Rgb seen) { return seen.r > 200 && seen.g > 100 && seen.b < 140; }

// The play scene's pause button: its white rim under the sky probe.
bool isPauseButton(Rgb seen) { return seen.r > 240 && seen.g > 240 && seen.b > 240; }

class Driver {
public:
    void frame(SDL_Window* window) {
        window_ = SDL_GetWindowID(window);
        const uint32_t now = SDL_GetTicks();
        seen_ = probe();
        watchWorld();
        if (step_ == Step::splash && splashStart_ == 0) {
            splashStart_ = stageStart_ = now;
            attachPad();
        }
        releaseDuePad(now);

        switch (step_) {
            case Step::splash:
                if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) {
                    fail("the window opened full screen: the stored preference was not read", seen_);
                }
                if (!waitUntil(near(seen_, kTitleSky) && still_, "the title after the splash")) break;
                if (now - splashStart_ < kShortestSplashMs) fail("the splash did not last about 2 s", seen_);
                if (scenario_ == Scenario::started) {
                    pass();
                    break;
                }
                next(scenario_ == Scenario::menu  ? Step::title
                     : scenario_ == Scenario::pad ? Step::padToMeadow
                                                  : Step::toMeadow);
                break;
            case Step::title:
                // Left, click, left: flight log, settings, credits; each once the last turn has ended.
                if (stage_ == 0) {
                    key(SDL_SCANCODE_LEFT), startTurn();
                } else if (stage_ == 1 && turned(kFlightLogSky, "the left key to reach the flight log")) {
                    click(kLeftArrowX, kLeftArrowY), startTurn();
                } else if (stage_ == 2 && turned(kTitleSky, "the left arrow to reach the settings")) {
                    key(SDL_SCANCODE_LEFT), startTurn();
                } else if (stage_ == 3 && turned(kCreditsSky, "two keys and a click to reach the credits")) {
                    next(Step::credits);
                }
                break;
            case Step::credits:
                // Dragged 150 points to the right and held still: the world follows the drag, so
                // the credits card's left edge leaves the card probe; let go without speed (the last
                // motion moved nothing), the world swings back and the card returns.
                if (stage_ == 0) {
                    cardAtRest_ = probe(kCardProbeX, kCardProbeY);
                    button(SDL_MOUSEBUTTONDOWN, kDragStartX, kDragY);
                }
                if (stage_ < kDragSteps) {
                    motion(kDragStartX + kDragStep * (stage_ + 1), kDragY);
                    advance();
                } else if (stage_ == kDragSteps) {
                    motion(kDragEndX, kDragY);
                    const Rgb card = probe(kCardProbeX, kCardProbeY);
                    if (waitUntil(!near(card, cardAtRest_), "the world following the drag", card)) {
                        button(SDL_MOUSEBUTTONUP, kDragEndX, kDragY);
                        advance();
                    }
                } else if (waitUntil(still_ && near(seen_, kCreditsSky) &&
                                         near(probe(kCardProbeX, kCardProbeY), cardAtRest_),
                                     "the drag to swing back to the credits with their card in its place")) {
                    next(Step::dragged);
                }
                break;
            case Step::dragged:
                // From the credits one screen to the right: the settings, in the title's colours.
                if (stage_ == 0) {
                    hatPush(SDL_HAT_RIGHT), startTurn();
                } else if (turned(kTitleSky, "the pad's hat to turn the world to the settings")) {
                    next(Step::pad);
                }
                break;
            case Step::pad:
                // The pad's first button steps the game controls (run_e2e.py reads the saved
                // preference); then the leaderboard button opens the score view, the hat is pushed
                // under it, and Escape closes it.
                if (stage_ == 0) {
                    padPress(kPadButtonFirst), advance();
                } else if (stage_ == 1 && !padHeld()) {
                    click(kLeaderboardX, kLeaderboardY), advance();
                } else if (stage_ == 2 &&
                           waitUntil(!near(seen_, kTitleSky), "the leaderboard button to open the score view")) {
                    hatPush(SDL_HAT_RIGHT), advance();
                } else if (stage_ == 3 && !padHeld()) {
                    key(SDL_SCANCODE_ESCAPE), next(Step::settings);
                }
                break;
            case Step::settings:
                if (waitUntil(near(seen_, kTitleSky) && still_,
                              "Escape to close the score view over the settings, the world not moved under it")) {
                    click(kFullScreenButtonX, kFullScreenButtonY);
                    next(Step::fullScreen);
                }
                break;
            case Step::fullScreen:
                if (waitUntil(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP,
                              "the full-screen button to switch the window to full screen")) {
                    pass();
                }
                break;
            case Step::toMeadow:
                // Title, instructions (in the title's colours), meadow.
                if (stage_ == 0) {
                    key(SDL_SCANCODE_RIGHT), startTurn();
                } else if (stage_ == 1 && turned(kTitleSky, "a right key to reach the instructions")) {
                    key(SDL_SCANCODE_RIGHT), startTurn();
                } else if (stage_ == 2 && turned(kMeadowSky, "two right keys from the title to reach the meadow")) {
                    if (scenario_ == Scenario::summary) {
                        // It starts from no progress: no hive has honey to show.
                        click(kPlayButtonAX, kPlayButtonAY);
                        next(Step::meadow);
                    } else {
                        next(Step::meadowHives);
                    }
                }
                break;
            case Step::meadowHives:
                // The honey rises once the world has come to rest: the saved best score was read.
                if (!waitForHoney("level A's hive to show honey on the meadow, its best score read")) break;
                if (scenario_ == Scenario::restart) {
                    pass();
                    break;
                }
                click(kPlayButtonAX, kPlayButtonAY);
                next(Step::meadow);
                break;
            case Step::meadow:
                // The transition covers the menu.
                if (waitUntil(!near(seen_, kMeadowSky), "level A's play button to start the level")) {
                    next(Step::leaving);
                }
                break;
            case Step::leaving:
                // The bee slides in and out with the level's loading; then the play scene shows,
                // and with it its pause button.
                if (!waitUntil(isPauseButton(seen_), "the transition to bring the play scene")) break;
                if (scenario_ == Scenario::summary) {
                    shownBefore_ = pointerShows.load();
                    next(Step::flying);
                    break;
                }
                bandBefore_ = probe(kBandProbeX, kBandProbeY);
                pressPause();
                next(Step::playing);
                break;
            case Step::flying:
                if (waitUntil(pointerShows.load() > shownBefore_, "the summary after the level's day and night", seen_,
                              kDayLimitMs)) {
                    next(Step::endMenu);
                    break;
                }
                if (stage_++ % kKeyRepeatFrames == 0) {
                    const bool repeat = stage_ > 1;
                    keyDown(SDL_SCANCODE_LEFT, repeat);
                    keyDown(SDL_SCANCODE_DOWN, repeat);
                }
                break;
            case Step::endMenu:
                if (waitUntil(endMenuPlaced(), "the end menu's buttons to slide up to their place",
                              probe(kEndMenuProbeX, kEndMenuProbeY))) {
                    std::printf("E2E: passed\n");
                    std::fflush(stdout);
                    closeWindow();
                    next(Step::done);
                }
                break;
            case Step::playing: {
                const Rgb band = probe(kBandProbeX, kBandProbeY);
                if (waitUntil(isBand(band) && !near(band, bandBefore_), "the pause key or button to open its menu",
                              band)) {
                    next(Step::paused);
                }
                break;
            }
            case Step::paused:
                // The pause menu takes the quit only once its slide has ended, which nothing on
                // screen shows: a press it did not take leaves the play scene up in the frames after
                // it was handled, and is made again.
                if (stage_ == 0) {
                    const Rgb placed = probe(kBandProbeX, kBandPlacedY);
                    if (!padHeld() && waitUntil(isBand(placed), "the pause menu's band to come to its place", placed)) {
                        if (scenario_ == Scenario::kill) markQuitPressed();
                        pressQuit();
                        advance();
                    }
                } else if (waitUntil(!isPauseButton(seen_), "the pause menu's quit to leave the level")) {
                    next(Step::returning);
                } else if (++framesSincePress_ > kFramesToTakeAPress && !padHeld()) {
                    pressQuit();
                }
                break;
            case Step::returning:
                if (waitUntil(near(seen_, kMeadowSky) && still_, "the menu to come back to rest on the meadow")) {
                    next(Step::filling);
                }
                break;
            case Step::filling:
                if (!waitForHoney("level A's hive to fill with more honey than level B's")) break;
                if (scenario_ == Scenario::pad) {
                    next(Step::padToSettings);
                    break;
                }
                pass();
                break;
            case Step::padToMeadow:
                // Title, instructions (in the title's colours), meadow.
                if (stage_ == 0) {
                    hatPush(SDL_HAT_RIGHT), startTurn();
                } else if (stage_ == 1 && !padHeld() &&
                           turned(kTitleSky, "a push of the pad's hat to reach the instructions")) {
                    hatPush(SDL_HAT_RIGHT), startTurn();
                } else if (stage_ == 2 && turned(kMeadowSky, "two pushes of the pad's hat to reach the meadow")) {
                    padPress(kPadButtonFourth);
                    next(Step::meadow);
                }
                break;
            case Step::padToSettings: {
                // Meadow, instructions, title, flight log, settings; each push once the last turn has ended.
                constexpr std::array<Rgb, 4> skies = {kTitleSky, kTitleSky, kFlightLogSky, kTitleSky};
                if (stage_ == 0) {
                    hatPush(SDL_HAT_LEFT), startTurn();
                } else if (stage_ < 4 && !padHeld() &&
                           turned(skies[stage_ - 1], "a push of the pad's hat to turn one screen left")) {
                    hatPush(SDL_HAT_LEFT), startTurn();
                } else if (stage_ == 4 && turned(skies[3], "four pushes of the pad's hat to reach the settings")) {
                    click(kLeaderboardX, kLeaderboardY);
                    next(Step::padScores);
                }
                break;
            }
            case Step::padScores:
                if (stage_ == 0 && waitUntil(!near(seen_, kTitleSky) && firstRowShown(),
                                             "the leaderboard button to open the score view listing stored bests")) {
                    hatPush(SDL_HAT_RIGHT), advance();
                } else if (stage_ == 1 && !padHeld()) {
                    key(SDL_SCANCODE_ESCAPE), next(Step::padClosing);
                }
                break;
            case Step::padClosing:
                if (waitUntil(near(seen_, kTitleSky) && still_,
                              "Escape to close the score view over the settings, the world not moved under it")) {
                    pass();
                }
                break;
            case Step::done:
                break;
        }
    }

private:
    // True once `reached`. The wait runs from the start of the step's current stage; one that
    // outlasts `limitMs` fails the run with what it waited for and what `shown` (a probe) showed.
    bool waitUntil(bool reached, const char* awaited, Rgb shown, uint32_t limitMs = kWaitLimitMs) const {
        if (reached) return true;
        const uint32_t waited = SDL_GetTicks() - stageStart_;
        if (waited > limitMs) {
            char why[256];
            std::snprintf(why, sizeof why, "waited %u s for %s", waited / 1000, awaited);
            fail(why, shown);
        }
        return false;
    }

    // Level A's hive shows honey and level B's, never played, shows less.
    bool waitForHoney(const char* awaited) const {
        const Rgb a = probe(kHiveProbeAX, kHiveProbeY), b = probe(kHiveProbeBX, kHiveProbeY);
        return waitUntil(showsHoney(a) && !near(a, b), awaited, a);
    }

    // The sky probe's colour in the wait's message.
    bool waitUntil(bool reached, const char* awaited) const { return waitUntil(reached, awaited, seen_); }

    // A screen change that startTurn() noted has ended on the screen with that sky: the world moved
    // since, and now stands still.
    bool turned(Rgb sky, const char* awaited) const {
        return waitUntil(moved_ && still_ && near(seen_, sky), awaited);
    }

    // The frame's row of the world against the last frame's and the one taken when the turn started.
    void watchWorld() {
        std::array<uint8_t, kWindowWidth * 4> row{};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, kWorldRowY, kWindowWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
        still_ = row == worldRow_;
        moved_ = moved_ || row != turnStartRow_;
        worldRow_ = row;
    }

    // Input that turns the world was pushed this frame: turned() waits for its end.
    void startTurn() {
        turnStartRow_ = worldRow_;
        moved_ = false;
        advance();
    }

    void attachPad() {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) fail(SDL_GetError(), seen_);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 2;
        desc.nbuttons = 4;
        desc.nhats = 1;
        desc.name = kPadName;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        pad_ = index < 0 ? nullptr : SDL_JoystickOpen(index);
        if (!pad_) fail(SDL_GetError(), seen_);
    }

    void hat(uint8_t value) {
        if (SDL_JoystickSetVirtualHat(pad_, 0, value) != 0) fail(SDL_GetError(), seen_);
    }

    void padButton(int button, bool down) {
        if (SDL_JoystickSetVirtualButton(pad_, button, down) != 0) fail(SDL_GetError(), seen_);
    }

    // A press held for a tenth of a second, released by releaseDuePad(); the program polls the pad
    // at least once in between, as it does every frame.
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

    // A press, or its release in this frame: the program sees a pad's change only between two of
    // its polls, so a press made in the frame of the release before it would not reach it.
    bool padHeld() const { return heldButton_ >= 0 || heldHat_ || releasedNow_; }

    void releaseDuePad(uint32_t now) {
        releasedNow_ = false;
        if (!padHeld() || now < releaseAt_) return;
        if (heldButton_ >= 0) padButton(heldButton_, false);
        if (heldHat_) hat(SDL_HAT_CENTERED);
        heldButton_ = -1;
        heldHat_ = false;
        releasedNow_ = true;
    }

    void pressQuit() {
        if (scenario_ == Scenario::pad) {
            padPress(kPadButtonFirst);
        } else {
            click(kQuitButtonX, kQuitButtonY);
        }
        framesSincePress_ = 0;
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

    // The end menu's orange main-menu button covers the probe just above its lower edge only once
    // it has risen to its place; the level's ground there is dark.
    bool endMenuPlaced() const {
        const Rgb seen = probe(kEndMenuProbeX, kEndMenuProbeY);
        return seen.r > 230 && seen.g > 170 && seen.b < 120;
    }

    Rgb probe(int x = kProbeX, int y = kProbeY) const {
        uint8_t pixel[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return {pixel[0], pixel[1], pixel[2]};
    }

    [[noreturn]] void fail(const char* why, Rgb seen) const {
        std::printf("E2E: failed: step %s: %s (the probe shows %d, %d, %d)\n", kStepNames[static_cast<int>(step_)], why,
                    seen.r, seen.g, seen.b);
        std::fflush(stdout);
        _exit(3);
    }

    // The step's next stage; its wait starts now.
    void advance() {
        ++stage_;
        stageStart_ = SDL_GetTicks();
    }

    void next(Step step) {
        step_ = step;
        stage_ = -1;
        advance();
    }

    void push(SDL_Event& event) {
        if (SDL_PushEvent(&event) != 1) fail(SDL_GetError(), seen_);
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
        next(Step::done);
    }

    // The window's close button.
    void closeWindow() {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        event.window.windowID = window_;
        push(event);
    }

    // Tells the caller the quit button is pressed: the saves come with the next frames.
    void markQuitPressed() const {
        const char* path = std::getenv("VANTREL_E2E_QUIT_MARKER");
        const int fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
        if (fd < 0) fail("cannot create the quit marker named by VANTREL_E2E_QUIT_MARKER", seen_);
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
    int stage_ = 0;             // the step's stage: inputs pushed and waits ended so far
    uint32_t stageStart_ = 0;   // SDL ticks when the stage began
    uint32_t splashStart_ = 0;  // SDL ticks of the first frame
    Rgb seen_ = {0, 0, 0};      // the sky probe this frame
    std::array<uint8_t, kWindowWidth * 4> worldRow_{};      // the world's row in the last frame
    std::array<uint8_t, kWindowWidth * 4> turnStartRow_{};  // and when the turn under way started
    bool still_ = false;  // the world's row is the last frame's
    bool moved_ = false;  // the world's row changed since the turn started
    Rgb bandBefore_ = {0, 0, 0};
    int framesSincePress_ = 0;  // frames drawn since the quit was last pressed
    int shownBefore_ = 0;  // pointerShows when the level began
    uint32_t window_ = 0;
    Rgb cardAtRest_ = {0, 0, 0};
    SDL_Joystick* pad_ = nullptr;  // the virtual pad, open for the whole run
    int heldButton_ = -1;          // the pad button pressed and not yet released, if any
    bool heldHat_ = false;         // the hat pushed and not yet centred
    bool releasedNow_ = false;     // a button or the hat was let go in this frame
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
