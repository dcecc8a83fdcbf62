#include "audio/OALStreamingDecoder.h"

#include <sndfile.h>

#include <algorithm>

int64_t OALStreamingDecoder::Stretch::positionAfter(int64_t heard) const {
    return wraps == 0 || heard <= wrapAt ? startFrame + heard : (heard - wrapAt - 1) % passFrames + 1;
}

int64_t OALStreamingDecoder::Stretch::wrapsAfter(int64_t heard) const {
    return wraps == 0 || heard <= wrapAt ? wraps : std::max<int64_t>(0, wraps - 1 - (heard - wrapAt - 1) / passFrames);
}

OALStreamingDecoder::~OALStreamingDecoder() {
    if (file_) sf_close(file_);
}

bool OALStreamingDecoder::open(const std::string& path, int64_t stretchFrames, RefPtr<Error>* error) {
    const auto fail = [error](int64_t code, const std::string& text) {
        if (error) *error = makeRef<Error>(kOALStreamingErrorDomain, code, text);
        return false;
    };
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (!file_) return fail(sf_error(nullptr), sf_strerror(nullptr));
    if (info.channels < 1 || info.samplerate <= 0) return fail(0, "the file has no channels or no sample rate");
    fileChannels_ = info.channels;
    channels_ = std::min(fileChannels_, 2);
    rate_ = info.samplerate;
    frames_ = std::max<sf_count_t>(info.frames, 0);
    stretchFrames_ = stretchFrames;
    samples_.resize(size_t(stretchFrames) * size_t(fileChannels_));
    return true;
}

bool OALStreamingDecoder::seek(int64_t frame) {
    if (sf_seek(file_, frame, SEEK_SET) != frame) return false;
    nextFrame_ = frame;
    return true;
}

OALStreamingDecoder::Stretch OALStreamingDecoder::read() {
    Stretch stretch{nextFrame_};
    while (stretch.frames < stretchFrames_) {
        const sf_count_t got = sf_readf_float(file_, samples_.data() + stretch.frames * fileChannels_,
                                              stretchFrames_ - stretch.frames);
        if (got > 0) {
            stretch.frames += got;
            nextFrame_ += got;
            continue;
        }
        // The end of the file (or a failure). Go round only after a pass that read something: an
        // empty file would go round for ever.
        if (loopsLeft_ == 0 || nextFrame_ == 0 || sf_error(file_) != SF_ERR_NO_ERROR || sf_seek(file_, 0, SEEK_SET) != 0) {
            break;
        }
        if (stretch.passFrames == 0) stretch.wrapAt = stretch.frames;
        stretch.passFrames = nextFrame_;
        ++stretch.wraps;
        nextFrame_ = 0;
        if (loopsLeft_ > 0) --loopsLeft_;
    }
    if (stretch.passFrames == 0) stretch.wrapAt = stretch.frames;
    if (fileChannels_ > 2) {
        for (int64_t frame = 0; frame < stretch.frames; ++frame) {
            samples_[size_t(frame * 2)] = samples_[size_t(frame * fileChannels_)];
            samples_[size_t(frame * 2 + 1)] = samples_[size_t(frame * fileChannels_ + 1)];
        }
    }
    return stretch;
}

RefPtr<Error> OALStreamingDecoder::failure() const {
    const int status = sf_error(file_);
    return status == SF_ERR_NO_ERROR ? nullptr : makeRef<Error>(kOALStreamingErrorDomain, status, sf_strerror(file_));
}
