#pragma once

#include <mutex>

#include "audio/ALTypes.h"
#include "audio/OALSuspendManager.h"
#include "platform/foundation/Object.h"

class ALContext;

// The listener of a context. Everything here acts on the OpenAL listener of the current OpenAL
// context; setters are ignored while the listener is suspended. The gain is the effects volume:
// muting sends 0 to OpenAL but keeps the gain, which unmuting sends again.
class ALListener : public Object, public OALSuspendManager {
public:
    // `context` is not retained: the context owns its listener.
    static RefPtr<ALListener> listenerForContext(ALContext* context);

    explicit ALListener(ALContext* context);

    // 0..1 and above (OpenAL accepts any non-negative gain); 1.0 at creation.
    float gain() const;
    void setGain(float gain);
    bool muted() const;
    void setMuted(bool muted);

    ALOrientation orientation() const;
    void setOrientation(const ALOrientation& orientation);
    ALXYZ position() const;
    void setPosition(const ALXYZ& position);
    ALXYZ velocity() const;
    void setVelocity(const ALXYZ& velocity);

    // Reverb through the platform's spatial-audio extension; inert on the desktop (each call logs
    // one warning and answers a neutral value).
    bool reverbOn() const;
    void setReverbOn(bool on);
    float globalReverbLevel() const;
    void setGlobalReverbLevel(float level);
    int reverbRoomType() const;
    void setReverbRoomType(int type);
    float reverbEQGain() const;
    void setReverbEQGain(float gain);
    float reverbEQBandwidth() const;
    void setReverbEQBandwidth(float bandwidth);
    float reverbEQFrequency() const;
    void setReverbEQFrequency(float frequency);

    ALContext* context() const;
    void setContext(ALContext* context);  // not retained

private:
    // Runs `apply` under the lock unless suspended.
    template <typename Apply>
    void unlessSuspended(Apply&& apply);

    mutable std::recursive_mutex mutex_;
    bool muted_ = false;
    float gain_ = 1.0f;
    ALContext* context_;  // not retained
};
