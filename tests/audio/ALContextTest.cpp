#include "audio/ALContext.h"

#include <gtest/gtest.h>

#include "audio/ALBuffer.h"
#include "audio/ALListener.h"
#include "audio/ALSource.h"
#include "audio/ALWrapper.h"
#include "audio/OALAction.h"
#include "audio/OALAudioSession.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"

namespace {

// A real source on a context that records what the context asks of it.
class FakeSource : public ALSource {
public:
    FakeSource(RefPtr<ALContext> context, std::string& calls) : calls_(calls) { initOnContext(std::move(context)); }
    void stop() override { calls_ += "stop "; }
    void clear() override { calls_ += "clear "; }

private:
    std::string& calls_;
};

using ALContextTest = AudioDeviceTest;

}  // namespace

TEST(ALContextAttributes, OnlyMeaningfulSettingsArePassed) {
    using List = std::vector<ALCint>;
    EXPECT_EQ(ALContext::attributesFor(0, 0, false, -1, -1), (List{ALC_SYNC, 0}));
    EXPECT_EQ(ALContext::attributesFor(22050, 30, true, 0, 4),
              (List{ALC_FREQUENCY, 22050, ALC_REFRESH, 30, ALC_SYNC, 1, ALC_MONO_SOURCES, 0, ALC_STEREO_SOURCES, 4}));
}

TEST_F(ALContextTest, CreationReadsAttributesBackAndRefusesANullDevice) {
    RefPtr<ALContext> second = ALContext::contextOnDevice(device_, 22050, 0, false, 8, 2);
    ASSERT_TRUE(second);
    const std::vector<ALCint>& attributes = second->attributes();
    bool sawFrequency = false;
    for (size_t i = 0; i + 1 < attributes.size(); i += 2) sawFrequency |= attributes[i] == ALC_FREQUENCY && attributes[i + 1] > 0;
    EXPECT_TRUE(sawFrequency);
    EXPECT_EQ(device_->contexts(), (std::vector<ALContext*>{context_.get(), second.get()}));
    LogCapture log;
    EXPECT_FALSE(ALContext::contextOnDevice(nullptr, {}));
    EXPECT_TRUE(log.contains("Failed to init because device was nil. Returning nil"));
}

// The manager must never be left pointing at a destroyed context, not even while suspended: the
// resume would make it current again.
TEST_F(ALContextTest, DestroyingTheCurrentContextLeavesNoneCurrentAlsoWhileSuspended) {
    OpenALManager* manager = OpenALManager::sharedInstance();
    for (bool suspended : {false, true}) {
        RefPtr<ALContext> doomed = ALContext::contextOnDevice(device_, {});
        manager->setCurrentContext(doomed.get());
        OALAudioSession::sharedInstance()->setManuallySuspended(suspended);
        doomed.reset();
        OALAudioSession::sharedInstance()->setManuallySuspended(false);
        EXPECT_EQ(manager->currentContext(), nullptr) << suspended;
        EXPECT_EQ(ALWrapper::getCurrentContext(), nullptr) << suspended;
    }
}

TEST_F(ALContextTest, SuspendingTheSessionReachesTheManagerContextsAndListener) {
    OpenALManager* manager = OpenALManager::sharedInstance();
    RefPtr<ALContext> other = ALContext::contextOnDevice(device_, {});
    ALListener* listener = context_->listener();
    OALAudioSession::sharedInstance()->setManuallySuspended(true);
    EXPECT_TRUE(context_->suspended() && listener->suspended() && device_->suspended());
    EXPECT_EQ(ALWrapper::getCurrentContext(), nullptr);
    manager->setCurrentContext(other.get());  // ignored while suspended
    listener->setGain(0.25f);                 // likewise
    OALAudioSession::sharedInstance()->setManuallySuspended(false);
    EXPECT_EQ(manager->currentContext(), context_.get());
    EXPECT_EQ(ALWrapper::getCurrentContext(), context_->context());
    EXPECT_FLOAT_EQ(listener->gain(), 1.0f);
    EXPECT_FALSE(context_->suspended());
}

TEST_F(ALContextTest, MutingTheListenerSendsSilenceButKeepsTheGain) {
    ALListener* listener = context_->listener();
    listener->setMuted(true);
    listener->setGain(0.5f);
    EXPECT_FLOAT_EQ(listener->gain(), 0.5f);
    EXPECT_FLOAT_EQ(ALWrapper::getListenerf(AL_GAIN), 0.0f);
    listener->setMuted(false);
    EXPECT_FLOAT_EQ(ALWrapper::getListenerf(AL_GAIN), 0.5f);
    const ALOrientation facing{{0, 0, 1}, {0, 1, 0}};
    listener->setOrientation(facing);
    EXPECT_EQ(listener->orientation(), facing);
}

TEST_F(ALContextTest, ClearingReachesEverySourceOfEveryContextAndStoppingWaitsForAResume) {
    std::string calls;
    RefPtr<ALContext> other = ALContext::contextOnDevice(device_, {});
    RefPtr<FakeSource> a = makeRef<FakeSource>(context_, calls), b = makeRef<FakeSource>(context_, calls),
                       c = makeRef<FakeSource>(other, calls);
    OpenALManager::sharedInstance()->clearAllBuffers();
    EXPECT_EQ(calls, "clear clear clear ");
    context_->setManuallySuspended(true);
    context_->stopAllSounds();
    context_->setManuallySuspended(false);
    context_->stopAllSounds();
    EXPECT_EQ(calls, "clear clear clear stop stop ");
}

// An OpenAL context cannot leave the device it was made on: another device is refused, and the
// context stays registered with its own device and suspended through it.
TEST_F(ALContextTest, SetDeviceAcceptsOnlyTheDeviceTheContextWasMadeOn) {
    RefPtr<ALDevice> other = ALDevice::deviceWithDeviceSpecifier("");
    ASSERT_TRUE(other);
    LogCapture log;
    EXPECT_TRUE(context_->setDevice(device_.get()));
    EXPECT_TRUE(log.lines().empty());
    for (ALDevice* refused : {other.get(), static_cast<ALDevice*>(nullptr)}) {
        log.clear();
        EXPECT_FALSE(context_->setDevice(refused));
        EXPECT_TRUE(log.contains("Cannot move to device")) << (log.lines().empty() ? "" : log.lines()[0]);
    }
    EXPECT_EQ(context_->device(), device_.get());
    EXPECT_EQ(device_->contexts(), std::vector<ALContext*>{context_.get()});
    EXPECT_TRUE(other->contexts().empty());
    other->setManuallySuspended(true);
    EXPECT_FALSE(context_->suspended());
    device_->setManuallySuspended(true);
    EXPECT_TRUE(context_->suspended());
    device_->setManuallySuspended(false);
}
