#pragma once

#include <AL/al.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Object.h"

class ALDevice;

// One OpenAL buffer and the 16- or 8-bit PCM behind it. OpenAL holds its own copy of the samples;
// the buffer keeps its bytes too, so that slices can share them: a slice keeps its parent, and so
// the memory, alive.
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
    // False for slices: their bytes belong to the parent.
    bool freeDataOnDestroy() const { return ownedData_ != nullptr; }
    const uint8_t* bufferData() const { return bufferData_; }

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
    std::unique_ptr<uint8_t[]> ownedData_;   // null for slices
    const uint8_t* bufferData_ = nullptr;    // ownedData_, or inside the parent's
    ALsizei dataSize_ = 0;                   // bytes at bufferData_
    RefPtr<ALBuffer> parentBuffer_;          // keeps a slice's bytes alive
};
