#include "audio/ALSource.h"

#include <gtest/gtest.h>

#include <cmath>

#include "audio/ALBuffer.h"
#include "audio/ALWrapper.h"
#include "audio/OALActionManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace {

// A source on the null backend, the action manager on a clock the test moves, and the run loop
// pumped by hand for the delayed resume and buffer release.
class ALSourceTest : public AudioDeviceTest {
protected:
    ALSourceTest() { OALActionManager::sharedInstance()->setClock([this] { return now_; }); }
    ~ALSourceTest() override {
        source_.reset();
        // Released buffers must go before the context does.
        EXPECT_TRUE(pumpUntil(RunLoop::current(), "the delayed buffer releases",
                              [&] { return tone_->retainCount() == 1 && blip_->retainCount() == 1; }));
        OALActionManager::purgeSharedInstance();
    }

    // A mono 16-bit 440 Hz tone at 44.1 kHz.
    static RefPtr<ALBuffer> tone(int frames) {
        std::unique_ptr<uint8_t[]> bytes(new uint8_t[size_t(frames) * 2]);
        for (int i = 0; i < frames; ++i) reinterpret_cast<int16_t*>(bytes.get())[i] = int16_t(sine440(i, 0, 44100) * 32767);
        return ALBuffer::bufferWithName("tone", std::move(bytes), frames * 2, AL_FORMAT_MONO16, 44100);
    }
    // A step that adopts the actions started since the last one, then one `seconds` later.
    void stepThrough(double seconds) {
        OALActionManager::sharedInstance()->step();
        now_ += uint64_t(std::llround(seconds * 1e9));
        OALActionManager::sharedInstance()->step();
    }
    ALint alState() const { return ALWrapper::getSourcei(source_->sourceId(), AL_SOURCE_STATE); }

    uint64_t now_ = 1'000'000'000;  // nanoseconds
    RefPtr<ALBuffer> tone_ = tone(44100);
    RefPtr<ALBuffer> blip_ = tone(441);
    RefPtr<ALSource> source_ = ALSource::source();
};

TEST_F(ALSourceTest, APlayingOrPausedSoundIsCutOffOnlyWhenInterruptibleAndItsFadeEndsWithoutCallback) {
    for (const bool interruptible : {false, true}) {
        for (const bool paused : {false, true}) {
            source_->setInterruptible(interruptible);
            ASSERT_TRUE(source_->play(tone_, 1, 1, 0, true));
            source_->setPaused(paused);
            int calls = 0;
            source_->fadeTo(0, 1, [&](ALSource*) { ++calls; });
            stepThrough(0.5);
            EXPECT_EQ(bool(source_->play(blip_, 0.25f, 1, 0, true)), interruptible);
            stepThrough(1);
            EXPECT_EQ(calls, 0);
            EXPECT_EQ(source_->buffer(), interruptible ? blip_ : tone_);
            EXPECT_FLOAT_EQ(source_->gain(), interruptible ? 0.25f : 0.5f);
            EXPECT_EQ(alState(), paused && !interruptible ? AL_PAUSED : AL_PLAYING);
            source_->stop();
        }
    }
}

TEST_F(ALSourceTest, UnpausingRewindingAndASoundThatEndedKeepTheShadowInStepWithOpenAL) {
    source_->play(tone_, true);
    source_->setPaused(true);
    source_->setPaused(false);
    EXPECT_EQ(alState(), AL_PLAYING);
    source_->rewind();
    source_->setPaused(false);  // only a paused sound is unpaused
    EXPECT_EQ(source_->state(), AL_INITIAL);
    EXPECT_EQ(alState(), AL_INITIAL);
    ASSERT_TRUE(source_->play(blip_));
    EXPECT_TRUE(pumpUntil(RunLoop::current(), "the blip to end", [&] { return alState() == AL_STOPPED; }));
    EXPECT_FALSE(source_->playing());  // the shadow still says playing
    source_->clear();
    EXPECT_EQ(blip_->retainCount(), 2u);  // until the run loop releases it
}

