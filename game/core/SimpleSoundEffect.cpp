#include "game/core/SimpleSoundEffect.h"

#include "engine/core/support/CCFileUtils.h"
#include "game/core/SoundEffectOutput.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

RefPtr<SimpleSoundEffect> SimpleSoundEffect::simpleSoundEffectWithDictionary(const Value& data) {
    if (data.isNone()) return nullptr;
    const LevelDataRange volume = LevelDataRange::read(data, "volume", 0);
    const LevelDataRange pitch = LevelDataRange::read(data, "pitch", 1.0f);
    const LevelDataRange pan = LevelDataRange::read(data, "pan", 0);
    return simpleSoundEffect(data["sound_name"].stringValue(), volume.min, volume.max, pitch.min, pitch.max, pan.min,
                             pan.max);
}

RefPtr<SimpleSoundEffect> SimpleSoundEffect::simpleSoundEffect(const std::string& soundName, float volumeMin,
                                                               float volumeMax, float pitchMin, float pitchMax,
                                                               float panMin, float panMax) {
    RefPtr<SimpleSoundEffect> effect(new SimpleSoundEffect);
    effect->soundName_ = soundName;
    effect->volume_ = LevelDataRange{volumeMin, volumeMax, volumeMax - volumeMin};
    effect->pitch_ = LevelDataRange{pitchMin, pitchMax, pitchMax - pitchMin};
    effect->pan_ = LevelDataRange{panMin, panMax, panMax - panMin};
    if (soundName.empty()) {
        logLine("Game objects: a sound effect without \"sound_name\" stays silent");
        return effect;
    }
    effect->path_ = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(soundName + ".wav");
    effect->output_ = SoundEffectOutput::current();
    effect->sound_ = effect->output_->keepEffect(effect->path_);
    if (!effect->sound_ && !effect->output_->isSilent()) {
        logLine("Game objects: sound %s.wav cannot be loaded; it stays silent", soundName.c_str());
    }
    return effect;
}

void SimpleSoundEffect::play() const {
    const float volume = volume_.draw();
    const float pitch = pitch_.draw();
    play(volume, pitch, pan_.draw());
}

void SimpleSoundEffect::play(float volume) const {
    const float pitch = pitch_.draw();
    play(volume, pitch, pan_.draw());
}

void SimpleSoundEffect::play(float volume, float pitch) const { play(volume, pitch, pan_.draw()); }

void SimpleSoundEffect::play(float volume, float pitch, float pan) const {
    if (!sound_) return;
    SoundEffectOutput* output = SoundEffectOutput::current();
    if (output == output_) {
        output->playKept(*sound_, volume, pitch, pan);
    } else {
        output->playEffect(path_, volume, pitch, pan);
    }
}

void SimpleSoundEffect::playAt(float pan) const {
    const float volume = volume_.draw();
    play(volume, pitch_.draw(), pan);
}

void SimpleSoundEffect::playAt(float pan, float volume) const { play(volume, pitch_.draw(), pan); }

}  // namespace game
