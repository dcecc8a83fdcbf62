#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <cstdint>
#include <string>
#include <vector>

// Posted on the default notification centre, from the thread that made the failing call, for every
// OpenAL or ALC error; its object is ALWrapper::notificationObject(), with no user information.
inline constexpr const char* kOALAudioErrorNotification = "OALAudioErrorNotification";

// Property codes of the platform's spatial-audio extension: four characters packed big-endian.
namespace ASAProperty {
constexpr ALuint code(const char (&text)[5]) {
    return ALuint(uint8_t(text[0])) << 24 | ALuint(uint8_t(text[1])) << 16 | ALuint(uint8_t(text[2])) << 8 | uint8_t(text[3]);
}
inline constexpr ALuint kReverbOn = code("rvon");           // listener, bool
inline constexpr ALuint kGlobalReverbLevel = code("rvgl");  // listener, float
inline constexpr ALuint kReverbRoomType = code("rvrt");     // listener, int
inline constexpr ALuint kReverbEQGain = code("rveg");       // listener, float
inline constexpr ALuint kReverbEQBandwidth = code("rveb");  // listener, float
inline constexpr ALuint kReverbEQFrequency = code("rvef");  // listener, float
inline constexpr ALuint kReverbSendLevel = code("rvsl");    // source, float
inline constexpr ALuint kOcclusion = code("occl");          // source, float
inline constexpr ALuint kObstruction = code("obst");        // source, float
}  // namespace ASAProperty

// Called by the platform when a source notification fires: (source, notification id, user data).
using ALSourceNotificationProc = void (*)(ALuint source, ALuint notificationId, void* userData);

// Read and clear OpenAL's error state; on an error log "<text> (error code 0x<code>)" as an error of
// `function`, post kOALAudioErrorNotification and answer false; answer true when there was none.
bool reportALError(const char* function);
// The same with ALC's error state and text for `device` (may be null).
bool reportALCError(const char* function, ALCdevice* device);

// Every OpenAL and ALC call the audio engine makes. Each operation takes one process-wide recursive
// lock (innermost of all audio locks), makes its call, reads the error state that call left, lets
// go of the lock and then reports an error as reportALError / reportALCError do, so that the error
// read belongs to the call even when several threads use OpenAL and observers of the notification
// run outside the lock.
//
// Operations without a result answer true when no error was reported. Getters of one value answer
// the value read, or 0 (false, "") when the call failed and wrote nothing. Strings OpenAL answers
// with null are read as empty. Getters that fill the caller's storage answer the report.
//
// Before the process's first OpenAL call, the sound libraries' own complaints on standard error are
// silenced (libasound's error handler; OpenAL Soft's log level unless ALSOFT_LOGLEVEL is set): the
// failures that matter are reported here, in the program's own lines. OpenAL reads its log level
// at the first device open, after which ALSOFT_LOGLEVEL leaves the environment again, so the
// programs the game starts (the browser) inherit the user's own.
//
// The platform extensions are looked up by name once, without a device. When one is missing its
// operation logs a warning and answers a neutral value, without the lock; static buffer data instead
// uploads a copy with bufferData (OpenAL then no longer needs the caller's bytes).
class ALWrapper {
public:
    ALWrapper() = delete;

    // The object that kOALAudioErrorNotification is posted with.
    static const void* notificationObject();

    // Parsers of OpenAL's two list forms. Null-separated: zero-terminated strings ending with an
    // empty one. Space-separated: split at every space and at the end, so consecutive and trailing
    // spaces give empty strings; a word keeps at most 199 characters (the 200th is dropped and ends
    // the word). A null text is an empty list / one empty string.
    static std::vector<std::string> parseNullSeparatedStringList(const char* text);
    static std::vector<std::string> parseSpaceSeparatedStringList(const char* text);

    // AL state and queries.
    static bool enable(ALenum capability);
    static bool disable(ALenum capability);
    static bool isEnabled(ALenum capability);
    static bool isExtensionPresent(const std::string& name);
    static void* getProcAddress(const std::string& name);
    static ALenum getEnumValue(const std::string& name);
    static bool getBoolean(ALenum parameter);
    static double getDouble(ALenum parameter);
    static float getFloat(ALenum parameter);
    static ALint getInteger(ALenum parameter);
    static std::string getString(ALenum parameter);
    static std::vector<std::string> getNullSeparatedStringList(ALenum parameter);
    static std::vector<std::string> getSpaceSeparatedStringList(ALenum parameter);
    static bool getBooleanv(ALenum parameter, ALboolean* values);
    static bool getDoublev(ALenum parameter, ALdouble* values);
    static bool getFloatv(ALenum parameter, ALfloat* values);
    static bool getIntegerv(ALenum parameter, ALint* values);
    static bool distanceModel(ALenum value);
    static bool dopplerFactor(float value);
    static bool speedOfSound(float value);