TEST_F(ALSourceTest, GainPanAndPitchChangesEndWithOneCallbackUnlessStoppedOrMuted) {
    const struct {
        void (ALSource::*start)(float, float, ALSource::CompletionCallback);
        void (ALSource::*stop)();
        float (ALSource::*read)() const;
        float end;
    } kinds[] = {
        {&ALSource::fadeTo, &ALSource::stopFade, &ALSource::gain, 0},
        {&ALSource::panTo, &ALSource::stopPan, &ALSource::pan, 1},
        {&ALSource::pitchTo, &ALSource::stopPitch, &ALSource::pitch, 2},
    };
    ALSource& source = *source_;
    for (const auto& kind : kinds) {
        const float from = (source.*kind.read)();
        std::vector<ALSource*> calls;
        (source.*kind.start)(kind.end, 0.5f, nullptr);
        stepThrough(0.25);
        (source.*kind.stop)();
        stepThrough(0.5);
        EXPECT_NEAR((source.*kind.read)(), (from + kind.end) / 2, 1e-4);
        (source.*kind.start)(kind.end, 0.5f, [&](ALSource* called) { calls.push_back(called); });
        stepThrough(0.6);
        EXPECT_FLOAT_EQ((source.*kind.read)(), kind.end);
        EXPECT_EQ(calls, std::vector<ALSource*>{&source});
    }
    source.fadeTo(0, 1, nullptr);
    source.setMuted(true);
    source.setGain(0.5f);
    stepThrough(0.5);  // the fade stopped with the muting
    EXPECT_FLOAT_EQ(source.gain(), 0.5f);
    EXPECT_EQ(ALWrapper::getSourcef(source.sourceId(), AL_GAIN), 0);
    source.setMuted(false);
    EXPECT_FLOAT_EQ(ALWrapper::getSourcef(source.sourceId(), AL_GAIN), 0.5f);
}

TEST_F(ALSourceTest, TheEndOfASuspensionResumesLaterUnlessStoppedAndHoldsTheSourceTillThen) {
    source_->play(tone_, true);
    context_->setManuallySuspended(true);
    EXPECT_EQ(alState(), AL_PAUSED);
    EXPECT_TRUE(source_->playing());
    EXPECT_FALSE(source_->play(blip_));
    context_->setManuallySuspended(false);
    EXPECT_EQ(alState(), AL_PAUSED);
    EXPECT_TRUE(pumpUntil(RunLoop::current(), "the delayed resume", [&] { return alState() == AL_PLAYING; }));

    const auto suspendAndResume = [&] {
        source_->setManuallySuspended(true);
        source_->setManuallySuspended(false);
    };
    suspendAndResume();
    source_->stop();
    EXPECT_EQ(source_->retainCount(), 2u);  // ours and the pending resume's
    EXPECT_TRUE(pumpUntil(RunLoop::current(), "the cancelled resume to let go", [&] { return source_->retainCount() == 1; }));
    EXPECT_EQ(alState(), AL_STOPPED);

    source_->play(tone_, true);
    source_->setPaused(true);
    suspendAndResume();
    EXPECT_EQ(source_->retainCount(), 1u);  // a paused sound stays paused
    EXPECT_TRUE(source_->paused());

    source_->setPaused(false);
    suspendAndResume();
    source_.reset();
    EXPECT_EQ(context_->sources().size(), 1u);
    EXPECT_TRUE(pumpUntil(RunLoop::current(), "the source to leave its context", [&] { return context_->sources().empty(); }));
}

TEST_F(ALSourceTest, ASourceThatCannotBeMadeAnswersNullAndNeverEntersUse) {
    std::vector<RefPtr<ALSource>> sources;
    LogCapture log;
    while (sources.size() < 300 && (sources.push_back(ALSource::source()), sources.back())) {}
    EXPECT_EQ(sources.size(), 256u);  // OpenAL's 256 with the fixture's, then null
    EXPECT_EQ(context_->sources().size(), 256u);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.contains("OAL Error: +[ALWrapper genSources:numSources:]: Out of Memory"));
    EXPECT_FALSE(ALSource::sourceOnContext(nullptr));
    EXPECT_TRUE(log.contains("Failed to init because context was nil. Returning nil"));
}

}  // namespace
