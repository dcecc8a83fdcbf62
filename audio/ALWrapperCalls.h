#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <mutex>
#include <string>

#include "audio/ALWrapper.h"

// The calls behind ALWrapper, shared by its source files (ALWrapper*.cpp) and by nothing else but
// tests: the one recursive lock every OpenAL and ALC call of the process takes (innermost of all
// audio locks), the error reports, and the platform extensions looked up once.
namespace ALWrapperCalls {

using MixerRateGetter = ALdouble (*)();
using MixerRateSetter = void (*)(ALdouble);
using QualitySetter = void (*)(ALint);
using QualityGetter = ALint (*)();
using BufferDataStatic = void (*)(ALint, ALenum, const ALvoid*, ALsizei, ALsizei);
using ASAGetListener = ALenum (*)(ALuint property, ALvoid* data, ALuint* dataSize);
using ASASetListener = ALenum (*)(ALuint property, ALvoid* data, ALuint dataSize);
using ASAGetSource = ALenum (*)(ALuint property, ALuint source, ALvoid* data, ALuint* dataSize);
using ASASetSource = ALenum (*)(ALuint property, ALuint source, ALvoid* data, ALuint dataSize);
using SourceNotification = ALenum (*)(ALuint source, ALuint notificationId, ALSourceNotificationProc, ALvoid*);
using SetThreadContext = ALCboolean (*)(ALCcontext*);
using GetThreadContext = ALCcontext* (*)();

// The lock; the first use quiets the sound libraries, so every OpenAL call comes after that.
std::recursive_mutex& alLock();

// Once per process, before OpenAL's first call: the sound libraries' own complaints on standard
// error (ALSA's and OpenAL Soft's, as about a missing sound card) are silenced, so that the
// program's own lines stand alone. libasound's error handler becomes one that prints nothing, and
// OpenAL Soft's log level none, unless the user chose one (ALSOFT_LOGLEVEL). It sets that variable
// in the environment, so the first call belongs on a thread while no other one reads it.
void quietSoundLibraries();
// Once OpenAL has read its log level (the first device open has returned, whether it opened or
// not), the environment is the user's again, for the programs the game starts (the browser). Called
// by the thread that made or took that open, as the environment has no lock.
void restoreUserEnvironment();

// Logs the error of `function` and posts kOALAudioErrorNotification.
void reportError(const char* function, int code, const char* text);

std::string textOrEmpty(const char* text);

// Makes an AL call under the lock and reports the error it left once the lock is let go.
template <typename Call>
bool withAL(const char* function, Call&& call) {
    ALenum error = AL_NO_ERROR;
    const ALchar* text = nullptr;
    {
        std::lock_guard lock(alLock());
        call();
        error = alGetError();
        if (error != AL_NO_ERROR) text = alGetString(error);
    }
    if (error == AL_NO_ERROR) return true;
    reportError(function, error, text);
    return false;
}

template <typename Call>
bool withALC(const char* function, ALCdevice* device, Call&& call) {
    ALCenum error = ALC_NO_ERROR;
    const ALCchar* text = nullptr;
    {
        std::lock_guard lock(alLock());
        call();
        error = alcGetError(device);
        if (error != ALC_NO_ERROR) text = alcGetString(device, error);
    }
    if (error == ALC_NO_ERROR) return true;
    reportError(function, error, text);
    return false;
}

template <typename Call>
void locked(Call&& call) {
    std::lock_guard lock(alLock());
    call();
}

// The platform extensions, looked up once; null where the platform lacks one.
struct Extensions {
    MixerRateGetter getMixerOutputRate = nullptr;
    MixerRateSetter setMixerOutputRate = nullptr;
    QualitySetter setRenderingQuality = nullptr;
    QualityGetter getRenderingQuality = nullptr;
    BufferDataStatic bufferDataStatic = nullptr;
    ASAGetListener getListener = nullptr;
    ASASetListener setListener = nullptr;
    ASAGetSource getSource = nullptr;
    ASASetSource setSource = nullptr;
    SourceNotification addNotification = nullptr;
    SourceNotification removeNotification = nullptr;
    SetThreadContext setThreadContext = nullptr;
    GetThreadContext getThreadContext = nullptr;

    Extensions();
};

// Tests replace an entry to stand in for a library that has it, while no other thread uses OpenAL.
Extensions& extensions();

// True (after one warning) when the extension entry point is missing.
bool missing(const void* proc, const char* function, const char* warning);

}  // namespace ALWrapperCalls
