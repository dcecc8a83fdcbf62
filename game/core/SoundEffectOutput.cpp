#include "game/core/SoundEffectOutput.h"

#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALSource.h"
#include "audio/OALSimpleAudio.h"
#include "audio/VantrelAudio.h"

#include <utility>

namespace game {

namespace {

// A preloaded file kept by its path.
class KeptPath : public Object {
public:
    explicit KeptPath(std::string path) : path(std::move(path)) {}
    const std::string path;
};

// The audio front: sounds play on its general channel from the facade's cache, or from the
// buffer a sound effect keeps.
class AudioFrontOutput : public SoundEffectOutput {
public:
    RefPtr<Object> keepEffect(const std::string& path) override {
        OALSimpleAudio* audio = VantrelAudio::sharedInstance()->simpleAudio();
        return audio ? RefPtr<Object>(audio->preloadEffect(path).get()) : nullptr;
    }

    void playKept(Object& sound, float gain, float pitch, float pan) override {
        ALChannelSource* channel = VantrelAudio::sharedInstance()->generalChannel();
        if (channel) channel->play(RefPtr<ALBuffer>(static_cast<ALBuffer*>(&sound)), gain, pitch, pan, false);
    }

    bool isSilent() const override {
        const OALSimpleAudio* audio = VantrelAudio::sharedInstance()->simpleAudio();
        return !audio || !audio->context();
    }

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

RefPtr<Object> SoundEffectOutput::keepEffect(const std::string& path) {
    return preloadEffect(path) ? makeRef<KeptPath>(path) : nullptr;
}

void SoundEffectOutput::playKept(Object& sound, float gain, float pitch, float pan) {
    playEffect(static_cast<KeptPath&>(sound).path, gain, pitch, pan);
}

SoundEffectOutput* SoundEffectOutput::current() { return currentOutput ? currentOutput : &audioFront; }

void SoundEffectOutput::setCurrent(SoundEffectOutput* output) { currentOutput = output; }

}  // namespace game
