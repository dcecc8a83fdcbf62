#include "audio/ALBuffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>

#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALWrapper.h"
#include "audio/ALWrapperCalls.h"
#include "audio/OpenALManager.h"
#include "audio/support/AudioTestSupport.h"
#include "platform/foundation/Log.h"

namespace {

// A stereo 16-bit buffer of `frames` frames whose sample i holds the value i.
RefPtr<ALBuffer> countingBuffer(int frames) {
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size_t(frames) * 4]);
    int16_t* samples = reinterpret_cast<int16_t*>(bytes.get());
    std::iota(samples, samples + frames * 2, int16_t{0});
    return ALBuffer::bufferWithName("file:///sounds/count.wav", std::move(bytes), frames * 4, AL_FORMAT_STEREO16, 8000);
}

using ALBufferTest = AudioDeviceTest;

}  // namespace

TEST_F(ALBufferTest, SlicesShareTheParentsMemoryWithinItsBounds) {
    RefPtr<ALBuffer> parent = countingBuffer(100);
    ASSERT_TRUE(parent);
    EXPECT_FLOAT_EQ(parent->duration(), 100.0f / 8000);
    LogCapture log;
    const struct {
        int offset, size;
        const char* error;  // null: the slice exists
    } rows[] = {
        {90, 10, nullptr},
        {0, 100, nullptr},
        {91, 10, "<ALBuffer: %p: count.wav>: Buffer offset+size goes beyond end of buffer (91 + 10 > 100). Returning nil"},
        {-1, 10, "Buffer offset -1 is too small"},
        {10, 0, "Buffer size 0 is too small"},
        {1, 2147483647, "(1 + 2147483647 > 100)"},
    };
    for (const auto& row : rows) {
        log.clear();
        RefPtr<ALBuffer> slice = parent->sliceWithName("slice", row.offset, row.size);
        EXPECT_EQ(bool(slice), row.error == nullptr) << row.offset << "+" << row.size;
        if (!row.error) continue;
        char expected[200];
        std::snprintf(expected, sizeof(expected), row.error, static_cast<void*>(parent.get()));
        EXPECT_TRUE(log.contains(expected)) << (log.lines().empty() ? "" : log.lines()[0]);
    }
    // The slice keeps the parent's bytes after the last outside owner lets go (ASan would tell).
    RefPtr<ALBuffer> slice = parent->sliceWithName("slice", 90, 10);
    parent.reset();
    EXPECT_FALSE(slice->freeDataOnDestroy());
    EXPECT_EQ(reinterpret_cast<const int16_t*>(slice->bufferData())[19], 199);
    EXPECT_EQ(slice->size(), 40);
}

TEST_F(ALBufferTest, NoCurrentContextGivesNullBeforeANameIsMade) {
    OpenALManager::sharedInstance()->setCurrentContext(nullptr);
    LogCapture log;
    EXPECT_FALSE(countingBuffer(10));
    EXPECT_EQ(log.lines(), std::vector<std::string>{
        "OAL Error: -[ALBuffer initWithName:data:size:format:frequency:]: Cannot allocate a buffer without a current context. "
        "Make sure [OpenALManager sharedInstance].currentContext is valid"});
}

TEST_F(ALBufferTest, ABufferLetGoLaterIsDeletedOnItsOwnDeviceNotTheCurrentOne) {
    // Buffer names are numbered per device, so the first buffer of each device has the same name.
    RefPtr<ALBuffer> first = countingBuffer(10);
    ASSERT_TRUE(first);
    RefPtr<ALDevice> otherDevice = ALDevice::deviceWithDeviceSpecifier("");
    ASSERT_TRUE(otherDevice);
    RefPtr<ALContext> otherContext = ALContext::contextOnDevice(otherDevice, {});
    ASSERT_TRUE(otherContext);
    OpenALManager::sharedInstance()->setCurrentContext(otherContext.get());
    RefPtr<ALBuffer> second = countingBuffer(10);
    ASSERT_TRUE(second);
    ASSERT_EQ(first->bufferId(), second->bufferId());

    LogCapture log;
    first.reset();
    EXPECT_TRUE(ALWrapper::isBuffer(second->bufferId())) << "the other device's buffer was deleted";
    EXPECT_TRUE(log.lines().empty()) << log.lines()[0];
    second.reset();
    OpenALManager::sharedInstance()->setCurrentContext(context_.get());
}

