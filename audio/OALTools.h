#pragma once

#include <cstdint>
#include <string>

// Finding sound files, reporting decoder errors, and the audio engine's two log forms.
//
// A file address here is "file://" followed by the absolute path exactly as given (no percent
// encoding), so that the same path always makes the same address: caches key on these strings.
class OALTools {
public:
    OALTools() = delete;

    // "OAL Error: <function>: <message>" and "OAL Warning: <function>: <message>", where function is
    // the reporting operation's qualified name ("+[ALWrapper sourcePlay:]").
    static void logError(const char* function, const char* format, ...) __attribute__((format(printf, 2, 3)));
    static void logWarning(const char* function, const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The folder that relative sound paths are looked up in: the program's resource folder until
    // replaced.
    static std::string defaultBundle();
    static void setDefaultBundle(const std::string& folder);

    // The address of a sound file. An absolute path is used as it stands, whether or not the file
    // exists; a relative one must name a file in `folder` (default: defaultBundle()), else one error
    // line and "". An empty path gives "".
    static std::string urlForPath(const std::string& path);
    static std::string urlForPath(const std::string& path, const std::string& folder);
    // The path of a file address; "" when the text is not one.
    static std::string pathForUrl(const std::string& url);

    // Logs "<description> (error code 0x<status>: <text>)" as an error of `function`, the status
    // sign-extended to 64 bits and its text from the decoder status table; status 0 logs nothing.
    // No notification is posted.
    static void notifyExtAudioError(int32_t status, const char* function, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
    // The desktop has no audio session: does nothing.
    static void notifyAudioSessionError(int32_t status, const char* function, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
};

// Nanoseconds of CLOCK_MONOTONIC: the audio engine's clock readings.
uint64_t machAbsoluteTime();
// Seconds from `earlier` to `later` (two machAbsoluteTime readings); 0 when `later` is the earlier.
double secondsBetweenMachTimes(uint64_t later, uint64_t earlier);