    // The listener of the current context.
    static bool listenerf(ALenum parameter, float value);
    static bool listener3f(ALenum parameter, float v1, float v2, float v3);
    static bool listenerfv(ALenum parameter, const ALfloat* values);
    static bool listeneri(ALenum parameter, ALint value);
    static bool listener3i(ALenum parameter, ALint v1, ALint v2, ALint v3);
    static bool listeneriv(ALenum parameter, const ALint* values);
    static float getListenerf(ALenum parameter);
    static bool getListener3f(ALenum parameter, float* v1, float* v2, float* v3);
    static bool getListenerfv(ALenum parameter, ALfloat* values);
    static ALint getListeneri(ALenum parameter);
    static bool getListener3i(ALenum parameter, ALint* v1, ALint* v2, ALint* v3);
    static bool getListeneriv(ALenum parameter, ALint* values);

    // Sources. genSource answers all ones (UINT32_MAX) when no source could be made.
    static bool genSources(ALuint* sourceIds, ALsizei numSources);
    static ALuint genSource();
    static bool deleteSources(const ALuint* sourceIds, ALsizei numSources);
    static bool deleteSource(ALuint sourceId);
    static bool isSource(ALuint sourceId);
    static bool sourcef(ALuint sourceId, ALenum parameter, float value);
    static bool source3f(ALuint sourceId, ALenum parameter, float v1, float v2, float v3);
    static bool sourcefv(ALuint sourceId, ALenum parameter, const ALfloat* values);
    static bool sourcei(ALuint sourceId, ALenum parameter, ALint value);
    static bool source3i(ALuint sourceId, ALenum parameter, ALint v1, ALint v2, ALint v3);
    static bool sourceiv(ALuint sourceId, ALenum parameter, const ALint* values);
    static float getSourcef(ALuint sourceId, ALenum parameter);
    static bool getSource3f(ALuint sourceId, ALenum parameter, float* v1, float* v2, float* v3);
    static bool getSourcefv(ALuint sourceId, ALenum parameter, ALfloat* values);
    static ALint getSourcei(ALuint sourceId, ALenum parameter);
    static bool getSource3i(ALuint sourceId, ALenum parameter, ALint* v1, ALint* v2, ALint* v3);
    static bool getSourceiv(ALuint sourceId, ALenum parameter, ALint* values);
    static bool sourcePlay(ALuint sourceId);
    static bool sourcePause(ALuint sourceId);
    static bool sourceStop(ALuint sourceId);
    static bool sourceRewind(ALuint sourceId);
    static bool sourcePlayv(const ALuint* sourceIds, ALsizei numSources);
    static bool sourcePausev(const ALuint* sourceIds, ALsizei numSources);
    static bool sourceStopv(const ALuint* sourceIds, ALsizei numSources);
    static bool sourceRewindv(const ALuint* sourceIds, ALsizei numSources);
    static bool sourceQueueBuffers(ALuint sourceId, ALsizei numBuffers, const ALuint* bufferIds);
    static bool sourceUnqueueBuffers(ALuint sourceId, ALsizei numBuffers, ALuint* bufferIds);

    // Buffers. genBuffer answers all ones when no buffer could be made. bufferData copies the bytes.
    static bool genBuffers(ALuint* bufferIds, ALsizei numBuffers);
    static ALuint genBuffer();
    static bool deleteBuffers(const ALuint* bufferIds, ALsizei numBuffers);
    static bool deleteBuffer(ALuint bufferId);
    static bool isBuffer(ALuint bufferId);
    static bool bufferData(ALuint bufferId, ALenum format, const void* data, ALsizei size, ALsizei frequency);
    static bool bufferf(ALuint bufferId, ALenum parameter, float value);
    static bool buffer3f(ALuint bufferId, ALenum parameter, float v1, float v2, float v3);
    static bool bufferfv(ALuint bufferId, ALenum parameter, const ALfloat* values);
    static bool bufferi(ALuint bufferId, ALenum parameter, ALint value);
    static bool buffer3i(ALuint bufferId, ALenum parameter, ALint v1, ALint v2, ALint v3);
    static bool bufferiv(ALuint bufferId, ALenum parameter, const ALint* values);
    static float getBufferf(ALuint bufferId, ALenum parameter);
    static bool getBuffer3f(ALuint bufferId, ALenum parameter, float* v1, float* v2, float* v3);
    static bool getBufferfv(ALuint bufferId, ALenum parameter, ALfloat* values);
    static ALint getBufferi(ALuint bufferId, ALenum parameter);
    static bool getBuffer3i(ALuint bufferId, ALenum parameter, ALint* v1, ALint* v2, ALint* v3);
    static bool getBufferiv(ALuint bufferId, ALenum parameter, ALint* values);

