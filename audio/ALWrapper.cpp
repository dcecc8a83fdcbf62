#include "audio/ALWrapper.h"

#include <cstdlib>

#include "audio/ALWrapperCalls.h"
#include "audio/OALTools.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/SharedLibrary.h"

using namespace ALWrapperCalls;

namespace {

constexpr ALuint kNoName = UINT32_MAX;  // what genSource and genBuffer answer on failure
constexpr size_t kMaxWordLength = 199;  // characters of one space-separated word

const int notificationSender = 0;  // identified by address

constexpr const char* kLogLevel = "ALSOFT_LOGLEVEL";
bool logLevelIsOurs = false;  // set once, before OpenAL's first call

// libasound's error handler (snd_lib_error_handler_t): where ALSA's complaints go.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error, const char* format, ...);

void printNothing(const char*, int, const char*, int, const char*, ...) {}

template <typename Proc>
void lookUp(Proc& proc, const char* name) {
    proc = reinterpret_cast<Proc>(alcGetProcAddress(nullptr, name));
}

}  // namespace

namespace ALWrapperCalls {

std::recursive_mutex& alLock() {
    static const bool quieted = (quietSoundLibraries(), true);
    static std::recursive_mutex lock;
    (void)quieted;
    return lock;
}

void quietSoundLibraries() {
    static const bool quieted = [] {
        // 0 logs nothing. OpenAL Soft reads it once, when the first device opens.
        if (!std::getenv(kLogLevel)) logLevelIsOurs = setenv(kLogLevel, "0", 1) == 0;
        // OpenAL reaches ALSA through this library; opening it again gives the same one.
        SharedLibrary alsa("libasound.so.2");
        int (*setErrorHandler)(AlsaErrorHandler) = nullptr;
        alsa.resolve("snd_lib_error_set_handler", setErrorHandler);
        if (setErrorHandler) setErrorHandler(&printNothing);
        return true;
    }();
    (void)quieted;
}

void restoreUserEnvironment() {
    static const bool restored = logLevelIsOurs && unsetenv(kLogLevel) == 0;
    (void)restored;
}

void reportError(const char* function, int code, const char* text) {
    OALTools::logError(function, "%s (error code 0x%08x)", text ? text : "", unsigned(code));
    NotificationCenter::defaultCenter().postNotification(kOALAudioErrorNotification, ALWrapper::notificationObject());
}

std::string textOrEmpty(const char* text) {
    return text ? text : "";
}

Extensions::Extensions() {
    std::lock_guard lock(alLock());
    lookUp(getMixerOutputRate, "alcMacOSXGetMixerOutputRate");
    lookUp(setMixerOutputRate, "alcMacOSXMixerOutputRate");
    lookUp(setRenderingQuality, "alcMacOSXRenderingQuality");
    lookUp(getRenderingQuality, "alcMacOSXGetRenderingQuality");
    lookUp(bufferDataStatic, "alBufferDataStatic");
    lookUp(getListener, "alcASAGetListener");
    lookUp(setListener, "alcASASetListener");
    lookUp(getSource, "alcASAGetSource");
    lookUp(setSource, "alcASASetSource");
    lookUp(addNotification, "alSourceAddNotification");
    lookUp(removeNotification, "alSourceRemoveNotification");
    lookUp(setThreadContext, "alcSetThreadContext");
    lookUp(getThreadContext, "alcGetThreadContext");
    alcGetError(nullptr);  // a failed look-up must not be charged to the next ALC call
}

Extensions& extensions() {
    static Extensions found;
    return found;
}

bool missing(const void* proc, const char* function, const char* warning) {
    if (proc) return false;
    OALTools::logWarning(function, "%s", warning);
    return true;
}

}  // namespace ALWrapperCalls

bool reportALError(const char* function) {
    return withAL(function, [] {});
}

bool reportALCError(const char* function, ALCdevice* device) {
    return withALC(function, device, [] {});
}

const void* ALWrapper::notificationObject() {
    return &notificationSender;
}

std::vector<std::string> ALWrapper::parseNullSeparatedStringList(const char* text) {
    std::vector<std::string> list;
    if (!text) return list;
    for (const char* item = text; *item != '\0'; item += list.back().size() + 1) list.emplace_back(item);
    return list;
}

std::vector<std::string> ALWrapper::parseSpaceSeparatedStringList(const char* text) {
    std::vector<std::string> list(1);
    if (!text) return list;
    for (const char* c = text; *c != '\0'; ++c) {
        std::string& word = list.back();
        if (*c == ' ') {
            list.emplace_back();
        } else if (word.size() == kMaxWordLength) {
            list.emplace_back();
        } else {
            word += *c;
        }
    }
    return list;
}

