#include "audio/ALWrapper.h"

#include <future>
#include <mutex>
#include <utility>

#include "audio/ALWrapperCalls.h"
#include "audio/OALTools.h"

using namespace ALWrapperCalls;

namespace {

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

}  // namespace

// ---- Devices

void ALWrapper::openDefaultDeviceAhead() {
    const std::lock_guard lock(aheadMutex);
    if (std::exchange(aheadStarted, true)) return;
    // Here, not on the worker: the window opens meanwhile and reads the environment.
    quietSoundLibraries();
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
    restoreUserEnvironment();
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
        if (!device) alcGetError(nullptr);  // as for an output device: not blamed on the next call
    });
    restoreUserEnvironment();
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
