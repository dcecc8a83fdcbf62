#include "audio/ALListener.h"

#include "audio/ALWrapper.h"

namespace {

ALXYZ read3f(ALenum parameter) {
    ALXYZ value;
    ALWrapper::getListener3f(parameter, &value.x, &value.y, &value.z);
    return value;
}

}  // namespace

RefPtr<ALListener> ALListener::listenerForContext(ALContext* context) {
    return makeRef<ALListener>(context);
}

ALListener::ALListener(ALContext* context) : context_(context) {}

template <typename Apply>
void ALListener::unlessSuspended(Apply&& apply) {
    std::lock_guard lock(mutex_);
    if (!suspended()) apply();
}

float ALListener::gain() const {
    std::lock_guard lock(mutex_);
    return gain_;
}

void ALListener::setGain(float gain) {
    unlessSuspended([&] {
        gain_ = gain;
        ALWrapper::listenerf(AL_GAIN, muted_ ? 0.0f : gain_);
    });
}

bool ALListener::muted() const {
    std::lock_guard lock(mutex_);
    return muted_;
}

void ALListener::setMuted(bool muted) {
    unlessSuspended([&] {
        muted_ = muted;
        ALWrapper::listenerf(AL_GAIN, muted_ ? 0.0f : gain_);
    });
}

ALOrientation ALListener::orientation() const {
    std::lock_guard lock(mutex_);
    ALfloat values[6] = {};
    ALWrapper::getListenerfv(AL_ORIENTATION, values);
    return {{values[0], values[1], values[2]}, {values[3], values[4], values[5]}};
}

void ALListener::setOrientation(const ALOrientation& orientation) {
    unlessSuspended([&] {
        const ALfloat values[6] = {orientation.at.x, orientation.at.y, orientation.at.z,
                                   orientation.up.x, orientation.up.y, orientation.up.z};
        ALWrapper::listenerfv(AL_ORIENTATION, values);
    });
}

ALXYZ ALListener::position() const {
    std::lock_guard lock(mutex_);
    return read3f(AL_POSITION);
}

void ALListener::setPosition(const ALXYZ& position) {
    unlessSuspended([&] { ALWrapper::listener3f(AL_POSITION, position.x, position.y, position.z); });
}

ALXYZ ALListener::velocity() const {
    std::lock_guard lock(mutex_);
    return read3f(AL_VELOCITY);
}

void ALListener::setVelocity(const ALXYZ& velocity) {
    unlessSuspended([&] { ALWrapper::listener3f(AL_VELOCITY, velocity.x, velocity.y, velocity.z); });
}

bool ALListener::reverbOn() const {
    return ALWrapper::asaGetListenerb(ASAProperty::kReverbOn);
}

void ALListener::setReverbOn(bool on) {
    unlessSuspended([&] { ALWrapper::asaListenerb(ASAProperty::kReverbOn, on); });
}

float ALListener::globalReverbLevel() const {
    return ALWrapper::asaGetListenerf(ASAProperty::kGlobalReverbLevel);
}

void ALListener::setGlobalReverbLevel(float level) {
    unlessSuspended([&] { ALWrapper::asaListenerf(ASAProperty::kGlobalReverbLevel, level); });
}

int ALListener::reverbRoomType() const {
    return ALWrapper::asaGetListeneri(ASAProperty::kReverbRoomType);
}

void ALListener::setReverbRoomType(int type) {
    unlessSuspended([&] { ALWrapper::asaListeneri(ASAProperty::kReverbRoomType, type); });
}

float ALListener::reverbEQGain() const {
    return ALWrapper::asaGetListenerf(ASAProperty::kReverbEQGain);
}

void ALListener::setReverbEQGain(float gain) {
    unlessSuspended([&] { ALWrapper::asaListenerf(ASAProperty::kReverbEQGain, gain); });
}

float ALListener::reverbEQBandwidth() const {
    return ALWrapper::asaGetListenerf(ASAProperty::kReverbEQBandwidth);
}

void ALListener::setReverbEQBandwidth(float bandwidth) {
    unlessSuspended([&] { ALWrapper::asaListenerf(ASAProperty::kReverbEQBandwidth, bandwidth); });
}

float ALListener::reverbEQFrequency() const {
    return ALWrapper::asaGetListenerf(ASAProperty::kReverbEQFrequency);
}

void ALListener::setReverbEQFrequency(float frequency) {
    unlessSuspended([&] { ALWrapper::asaListenerf(ASAProperty::kReverbEQFrequency, frequency); });
}

ALContext* ALListener::context() const {
    std::lock_guard lock(mutex_);
    return context_;
}

void ALListener::setContext(ALContext* context) {
    std::lock_guard lock(mutex_);
    context_ = context;
}
