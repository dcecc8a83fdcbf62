#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPHiddenDevice.h"
#include "PadlinkSDK/PadlinkRPCLib/JPManager.h"

// Records what the library reports as one line ("L:down 6, D:down 6, connected a"), each event
// after `prefix`, into `sink` (its own `events` unless shared). Serves as device delegate,
// listener, manager delegate and connection delegate, answering the callbacks in `bits`.
struct PadlinkRecorder : JPListener, JPHiddenDeviceConnectionDelegate {
    explicit PadlinkRecorder(std::string prefix = "", uint16_t bits = 0x1FFF, std::string* shared = nullptr)
        : prefix(std::move(prefix)), bits(bits), sink(shared ? shared : &events) {}

    std::string prefix;
    uint16_t bits;
    std::string events;
    std::string* sink;
    std::function<void(JPDevice*)> onEvent;  // runs after each event, with its device (or null)

    void add(const char* format, double a = 0, double b = 0, double c = 0, JPDevice* device = nullptr) {
        char line[64];
        std::snprintf(line, sizeof line, format, a, b, c);
        *sink += (sink->empty() ? "" : ", ") + prefix + line;
        if (onEvent) onEvent(device);
    }
    void add(const std::string& what, JPDevice* device) { add((what + " " + device->name()).c_str(), 0, 0, 0, device); }
    uint16_t padlinkDelegations() const override { return bits; }

    void padlinkDeviceDidAccelerate(JPDevice*, float x, float y, float z) override { add("acc %g %g %g", x, y, z); }
    void padlinkDeviceDPadButtonUp(JPDevice*, int dpad, int way) override { add("dpad-up %g %g", dpad, way); }
    void padlinkDeviceDPadButtonDown(JPDevice*, int dpad, int way) override { add("dpad-down %g %g", dpad, way); }
    void padlinkDeviceButtonUp(JPDevice* device, int button) override { add("up %g", button, 0, 0, device); }
    void padlinkDeviceButtonDown(JPDevice* device, int button) override { add("down %g", button, 0, 0, device); }
    void padlinkDeviceAnalogStickDidMove(JPDevice*, int stick, float angle, float distance) override {
        add("stick %g %g %g", stick, angle, distance);
    }
    void padlinkDeviceDidNavigate(JPDevice*, int code) override { add("nav %g", code); }
    void padlinkManagerDeviceDidConnect(JPManager*, JPDevice* device) override { add("connected", device); }
    void padlinkManagerDeviceDidDisconnect(JPManager*, JPDevice* device) override { add("disconnected", device); }
    void padlinkManagerChangedGameState(JPManager*) override { add("game state"); }
    void deviceDidConnect(JPHiddenDevice*) override {}
    void deviceFailedToConnect(JPHiddenDevice*, const RefPtr<Error>& e) override { add("failed %g", double(e->code())); }
    void deviceDidDisconnect(JPHiddenDevice*) override {}
    void deviceDidProduceEvent(JPHiddenDevice*, const JPDeviceEvent&) override { ++forwarded; }
    int forwarded = 0;  // events handed to the connection delegate
};
