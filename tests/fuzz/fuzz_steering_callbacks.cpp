// Steering callbacks: a phone and two HID pads report arbitrary values (any float bits, any axis,
// hat and button numbers) between frames; after each report the play scene chooses its input and
// turns it into the force for the bee's head. The force is always finite and at most 120 long.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/core/VantrelGameLayer.h"
#include "platform/foundation/Log.h"
#include "platform/hid/DDHidJoystick.h"
#include "tests/support/CountingCursorHider.h"

namespace {

class NamedPad : public DDHidJoystick {
public:
    explicit NamedPad(std::string name) : name_(std::move(name)) {}
    std::string productName() const override { return name_; }
    void startListening() override {}
    void stopListening() override {}
    bool isListening() const override { return false; }

private:
    std::string name_;
};

class FuzzedScene : public VantrelGameLayer {
public:
    void setPhoneConnected(bool connected) { useNetworkJoystick_ = connected; }
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    uint32_t word() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = value << 8 | (at_ < size_ ? data_[at_++] : 0);
        return value;
    }
    float real() {
        const uint32_t bits = word();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

FuzzedScene& scene() {
    static CountingCursorHider cursor;
    static FuzzedScene* made = [] {
        auto* layer = new FuzzedScene;
        layer->createGameControls();
        layer->enableGameControls();
        return layer;
    }();
    return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const RefPtr<NamedPad> pads[2] = {makeRef<NamedPad>("PLAYSTATION(R)3 Controller"),
                                             makeRef<NamedPad>("SmartJoy PLUS Adapter")};
    static LogCapture quiet;
    quiet.clear();
    FuzzedScene& layer = scene();
    layer.clearGameControlsInput();
    layer.setPhoneConnected(false);
    Reader in(data, size);
    while (!in.done()) {
        const uint8_t op = in.byte();
        DDHidJoystick* pad = pads[op >> 7].get();
        switch (op % 12) {
            case 0: layer.setPhoneConnected(in.byte() & 1); break;
            case 1: {
                const float x = in.real(), y = in.real(), z = in.real();
                layer.padlinkDeviceDidAccelerate(nullptr, x, y, z);
                break;
            }
            case 2: {
                const float angle = in.real(), distance = in.real();
                layer.padlinkDeviceAnalogStickDidMove(nullptr, 0, angle, distance);
                break;
            }
            case 3: layer.padlinkDeviceDPadButtonDown(nullptr, 0, static_cast<int>(in.word())); break;
            case 4: layer.padlinkDeviceDPadButtonUp(nullptr, 0, static_cast<int>(in.word())); break;
            case 5: layer.ddhidJoystickStickXChanged(pad, in.byte() % 2, static_cast<int32_t>(in.word())); break;
            case 6: layer.ddhidJoystickStickYChanged(pad, in.byte() % 2, static_cast<int32_t>(in.word())); break;
            case 7: {
                const uint32_t axis = in.byte() % 4;
                layer.ddhidJoystickStickOtherAxisValueChanged(pad, 0, axis, static_cast<int32_t>(in.word()));
                break;
            }
            case 8: layer.ddhidJoystickStickPovNumberValueChanged(pad, 0, 0, static_cast<int32_t>(in.word())); break;
            // Raw 16 of the first pad is the full-screen button, which needs a window: left out.
            case 9: layer.ddhidJoystickButtonDown(pad, in.byte() % 16); break;
            case 10: layer.ddhidJoystickButtonUp(pad, in.byte() % 16); break;
            default: layer.padlinkDeviceButtonDown(nullptr, static_cast<int>(in.word())); break;
        }
        layer.handleInput();
        const vector2d<float> chosen = layer.beeAcceleration();
        if (!std::isfinite(chosen.X) || !std::isfinite(chosen.Y) || chosen.getLength() > 1.0001f) std::abort();
        if (!std::isfinite(layer.beeAccelerationPerc())) std::abort();
        layer.applyInput(true);
        const vector2d<float> force = layer.beeAcceleration();
        if (!std::isfinite(force.X) || !std::isfinite(force.Y) || force.getLength() > 120.02f) std::abort();
    }
    return 0;
}
