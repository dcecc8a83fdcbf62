#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "DiscoveryRecorder.h"
#include "JPFakeDiscovery.h"
#include "PadlinkRecorder.h"
#include "platform/foundation/Log.h"

namespace {

// A device with a recorder as its delegate and connection delegate.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { device_->setDelegate(&recorder_); }
    RefPtr<JPControllerLayout> layoutInSlot(int32_t slot, const std::function<void(JPControllerLayout&)>& build) {
        auto layout = JPControllerLayout::layout();
        build(*layout);
        layout->setLayoutNumber(slot);
        device_->updateLayout(layout);
        return layout;
    }
    // The events of one word.
    std::string feed(uint64_t word) {
        recorder_.events.clear();
        device_->deviceNetworker(nullptr, word);
        return recorder_.events;
    }

    PadlinkRecorder recorder_;
    RefPtr<JPHiddenDevice> device_ = makeRef<JPHiddenDevice>(&recorder_);
    LogCapture log_;
};

TEST_F(DeviceTest, WordsDecodeIntoEventsOfChangedComponentsOnly) {
    const CGRect frame = CGRectMake(0, 0, 10, 10);
    const auto layout = layoutInSlot(0, [&](JPControllerLayout& l) {
        l.addDpadWithFrame(frame, 0);
        l.addButtonWithFrame(frame, 6);
        l.addAnalogStickWithTouchFrame(frame, CGPointMake(5, 5), 255, 1);
        l.addAccelerometer();
        l.addNavPadWithFrame(frame, CGPointMake(5, 5));
        l.addButtonBlockWithFrame(frame);
        l.addNavSelectWithFrame(frame);
    });
    const auto field = [&](size_t component, uint64_t value) {
        return value << layout->inputComponentTemplates()[component]->bitOffset();
    };
    const uint64_t stick = field(2, 255 | 128 << 8);
    const struct {
        uint64_t word;
        const char* events;
    } table[] = {
        {field(0, 0b0011), "dpad-down 0 0, dpad-down 0 1"},
        {field(0, 0b0110), "dpad-down 0 2, dpad-up 0 0"},
        {field(0, 0b0110), ""},
        {field(1, 1), "dpad-up 0 1, dpad-up 0 2, down 6"},
        {stick | field(3, 0x80FFFF), "up 6, stick 1 1.5708 1, acc 0 0.992188 0.992188"},
        {stick | field(3, 0x8000FF), "acc 0 -1 0.992188"},
        {field(4, 5) | field(4, 6) | field(4, 7), "stick 1 0 0, acc -1 -1 -1"},
        {field(4, 2), "nav 1"},
        {field(5, 0b1010) | field(6, 1), "down 7, down 10, nav 5"},
        {field(5, 0b0011), "down 6, up 10"},
        {field(5, 0b0011) | 2ull << 62, ""},  // slot 2 has no layout
    };
    for (const auto& row : table) EXPECT_EQ(feed(row.word), row.events) << std::hex << row.word;
    EXPECT_TRUE(log_.contains("Padlink: Layout for index 2 is NULL. Event missed."));
    EXPECT_EQ(recorder_.forwarded, 19);
    // A layout sent again makes the slot's next word count from 0: presses only.
    device_->updateLayout(layout);
    EXPECT_EQ(feed(field(5, 0b0011)), "down 6, down 7");
}

TEST_F(DeviceTest, StickOfRadiusZeroAndFieldsPastBit61ReportSafely) {
    layoutInSlot(1, [](JPControllerLayout& l) {
        l.addAnalogStickWithTouchFrame(CGRectMake(0, 0, 10, 10), CGPointMake(5, 5), 0, 2);
        l.addAccelerometer();
        l.addAccelerometer();  // bits 41-64: past bit 61, never reports
    });
    EXPECT_EQ(feed(1ull << 62 | ~0ull >> 2), "stick 2 6.27091 0, acc 0.992188 0.992188 0.992188");
}

// The first failed resolve is retried silently; the second is reported with the resolver's error,
// also when the resolve times out.
TEST_F(DeviceTest, ResolveIsRetriedOnceThenFails) {
    const auto fake = makeRef<JPFakeDiscovery>();
    JPServiceDiscovery::setShared(fake);
    device_->setNetService(makeRef<JPNetService>("local.", "_padlink._tcp.", "phone", 0));
    for (const bool timeOut : {false, true}) {
        recorder_.events.clear();
        JPNetService::setResolveTimeout(timeOut ? 0.01 : 8);
        device_->setState(JPHiddenDevice::kJPDeviceStateToConnect);
        device_->startConnecting();
        if (timeOut) pumpMainUntil([&] { return !recorder_.events.empty(); });
        for (int attempt = 0; attempt < 2 && !timeOut; ++attempt) {
            EXPECT_TRUE(recorder_.events.empty());
            fake->reply(JPServiceDiscovery::ResolveReply{{0, 0, -65540}, "", 0});
        }
        EXPECT_EQ(recorder_.events, timeOut ? "failed -65568" : "failed -65540");
        EXPECT_EQ(device_->state(), JPHiddenDevice::kJPDeviceStateDisconnected);
    }
    EXPECT_EQ(fake->started.size(), 4u);
    JPNetService::setResolveTimeout(8);
    JPServiceDiscovery::setShared(nullptr);
}

}  // namespace
