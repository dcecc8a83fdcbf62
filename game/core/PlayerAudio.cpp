#include "game/core/Player.h"

#include <algorithm>
#include <filesystem>

#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALSource.h"
#include "audio/OALSimpleAudio.h"
#include "audio/VantrelAudio.h"
#include "engine/core/support/CCFileUtils.h"
#include "game/core/PlayerGameDelegate.h"
#include "game/core/SimpleSoundEffect.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"

namespace {

// Loops: gain and the seconds of their fades.
constexpr float kLoopGain = 0.2f;
constexpr float kLoopFadeInSeconds = 0.2f;
constexpr float kLoopFadeOutSeconds = 0.25f;

// Null, with one log line, for a sound that is missing (the facade logs one it cannot decode):
// the bee then plays, fades and stops nothing of it.
RefPtr<ALBuffer> loadSound(OALSimpleAudio* audio, const char* name, bool mono) {
    if (!audio) return nullptr;
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        logLine("Player: no sound \"%s\"; the bee plays it silently", name);
        return nullptr;
    }
    return audio->preloadEffect(path, mono);
}

}  // namespace

void Player::initAudio() {
    VantrelAudio* front = VantrelAudio::sharedInstance();
    playerLoopChannel1_ = front->playerLoopChannel1();
    playerLoopChannel2_ = front->playerLoopChannel2();
    playerEventChannel1_ = front->playerEventChannel1();
    OALSimpleAudio* audio = front->simpleAudio();
    windLoopAudioBuffer_ = loadSound(audio, "bee_wind_loop.wav", false);
    buzzLoopAudioBuffer_ = loadSound(audio, "bee_buzz_loop_plain.wav", true);
    buzzHit1AudioBuffer_ = loadSound(audio, "bee_buzz_hit_1.wav", true);
    suckLoopAudioBuffer_ = loadSound(audio, "bee_suck_loop_1.wav", false);
    drainLoopAudioBuffer_ = loadSound(audio, "bee_drain_loop_2.wav", false);
    bonusSoundEffect_ = game::SimpleSoundEffect::simpleSoundEffect("sparkle_big", 0.75f, 0.75f, 1, 1, -0.2f, 0.2f);
    timeSoundEffect_ = game::SimpleSoundEffect::simpleSoundEffect("clock_tick", 0.75f, 0.75f, 1, 1, -0.2f, 0.2f);
}

void Player::startAudio() {
    if ((windSoundSource_ && windSoundSource_->playing()) || (buzzSoundSource_ && buzzSoundSource_->playing())) {
        endAudio();
    }
    if (!playerLoopChannel1_) return;
    if (windLoopAudioBuffer_) windSoundSource_ = playerLoopChannel1_->play(windLoopAudioBuffer_, 0, 0.5f, 0, true);
    if (buzzLoopAudioBuffer_) buzzSoundSource_ = playerLoopChannel1_->play(buzzLoopAudioBuffer_, 0.6f, 0.5f, 0, true);
}

void Player::endAudio() {
    for (RefPtr<ALSource>* source : {&windSoundSource_, &buzzSoundSource_, &suckSoundSource_, &drainSoundSource_}) {
        if (!*source) continue;
        (*source)->stopActions();
        (*source)->clear();
        source->reset();
    }
}

void Player::updateAudio() {
    const float speed = std::min(vantrelWorldSpeed_ / 26.5f, 1.0f);
    if (windSoundSource_) {
        windSoundSource_->setGain(speed * 0.25f);
        windSoundSource_->setPitch(speed * 0.7f + 0.5f);
    }
    const float steering = game_->beeAccelerationPerc();
    const float buzzGain = steering * 0.4f + 0.6f;
    const float buzzPitch = steering * 0.75f + 0.5f;
    if (buzzSoundSource_) {
        buzzSoundSource_->setGain(buzzGain);
        buzzSoundSource_->setPitch(buzzPitch);
    }
    if (hasSolidContact_ && playerEventChannel1_ && buzzHit1AudioBuffer_) {
        playerEventChannel1_->play(buzzHit1AudioBuffer_, buzzGain, buzzPitch + Random::unitFloat() * 0.05f, 0, false);
    }
}

void Player::playLoop(RefPtr<ALSource> Player::*loop, RefPtr<ALSource> Player::*other, ALBuffer* buffer) {
    fadeOutLoop(other);
    RefPtr<ALSource>& source = this->*loop;
    if (source) {
        source->fadeTo(kLoopGain, kLoopFadeInSeconds, nullptr);
    } else if (playerLoopChannel2_ && buffer) {
        source = playerLoopChannel2_->play(RefPtr<ALBuffer>(buffer), kLoopGain, Random::unitFloat() * 0.2f + 0.9f, 0,
                                           true);
    }
}

// The faded source is stopped and let go at the end of the fade, unless it was taken up again
// meanwhile (a new play replaced it). The bee's release stops the fade (endAudio), so the
// completion never finds it gone.
void Player::fadeOutLoop(RefPtr<ALSource> Player::*loop) {
    RefPtr<ALSource>& source = this->*loop;
    if (!source) return;
    source->fadeTo(0, kLoopFadeOutSeconds, [this, loop](ALSource* faded) {
        faded->stop();
        if ((this->*loop).get() == faded) (this->*loop).reset();
    });
}

void Player::playSuckSound() {
    playLoop(&Player::suckSoundSource_, &Player::drainSoundSource_, suckLoopAudioBuffer_.get());
}
void Player::stopSuckSound() { fadeOutLoop(&Player::suckSoundSource_); }
void Player::playDrainSound() {
    playLoop(&Player::drainSoundSource_, &Player::suckSoundSource_, drainLoopAudioBuffer_.get());
}
void Player::stopDrainSound() { fadeOutLoop(&Player::drainSoundSource_); }
