#pragma once

#include <AL/al.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Object.h"

class ALDevice;

// One OpenAL buffer and the 16- or 8-bit PCM behind it. The buffer keeps its bytes, so that slices
// can share them: a slice keeps its parent, and so the memory, alive. Where the library attaches
// bytes without a copy (ALWrapper::attachesWithoutCopy) OpenAL mixes straight from them; elsewhere
// it holds a copy of its own.
class ALBuffer : public Object {
public:
    // Takes over `data` (new[]-allocated, `size` bytes, whole frames of `format`) and uploads it at
    // `frequency` Hz on the OpenAL manager's current context. Null, after one error line, when no
    // context is current or OpenAL refuses; the bytes are freed on every failure.
    // `format` must be one of OpenAL's four mono/stereo 8/16-bit formats and `frequency` above 0.
    static RefPtr<ALBuffer> bufferWithName(const std::string& name, std::unique_ptr<uint8_t[]> data, ALsizei size,
                                           ALenum format, ALsizei frequency);

    // A buffer on `size` frames of this one's memory from frame `offset`; null, after one error
    // line, when the range does not lie inside this buffer.
    RefPtr<ALBuffer> sliceWithName(const std::string& name, int offset, int size);

    ALuint bufferId() const { return bufferId_; }
    // The device of the context that was current when the buffer was made.
    ALDevice* device() const { return device_.get(); }
    ALenum format() const { return format_; }
    // The buffer's key: a file address, or what a slice was given.
    std::string name() const;
    void setName(const std::string& name);
    // Seconds of sound, from the byte count, format and frequency given.
    float duration() const { return duration_; }
    // Whether the buffer frees its bytes when it goes: true while it owns them; false for slices
    // (their bytes are the parent's) and once the bytes were handed back.
    bool freeDataOnDestroy() const;
    // Where OpenAL plays from its own copy of the samples, the buffer needs its bytes only to cut
    // slices. false hands the bytes to the caller, who may free them at any time: the buffer still
    // plays, but bufferData() is null and it cuts no more slices. That is refused (one error line,
    // null answered) while OpenAL mixes from the bytes themselves, and while a slice of this buffer
    // exists, since the slice reads the same bytes. true is refused (one error line) for a buffer
    // that does not own its bytes: a slice's bytes lie inside its parent's block, and bytes handed
    // back are the caller's to free. Answers null whenever nothing was handed over.
    std::unique_ptr<uint8_t[]> setFreeDataOnDestroy(bool freeDataOnDestroy);
    // Null once the bytes were handed back.
    const uint8_t* bufferData() const;

    // As OpenAL reports them: bits per sample, channels, frequency (Hz), size (bytes).
    int bits() const;
    int channels() const;
    int frequency() const;
    int size() const;

    // "<ALBuffer: 0x...: name>", with only the last path component of a file address.
    std::string description() const override;

    // Bytes per frame of a mono/stereo 8/16-bit format; 0 for any other.
    static int bytesPerFrame(ALenum format);

protected:
    ~ALBuffer() override;

private:
    ALBuffer() = default;
    bool initWithName(const std::string& name, const uint8_t* data, ALsizei size, ALenum format, ALsizei frequency);

    RefPtr<ALDevice> device_;
    ALuint bufferId_ = UINT32_MAX;  // all ones until generated
    std::string name_;              // guarded by nameMutex_
    mutable std::mutex nameMutex_;
    ALenum format_ = 0;
    ALsizei sampleRate_ = 0;                 // Hz, as given
    float duration_ = 0;                     // seconds
    mutable std::mutex dataMutex_;           // guards ownedData_ and bufferData_
    std::unique_ptr<uint8_t[]> ownedData_;   // null for slices and once handed back
    const uint8_t* bufferData_ = nullptr;    // ownedData_, inside the parent's, or null once handed back
    ALsizei dataSize_ = 0;                   // bytes the buffer was made of
    bool readByOpenAL_ = false;              // attached without a copy: OpenAL mixes from bufferData_
    RefPtr<ALBuffer> parentBuffer_;          // keeps a slice's bytes alive
    std::atomic<int> liveSlices_ = 0;        // slices made of this buffer's bytes and not yet destroyed
};