// ---- AL state and queries

bool ALWrapper::enable(ALenum capability) {
    return withAL("+[ALWrapper enable:]", [&] { alEnable(capability); });
}

bool ALWrapper::disable(ALenum capability) {
    return withAL("+[ALWrapper disable:]", [&] { alDisable(capability); });
}

bool ALWrapper::isEnabled(ALenum capability) {
    ALboolean value = AL_FALSE;
    withAL("+[ALWrapper isEnabled:]", [&] { value = alIsEnabled(capability); });
    return value == AL_TRUE;
}

bool ALWrapper::isExtensionPresent(const std::string& name) {
    ALboolean value = AL_FALSE;
    withAL("+[ALWrapper isExtensionPresent:]", [&] { value = alIsExtensionPresent(name.c_str()); });
    return value == AL_TRUE;
}

void* ALWrapper::getProcAddress(const std::string& name) {
    void* value = nullptr;
    withAL("+[ALWrapper getProcAddress:]", [&] { value = alGetProcAddress(name.c_str()); });
    return value;
}

ALenum ALWrapper::getEnumValue(const std::string& name) {
    ALenum value = 0;
    withAL("+[ALWrapper getEnumValue:]", [&] { value = alGetEnumValue(name.c_str()); });
    return value;
}

bool ALWrapper::getBoolean(ALenum parameter) {
    ALboolean value = AL_FALSE;
    withAL("+[ALWrapper getBoolean:]", [&] { value = alGetBoolean(parameter); });
    return value == AL_TRUE;
}

double ALWrapper::getDouble(ALenum parameter) {
    double value = 0;
    withAL("+[ALWrapper getDouble:]", [&] { value = alGetDouble(parameter); });
    return value;
}

float ALWrapper::getFloat(ALenum parameter) {
    float value = 0;
    withAL("+[ALWrapper getFloat:]", [&] { value = alGetFloat(parameter); });
    return value;
}

ALint ALWrapper::getInteger(ALenum parameter) {
    ALint value = 0;
    withAL("+[ALWrapper getInteger:]", [&] { value = alGetInteger(parameter); });
    return value;
}

std::string ALWrapper::getString(ALenum parameter) {
    std::string value;
    withAL("+[ALWrapper getString:]", [&] { value = textOrEmpty(alGetString(parameter)); });
    return value;
}

std::vector<std::string> ALWrapper::getNullSeparatedStringList(ALenum parameter) {
    std::vector<std::string> value;
    withAL("+[ALWrapper getNullSeparatedStringList:]", [&] { value = parseNullSeparatedStringList(alGetString(parameter)); });
    return value;
}

std::vector<std::string> ALWrapper::getSpaceSeparatedStringList(ALenum parameter) {
    std::vector<std::string> value;
    withAL("+[ALWrapper getSpaceSeparatedStringList:]", [&] { value = parseSpaceSeparatedStringList(alGetString(parameter)); });
    return value;
}

bool ALWrapper::getBooleanv(ALenum parameter, ALboolean* values) {
    return withAL("+[ALWrapper getBooleanv:values:]", [&] { alGetBooleanv(parameter, values); });
}

bool ALWrapper::getDoublev(ALenum parameter, ALdouble* values) {
    return withAL("+[ALWrapper getDoublev:values:]", [&] { alGetDoublev(parameter, values); });
}

bool ALWrapper::getFloatv(ALenum parameter, ALfloat* values) {
    return withAL("+[ALWrapper getFloatv:values:]", [&] { alGetFloatv(parameter, values); });
}

bool ALWrapper::getIntegerv(ALenum parameter, ALint* values) {
    return withAL("+[ALWrapper getIntegerv:values:]", [&] { alGetIntegerv(parameter, values); });
}

bool ALWrapper::distanceModel(ALenum value) {
    return withAL("+[ALWrapper distanceModel:]", [&] { alDistanceModel(value); });
}

bool ALWrapper::dopplerFactor(float value) {
    return withAL("+[ALWrapper dopplerFactor:]", [&] { alDopplerFactor(value); });
}

bool ALWrapper::speedOfSound(float value) {
    return withAL("+[ALWrapper speedOfSound:]", [&] { alSpeedOfSound(value); });
}

// ---- Listener

