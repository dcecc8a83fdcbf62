#include "audio/ALWrapper.h"

#include <future>
#include <mutex>
#include <utility>

#include "audio/OALTools.h"
#include "platform/foundation/NotificationCenter.h"

namespace {

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

constexpr ALuint kNoName = UINT32_MAX;  // what genSource and genBuffer answer on failure
constexpr size_t kMaxWordLength = 199;  // characters of one space-separated word

std::recursive_mutex& alLock() {
    static std::recursive_mutex lock;
    return lock;
}

const int notificationSender = 0;  // identified by address

std::string textOrEmpty(const char* text) {
    return text ? text : "";
}

void reportError(const char* function, int code, const char* text) {
    OALTools::logError(function, "%s (error code 0x%08x)", text ? text : "", unsigned(code));
    NotificationCenter::defaultCenter().postNotification(kOALAudioErrorNotification, ALWrapper::notificationObject());
}

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

// The default device and its context opened ahead (openDefaultDeviceAhead).
struct OpenedAhead {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

std::mutex aheadMutex;
bool aheadStarted = false;            // guarded by aheadMutex
std::future<OpenedAhead> aheadWork;   // the worker until openDevice("") takes its result; guarded
OpenedAhead ahead;                    // the taken device and the context not yet handed out; guarded

// The context opened ahead on the device, no longer kept; null when there is none.
ALCcontext* takeAheadContext(ALCdevice* device) {
    const std::lock_guard lock(aheadMutex);
    if (!device || ahead.device != device) return nullptr;
    ahead.device = nullptr;
    return std::exchange(ahead.context, nullptr);
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

    Extensions() {
        std::lock_guard lock(alLock());
        find(getMixerOutputRate, "alcMacOSXGetMixerOutputRate");
        find(setMixerOutputRate, "alcMacOSXMixerOutputRate");
        find(setRenderingQuality, "alcMacOSXRenderingQuality");
        find(getRenderingQuality, "alcMacOSXGetRenderingQuality");
        find(bufferDataStatic, "alBufferDataStatic");
        find(getListener, "alcASAGetListener");
        find(setListener, "alcASASetListener");
        find(getSource, "alcASAGetSource");
        find(setSource, "alcASASetSource");
        find(addNotification, "alSourceAddNotification");
        find(removeNotification, "alSourceRemoveNotification");
        find(setThreadContext, "alcSetThreadContext");
        find(getThreadContext, "alcGetThreadContext");
        alcGetError(nullptr);  // a failed look-up must not be charged to the next ALC call
    }

    template <typename Proc>
    static void find(Proc& proc, const char* name) {
        proc = reinterpret_cast<Proc>(alcGetProcAddress(nullptr, name));
    }
};

const Extensions& extensions() {
    static const Extensions found;
    return found;
}

// True (after one warning) when the extension entry point is missing.
bool missing(const void* proc, const char* function, const char* warning) {
    if (proc) return false;
    OALTools::logWarning(function, "%s", warning);
    return true;
}

// Spatial-audio values travel as 4 bytes: floats as they are, ints and bools (0 or 1) as 32-bit ints.
template <typename Value>
Value asaValue(Value value) { return value; }
inline ALint asaValue(bool value) { return value ? 1 : 0; }

template <typename Value>
bool setListenerASA(const char* function, ALuint property, Value value) {
    const Extensions& ext = extensions();
    if (missing(reinterpret_cast<const void*>(ext.setListener), function, "No proc ptr for alcASASetListener")) return false;
    auto data = asaValue(value);
    static_assert(sizeof(data) == 4);
    return withAL(function, [&] { ext.setListener(property, &data, sizeof(data)); });
}

template <typename Value>
bool setSourceASA(const char* function, ALuint sourceId, ALuint property, Value value) {
    const Extensions& ext = extensions();
    if (missing(reinterpret_cast<const void*>(ext.setSource), function, "No proc ptr for alcASASetSource")) return false;
    auto data = asaValue(value);
    static_assert(sizeof(data) == 4);
    return withAL(function, [&] { ext.setSource(property, sourceId, &data, sizeof(data)); });
}

// Reads a 4-byte value starting from 0; `neutral` and `warning` stand when the extension is missing.
template <typename Data, typename Proc, typename Read>
Data readASA(const char* function, Proc proc, const char* warning, Data neutral, Read&& read) {
    if (missing(reinterpret_cast<const void*>(proc), function, warning)) return neutral;
    Data data{};
    ALuint size = sizeof(data);
    withAL(function, [&] { read(&data, &size); });
    return data;
}

template <typename Data>
Data getListenerASA(const char* function, ALuint property, const char* warning, Data neutral) {
    const ASAGetListener proc = extensions().getListener;
    return readASA<Data>(function, proc, warning, neutral, [&](Data* data, ALuint* size) { proc(property, data, size); });
}

template <typename Data>
Data getSourceASA(const char* function, ALuint sourceId, ALuint property, const char* warning, Data neutral) {
    const ASAGetSource proc = extensions().getSource;
    return readASA<Data>(function, proc, warning, neutral,
                         [&](Data* data, ALuint* size) { proc(property, sourceId, data, size); });
}

}  // namespace

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

// ---- Devices

void ALWrapper::openDefaultDeviceAhead() {
    const std::lock_guard lock(aheadMutex);
    if (std::exchange(aheadStarted, true)) return;
    aheadWork = std::async(std::launch::async, [] {
        OpenedAhead opened;
        locked([&] {
            opened.device = alcOpenDevice(nullptr);
            if (!opened.device) {
                alcGetError(nullptr);
                return;
            }
            opened.context = alcCreateContext(opened.device, nullptr);
            if (!opened.context) alcGetError(opened.device);
        });
        return opened;
    });
}

ALCdevice* ALWrapper::openDevice(const std::string& specifier) {
    std::future<OpenedAhead> work;
    if (specifier.empty()) {
        const std::lock_guard lock(aheadMutex);
        work = std::move(aheadWork);
    }
    ALCdevice* device = nullptr;
    if (work.valid()) {
        // The worker's open is this open: a device it could not open is not asked for again.
        const OpenedAhead opened = work.get();
        device = opened.device;
        const std::lock_guard lock(aheadMutex);
        ahead = opened;
    } else {
        locked([&] {
            device = alcOpenDevice(specifier.empty() ? nullptr : specifier.c_str());
            // A failed open leaves its error pending on the null device; taken here, it is not
            // blamed on the next device-less call (such as an extension query).
            if (!device) alcGetError(nullptr);
        });
    }
    if (!device) OALTools::logError("+[ALWrapper openDevice:]", "Could not open device %s", specifier.c_str());
    return device;
}

bool ALWrapper::closeDevice(ALCdevice* device) {
    if (ALCcontext* unused = takeAheadContext(device)) destroyContext(unused);
    return withALC("+[ALWrapper closeDevice:]", device, [&] { alcCloseDevice(device); });
}

bool ALWrapper::isExtensionPresent(ALCdevice* device, const std::string& name) {
    ALCboolean value = ALC_FALSE;
    withALC("+[ALWrapper isExtensionPresent:name:]", device, [&] { value = alcIsExtensionPresent(device, name.c_str()); });
    return value == ALC_TRUE;
}

void* ALWrapper::getProcAddress(ALCdevice* device, const std::string& name) {
    void* value = nullptr;
    withALC("+[ALWrapper getProcAddress:name:]", device, [&] { value = alcGetProcAddress(device, name.c_str()); });
    return value;
}

ALenum ALWrapper::getEnumValue(ALCdevice* device, const std::string& name) {
    ALCenum value = 0;
    withALC("+[ALWrapper getEnumValue:name:]", device, [&] { value = alcGetEnumValue(device, name.c_str()); });
    return value;
}

std::string ALWrapper::getString(ALCdevice* device, ALCenum attribute) {
    std::string value;
    withALC("+[ALWrapper getString:attribute:]", device, [&] { value = textOrEmpty(alcGetString(device, attribute)); });
    return value;
}

std::vector<std::string> ALWrapper::getNullSeparatedStringList(ALCdevice* device, ALCenum attribute) {
    std::vector<std::string> value;
    withALC("+[ALWrapper getNullSeparatedStringList:attribute:]", device,
            [&] { value = parseNullSeparatedStringList(alcGetString(device, attribute)); });
    return value;
}

std::vector<std::string> ALWrapper::getSpaceSeparatedStringList(ALCdevice* device, ALCenum attribute) {
    std::vector<std::string> value;
    withALC("+[ALWrapper getSpaceSeparatedStringList:attribute:]", device,
            [&] { value = parseSpaceSeparatedStringList(alcGetString(device, attribute)); });
    return value;
}

ALCint ALWrapper::getInteger(ALCdevice* device, ALCenum attribute) {
    ALCint value = 0;
    getIntegerv(device, attribute, 1, &value);
    return value;
}

bool ALWrapper::getIntegerv(ALCdevice* device, ALCenum attribute, ALCsizei size, ALCint* data) {
    return withALC("+[ALWrapper getIntegerv:attribute:size:data:]", device,
                   [&] { alcGetIntegerv(device, attribute, size, data); });
}

// ---- Capture

ALCdevice* ALWrapper::openCaptureDevice(const std::string& specifier, ALCuint frequency, ALCenum format,
                                        ALCsizei bufferSize) {
    ALCdevice* device = nullptr;
    locked([&] {
        device = alcCaptureOpenDevice(specifier.empty() ? nullptr : specifier.c_str(), frequency, format, bufferSize);
    });
    if (!device) {
        OALTools::logError("+[ALWrapper openCaptureDevice:frequency:format:bufferSize:]", "Could not open capture device %s",
                           specifier.c_str());
    }
    return device;
}

bool ALWrapper::closeCaptureDevice(ALCdevice* device) {
    return withALC("+[ALWrapper closeCaptureDevice:]", device, [&] { alcCaptureCloseDevice(device); });
}

bool ALWrapper::startCapture(ALCdevice* device) {
    return withALC("+[ALWrapper startCapture:]", device, [&] { alcCaptureStart(device); });
}

bool ALWrapper::stopCapture(ALCdevice* device) {
    return withALC("+[ALWrapper stopCapture:]", device, [&] { alcCaptureStop(device); });
}

bool ALWrapper::captureSamples(ALCdevice* device, void* buffer, ALCsizei numSamples) {
    return withALC("+[ALWrapper captureSamples:buffer:numSamples:]", device,
                   [&] { alcCaptureSamples(device, buffer, numSamples); });
}

// ---- Contexts

ALCcontext* ALWrapper::createContext(ALCdevice* device, const ALCint* attributes) {
    if (ALCcontext* made = takeAheadContext(device)) {
        if (!attributes) return made;
        destroyContext(made);
    }
    ALCcontext* context = nullptr;
    withALC("+[ALWrapper createContext:attributes:]", device, [&] { context = alcCreateContext(device, attributes); });
    return context;
}

bool ALWrapper::makeContextCurrent(ALCcontext* context) {
    return makeContextCurrent(context, nullptr);
}

bool ALWrapper::makeContextCurrent(ALCcontext* context, ALCdevice* deviceReference) {
    constexpr const char* function = "+[ALWrapper makeContextCurrent:deviceReference:]";
    if (deviceReference) {
        ALCboolean made = ALC_FALSE;
        return withALC(function, deviceReference, [&] { made = alcMakeContextCurrent(context); }) && made == ALC_TRUE;
    }
    ALCboolean made = ALC_FALSE;
    locked([&] { made = alcMakeContextCurrent(context); });
    if (made == ALC_TRUE) return true;
    OALTools::logError(function, "Could not make context %p current.  Pass in a device reference for better diagnostic info.",
                       static_cast<void*>(context));
    return false;
}

void ALWrapper::processContext(ALCcontext* context) {
    locked([&] { alcProcessContext(context); });
}

void ALWrapper::suspendContext(ALCcontext* context) {
    locked([&] { alcSuspendContext(context); });
}

void ALWrapper::destroyContext(ALCcontext* context) {
    locked([&] { alcDestroyContext(context); });
}

ALCcontext* ALWrapper::getCurrentContext() {
    ALCcontext* context = nullptr;
    locked([&] { context = alcGetCurrentContext(); });
    return context;
}

ALCdevice* ALWrapper::getContextsDevice(ALCcontext* context) {
    return getContextsDevice(context, nullptr);
}

ALCdevice* ALWrapper::getContextsDevice(ALCcontext* context, ALCdevice* deviceReference) {
    constexpr const char* function = "+[ALWrapper getContextsDevice:deviceReference:]";
    ALCdevice* device = nullptr;
    if (deviceReference) {
        withALC(function, deviceReference, [&] { device = alcGetContextsDevice(context); });
        return device;
    }
    locked([&] { device = alcGetContextsDevice(context); });
    if (!device) {
        OALTools::logError(function, "Could not get device for context %p.  Pass in a device reference for better diagnostic info.",
                           static_cast<void*>(context));
    }
    return device;
}

bool ALWrapper::setThreadContext(ALCcontext* context) {
    const Extensions& ext = extensions();
    constexpr const char* function = "+[ALWrapper setThreadContext:]";
    if (missing(reinterpret_cast<const void*>(ext.setThreadContext), function, "No proc ptr for alcSetThreadContext")) {
        return false;
    }
    ALCboolean made = ALC_FALSE;
    locked([&] { made = ext.setThreadContext(context); });
    if (made == ALC_TRUE) return true;
    OALTools::logError(function, "Could not make context %p the thread's own", static_cast<void*>(context));
    return false;
}

ALCcontext* ALWrapper::getThreadContext() {
    const Extensions& ext = extensions();
    if (missing(reinterpret_cast<const void*>(ext.getThreadContext), "+[ALWrapper getThreadContext]",
                "No proc ptr for alcGetThreadContext. Returning nil")) {
        return nullptr;
    }
    ALCcontext* context = nullptr;
    locked([&] { context = ext.getThreadContext(); });
    return context;
}

// ---- Platform extensions

double ALWrapper::getMixerOutputDataRate() {
    const Extensions& ext = extensions();
    constexpr const char* function = "+[ALWrapper getMixerOutputDataRate]";
    if (missing(reinterpret_cast<const void*>(ext.getMixerOutputRate), function,
                "No proc ptr for alcGetMacOSXMixerOutputRate. Returning 0")) {
        return 0.0;
    }
    double value = 0;
    withAL(function, [&] { value = ext.getMixerOutputRate(); });
    return value;
}

bool ALWrapper::setMixerOutputDataRate(double frequency) {
    const Extensions& ext = extensions();
    constexpr const char* function = "+[ALWrapper setMixerOutputDataRate:]";
    if (missing(reinterpret_cast<const void*>(ext.setMixerOutputRate), function, "No proc ptr for alcMacOSXMixerOutputRate")) {
        return false;
    }
    return withAL(function, [&] { ext.setMixerOutputRate(frequency); });
}

ALint ALWrapper::getRenderingQuality() {
    const Extensions& ext = extensions();
    constexpr const char* function = "+[ALWrapper getRenderingQuality]";
    if (missing(reinterpret_cast<const void*>(ext.getRenderingQuality), function,
                "No proc ptr for alcMacOSXGetRenderingQuality. Returning 0")) {
        return 0;
    }
    ALint value = 0;
    withAL(function, [&] { value = ext.getRenderingQuality(); });
    return value;
}

bool ALWrapper::setRenderingQuality(ALint quality) {
    const Extensions& ext = extensions();
    constexpr const char* function = "+[ALWrapper setRenderingQuality:]";
    if (missing(reinterpret_cast<const void*>(ext.setRenderingQuality), function, "No proc ptr for alcMacOSXRenderingQuality")) {
        return false;
    }
    return withAL(function, [&] { ext.setRenderingQuality(quality); });
}

bool ALWrapper::bufferDataStatic(ALuint bufferId, ALenum format, const void* data, ALsizei size, ALsizei frequency) {
    const BufferDataStatic proc = extensions().bufferDataStatic;
    return withAL("+[ALWrapper bufferDataStatic:format:data:size:frequency:]", [&] {
        if (proc) {
            proc(ALint(bufferId), format, data, size, frequency);
        } else {
            alBufferData(bufferId, format, data, size, frequency);
        }
    });
}

bool ALWrapper::asaGetListenerb(ALuint property) {
    return getListenerASA<ALint>("+[ALWrapper asaGetListenerb:]", property, "No proc ptr for alcASAGetListener. Returning false", 0) != 0;
}

ALint ALWrapper::asaGetListeneri(ALuint property) {
    return getListenerASA<ALint>("+[ALWrapper asaGetListeneri:]", property, "No proc ptr for alcASAGetListener. Returning -1", -1);
}

float ALWrapper::asaGetListenerf(ALuint property) {
    return getListenerASA<float>("+[ALWrapper asaGetListenerf:]", property, "No proc ptr for alcASAGetListener. Returning 0", 0.0f);
}

bool ALWrapper::asaListenerb(ALuint property, bool value) {
    return setListenerASA("+[ALWrapper asaListenerb:value:]", property, value);
}

bool ALWrapper::asaListeneri(ALuint property, ALint value) {
    return setListenerASA("+[ALWrapper asaListeneri:value:]", property, value);
}

bool ALWrapper::asaListenerf(ALuint property, float value) {
    return setListenerASA("+[ALWrapper asaListenerf:value:]", property, value);
}

bool ALWrapper::asaGetSourceb(ALuint sourceId, ALuint property) {
    return getSourceASA<ALint>("+[ALWrapper asaGetSourceb:property:]", sourceId, property,
                               "No proc ptr for alcASAGetSource. Returning false", 0) != 0;
}

ALint ALWrapper::asaGetSourcei(ALuint sourceId, ALuint property) {
    return getSourceASA<ALint>("+[ALWrapper asaGetSourcei:property:]", sourceId, property,
                               "No proc ptr for alcASAGetSource. Returning -1", -1);
}

float ALWrapper::asaGetSourcef(ALuint sourceId, ALuint property) {
    return getSourceASA<float>("+[ALWrapper asaGetSourcef:property:]", sourceId, property,
                               "No proc ptr for alcASAGetSource. Returning 0", 0.0f);
}

bool ALWrapper::asaSourceb(ALuint sourceId, ALuint property, bool value) {
    return setSourceASA("+[ALWrapper asaSourceb:property:value:]", sourceId, property, value);
}

bool ALWrapper::asaSourcei(ALuint sourceId, ALuint property, ALint value) {
    return setSourceASA("+[ALWrapper asaSourcei:property:value:]", sourceId, property, value);
}

bool ALWrapper::asaSourcef(ALuint sourceId, ALuint property, float value) {
    return setSourceASA("+[ALWrapper asaSourcef:property:value:]", sourceId, property, value);
}

bool ALWrapper::setReverbSendLevel(float level, ALuint sourceId) {
    return setSourceASA("+[ALWrapper setReverbSendLevel:onSource:]", sourceId, ASAProperty::kReverbSendLevel, level);
}

float ALWrapper::getSourceReverbSendLevel(ALuint sourceId) {
    return getSourceASA<float>("+[ALWrapper getSourceReverbSendLevel:]", sourceId, ASAProperty::kReverbSendLevel,
                               "No proc ptr for alcASAGetSource. Returning 0", 0.0f);
}

bool ALWrapper::setOcclusion(float value, ALuint sourceId) {
    return setSourceASA("+[ALWrapper setOcclusion:onSource:]", sourceId, ASAProperty::kOcclusion, value);
}

float ALWrapper::getSourceOcclusion(ALuint sourceId) {
    return getSourceASA<float>("+[ALWrapper getSourceOcclusion:]", sourceId, ASAProperty::kOcclusion,
                               "No proc ptr for alcASAGetSource. Returning 0", 0.0f);
}

bool ALWrapper::setObstruction(float value, ALuint sourceId) {
    return setSourceASA("+[ALWrapper setObstruction:onSource:]", sourceId, ASAProperty::kObstruction, value);
}

float ALWrapper::getSourceObstruction(ALuint sourceId) {
    return getSourceASA<float>("+[ALWrapper getSourceObstruction:]", sourceId, ASAProperty::kObstruction,
                               "No proc ptr for alcASAGetSource. Returning 0", 0.0f);
}

bool ALWrapper::addNotification(ALuint notificationId, ALuint sourceId, ALSourceNotificationProc callback, void* userData) {
    const SourceNotification proc = extensions().addNotification;
    constexpr const char* function = "+[ALWrapper addNotification:onSource:callback:userData:]";
    if (missing(reinterpret_cast<const void*>(proc), function, "No proc ptr for alSourceAddNotification")) return false;
    return withAL(function, [&] { proc(sourceId, notificationId, callback, userData); });
}

bool ALWrapper::removeNotification(ALuint notificationId, ALuint sourceId, ALSourceNotificationProc callback,
                                   void* userData) {
    const SourceNotification proc = extensions().removeNotification;
    constexpr const char* function = "+[ALWrapper removeNotification:onSource:callback:userData:]";
    if (missing(reinterpret_cast<const void*>(proc), function, "No proc ptr for alSourceRemoveNotification")) return false;
    return withAL(function, [&] { proc(sourceId, notificationId, callback, userData); });
}
