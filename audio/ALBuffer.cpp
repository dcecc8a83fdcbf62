#include "audio/ALBuffer.h"

#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALWrapper.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

RefPtr<ALBuffer> ALBuffer::bufferWithName(const std::string& name, std::unique_ptr<uint8_t[]> data, ALsizei size,
                                          ALenum format, ALsizei frequency) {
    RefPtr<ALBuffer> buffer(new ALBuffer());
    buffer->ownedData_ = std::move(data);
    return buffer->initWithName(name, buffer->ownedData_.get(), size, format, frequency) ? buffer : nullptr;
}

bool ALBuffer::initWithName(const std::string& name, const uint8_t* data, ALsizei size, ALenum format, ALsizei frequency) {
    CC_REQUIRE(bytesPerFrame(format) > 0 && frequency > 0 && size >= 0, "NSInvalidArgumentException",
               "ALBuffer format 0x%x, %d Hz, %d bytes", unsigned(format), frequency, size);
    setName(name);
    bufferData_ = data;
    dataSize_ = size;
    format_ = format;
    sampleRate_ = frequency;
    ALContext* context = OpenALManager::sharedInstance()->currentContext();
    if (!context) {
        OALTools::logError("-[ALBuffer initWithName:data:size:format:frequency:]",
                           "Cannot allocate a buffer without a current context. Make sure "
                           "[OpenALManager sharedInstance].currentContext is valid");
        return false;
    }
    device_ = RefPtr<ALDevice>(context->device());
    bufferId_ = ALWrapper::genBuffer();
    if (bufferId_ == UINT32_MAX) return false;
    if (!ALWrapper::bufferDataStatic(bufferId_, format, data, size, frequency)) return false;
    readByOpenAL_ = ALWrapper::attachesWithoutCopy();
    duration_ = float(double(size) / (double(bytesPerFrame(format)) * frequency));
    return true;
}

ALBuffer::~ALBuffer() {
    if (parentBuffer_) --parentBuffer_->liveSlices_;
    if (bufferId_ == UINT32_MAX) return;
    // A buffer name belongs to its device, and only a context of that device deletes it. The last
    // release can come late (a source lets go of its buffer on a timer), when the current context
    // is another device's, where the same name may be a live buffer, or none at all.
    ALCcontext* current = ALWrapper::getCurrentContext();
    if (!device_ || (current && ALWrapper::getContextsDevice(current) == device_->device())) {
        ALWrapper::deleteBuffer(bufferId_);
        return;
    }
    const std::vector<ALContext*> contexts = device_->contexts();
    if (contexts.empty()) return;  // closing the device frees the name
    ALCcontext* previous = ALWrapper::getThreadContext();
    if (!ALWrapper::setThreadContext(contexts.front()->context())) return;
    ALWrapper::deleteBuffer(bufferId_);
    ALWrapper::setThreadContext(previous);
}

RefPtr<ALBuffer> ALBuffer::sliceWithName(const std::string& name, int offset, int size) {
    constexpr const char* function = "-[ALBuffer sliceWithName:offset:size:]";
    const int64_t frameBytes = bytesPerFrame(format_);
    const int64_t frames = dataSize_ / frameBytes;
    if (offset < 0) {
        OALTools::logError(function, "%s: Buffer offset %d is too small. Returning nil", description().c_str(), offset);
        return nullptr;
    }
    if (size <= 0) {
        OALTools::logError(function, "%s: Buffer size %d is too small. Returning nil", description().c_str(), size);
        return nullptr;
    }
    if (int64_t{offset} + size > frames) {
        OALTools::logError(function, "%s: Buffer offset+size goes beyond end of buffer (%d + %d > %lld). Returning nil",
                           description().c_str(), offset, size, static_cast<long long>(frames));
        return nullptr;
    }
    std::lock_guard lock(dataMutex_);  // held until the slice is counted: the bytes cannot be handed back in between
    if (!bufferData_) {
        OALTools::logError(function, "%s: The buffer's bytes were handed back. Returning nil", description().c_str());
        return nullptr;
    }
    RefPtr<ALBuffer> slice(new ALBuffer());
    slice->parentBuffer_ = RefPtr<ALBuffer>(this);
    ++liveSlices_;
    const ALsizei sliceBytes = ALsizei(size * frameBytes);
    return slice->initWithName(name, bufferData_ + offset * frameBytes, sliceBytes, format_, sampleRate_) ? slice : nullptr;
}

bool ALBuffer::freeDataOnDestroy() const {
    std::lock_guard lock(dataMutex_);
    return ownedData_ != nullptr;
}

std::unique_ptr<uint8_t[]> ALBuffer::setFreeDataOnDestroy(bool freeDataOnDestroy) {
    constexpr const char* function = "-[ALBuffer setFreeDataOnDestroy:]";
    std::lock_guard lock(dataMutex_);
    if (freeDataOnDestroy == (ownedData_ != nullptr)) return nullptr;
    if (freeDataOnDestroy) {
        OALTools::logError(function, "%s: Cannot free bytes the buffer does not own. Ignored", description().c_str());
        return nullptr;
    }
    if (readByOpenAL_) {
        OALTools::logError(function, "%s: Cannot hand back bytes that OpenAL mixes from without a copy. Ignored",
                           description().c_str());
        return nullptr;
    }
    if (const int slices = liveSlices_; slices > 0) {
        OALTools::logError(function, "%s: Cannot hand back bytes that %d %s. Ignored", description().c_str(), slices,
                           slices == 1 ? "slice still reads" : "slices still read");
        return nullptr;
    }
    bufferData_ = nullptr;
    return std::move(ownedData_);
}

const uint8_t* ALBuffer::bufferData() const {
    std::lock_guard lock(dataMutex_);
    return bufferData_;
}

std::string ALBuffer::name() const {
    std::lock_guard lock(nameMutex_);
    return name_;
}

void ALBuffer::setName(const std::string& name) {
    std::lock_guard lock(nameMutex_);
    name_ = name;
}

int ALBuffer::bits() const {
    return ALWrapper::getBufferi(bufferId_, AL_BITS);
}

int ALBuffer::channels() const {
    return ALWrapper::getBufferi(bufferId_, AL_CHANNELS);
}

int ALBuffer::frequency() const {
    return ALWrapper::getBufferi(bufferId_, AL_FREQUENCY);
}

int ALBuffer::size() const {
    return ALWrapper::getBufferi(bufferId_, AL_SIZE);
}

std::string ALBuffer::description() const {
    const std::string key = name();
    const std::string shown = key.find("://") != std::string::npos ? lastPathComponent(key) : key;
    return stringWithFormat("<%s: %p: %s>", className(*this).c_str(), static_cast<const void*>(this), shown.c_str());
}

int ALBuffer::bytesPerFrame(ALenum format) {
    switch (format) {
    case AL_FORMAT_MONO8: return 1;
    case AL_FORMAT_MONO16:
    case AL_FORMAT_STEREO8: return 2;
    case AL_FORMAT_STEREO16: return 4;
    default: return 0;
    }
}
