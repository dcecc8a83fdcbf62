#include "audio/OALStreamingDecoder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <vector>

#include "audio/support/AudioTestSupport.h"

namespace {

constexpr int kRate = 44100;

// Stretches of 1000 frames from files whose every sample tells its own frame (channel 0 the frame,
// channel 1 its negative, a third channel the frame again): each stretch is whole until the last
// loop ends, however short the file, and tells for each of its frames the position heard up to it
// (at a wrap, the end of the pass) and the wraps still ahead of it.
TEST(OALStreamingDecoder, EveryStretchIsWholeAcrossTheLoopPointUntilTheLastLoopEnds) {
    constexpr int64_t kStretch = 1000;
    const struct {
        const char* name;
        int64_t fileFrames, loops, from;
        int channels;
        std::vector<int64_t> stretches;  // frames of each read in turn
    } rows[] = {
        {"longer than a stretch, no loops", 2500, 0, 0, 1, {1000, 1000, 500, 0}},
        {"longer than a stretch, two loops", 2500, 2, 0, 1, {1000, 1000, 1000, 1000, 1000, 1000, 1000, 500, 0, 0}},
        {"shorter than a stretch, four loops", 300, 4, 0, 2, {1000, 500, 0}},
        {"shorter than a stretch, endless", 300, -1, 0, 3, {1000, 1000, 1000, 1000}},
        {"from a seek, one loop", 2500, 1, 2200, 1, {1000, 1000, 800, 0}},
        {"from the end, one loop", 2500, 1, 2500, 1, {1000, 1000, 500, 0}},
        {"an empty file never goes round", 0, -1, 0, 1, {0}},
    };
    TemporaryFolder folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = writeSoundFile(
            folder.file("frames.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, row.channels, kRate, row.fileFrames,
            [](int64_t frame, int channel) { return float(channel == 1 ? -frame : frame) / 32768; });
        OALStreamingDecoder decoder;
        RefPtr<Error> error;
        ASSERT_TRUE(decoder.open(path, kStretch, &error)) << (error ? error->description() : "");
        ASSERT_TRUE(decoder.seek(row.from));
        decoder.setLoopsLeft(row.loops);
        const int channels = decoder.channels();
        EXPECT_EQ(channels, std::min(row.channels, 2));
        int64_t expected = row.from;  // the position heard up to the next frame
        for (const int64_t frames : row.stretches) {
            const OALStreamingDecoder::Stretch stretch = decoder.read();
            ASSERT_EQ(stretch.frames, frames);
            std::vector<int64_t> wrapsAt;  // offsets of the frames that begin a pass again
            for (int64_t offset = 0; offset < frames; ++offset, ++expected) {
                ASSERT_EQ(stretch.positionAfter(offset), expected) << offset;
                if (expected == row.fileFrames) {
                    wrapsAt.push_back(offset);
                    expected = 0;
                }
                const float* frame = decoder.samples() + offset * channels;
                ASSERT_EQ(frame[0] * 32768, float(expected)) << offset;
                if (channels == 2) {
                    ASSERT_EQ(frame[1] * 32768, -float(expected)) << offset;
                }
            }
            for (int64_t heard = 0; heard <= frames; ++heard) {
                const auto ahead = [&](int64_t at) { return at >= heard; };
                ASSERT_EQ(stretch.wrapsAfter(heard), std::count_if(wrapsAt.begin(), wrapsAt.end(), ahead)) << heard;
            }
        }
        EXPECT_FALSE(decoder.failure());
    }
}

}  // namespace