bool ALWrapper::listenerf(ALenum parameter, float value) {
    return withAL("+[ALWrapper listenerf:value:]", [&] { alListenerf(parameter, value); });
}

bool ALWrapper::listener3f(ALenum parameter, float v1, float v2, float v3) {
    return withAL("+[ALWrapper listener3f:v1:v2:v3:]", [&] { alListener3f(parameter, v1, v2, v3); });
}

bool ALWrapper::listenerfv(ALenum parameter, const ALfloat* values) {
    return withAL("+[ALWrapper listenerfv:values:]", [&] { alListenerfv(parameter, values); });
}

bool ALWrapper::listeneri(ALenum parameter, ALint value) {
    return withAL("+[ALWrapper listeneri:value:]", [&] { alListeneri(parameter, value); });
}

bool ALWrapper::listener3i(ALenum parameter, ALint v1, ALint v2, ALint v3) {
    return withAL("+[ALWrapper listener3i:v1:v2:v3:]", [&] { alListener3i(parameter, v1, v2, v3); });
}

bool ALWrapper::listeneriv(ALenum parameter, const ALint* values) {
    return withAL("+[ALWrapper listeneriv:values:]", [&] { alListeneriv(parameter, values); });
}

float ALWrapper::getListenerf(ALenum parameter) {
    float value = 0;
    withAL("+[ALWrapper getListenerf:]", [&] { alGetListenerf(parameter, &value); });
    return value;
}

bool ALWrapper::getListener3f(ALenum parameter, float* v1, float* v2, float* v3) {
    return withAL("+[ALWrapper getListener3f:v1:v2:v3:]", [&] { alGetListener3f(parameter, v1, v2, v3); });
}

bool ALWrapper::getListenerfv(ALenum parameter, ALfloat* values) {
    return withAL("+[ALWrapper getListenerfv:values:]", [&] { alGetListenerfv(parameter, values); });
}

ALint ALWrapper::getListeneri(ALenum parameter) {
    ALint value = 0;
    withAL("+[ALWrapper getListeneri:]", [&] { alGetListeneri(parameter, &value); });
    return value;
}

bool ALWrapper::getListener3i(ALenum parameter, ALint* v1, ALint* v2, ALint* v3) {
    return withAL("+[ALWrapper getListener3i:v1:v2:v3:]", [&] { alGetListener3i(parameter, v1, v2, v3); });
}

bool ALWrapper::getListeneriv(ALenum parameter, ALint* values) {
    return withAL("+[ALWrapper getListeneriv:values:]", [&] { alGetListeneriv(parameter, values); });
}

// ---- Sources

bool ALWrapper::genSources(ALuint* sourceIds, ALsizei numSources) {
    return withAL("+[ALWrapper genSources:numSources:]", [&] { alGenSources(numSources, sourceIds); });
}

ALuint ALWrapper::genSource() {
    ALuint sourceId = 0;
    return genSources(&sourceId, 1) ? sourceId : kNoName;
}

bool ALWrapper::deleteSources(const ALuint* sourceIds, ALsizei numSources) {
    return withAL("+[ALWrapper deleteSources:numSources:]", [&] { alDeleteSources(numSources, sourceIds); });
}

bool ALWrapper::deleteSource(ALuint sourceId) {
    return deleteSources(&sourceId, 1);
}

bool ALWrapper::isSource(ALuint sourceId) {
    ALboolean value = AL_FALSE;
    withAL("+[ALWrapper isSource:]", [&] { value = alIsSource(sourceId); });
    return value == AL_TRUE;
}

bool ALWrapper::sourcef(ALuint sourceId, ALenum parameter, float value) {
    return withAL("+[ALWrapper sourcef:parameter:value:]", [&] { alSourcef(sourceId, parameter, value); });
}

bool ALWrapper::source3f(ALuint sourceId, ALenum parameter, float v1, float v2, float v3) {
    return withAL("+[ALWrapper source3f:parameter:v1:v2:v3:]", [&] { alSource3f(sourceId, parameter, v1, v2, v3); });
}

bool ALWrapper::sourcefv(ALuint sourceId, ALenum parameter, const ALfloat* values) {
    return withAL("+[ALWrapper sourcefv:parameter:values:]", [&] { alSourcefv(sourceId, parameter, values); });
}

bool ALWrapper::sourcei(ALuint sourceId, ALenum parameter, ALint value) {
    return withAL("+[ALWrapper sourcei:parameter:value:]", [&] { alSourcei(sourceId, parameter, value); });
}

