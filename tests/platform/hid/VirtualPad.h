#pragma once

// An SDL virtual joystick for the HID tests: attached with a product name, moved by the test, and
// detached when it goes. Needs SDL's joystick subsystem (no display, no device).

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hid/DDHidJoystick.h"

class VirtualPad {
public:
    explicit VirtualPad(const std::string& name, int axes = 4, int buttons = 17, int hats = 1) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = uint16_t(axes);
        desc.nbuttons = uint16_t(buttons);
        desc.nhats = uint16_t(hats);
        desc.name = name.c_str();
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        handle_ = SDL_JoystickOpen(index);
        EXPECT_NE(handle_, nullptr) << SDL_GetError();
        id_ = SDL_JoystickInstanceID(handle_);
        // The first update reports every control's resting value: not the test's business.
        SDL_JoystickUpdate();
        SDL_FlushEvents(SDL_JOYAXISMOTION, SDL_JOYBUTTONUP);
    }
    ~VirtualPad() {
        SDL_JoystickClose(handle_);
        SDL_JoystickDetachVirtual(deviceIndex());
    }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void setAxis(int axis, int16_t value) { EXPECT_EQ(SDL_JoystickSetVirtualAxis(handle_, axis, value), 0); }
    void setButton(int button, bool down) { EXPECT_EQ(SDL_JoystickSetVirtualButton(handle_, button, down), 0); }
    void setHat(int hat, uint8_t value) { EXPECT_EQ(SDL_JoystickSetVirtualHat(handle_, hat, value), 0); }

    // The joystick of allJoysticks() that is this pad (null when it is missing).
    RefPtr<DDHidJoystick> find(const std::vector<RefPtr<DDHidJoystick>>& joysticks) const {
        const std::string name = SDL_JoystickName(handle_);
        for (const RefPtr<DDHidJoystick>& joystick : joysticks) {
            if (joystick->productName() == name) return joystick;
        }
        return nullptr;
    }

    // This pad's joystick, listening and reporting to the delegate (null when it is missing).
    RefPtr<DDHidJoystick> listen(DDHidJoystickDelegate* delegate) const {
        RefPtr<DDHidJoystick> joystick = find(DDHidJoystick::allJoysticks());
        if (joystick) {
            joystick->setDelegate(delegate);
            joystick->startListening();
        }
        return joystick;
    }

private:
    int deviceIndex() const {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id_) return i;
        }
        return -1;
    }

    SDL_Joystick* handle_ = nullptr;
    SDL_JoystickID id_ = -1;
};

// Every report of the joysticks it listens to, as text: "x 0 65536", "y 0 -1", "other 0 1 200",
// "hat 0 0 9000", "down 3", "up 3", each followed by " <product name>".
class RecordingDelegate : public DDHidJoystickDelegate {
public:
    void ddhidJoystickStickXChanged(DDHidJoystick* j, uint32_t stick, int32_t value) override {
        add(j, "x " + std::to_string(stick) + " " + std::to_string(value));
    }
    void ddhidJoystickStickYChanged(DDHidJoystick* j, uint32_t stick, int32_t value) override {
        add(j, "y " + std::to_string(stick) + " " + std::to_string(value));
    }
    void ddhidJoystickStickOtherAxisValueChanged(DDHidJoystick* j, uint32_t stick, uint32_t axis,
                                                 int32_t value) override {
        add(j, "other " + std::to_string(stick) + " " + std::to_string(axis) + " " + std::to_string(value));
    }
    void ddhidJoystickStickPovNumberValueChanged(DDHidJoystick* j, uint32_t stick, uint32_t pov,
                                                 int32_t value) override {
        add(j, "hat " + std::to_string(stick) + " " + std::to_string(pov) + " " + std::to_string(value));
    }
    void ddhidJoystickButtonDown(DDHidJoystick* j, uint32_t button) override {
        add(j, "down " + std::to_string(button));
    }
    void ddhidJoystickButtonUp(DDHidJoystick* j, uint32_t button) override { add(j, "up " + std::to_string(button)); }

    std::vector<std::string> reports;

private:
    void add(DDHidJoystick* joystick, const std::string& report) {
        reports.push_back(report + " " + joystick->productName());
    }
};
