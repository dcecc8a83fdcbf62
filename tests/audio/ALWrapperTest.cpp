#include "audio/ALWrapper.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

#include "audio/OALTools.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

using ALWrapperTest = AudioDeviceTest;

// The error is reported once, and its observers run after the lock is let go: a thread the observer
// waits for can still call OpenAL.
TEST_F(ALWrapperTest, AnErrorLogsOneLineAndPostsOneNotificationOutsideTheLock) {
    int observer = 0, posts = 0;
    NotificationCenter::defaultCenter().addObserver(&observer, kOALAudioErrorNotification, ALWrapper::notificationObject(),
                                                    [&](const Notification&) {
                                                        ++posts;
                                                        std::thread([] { ALWrapper::getFloat(AL_DOPPLER_FACTOR); }).join();
                                                    });
    LogCapture log;
    EXPECT_FALSE(ALWrapper::sourcePlay(12345));
    EXPECT_EQ(log.lines(), std::vector<std::string>{"OAL Error: +[ALWrapper sourcePlay:]: Invalid Name (error code 0x0000a001)"});
    EXPECT_EQ(posts, 1);
    // A null string from OpenAL (an unknown parameter) reads as empty.
    EXPECT_EQ(ALWrapper::getString(0x7FFF), "");
    EXPECT_EQ(posts, 2);
    NotificationCenter::defaultCenter().removeObserver(&observer);
}

TEST_F(ALWrapperTest, GenSourceAnswersAllOnesOnceOpenALRunsOut) {
    std::vector<ALuint> sources;
    LogCapture log;
    for (ALuint source = 0; source != UINT32_MAX && sources.size() < 1000; sources.push_back(source)) source = ALWrapper::genSource();
    EXPECT_EQ(sources.back(), UINT32_MAX);
    EXPECT_EQ(log.lines().size(), 1u);
    sources.pop_back();
    EXPECT_TRUE(ALWrapper::deleteSources(sources.data(), ALsizei(sources.size())));
}

// Without a sound device: the failed open is the one line, and a later device-less query is not
// blamed for its error.
TEST(ALWrapperDevices, AFailedOpenLeavesNoErrorForTheNextCall) {
    LogCapture log;
    EXPECT_EQ(ALWrapper::openDevice("no such device"), nullptr);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"OAL Error: +[ALWrapper openDevice:]: Could not open device no such device"});
    log.clear();
    ALWrapper::isExtensionPresent(nullptr, "ALC_EXT_thread_local_context");
    EXPECT_TRUE(log.lines().empty());
}

namespace {

// While alive, what the process writes to standard error goes to a file instead.
class StandardErrorCapture {
public:
    explicit StandardErrorCapture(const TemporaryFolder& folder) : path_(folder.file("stderr.txt")) {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        const int file = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, STDERR_FILENO);
        close(file);
    }
    ~StandardErrorCapture() { restore(); }
    // Restores standard error and answers what was written meanwhile.
    std::string text() {
        restore();
        return readFileBytes(path_);
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(std::exchange(saved_, -1));
    }

    std::string path_;
    int saved_ = -1;
};

}  // namespace

// Without a sound card ALSA and OpenAL Soft would each complain on standard error; the program's one
// line says it all, at every open. OpenAL reads its log level at its first open, after which the
// environment is the user's again (the browser the game opens inherits it). OpenAL reads its
// settings once: the test command runs each test in a process of its own.
TEST(ALWrapperDevices, NoSoundCardLeavesTheSoundLibrariesSilentAndTheEnvironmentAsItWas) {
    setenv("ALSOFT_DRIVERS", "alsa", 1);
    unsetenv("ALSOFT_LOGLEVEL");
    TemporaryFolder folder;
    LogCapture log;
    StandardErrorCapture standardError(folder);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ALCdevice* device = ALWrapper::openDevice("");
        if (device) {
            ALWrapper::closeDevice(device);
            GTEST_SKIP() << "ALSA opened a sound device here: it had nothing to complain about";
        }
        EXPECT_EQ(getenv("ALSOFT_LOGLEVEL"), nullptr) << attempt;
    }
    EXPECT_EQ(standardError.text(), "");
    EXPECT_EQ(log.lines(), std::vector<std::string>(2, "OAL Error: +[ALWrapper openDevice:]: Could not open device "));
}