bool ALWrapper::source3i(ALuint sourceId, ALenum parameter, ALint v1, ALint v2, ALint v3) {
    return withAL("+[ALWrapper source3i:parameter:v1:v2:v3:]", [&] { alSource3i(sourceId, parameter, v1, v2, v3); });
}

bool ALWrapper::sourceiv(ALuint sourceId, ALenum parameter, const ALint* values) {
    return withAL("+[ALWrapper sourceiv:parameter:values:]", [&] { alSourceiv(sourceId, parameter, values); });
}

float ALWrapper::getSourcef(ALuint sourceId, ALenum parameter) {
    float value = 0;
    withAL("+[ALWrapper getSourcef:parameter:]", [&] { alGetSourcef(sourceId, parameter, &value); });
    return value;
}

bool ALWrapper::getSource3f(ALuint sourceId, ALenum parameter, float* v1, float* v2, float* v3) {
    return withAL("+[ALWrapper getSource3f:parameter:v1:v2:v3:]", [&] { alGetSource3f(sourceId, parameter, v1, v2, v3); });
}

bool ALWrapper::getSourcefv(ALuint sourceId, ALenum parameter, ALfloat* values) {
    return withAL("+[ALWrapper getSourcefv:parameter:values:]", [&] { alGetSourcefv(sourceId, parameter, values); });
}

ALint ALWrapper::getSourcei(ALuint sourceId, ALenum parameter) {
    ALint value = 0;
    withAL("+[ALWrapper getSourcei:parameter:]", [&] { alGetSourcei(sourceId, parameter, &value); });
    return value;
}

bool ALWrapper::getSource3i(ALuint sourceId, ALenum parameter, ALint* v1, ALint* v2, ALint* v3) {
    return withAL("+[ALWrapper getSource3i:parameter:v1:v2:v3:]", [&] { alGetSource3i(sourceId, parameter, v1, v2, v3); });
}

bool ALWrapper::getSourceiv(ALuint sourceId, ALenum parameter, ALint* values) {
    return withAL("+[ALWrapper getSourceiv:parameter:values:]", [&] { alGetSourceiv(sourceId, parameter, values); });
}

bool ALWrapper::sourcePlay(ALuint sourceId) {
    return withAL("+[ALWrapper sourcePlay:]", [&] { alSourcePlay(sourceId); });
}

bool ALWrapper::sourcePause(ALuint sourceId) {
    return withAL("+[ALWrapper sourcePause:]", [&] { alSourcePause(sourceId); });
}

bool ALWrapper::sourceStop(ALuint sourceId) {
    return withAL("+[ALWrapper sourceStop:]", [&] { alSourceStop(sourceId); });
}

bool ALWrapper::sourceRewind(ALuint sourceId) {
    return withAL("+[ALWrapper sourceRewind:]", [&] { alSourceRewind(sourceId); });
}

bool ALWrapper::sourcePlayv(const ALuint* sourceIds, ALsizei numSources) {
    return withAL("+[ALWrapper sourcePlayv:numSources:]", [&] { alSourcePlayv(numSources, sourceIds); });
}

bool ALWrapper::sourcePausev(const ALuint* sourceIds, ALsizei numSources) {
    return withAL("+[ALWrapper sourcePausev:numSources:]", [&] { alSourcePausev(numSources, sourceIds); });
}

bool ALWrapper::sourceStopv(const ALuint* sourceIds, ALsizei numSources) {
    return withAL("+[ALWrapper sourceStopv:numSources:]", [&] { alSourceStopv(numSources, sourceIds); });
}

bool ALWrapper::sourceRewindv(const ALuint* sourceIds, ALsizei numSources) {
    return withAL("+[ALWrapper sourceRewindv:numSources:]", [&] { alSourceRewindv(numSources, sourceIds); });
}

bool ALWrapper::sourceQueueBuffers(ALuint sourceId, ALsizei numBuffers, const ALuint* bufferIds) {
    return withAL("+[ALWrapper sourceQueueBuffers:numBuffers:bufferIds:]",
                  [&] { alSourceQueueBuffers(sourceId, numBuffers, bufferIds); });
}

bool ALWrapper::sourceUnqueueBuffers(ALuint sourceId, ALsizei numBuffers, ALuint* bufferIds) {
    return withAL("+[ALWrapper sourceUnqueueBuffers:numBuffers:bufferIds:]",
                  [&] { alSourceUnqueueBuffers(sourceId, numBuffers, bufferIds); });
}

// ---- Buffers