    // Output devices. openDevice takes "" for the default device; on failure it logs "Could not open
    // device <specifier>" (no error report) and answers null.
    static ALCdevice* openDevice(const std::string& specifier);
    // Opens the default output device and makes a context without attributes on it, on a worker
    // thread of its own and logging nothing: the launch has it done while the window opens. The
    // next openDevice("") is that open, waiting for the worker: it answers the device, or logs the
    // failure as an open of its own would, and the next createContext on the device without
    // attributes takes that context; any other createContext on the device, or its close, destroys
    // the context first. Once only; later calls do nothing.
    static void openDefaultDeviceAhead();
    static bool closeDevice(ALCdevice* device);
    static bool isExtensionPresent(ALCdevice* device, const std::string& name);
    static void* getProcAddress(ALCdevice* device, const std::string& name);
    static ALenum getEnumValue(ALCdevice* device, const std::string& name);
    static std::string getString(ALCdevice* device, ALCenum attribute);
    static std::vector<std::string> getNullSeparatedStringList(ALCdevice* device, ALCenum attribute);
    static std::vector<std::string> getSpaceSeparatedStringList(ALCdevice* device, ALCenum attribute);
    // getIntegerv with size 1; 0 when nothing was written.
    static ALCint getInteger(ALCdevice* device, ALCenum attribute);
    static bool getIntegerv(ALCdevice* device, ALCenum attribute, ALCsizei size, ALCint* data);

    // Capture devices; the open logs "Could not open capture device <specifier>" and answers null
    // on failure.
    static ALCdevice* openCaptureDevice(const std::string& specifier, ALCuint frequency, ALCenum format,
                                        ALCsizei bufferSize);
    static bool closeCaptureDevice(ALCdevice* device);
    static bool startCapture(ALCdevice* device);
    static bool stopCapture(ALCdevice* device);
    static bool captureSamples(ALCdevice* device, void* buffer, ALCsizei numSamples);

    // Contexts. createContext answers the context whatever the report says; attributes is a
    // zero-terminated list or null. Without a device reference, a failure to make a context current
    // or to find its device logs one line naming the context; with one, the ALC report runs.
    // process, suspend, destroy and getCurrentContext run no report.
    static ALCcontext* createContext(ALCdevice* device, const ALCint* attributes);
    static bool makeContextCurrent(ALCcontext* context);
    static bool makeContextCurrent(ALCcontext* context, ALCdevice* deviceReference);
    static void processContext(ALCcontext* context);
    static void suspendContext(ALCcontext* context);
    static void destroyContext(ALCcontext* context);
    static ALCcontext* getCurrentContext();
    static ALCdevice* getContextsDevice(ALCcontext* context);
    static ALCdevice* getContextsDevice(ALCcontext* context, ALCdevice* deviceReference);
    // The calling thread's own context (ALC_EXT_thread_local_context), which takes the place of
    // the process-wide current one on that thread only; null gives the thread back to the
    // process-wide one. Without the extension (see isExtensionPresent(nullptr, ...)) each logs one
    // warning and answers false / null.
    static bool setThreadContext(ALCcontext* context);
    static ALCcontext* getThreadContext();

    // Platform extensions: the mixer's output rate (Hz) and rendering quality.
    static double getMixerOutputDataRate();
    static bool setMixerOutputDataRate(double frequency);
    static ALint getRenderingQuality();
    static bool setRenderingQuality(ALint quality);
    // Attaches the caller's bytes to the buffer without a copy where the library can (see
    // attachesWithoutCopy); OpenAL then reads them while it mixes, so they must outlive the buffer.
    // Elsewhere it uploads a copy, and the bytes may be freed afterwards.
    static bool bufferDataStatic(ALuint bufferId, ALenum format, const void* data, ALsizei size, ALsizei frequency);
    // Whether bufferDataStatic attaches without a copy: the library exports alBufferDataStatic.
    static bool attachesWithoutCopy();

    // Platform spatial audio (ASAProperty codes); values travel as 4 bytes, a bool as 0 or 1.
    static bool asaGetListenerb(ALuint property);
    static ALint asaGetListeneri(ALuint property);
    static float asaGetListenerf(ALuint property);
    static bool asaListenerb(ALuint property, bool value);
    static bool asaListeneri(ALuint property, ALint value);
    static bool asaListenerf(ALuint property, float value);
    static bool asaGetSourceb(ALuint sourceId, ALuint property);
    static ALint asaGetSourcei(ALuint sourceId, ALuint property);
    static float asaGetSourcef(ALuint sourceId, ALuint property);
    static bool asaSourceb(ALuint sourceId, ALuint property, bool value);
    static bool asaSourcei(ALuint sourceId, ALuint property, ALint value);
    static bool asaSourcef(ALuint sourceId, ALuint property, float value);
    static bool setReverbSendLevel(float level, ALuint sourceId);
    static float getSourceReverbSendLevel(ALuint sourceId);
    static bool setOcclusion(float value, ALuint sourceId);
    static float getSourceOcclusion(ALuint sourceId);
    static bool setObstruction(float value, ALuint sourceId);
    static float getSourceObstruction(ALuint sourceId);

    // Platform per-source notifications.
    static bool addNotification(ALuint notificationId, ALuint sourceId, ALSourceNotificationProc callback,
                                void* userData);
    static bool removeNotification(ALuint notificationId, ALuint sourceId, ALSourceNotificationProc callback,
                                   void* userData);
};
