#include "audio/ALChannelSource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/ALBuffer.h"
#include "audio/ALSoundSourcePool.h"
#include "audio/ALSource.h"
#include "audio/ALWrapper.h"
#include "audio/OALActionManager.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace {

using Sources = std::vector<RefPtr<ALSource>>;

// A channel of three sources on the null backend, with the action manager on a clock the test
// moves and the run loop pumped by hand for the delayed resume and buffer release.
class ALChannelSourceTest : public AudioDeviceTest {
protected:
    ALChannelSourceTest() { OALActionManager::sharedInstance()->setClock([this] { return now_; }); }
    ~ALChannelSourceTest() override {
        channel_.reset();
        // Released buffers must go before the context does.
        EXPECT_TRUE(pumpUntil(RunLoop::current(), "the sources to let go of their buffers",
                              [&] { return loop_->retainCount() == 1 && other_->retainCount() == 1; }));
        OALActionManager::purgeSharedInstance();
    }

    // One second of silence, 16-bit mono at 44.1 kHz.
    static RefPtr<ALBuffer> silence(const char* name) {
        return ALBuffer::bufferWithName(name, std::make_unique<uint8_t[]>(88200), 88200, AL_FORMAT_MONO16, 44100);
    }
    void stepThrough(double seconds) {
        OALActionManager::sharedInstance()->step();  // adopts the changes started since the last step
        now_ += uint64_t(seconds * 1e9);
        OALActionManager::sharedInstance()->step();
    }
    // Three looping sounds on the channel, in the order they were handed out.
    Sources playThree() {
        Sources played;
        for (int i = 0; i < 3; ++i) played.push_back(channel_->play(loop_, true));
        return played;
    }

    uint64_t now_ = 1'000'000'000;  // nanoseconds
    RefPtr<ALBuffer> loop_ = silence("loop");
    RefPtr<ALBuffer> other_ = silence("other");
    RefPtr<ALChannelSource> channel_ = ALChannelSource::channelWithSources(3);
};

TEST_F(ALChannelSourceTest, AFullChannelCutsOffTheOldestSoundOnlyWhenInterruptiblePausedOrNot) {
    for (const bool interruptible : {true, false}) {
        for (const bool paused : {false, true}) {
            channel_->setInterruptible(interruptible);
            const Sources played = playThree();
            ASSERT_TRUE(played[0] && played[1] && played[2]);
            ASSERT_TRUE(played[0] != played[1] && played[1] != played[2] && played[0] != played[2]);
            channel_->setPaused(paused);  // a paused sound counts as busy
            const RefPtr<ALSource> fourth = channel_->play(other_, 0.5f, 1, 0, false);
            EXPECT_EQ(fourth, interruptible ? played[0] : nullptr) << interruptible << paused;
            EXPECT_EQ(played[0]->buffer(), interruptible ? other_ : loop_);
            if (fourth) {
                EXPECT_EQ(fourth->state(), AL_PLAYING);  // also on a paused channel
            }
            for (const RefPtr<ALSource>& source : played) EXPECT_TRUE(source->playing());
            channel_->setPaused(false);
            channel_->stop();
        }
    }
}

TEST_F(ALChannelSourceTest, FreedSourcesAreReusedInTheOrderTheyWereLastHandedOut) {
    const Sources played = playThree();
    played[1]->stop();
    played[0]->stop();
    EXPECT_EQ(channel_->play(other_), played[0]);
    EXPECT_EQ(channel_->play(other_), played[1]);
    EXPECT_TRUE(channel_->playing());
    channel_->stop();
    EXPECT_FALSE(channel_->playing());
    EXPECT_EQ(channel_->sourcePool()->sources(), (Sources{played[2], played[0], played[1]}));
}

TEST_F(ALChannelSourceTest, ResizingSplittingAndMergingMoveOnlySourcesThatMayBeCutOff) {
    const RefPtr<ALSource> kept = channel_->play(loop_, true);  // never interruptible
    channel_->setGain(0.5f);
    RefPtr<ALChannelSource> split = channel_->splitChannelWithSources(5);
    EXPECT_EQ(split->reservedSources(), 2);
    EXPECT_FLOAT_EQ(split->sourcePool()->sources()[0]->gain(), 1);  // the defaults
    EXPECT_EQ(channel_->sourcePool()->sources(), (Sources{kept}));
    channel_->setReservedSources(0);  // stops early: the one left may not be cut off
    EXPECT_EQ(channel_->reservedSources(), 1);
    channel_->addChannel(split.get());
    EXPECT_EQ(split->reservedSources(), 0);
    EXPECT_FLOAT_EQ(channel_->sourcePool()->sources()[2]->gain(), 0.5f);  // the channel's value
    channel_->setReservedSources(4);
    EXPECT_EQ(channel_->reservedSources(), 4);
    EXPECT_TRUE(kept->playing());
    LogCapture log;
    OpenALManager::sharedInstance()->setCurrentContext(nullptr);
    EXPECT_EQ(ALChannelSource::channelWithSources(3)->reservedSources(), 0);  // no empty entries
    EXPECT_EQ(log.lines().size(), 1u);
    OpenALManager::sharedInstance()->setCurrentContext(context_.get());
}