bool ALWrapper::genBuffers(ALuint* bufferIds, ALsizei numBuffers) {
    return withAL("+[ALWrapper genBuffers:numBuffers:]", [&] { alGenBuffers(numBuffers, bufferIds); });
}

ALuint ALWrapper::genBuffer() {
    ALuint bufferId = 0;
    return genBuffers(&bufferId, 1) ? bufferId : kNoName;
}

bool ALWrapper::deleteBuffers(const ALuint* bufferIds, ALsizei numBuffers) {
    return withAL("+[ALWrapper deleteBuffers:numBuffers:]", [&] { alDeleteBuffers(numBuffers, bufferIds); });
}

bool ALWrapper::deleteBuffer(ALuint bufferId) {
    return deleteBuffers(&bufferId, 1);
}

bool ALWrapper::isBuffer(ALuint bufferId) {
    ALboolean value = AL_FALSE;
    withAL("+[ALWrapper isBuffer:]", [&] { value = alIsBuffer(bufferId); });
    return value == AL_TRUE;
}

bool ALWrapper::bufferData(ALuint bufferId, ALenum format, const void* data, ALsizei size, ALsizei frequency) {
    return withAL("+[ALWrapper bufferData:format:data:size:frequency:]",
                  [&] { alBufferData(bufferId, format, data, size, frequency); });
}

bool ALWrapper::bufferf(ALuint bufferId, ALenum parameter, float value) {
    return withAL("+[ALWrapper bufferf:parameter:value:]", [&] { alBufferf(bufferId, parameter, value); });
}

bool ALWrapper::buffer3f(ALuint bufferId, ALenum parameter, float v1, float v2, float v3) {
    return withAL("+[ALWrapper buffer3f:parameter:v1:v2:v3:]", [&] { alBuffer3f(bufferId, parameter, v1, v2, v3); });
}

bool ALWrapper::bufferfv(ALuint bufferId, ALenum parameter, const ALfloat* values) {
    return withAL("+[ALWrapper bufferfv:parameter:values:]", [&] { alBufferfv(bufferId, parameter, values); });
}

bool ALWrapper::bufferi(ALuint bufferId, ALenum parameter, ALint value) {
    return withAL("+[ALWrapper bufferi:parameter:value:]", [&] { alBufferi(bufferId, parameter, value); });
}

bool ALWrapper::buffer3i(ALuint bufferId, ALenum parameter, ALint v1, ALint v2, ALint v3) {
    return withAL("+[ALWrapper buffer3i:parameter:v1:v2:v3:]", [&] { alBuffer3i(bufferId, parameter, v1, v2, v3); });
}

bool ALWrapper::bufferiv(ALuint bufferId, ALenum parameter, const ALint* values) {
    return withAL("+[ALWrapper bufferiv:parameter:values:]", [&] { alBufferiv(bufferId, parameter, values); });
}

float ALWrapper::getBufferf(ALuint bufferId, ALenum parameter) {
    float value = 0;
    withAL("+[ALWrapper getBufferf:parameter:]", [&] { alGetBufferf(bufferId, parameter, &value); });
    return value;
}

bool ALWrapper::getBuffer3f(ALuint bufferId, ALenum parameter, float* v1, float* v2, float* v3) {
    return withAL("+[ALWrapper getBuffer3f:parameter:v1:v2:v3:]", [&] { alGetBuffer3f(bufferId, parameter, v1, v2, v3); });
}

bool ALWrapper::getBufferfv(ALuint bufferId, ALenum parameter, ALfloat* values) {
    return withAL("+[ALWrapper getBufferfv:parameter:values:]", [&] { alGetBufferfv(bufferId, parameter, values); });
}

ALint ALWrapper::getBufferi(ALuint bufferId, ALenum parameter) {
    ALint value = 0;
    withAL("+[ALWrapper getBufferi:parameter:]", [&] { alGetBufferi(bufferId, parameter, &value); });
    return value;
}

bool ALWrapper::getBuffer3i(ALuint bufferId, ALenum parameter, ALint* v1, ALint* v2, ALint* v3) {
    return withAL("+[ALWrapper getBuffer3i:parameter:v1:v2:v3:]", [&] { alGetBuffer3i(bufferId, parameter, v1, v2, v3); });
}

bool ALWrapper::getBufferiv(ALuint bufferId, ALenum parameter, ALint* values) {
    return withAL("+[ALWrapper getBufferiv:parameter:values:]", [&] { alGetBufferiv(bufferId, parameter, values); });
}