TEST(ALWrapperDevices, ALogLevelTheUserChoseIsKept) {
    useNullAudioBackend();
    setenv("ALSOFT_LOGLEVEL", "2", 1);
    ALCdevice* device = ALWrapper::openDevice("");
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(ALWrapper::closeDevice(device));
    EXPECT_STREQ(getenv("ALSOFT_LOGLEVEL"), "2");
}

// The launch opens the default device and its context while the window opens: the next default
// open takes that device and the next plain context on it that context, each once and silently; a
// context asked for with attributes is one of its own.
TEST(ALWrapperDevices, TheDefaultDeviceOpenedAheadServesTheNextOpenAndPlainContext) {
    useNullAudioBackend();
    unsetenv("ALSOFT_LOGLEVEL");
    LogCapture log;
    ALWrapper::openDefaultDeviceAhead();
    ALCdevice* device = ALWrapper::openDevice("");
    ASSERT_NE(device, nullptr);
    // Taking the open made ahead gives the environment back, as an open of its own would.
    EXPECT_EQ(getenv("ALSOFT_LOGLEVEL"), nullptr);
    ALCcontext* ahead = ALWrapper::createContext(device, nullptr);
    ASSERT_NE(ahead, nullptr);
    EXPECT_EQ(ALWrapper::getContextsDevice(ahead), device);

    const ALCint attributes[] = {ALC_MONO_SOURCES, 3, ALC_STEREO_SOURCES, 1, 0};
    ALCcontext* own = ALWrapper::createContext(device, attributes);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, ahead);
    EXPECT_EQ(ALWrapper::getContextsDevice(own), device);
    ALCcontext* plain = ALWrapper::createContext(device, nullptr);
    EXPECT_NE(plain, ahead);
    EXPECT_NE(plain, own);
    EXPECT_EQ(log.lines(), std::vector<std::string>{});

    for (ALCcontext* context : {ahead, own, plain}) ALWrapper::destroyContext(context);
    EXPECT_TRUE(ALWrapper::closeDevice(device));
    // A second default open opens a device of its own.
    ALCdevice* again = ALWrapper::openDevice("");
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(ALWrapper::closeDevice(again));
}

// A device opened ahead whose context nobody takes lets it go with the device.
TEST(ALWrapperDevices, ClosingTheDeviceOpenedAheadDestroysItsUntakenContext) {
    useNullAudioBackend();
    LogCapture log;
    ALWrapper::openDefaultDeviceAhead();
    ALCdevice* device = ALWrapper::openDevice("");
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(ALWrapper::closeDevice(device));
    EXPECT_EQ(log.lines(), std::vector<std::string>{});
}

TEST(ALWrapperLists, ParseNullAndSpaceSeparatedText) {
    using List = std::vector<std::string>;
    EXPECT_EQ(ALWrapper::parseNullSeparatedStringList("A\0B\0\0"), (List{"A", "B"}));
    EXPECT_EQ(ALWrapper::parseNullSeparatedStringList(nullptr), List{});
    const std::string word199(199, 'w');
    const struct {
        std::string text;
        List words;
    } spaced[] = {
        {"a b", {"a", "b"}},
        {"a  b", {"a", "", "b"}},
        {"a ", {"a", ""}},
        {word199, {word199}},
        {word199 + "x", {word199, ""}},
        {word199 + "xy z", {word199, "y", "z"}},
    };
    for (const auto& row : spaced) EXPECT_EQ(ALWrapper::parseSpaceSeparatedStringList(row.text.c_str()), row.words) << row.text;
    EXPECT_EQ(ALWrapper::parseSpaceSeparatedStringList(nullptr), List{""});
}

