// The input-word decoder over arbitrary layouts and words: events carry values in their ranges, a
// repeated word gives none, and no shift or division misbehaves (the sanitizers watch).
// Input: byte 0 is the component count (0-16); per component: type (unknown ones too),
// identifier, stick radius, and a byte that when odd takes the next two as bit offset and width.
// The rest: little-endian input words of any slot (slot 0 holds the layout).
#include <cmath>
#include <cstdlib>

#include "PadlinkSDK/PadlinkRPCLib/JPHiddenDevice.h"
#include "platform/foundation/Log.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

struct Checker : JPDeviceDelegate, JPHiddenDeviceConnectionDelegate {
    int events = 0;
    uint16_t padlinkDelegations() const override { return 0; }  // everything arrives as events below
    void deviceDidConnect(JPHiddenDevice*) override {}
    void deviceFailedToConnect(JPHiddenDevice*, const RefPtr<Error>&) override {}
    void deviceDidDisconnect(JPHiddenDevice*) override {}
    void deviceDidProduceEvent(JPHiddenDevice*, const JPDeviceEvent& event) override {
        ++events;
        if (event.kind == kJPDelegationDidAccelerate) {
            for (float value : {event.x, event.y, event.z}) require(value >= -1.0f && value <= 0.9921875f);
        } else if (event.kind == kJPDelegationAnalogStickDidMove) {
            require(event.x >= 0 && event.x < 6.2832f && std::isfinite(event.y) && event.y >= 0 && event.y <= 255);
        } else if (event.kind == kJPDelegationDidNavigate) {
            require(event.value >= 0 && event.value <= 5);
        } else if (event.kind == kJPDelegationDPadButtonDown || event.kind == kJPDelegationDPadButtonUp) {
            require(event.value >= 0 && event.value <= 3);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    LogCapture quiet;
    Checker checker;
    const auto device = makeRef<JPHiddenDevice>(&checker);
    auto layout = JPControllerLayout::layout();
    size_t at = 1;
    for (int n = data[0] % 17; n > 0 && at + 4 <= size; --n, at += 4) {
        auto component = JPInputComponentTemplate::componentTemplateWithInputType(data[at] % 11, data[at + 1]);
        component->setRadius(data[at + 2]);
        layout->addInputComponentTemplate(component);
        if ((data[at + 3] & 1) && at + 6 <= size) {
            component->setBitOffset(data[at + 4]);
            component->setNumBits(data[at + 5]);
            at += 2;
        }
    }
    device->updateLayout(layout);
    for (; at + 8 <= size; at += 8) {
        uint64_t word = 0;
        for (int i = 7; i >= 0; --i) word = word << 8 | data[at + i];
        device->deviceNetworker(nullptr, word);
        const int before = checker.events;
        device->deviceNetworker(nullptr, word);
        require(checker.events == before);
    }
    return 0;
}
