#include "platform/hid/SDLHidJoystick.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/window/GLWindow.h"

namespace {

// The joysticks listening now, in the order they started; they leave the list when they stop.
std::vector<SDLHidJoystick*>& listeners() {
    static std::vector<SDLHidJoystick*> list;
    return list;
}

// Reused by every event so that reporting allocates nothing once it has room: the listeners of
// the event's device, held while their delegates run (a delegate may let a joystick go).
std::vector<RefPtr<SDLHidJoystick>>& reportScratch() {
    static std::vector<RefPtr<SDLHidJoystick>> scratch;
    return scratch;
}

bool openJoystickSubsystem() {
    // Pads steer the game whether or not its window has the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0) return true;
    logLine("cannot open the joysticks: %s", SDL_GetError());
    return false;
}

// The device whose event it is; false for events that are not a joystick's input.
bool inputEventDevice(const SDL_Event& event, SDL_JoystickID* device) {
    switch (event.type) {
        case SDL_JOYAXISMOTION: *device = event.jaxis.which; return true;
        case SDL_JOYHATMOTION: *device = event.jhat.which; return true;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP: *device = event.jbutton.which; return true;
        default: return false;
    }
}

}  // namespace

std::vector<RefPtr<DDHidJoystick>> SDLHidJoystick::connectedJoysticks() {
    std::vector<RefPtr<DDHidJoystick>> joysticks;
    if (!openJoystickSubsystem()) return joysticks;
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (!joystick) {
            logLine("cannot open joystick %d: %s", index, SDL_GetError());
            continue;
        }
        // Each joystick keeps the subsystem open while it lives.
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        joysticks.push_back(makeRef<SDLHidJoystick>(joystick));
    }
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    return joysticks;
}

void SDLHidJoystick::handleEvent(const SDL_Event& event) {
    SDL_JoystickID device = 0;
    if (!inputEventDevice(event, &device)) return;
    std::vector<RefPtr<SDLHidJoystick>>& targets = reportScratch();
    targets.clear();
    for (SDLHidJoystick* joystick : listeners()) {
        if (joystick->instanceID_ == device) targets.emplace_back(joystick);
    }
    for (const RefPtr<SDLHidJoystick>& joystick : targets) {
        if (joystick->listening_) joystick->report(event);
    }
    targets.clear();
}

int32_t SDLHidJoystick::scaledAxisValue(int16_t value) {
    const int64_t v = value;
    return static_cast<int32_t>(v >= 0 ? v * 65536 / 32767 : v * 65536 / 32768);
}

int32_t SDLHidJoystick::hatHundredthsOfDegrees(uint8_t hat) {
    switch (hat) {
        case SDL_HAT_UP: return 0;
        case SDL_HAT_RIGHTUP: return 4500;
        case SDL_HAT_RIGHT: return 9000;
        case SDL_HAT_RIGHTDOWN: return 13500;
        case SDL_HAT_DOWN: return 18000;
        case SDL_HAT_LEFTDOWN: return 22500;
        case SDL_HAT_LEFT: return 27000;
        case SDL_HAT_LEFTUP: return 31500;
        default: return -1;
    }
}

SDLHidJoystick::SDLHidJoystick(SDL_Joystick* joystick)
    : joystick_(joystick), instanceID_(SDL_JoystickInstanceID(joystick)) {
    const char* name = SDL_JoystickName(joystick);
    productName_ = name ? name : "";
}

SDLHidJoystick::~SDLHidJoystick() {
    stopListening();
    SDL_JoystickClose(joystick_);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void SDLHidJoystick::startListening() {
    if (listening_) return;
    GLWindow::setJoystickEventHandler(&SDLHidJoystick::handleEvent);
    listeners().push_back(this);
    listening_ = true;
}

void SDLHidJoystick::stopListening() {
    if (!listening_) return;
    std::vector<SDLHidJoystick*>& list = listeners();
    list.erase(std::find(list.begin(), list.end(), this));
    listening_ = false;
}

void SDLHidJoystick::report(const SDL_Event& event) {
    DDHidJoystickDelegate* target = delegate();
    if (!target) return;
    constexpr uint32_t stick = 0;
    switch (event.type) {
        case SDL_JOYAXISMOTION: {
            const int32_t value = scaledAxisValue(event.jaxis.value);
            if (event.jaxis.axis == 0) target->ddhidJoystickStickXChanged(this, stick, value);
            else if (event.jaxis.axis == 1) target->ddhidJoystickStickYChanged(this, stick, value);
            else target->ddhidJoystickStickOtherAxisValueChanged(this, stick, event.jaxis.axis - 2u, value);
            break;
        }
        case SDL_JOYHATMOTION:
            target->ddhidJoystickStickPovNumberValueChanged(this, stick, event.jhat.hat,
                                                            hatHundredthsOfDegrees(event.jhat.value));
            break;
        case SDL_JOYBUTTONDOWN:
            target->ddhidJoystickButtonDown(this, event.jbutton.button);
            break;
        case SDL_JOYBUTTONUP:
            target->ddhidJoystickButtonUp(this, event.jbutton.button);
            break;
        default:
            break;
    }
}
