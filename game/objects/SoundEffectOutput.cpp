#include "game/objects/SoundEffectOutput.h"

#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALSource.h"
#include "audio/OALSimpleAudio.h"
#include "audio/VantrelAudio.h"

namespace game {

namespace {

// The audio front: sounds play on its general channel from the facade's cache.
class AudioFrontOutput : public SoundEffectOutput {
public:
    bool preloadEffect(const std::string& path) override {
        OALSimpleAudio* audio = VantrelAudio::sharedInstance()->simpleAudio();
        return audio && audio->preloadEffect(path) != nullptr;
    }

    void playEffect(const std::string& path, float gain, float pitch, float pan) override {
        VantrelAudio* front = VantrelAudio::sharedInstance();
        OALSimpleAudio* audio = front->simpleAudio();
        ALChannelSource* channel = front->generalChannel();
        if (!audio || !channel) return;
        if (RefPtr<ALBuffer> buffer = audio->preloadEffect(path)) channel->play(buffer, gain, pitch, pan, false);
    }
};

AudioFrontOutput audioFront;
SoundEffectOutput* currentOutput = nullptr;  // not owned; null means the audio front

}  // namespace

SoundEffectOutput* SoundEffectOutput::current() { return currentOutput ? currentOutput : &audioFront; }

void SoundEffectOutput::setCurrent(SoundEffectOutput* output) { currentOutput = output; }

}  // namespace game
