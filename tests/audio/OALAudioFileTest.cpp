#include "audio/OALAudioFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <unistd.h>

#include <cstring>
#include <functional>

#include "audio/ALBuffer.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

namespace {

// Each channel holds one level all through, so decoded samples can be checked exactly.
const float kLevels[] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f};
float level(int64_t, int channel) { return kLevels[channel]; }

using OALAudioFileTest = AudioDeviceTest;

}  // namespace

TEST_F(OALAudioFileTest, DecodesEveryLayoutTo16BitPCMWithOneOrTwoChannels) {
    const struct {
        const char* name;
        int format, channels, rate;
        bool mono;
        ALenum alFormat;
        bool warns;
        std::vector<int16_t> firstFrame;  // empty: not checked
        SampleFunction sample = level;
    } rows[] = {
        {"mono16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, false, AL_FORMAT_MONO16, false, {3277}},
        {"stereo16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 22050, false, AL_FORMAT_STEREO16, false, {3277, 6553}},
        {"stereo16-mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 22050, true, AL_FORMAT_MONO16, false, {4915}},
        // 24-bit samples keep their top 16 bits: 0.1 is 838861 / 256, 0.2 is 1677721 / 256.
        {"six24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 6, 48000, false, AL_FORMAT_STEREO16, true, {3276, 6553}},
        {"six24-mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 6, 48000, true, AL_FORMAT_MONO16, false, {4914}},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, false, AL_FORMAT_STEREO16, false, {16384, -32768},
         [](int64_t, int channel) { return channel == 0 ? 0.5f : -1.5f; }},
        {"sine.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 1, 22050, false, AL_FORMAT_MONO16, false, {},
         [](int64_t frame, int channel) { return sine440(frame, channel, 22050); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int64_t frames = row.rate / 10;
        const std::string path = writeSoundFile(folder_.file(row.name), row.format, row.channels, row.rate, frames, row.sample);
        LogCapture log;
        RefPtr<ALBuffer> buffer = OALAudioFile::bufferFromUrl("file://" + path, row.mono);
        ASSERT_TRUE(buffer);
        EXPECT_EQ(log.contains("Capping at 2"), row.warns);
        EXPECT_EQ(buffer->format(), row.alFormat);
        EXPECT_EQ(buffer->frequency(), row.rate);
        const int frameBytes = ALBuffer::bytesPerFrame(row.alFormat);
        if (!row.firstFrame.empty()) {
            EXPECT_EQ(buffer->size(), frames * frameBytes);  // OpenAL holds the samples, not an empty buffer
            EXPECT_FLOAT_EQ(buffer->duration(), float(frames) / float(row.rate));
            std::vector<int16_t> first(row.firstFrame.size());
            std::memcpy(first.data(), buffer->bufferData(), first.size() * 2);
            EXPECT_EQ(first, row.firstFrame);
        }
        EXPECT_GT(buffer->size(), 0);
        EXPECT_FLOAT_EQ(buffer->duration(), float(buffer->size()) / float(frameBytes * row.rate));
    }
}

TEST_F(OALAudioFileTest, ReadsFromAStartFrameAndRefusesStartsOutsideTheFile) {
    const std::string url = "file://" + writeSoundFile(folder_.file("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 8000, 800, level);
    RefPtr<OALAudioFile> file = OALAudioFile::fileWithUrl(url, false);
    ASSERT_TRUE(file);
    uint32_t size = 0;
    EXPECT_TRUE(file->audioDataWithStartFrame(100, -1, &size));
    EXPECT_EQ(size, 700u * 4);
    EXPECT_TRUE(file->audioDataWithStartFrame(790, 50, &size));
    EXPECT_EQ(size, 10u * 4);
    LogCapture log;
    for (int64_t start : {int64_t{800}, int64_t{-1}, int64_t{1} << 40}) EXPECT_FALSE(file->audioDataWithStartFrame(start, -1, &size));
    EXPECT_EQ(log.lines().size(), 3u);
    EXPECT_TRUE(log.contains("Start frame 800 is outside the 800 frames"));
    EXPECT_FALSE(file->bufferNamed("x", 800, 1));

    // A sparse 200 MiB file of stereo frames: the whole would exceed the decode budget, a part not.
    const std::string bytes = readFileBytes(OALTools::pathForUrl(url));
    const std::string big = folder_.write("big.wav", bytes.substr(0, 40) + std::string("\xf0\xff\xff\xff", 4));
    ASSERT_EQ(truncate(big.c_str(), 200 << 20), 0);
    RefPtr<OALAudioFile> bigFile = OALAudioFile::fileWithUrl("file://" + big, false);
    ASSERT_TRUE(bigFile);
    EXPECT_FALSE(bigFile->audioDataWithStartFrame(0, -1, &size));
    EXPECT_TRUE(log.contains("Could not allocate 209715156 bytes for audio buffer from file (url = file://" + big + "): the limit is 134217728"));
    EXPECT_TRUE(bigFile->audioDataWithStartFrame(1 << 20, 1000, &size));
    EXPECT_EQ(size, 4000u);
}

// Broken or hostile files give null and one error line, or as many whole frames as are really there.
TEST_F(OALAudioFileTest, MalformedFilesAreRefusedOrClamped) {
    const std::string good = readFileBytes(writeSoundFile(folder_.file("good.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, 100, level));
    ASSERT_EQ(good.size(), 44u + 200u);
    const auto patched = [&](size_t offset, std::string bytes) { return good.substr(0, offset) + bytes + good.substr(offset + bytes.size()); };
    const struct {
        const char* name;
        std::string bytes;
        const char* error;  // null: decodes `frames`
        int frames;
    } rows[] = {
        {"empty.wav", "", "Could not open url", 0},
        {"garbage.wav", std::string(300, '\x5a'), "Could not open url", 0},
        {"channels0.wav", patched(22, std::string("\0\0", 2)), "Could not open url", 0},
        {"rate0.wav", patched(24, std::string(4, '\0')), "Could not open url", 0},
        {"nodata.wav", good.substr(0, 36), "Could not open url", 0},
        {"truncated.wav", good.substr(0, 44 + 101), nullptr, 50},
        {"hugedata.wav", patched(40, "\xf0\xff\xff\xff"), nullptr, 100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LogCapture log;
        RefPtr<ALBuffer> buffer = OALAudioFile::bufferFromUrl("file://" + folder_.write(row.name, row.bytes), false);
        if (row.error) {
            EXPECT_FALSE(buffer);
            ASSERT_EQ(log.lines().size(), 1u);
            EXPECT_EQ(log.lines()[0].rfind("OAL Error: -[OALAudioFile initWithUrl:reduceToMono:]: Could not open url file://", 0), 0u);
        } else {
            ASSERT_TRUE(buffer);
            EXPECT_EQ(buffer->size(), row.frames * 2);
        }
    }
    LogCapture log;
    EXPECT_FALSE(OALAudioFile::bufferFromUrl("", false));
    EXPECT_FALSE(OALAudioFile::bufferFromUrl("file://" + folder_.file("missing.wav"), false));
    EXPECT_TRUE(log.contains("Cannot open NULL file / url"));
    EXPECT_TRUE(log.contains("(error code 0x00000002: Unknown ext audio error)"));
}

// Every request form answers the file's address and delivers on the main run loop, in the order
// asked; only a request for mono folds the file's two channels into one.
TEST_F(OALAudioFileTest, AsynchronousLoadsAnswerOnTheMainRunLoop) {
    const std::string url =
        "file://" + writeSoundFile(folder_.file("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 8000, 80, level);
    OALTools::setDefaultBundle(folder_.path());
    std::vector<RefPtr<ALBuffer>> results;
    const auto keep = [&](RefPtr<ALBuffer> buffer) {
        EXPECT_TRUE(RunLoop::main().isCurrent());
        results.push_back(buffer);
    };
    OpenALManager* manager = OpenALManager::sharedInstance();
    const struct {
        const char* form;
        std::function<std::string()> request;
        ALenum format;
    } rows[] = {
        {"file, mono", [&] { return manager->bufferAsyncFromFile("a.wav", true, keep); }, AL_FORMAT_MONO16},
        {"file", [&] { return manager->bufferAsyncFromFile("a.wav", keep); }, AL_FORMAT_STEREO16},
        {"url, mono", [&] { return manager->bufferAsyncFromUrl(url, true, keep); }, AL_FORMAT_MONO16},
        {"url", [&] { return manager->bufferAsyncFromUrl(url, keep); }, AL_FORMAT_STEREO16},
    };
    LogCapture log;
    for (const auto& row : rows) EXPECT_EQ(row.request(), url) << row.form;
    manager->bufferAsyncFromFile("b.wav", keep);
    const ::testing::AssertionResult answered =
        pumpUntil(RunLoop::main(), "every load to answer", [&] { return results.size() == std::size(rows) + 1; });
    OALTools::setDefaultBundle("");
    ASSERT_TRUE(answered);
    for (size_t i = 0; i < std::size(rows); ++i) {
        ASSERT_TRUE(results[i]) << rows[i].form;
        EXPECT_EQ(results[i]->format(), rows[i].format) << rows[i].form;
    }
    EXPECT_FALSE(results.back());
    EXPECT_TRUE(log.contains("Could not find full path of file b.wav"));
}