// OpenAL plays from its own copy, so the bytes can go back to the caller; never while a slice reads
// them, and a buffer never takes on bytes it does not own (ASan tells of a double or early free).
TEST_F(ALBufferTest, BytesGoBackToTheCallerOnlyOnceNoSliceReadsThem) {
    RefPtr<ALBuffer> parent = countingBuffer(100);
    ASSERT_TRUE(parent);
    const uint8_t* bytes = parent->bufferData();
    LogCapture log;
    {
        RefPtr<ALBuffer> slice = parent->sliceWithName("slice", 0, 10);
        ASSERT_TRUE(slice);
        EXPECT_FALSE(parent->setFreeDataOnDestroy(false));
        EXPECT_TRUE(log.contains("Cannot hand back bytes that 1 slice still reads. Ignored"));
        RefPtr<ALBuffer> second = parent->sliceWithName("second", 10, 10);
        ASSERT_TRUE(second);
        EXPECT_FALSE(parent->setFreeDataOnDestroy(false));
        EXPECT_TRUE(log.contains("Cannot hand back bytes that 2 slices still read. Ignored"));
        EXPECT_FALSE(slice->setFreeDataOnDestroy(true));
        EXPECT_TRUE(log.contains("slice>: Cannot free bytes the buffer does not own. Ignored"));
        EXPECT_FALSE(slice->freeDataOnDestroy());
    }
    OpenALManager::sharedInstance()->setCurrentContext(nullptr);
    EXPECT_FALSE(parent->sliceWithName("unmade", 0, 10));  // a slice that never was reads nothing
    OpenALManager::sharedInstance()->setCurrentContext(context_.get());

    const std::unique_ptr<uint8_t[]> handedBack = parent->setFreeDataOnDestroy(false);
    ASSERT_EQ(handedBack.get(), bytes);
    EXPECT_FALSE(parent->freeDataOnDestroy());
    EXPECT_EQ(parent->bufferData(), nullptr);
    EXPECT_EQ(parent->size(), 400);  // OpenAL's copy stays
    log.clear();
    EXPECT_FALSE(parent->sliceWithName("late", 0, 10));
    EXPECT_FALSE(parent->setFreeDataOnDestroy(true));
    EXPECT_TRUE(log.contains("The buffer's bytes were handed back. Returning nil"));
    EXPECT_TRUE(log.contains("count.wav>: Cannot free bytes the buffer does not own. Ignored"));
    parent.reset();
    EXPECT_EQ(reinterpret_cast<const int16_t*>(handedBack.get())[199], 199);
}

namespace {

const void* attachedBytes = nullptr;  // what the stand-in below was last given

// A library's no-copy attachment, as far as the buffer can tell: it is given the buffer's own bytes.
// The stand-in still uploads a copy, so that nothing here reads freed memory.
void attachWithoutCopy(ALint bufferId, ALenum format, const ALvoid* data, ALsizei size, ALsizei frequency) {
    attachedBytes = data;
    alBufferData(ALuint(bufferId), format, data, size, frequency);
}

}  // namespace

// Where the library exports alBufferDataStatic, OpenAL mixes from the buffer's own bytes: handing
// them back would have the mixer read memory the caller may free.
TEST_F(ALBufferTest, BytesOpenALMixesFromWithoutACopyStayWithTheBuffer) {
    ALWrapperCalls::Extensions& table = ALWrapperCalls::extensions();
    const ALWrapperCalls::BufferDataStatic missing = std::exchange(table.bufferDataStatic, &attachWithoutCopy);
    RefPtr<ALBuffer> buffer = countingBuffer(100);
    table.bufferDataStatic = missing;
    ASSERT_TRUE(buffer);
    ASSERT_EQ(attachedBytes, buffer->bufferData());

    LogCapture log;
    EXPECT_FALSE(buffer->setFreeDataOnDestroy(false));
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.contains("count.wav>: Cannot hand back bytes that OpenAL mixes from without a copy. Ignored"));
    EXPECT_TRUE(buffer->freeDataOnDestroy());
    EXPECT_EQ(buffer->bufferData(), attachedBytes);
}