TEST_F(ALChannelSourceTest, EveryValueReachesEverySourceAddedSourcesAndResetRestoresTheDefaults) {
    const struct {
        void (ALSoundSource::*set)(float);
        float (ALSoundSource::*get)() const;
        float value;
    } values[] = {
        {&ALSoundSource::setGain, &ALSoundSource::gain, 0.25f},
        {&ALSoundSource::setPitch, &ALSoundSource::pitch, 1.5f},
        {&ALSoundSource::setMaxDistance, &ALSoundSource::maxDistance, 40},
        {&ALSoundSource::setRolloffFactor, &ALSoundSource::rolloffFactor, 2},
        {&ALSoundSource::setReferenceDistance, &ALSoundSource::referenceDistance, 3},
        {&ALSoundSource::setMinGain, &ALSoundSource::minGain, 0.1f},
        {&ALSoundSource::setMaxGain, &ALSoundSource::maxGain, 0.9f},
        {&ALSoundSource::setConeOuterGain, &ALSoundSource::coneOuterGain, 0.3f},
        {&ALSoundSource::setConeInnerAngle, &ALSoundSource::coneInnerAngle, 90},
        {&ALSoundSource::setConeOuterAngle, &ALSoundSource::coneOuterAngle, 180},
        {&ALSoundSource::setPan, &ALSoundSource::pan, 0.5f},
    };
    ALSource& first = *channel_->sourcePool()->sources()[0];
    std::vector<float> defaults;
    for (const auto& value : values) defaults.push_back((first.*value.get)());
    for (const auto& value : values) (channel_.get()->*value.set)(value.value);
    channel_->addSource(nullptr);
    for (const RefPtr<ALSource>& source : channel_->sourcePool()->sources()) {
        for (const auto& value : values) EXPECT_FLOAT_EQ((source.get()->*value.get)(), value.value) << value.value;
        EXPECT_EQ(source->position(), (ALXYZ{0.5f, 0, 0}));
    }
    channel_->resetToDefault();
    for (const RefPtr<ALSource>& source : channel_->sourcePool()->sources()) {
        const float* expected = defaults.data();
        for (const auto& value : values) EXPECT_FLOAT_EQ((source.get()->*value.get)(), *expected++) << value.value;
    }
}

TEST_F(ALChannelSourceTest, AGroupedChangeCallsOnlyItsLatestCallbackOnceEverySourceArrived) {
    const struct {
        void (ALChannelSource::*start)(float, float, ALChannelSource::CompletionCallback);
        float (ALSoundSource::*get)() const;
    } changes[] = {
        {&ALChannelSource::fadeTo, &ALSoundSource::gain},
        {&ALChannelSource::panTo, &ALSoundSource::pan},
        {&ALChannelSource::pitchTo, &ALSoundSource::pitch},
    };
    const RefPtr<ALChannelSource> empty = ALChannelSource::channelWithSources(0);
    for (const auto& change : changes) {
        std::string calls;
        const auto record = [&](const char* name) {
            return [&calls, name](ALChannelSource* channel) { calls += name + std::to_string(channel->reservedSources()); };
        };
        (channel_.get()->*change.start)(0.75f, 0.5f, record("first"));
        stepThrough(0.25);
        (channel_.get()->*change.start)(0.5f, 0.5f, record("second"));
        (empty.get()->*change.start)(0.5f, 0.5f, record("empty"));
        stepThrough(0.6);
        EXPECT_EQ(calls, "second3");
        for (const RefPtr<ALSource>& source : channel_->sourcePool()->sources()) {
            EXPECT_FLOAT_EQ((source.get()->*change.get)(), 0.5f);
        }
    }
    // A source that outlives its channel mid-fade must not call back into it.
    RefPtr<ALChannelSource> single = channel_->splitChannelWithSources(1);
    const RefPtr<ALSource> survivor = single->sourcePool()->sources()[0];
    single->fadeTo(0, 0.5f, [](ALChannelSource*) { ADD_FAILURE() << "called after the channel went"; });
    stepThrough(0.25);
    single.reset();
    stepThrough(0.5);
    EXPECT_FLOAT_EQ(survivor->gain(), 0);
}

TEST_F(ALChannelSourceTest, ASuspendedChannelPlaysNothingAndResumesItsSounds) {
    const RefPtr<ALSource> playing = channel_->play(loop_, true);
    context_->setManuallySuspended(true);
    EXPECT_TRUE(channel_->playing());
    EXPECT_FALSE(channel_->play(other_));
    context_->setManuallySuspended(false);
    EXPECT_TRUE(pumpUntil(RunLoop::current(), "the delayed resume", [&] {
        return ALWrapper::getSourcei(playing->sourceId(), AL_SOURCE_STATE) == AL_PLAYING;
    }));
    EXPECT_TRUE(channel_->play(other_));
}

TEST_F(ALChannelSourceTest, BuffersAreReleasedOnlyFromIdleSources) {
    const Sources held = {channel_->play(loop_, true), channel_->play(loop_), channel_->play(other_)};
    held[1]->stop();
    held[2]->stop();
    EXPECT_FALSE(channel_->removeBuffersNamed("loop"));
    EXPECT_EQ(held[0]->buffer(), loop_);
    EXPECT_EQ(held[1]->buffer(), nullptr);
    EXPECT_EQ(channel_->clearUnusedBuffers(), (std::vector<RefPtr<ALBuffer>>{other_}));
    EXPECT_EQ(held[2]->buffer(), nullptr);
    channel_->stop();
    EXPECT_TRUE(channel_->removeBuffersNamed("loop"));
}

}  // namespace
