#include "audio/VantrelAudio.h"

#include <mutex>

#include "audio/ALChannelSource.h"
#include "audio/OALAudioSession.h"
#include "audio/OALAudioTrack.h"
#include "audio/OALAudioTracks.h"
#include "audio/OALSharedInstance.h"
#include "audio/OALSimpleAudio.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/SharedInstances.h"

namespace {

constexpr float kTrackFadeDuration = 0.5f;  // seconds

}  // namespace

VantrelAudio* VantrelAudio::sharedInstance() {
    // Noted as it is made: tests make fronts of their own, which are no shared instance.
    static std::once_flag noted;
    std::call_once(noted, [] { noteSharedInstanceMade("VantrelAudio"); });
    return OALSharedInstance<VantrelAudio>::get();
}

VantrelAudio::VantrelAudio() {
    initAudio();
}

void VantrelAudio::initAudio() {
    simpleAudio_ = OALSimpleAudio::sharedInstance();
    simpleAudio_->setReservedSources(0);
    // The lines above this front name the calls that failed; the player is told in words, once.
    if (!simpleAudio_->device()) {
        static std::once_flag told;
        std::call_once(told, [] { logLine("Vantrel: no sound device could be opened, so the game plays without sound"); });
    }

    audioSession_ = OALAudioSession::sharedInstance();
    audioSession_->setHandleInterruptions(true);
    audioSession_->setHonorSilentSwitch(true);
    audioSession_->setUseHardwareIfAvailable(true);
    audioSession_->setAllowIpod(true);
    // The manager and the track registry joined the session of their own creation, which a reset
    // purged: hang them below the current root, once.
    for (OALSuspendListener* node : {static_cast<OALSuspendListener*>(OpenALManager::sharedInstance()),
                                     static_cast<OALSuspendListener*>(OALAudioTracks::sharedInstance())}) {
        audioSession_->removeSuspendListener(node);
        audioSession_->addSuspendListener(node);
    }

    audioTrack_ = OALAudioTrack::track();
    // Without a context no source can be made; the channels stay empty rather than each logging
    // the refusal the player was already told of.
    const bool sounding = simpleAudio_->context() != nullptr;
    const auto channel = [sounding](int sources) {
        return ALChannelSource::channelWithSources(sounding ? sources : 0);
    };
    interfaceChannel_ = channel(2);
    playerLoopChannel1_ = channel(2);
    playerLoopChannel2_ = channel(2);
    playerEventChannel1_ = channel(1);
    generalChannel_ = channel(25);
    interfaceChannel_->setInterruptible(true);
    playerLoopChannel1_->setInterruptible(false);
    playerLoopChannel2_->setInterruptible(true);
    playerEventChannel1_->setInterruptible(true);
    generalChannel_->setInterruptible(true);
}

void VantrelAudio::destroyAudio() {
    if (!simpleAudio_) return;
    simpleAudio_->stopEverything();
    nextAudioTrackFilePath_.clear();
    interfaceChannel_.reset();
    playerLoopChannel1_.reset();
    playerLoopChannel2_.reset();
    playerEventChannel1_.reset();
    generalChannel_.reset();
    // Cleared first: posted notifications may keep the track a while, and its fade callbacks reach
    // this front.
    audioTrack_->clear();
    audioTrack_.reset();
    simpleAudio_->unloadAllEffects();
    OALSimpleAudio::purgeSharedInstance();
    OALAudioSession::purgeSharedInstance();
    audioSession_ = nullptr;
    simpleAudio_ = nullptr;
}

void VantrelAudio::resetAudio() {
    destroyAudio();
    initAudio();
}

void VantrelAudio::playTrack(const std::string& filePath, bool isMusic, bool fadeCurrent, int64_t loops, float volume) {
    // Without a device no track can load (the player was told once in initAudio).
    if (!audioTrack_ || !simpleAudio_->context()) return;
    nextAudioTrackFilePath_ = filePath;
    nextAudioTrackIsMusic_ = isMusic;
    nextAudioTrackLoops_ = loops;
    nextAudioTrackVolume_ = volume;
    if (fadeCurrent && audioTrack_->playing()) {
        if (audioTrack_->currentlyLoadedUrl() != OALTools::urlForPath(filePath)) {
            audioTrack_->fadeTo(0.0f, kTrackFadeDuration,
                                [this](OALAudioTrack* track) { onPlayTrackFadeTrackOutComplete(track); });
        } else if (audioTrack_->volume() != volume) {
            audioTrack_->fadeTo(volume, kTrackFadeDuration, {});
            audioTrack_->setNumberOfLoops(loops);
        }
        return;
    }
    audioTrack_->stopFade();
    audioTrack_->setVolume(volume);
    if (!(isMusic && audioSession_->ipodPlaying())) audioTrack_->playFile(filePath, loops);
}

void VantrelAudio::fadeTrackAndStop() {
    if (!audioTrack_ || !audioTrack_->playing()) return;
    audioTrack_->fadeTo(0.0f, kTrackFadeDuration,
                        [this](OALAudioTrack* track) { onFadeTrackAndStopFadeTrackOutComplete(track); });
}

void VantrelAudio::onPlayTrackFadeTrackOutComplete(OALAudioTrack* track) {
    if (!audioSession_) return;
    track->clear();
    track->setVolume(nextAudioTrackVolume_);
    if (nextAudioTrackIsMusic_ && audioSession_->ipodPlaying()) return;
    track->playFile(nextAudioTrackFilePath_, nextAudioTrackLoops_);
}

void VantrelAudio::onFadeTrackAndStopFadeTrackOutComplete(OALAudioTrack* track) {
    track->clear();
    track->setVolume(1.0f);
}

void VantrelAudio::onGamePause() {
    if (!audioTrack_) return;
    audioTrack_->setPaused(true);
    for (ALChannelSource* channel : gameChannels()) channel->setPaused(true);
}

void VantrelAudio::onGameResume() {
    if (!audioTrack_) return;
    audioTrack_->setPaused(false);
    for (ALChannelSource* channel : gameChannels()) channel->setPaused(false);
}

void VantrelAudio::onGameOver() {
    if (!audioTrack_) return;
    if (audioTrack_->paused()) audioTrack_->setPaused(false);
    for (ALChannelSource* channel : gameChannels()) channel->stop();
    for (ALChannelSource* channel : gameChannels()) channel->setPaused(false);
}

void VantrelAudio::duckAudio() {
    if (!simpleAudio_) return;
    simpleAudio_->setEffectsVolume(0.0f);
    audioTrack_->setPaused(true);
}

void VantrelAudio::unduckAudio() {
    if (!simpleAudio_) return;
    simpleAudio_->setEffectsVolume(1.0f);
    audioTrack_->setPaused(false);
}

void VantrelAudio::purgeCachedBuffers() {
    if (!simpleAudio_) return;
    interfaceChannel_->clear();
    for (ALChannelSource* channel : gameChannels()) channel->clear();
    simpleAudio_->stopAllEffects();
    simpleAudio_->unloadAllEffects();
}

std::array<ALChannelSource*, 4> VantrelAudio::gameChannels() const {
    return {playerLoopChannel1_.get(), playerLoopChannel2_.get(), playerEventChannel1_.get(), generalChannel_.get()};
}
