#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hid/DDHidJoystick.h"

// A joystick of SDL's joystick layer. Axes 0 and 1 are stick 0's x and y, axes 2 and up its other
// axes 0 and up; hat n is stick 0's point of view n; buttons keep SDL's numbers.
//
// The window's event pump hands SDL's joystick events to handleEvent, which passes each to the
// joysticks listening to that device. Reports arrive also while no window of the program has the
// focus, as the game expects of its pads. Main thread only.
class SDLHidJoystick : public DDHidJoystick {
public:
    // See DDHidJoystick::allJoysticks. Devices that cannot be opened are left out, logged.
    static std::vector<RefPtr<DDHidJoystick>> connectedJoysticks();
    // Passes a joystick event to the joysticks listening to its device; other events are ignored.
    static void handleEvent(const SDL_Event& event);

    // SDL's axis value (-32768 ... 32767) as -65536 ... 65536, both ends exact.
    static int32_t scaledAxisValue(int16_t value);
    // SDL's hat bits as hundredths of degrees clockwise from up; -1 centred (and for bits that
    // name no direction).
    static int32_t hatHundredthsOfDegrees(uint8_t hat);

    // Takes over one reference to the opened device and to the joystick subsystem.
    explicit SDLHidJoystick(SDL_Joystick* joystick);

    std::string productName() const override { return productName_; }
    void startListening() override;
    void stopListening() override;
    bool isListening() const override { return listening_; }

protected:
    ~SDLHidJoystick() override;

private:
    void report(const SDL_Event& event);

    SDL_Joystick* joystick_;
    SDL_JoystickID instanceID_;
    std::string productName_;
    bool listening_ = false;
};