// Every platform extension is missing here: each operation warns once and answers its neutral value.
TEST(ALWrapperExtensions, MissingExtensionsWarnAndAnswerNeutralValues) {
    const struct {
        std::function<double()> call;
        double answer;
        const char* warning;
    } rows[] = {
        {[] { return ALWrapper::getMixerOutputDataRate(); }, 0, "getMixerOutputDataRate]: No proc ptr for alcGetMacOSXMixerOutputRate. Returning 0"},
        {[] { return ALWrapper::setMixerOutputDataRate(48000); }, 0, "No proc ptr for alcMacOSXMixerOutputRate"},
        {[] { return ALWrapper::setRenderingQuality(1); }, 0, "No proc ptr for alcMacOSXRenderingQuality"},
        {[] { return ALWrapper::getRenderingQuality(); }, 0, "No proc ptr for alcMacOSXGetRenderingQuality. Returning 0"},
        {[] { return ALWrapper::asaGetListenerb(ASAProperty::kReverbOn); }, 0, "No proc ptr for alcASAGetListener. Returning false"},
        {[] { return ALWrapper::asaGetListeneri(ASAProperty::kReverbRoomType); }, -1, "No proc ptr for alcASAGetListener. Returning -1"},
        {[] { return ALWrapper::asaGetListenerf(ASAProperty::kGlobalReverbLevel); }, 0, "No proc ptr for alcASAGetListener. Returning 0"},
        {[] { return ALWrapper::asaListenerf(ASAProperty::kReverbEQGain, 1); }, 0, "No proc ptr for alcASASetListener"},
        {[] { return ALWrapper::asaGetSourcei(1, ASAProperty::kOcclusion); }, -1, "No proc ptr for alcASAGetSource. Returning -1"},
        {[] { return ALWrapper::setObstruction(1, 1); }, 0, "setObstruction:onSource:]: No proc ptr for alcASASetSource"},
        {[] { return ALWrapper::getSourceReverbSendLevel(1); }, 0, "No proc ptr for alcASAGetSource. Returning 0"},
        {[] { return ALWrapper::addNotification(1, 1, nullptr, nullptr); }, 0, "No proc ptr for alSourceAddNotification"},
        {[] { return ALWrapper::removeNotification(1, 1, nullptr, nullptr); }, 0, "No proc ptr for alSourceRemoveNotification"},
    };
    for (const auto& row : rows) {
        LogCapture log;
        EXPECT_EQ(row.call(), row.answer) << row.warning;
        ASSERT_EQ(log.lines().size(), 1u) << row.warning;
        EXPECT_EQ(log.lines()[0].rfind("OAL Warning: +[ALWrapper ", 0), 0u) << log.lines()[0];
        EXPECT_TRUE(log.contains(row.warning)) << log.lines()[0];
    }
}

TEST(OALTools, ExtAudioErrorsAndFileAddresses) {
    LogCapture log;
    OALTools::notifyExtAudioError(0, "-[T f]", "nothing");
    EXPECT_TRUE(log.lines().empty());
    OALTools::notifyExtAudioError(-66563, "-[T f]", "Could not read %s", "x.wav");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"OAL Error: -[T f]: Could not read x.wav (error code 0xfffffffffffefbfd: Non-PCM client format)"});
    log.clear();

    TemporaryFolder folder;
    folder.write("sounds/a.wav", "RIFF");
    EXPECT_EQ(OALTools::urlForPath("/no/such/file.wav", folder.path()), "file:///no/such/file.wav");
    EXPECT_EQ(OALTools::urlForPath("sounds/a.wav", folder.path()), "file://" + folder.file("sounds/a.wav"));
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(OALTools::urlForPath("sounds/b.wav", folder.path()), "");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"OAL Error: +[OALTools urlForPath:bundle:]: Could not find full path of file sounds/b.wav"});
    EXPECT_EQ(secondsBetweenMachTimes(1, 2), 0.0);  // a later reading that is earlier must not wrap
}
