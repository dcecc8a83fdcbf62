#include "audio/ALWrapper.h"

#include "audio/ALWrapperCalls.h"

using namespace ALWrapperCalls;

namespace {

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

// A mixer setting read through its extension entry point; 0 when the extension is missing.
template <typename Get>
auto readSetting(Get proc, const char* function, const char* warning) {
    decltype(proc()) value{};
    if (!missing(reinterpret_cast<const void*>(proc), function, warning)) withAL(function, [&] { value = proc(); });
    return value;
}

template <typename Set, typename Value>
bool writeSetting(Set proc, const char* function, const char* warning, Value value) {
    if (missing(reinterpret_cast<const void*>(proc), function, warning)) return false;
    return withAL(function, [&] { proc(value); });
}

}  // namespace

// ---- Platform extensions

double ALWrapper::getMixerOutputDataRate() {
    return readSetting(extensions().getMixerOutputRate, "+[ALWrapper getMixerOutputDataRate]",
                       "No proc ptr for alcGetMacOSXMixerOutputRate. Returning 0");
}

bool ALWrapper::setMixerOutputDataRate(double frequency) {
    return writeSetting(extensions().setMixerOutputRate, "+[ALWrapper setMixerOutputDataRate:]",
                        "No proc ptr for alcMacOSXMixerOutputRate", frequency);
}

ALint ALWrapper::getRenderingQuality() {
    return readSetting(extensions().getRenderingQuality, "+[ALWrapper getRenderingQuality]",
                       "No proc ptr for alcMacOSXGetRenderingQuality. Returning 0");
}

bool ALWrapper::setRenderingQuality(ALint quality) {
    return writeSetting(extensions().setRenderingQuality, "+[ALWrapper setRenderingQuality:]",
                        "No proc ptr for alcMacOSXRenderingQuality", quality);
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

bool ALWrapper::attachesWithoutCopy() {
    return extensions().bufferDataStatic != nullptr;
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
