#include "audio/OALStreamingPlayer.h"

#include <AL/alext.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALWrapper.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"

namespace {

// About 93 ms at 44.1 kHz per buffer, so four buffers hold about 0.37 s: far more than one pump
// period plus the mixer's own update (about 23 ms).
constexpr int64_t kBufferFrames = 4096;
constexpr auto kPumpPeriod = std::chrono::milliseconds(10);
constexpr float kSilenceDecibels = -160;

// Makes `context` the calling thread's own OpenAL context while alive, then restores the thread's
// previous one; the process-wide current context is never touched.
class BoundContext {
public:
    explicit BoundContext(ALCcontext* context) : previous_(ALWrapper::getThreadContext()), context_(context) {
        if (previous_ != context_) ALWrapper::setThreadContext(context_);
    }
    ~BoundContext() {
        if (previous_ != context_) ALWrapper::setThreadContext(previous_);
    }
    BoundContext(const BoundContext&) = delete;
    BoundContext& operator=(const BoundContext&) = delete;

private:
    ALCcontext* const previous_;
    ALCcontext* const context_;
};

double clockSeconds() {
    return double(machAbsoluteTime()) * 1e-9;
}

float decibels(float level) {
    return level > 0 ? std::max(kSilenceDecibels, 20 * std::log10(level)) : kSilenceDecibels;
}

}  // namespace

RefPtr<OALStreamingPlayer> OALStreamingPlayer::playerWithUrl(const std::string& url, RefPtr<Error>* error) {
    RefPtr<OALStreamingPlayer> player(new OALStreamingPlayer());
    return player->open(url, error) ? player : nullptr;
}

bool OALStreamingPlayer::open(const std::string& url, RefPtr<Error>* error) {
    const auto fail = [error](int64_t code, const std::string& text) {
        if (error) *error = makeRef<Error>(kOALStreamingErrorDomain, code, text);
        return false;
    };
    url_ = url;
    const std::string path = OALTools::pathForUrl(url);
    if (path.empty()) return fail(0, "not a file address: " + url);
    if (!ALWrapper::isExtensionPresent(nullptr, "ALC_EXT_thread_local_context")) {
        return fail(0, "OpenAL cannot give a thread its own context");
    }
    RefPtr<ALDevice> device;
    {
        OpenALManager* manager = OpenALManager::sharedInstance();
        std::lock_guard lock(manager->lock());
        if (ALContext* current = manager->currentContext()) device = RefPtr<ALDevice>(current->device());
    }
    if (!device) return fail(0, "no audio device is open");

    if (!decoder_.open(path, kBufferFrames, error)) return false;
    context_ = ALContext::contextOnDevice(device, {});
    if (!context_) return fail(0, "OpenAL could not make a context for music");
    BoundContext bound(context_->context());
    source_ = ALWrapper::genSource();
    if (source_ == UINT32_MAX) {
        source_ = 0;
        return fail(0, "OpenAL could not make a source for music");
    }
    if (!ALWrapper::genBuffers(buffers_.data(), kBufferCount)) {
        buffers_ = {};
        return fail(0, "OpenAL could not make buffers for music");
    }
    // Music sits on the listener: distance never attenuates it, pan alone places it.
    ALWrapper::sourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    ALWrapper::sourcef(source_, AL_ROLLOFF_FACTOR, 0);
    applyPan();
    pump_ = std::thread([this] { pumpLoop(); });
    return true;
}

OALStreamingPlayer::~OALStreamingPlayer() {
    setDelegate(nullptr);
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (pump_.joinable()) pump_.join();
    if (context_) {
        BoundContext bound(context_->context());
        if (source_) {
            ALWrapper::sourceStop(source_);
            ALWrapper::sourcei(source_, AL_BUFFER, 0);
            ALWrapper::deleteSource(source_);
        }
        if (buffers_[0]) ALWrapper::deleteBuffers(buffers_.data(), kBufferCount);
    }
}

bool OALStreamingPlayer::prepareToPlay() {
    std::lock_guard lock(mutex_);
    BoundContext bound(context_->context());
    return prepared_ || queueFrom(position_);
}

bool OALStreamingPlayer::play() {
    std::lock_guard lock(mutex_);
    BoundContext bound(context_->context());
    if (!prepared_ && !queueFrom(position_)) return false;
    startAt_.reset();
    if (!startSource()) return false;
    playing_ = true;
    wake_.notify_all();
    return true;
}

bool OALStreamingPlayer::playAtTime(double deviceTime) {
    if (deviceTime <= clockSeconds()) return play();
    std::lock_guard lock(mutex_);
    BoundContext bound(context_->context());
    if (!prepared_ && !queueFrom(position_)) return false;
    ALWrapper::sourcePause(source_);
    startAt_ = deviceTime;
    playing_ = true;
    wake_.notify_all();
    return true;
}

void OALStreamingPlayer::pause() {
    std::lock_guard lock(mutex_);
    if (!playing_) return;
    BoundContext bound(context_->context());
    ALWrapper::sourcePause(source_);
    startAt_.reset();
    playing_ = false;
}

void OALStreamingPlayer::stop() {
    std::lock_guard lock(mutex_);
    BoundContext bound(context_->context());
    if (prepared_) position_ = playingFrame();
    emptyQueue();
    startAt_.reset();
    playing_ = false;
    decoder_.setLoopsLeft(numberOfLoops_);
}

bool OALStreamingPlayer::playing() const {
    std::lock_guard lock(mutex_);
    return playing_;
}

float OALStreamingPlayer::volume() const {
    std::lock_guard lock(mutex_);
    return volume_;
}

void OALStreamingPlayer::setVolume(float volume) {
    std::lock_guard lock(mutex_);
    volume_ = std::max(volume, 0.0f);
    BoundContext bound(context_->context());
    ALWrapper::sourcef(source_, AL_GAIN, volume_);
}

float OALStreamingPlayer::pan() const {
    std::lock_guard lock(mutex_);
    return pan_;
}

void OALStreamingPlayer::setPan(float pan) {
    std::lock_guard lock(mutex_);
    pan_ = std::clamp(pan, -1.0f, 1.0f);
    BoundContext bound(context_->context());
    applyPan();
}

void OALStreamingPlayer::applyPan() {
    const float direction = pan_ * float(M_PI_2);  // radians clockwise from straight ahead
    if (decoder_.channels() == 2) {
        // OpenAL's angles run counter-clockwise, left first; the pair starts 30 degrees either side
        // of the middle and closes in on one side as the pan reaches it.
        const float spread = (1 - std::fabs(pan_)) * float(M_PI / 6);
        const ALfloat angles[2] = {-direction + spread, -direction - spread};
        ALWrapper::sourcefv(source_, AL_STEREO_ANGLES, angles);
    } else {
        ALWrapper::source3f(source_, AL_POSITION, std::sin(direction), 0, -std::cos(direction));
    }
}

int64_t OALStreamingPlayer::numberOfLoops() const {
    std::lock_guard lock(mutex_);
    return numberOfLoops_;
}

void OALStreamingPlayer::setNumberOfLoops(int64_t loops) {
    std::lock_guard lock(mutex_);
    numberOfLoops_ = loops;
    if (!prepared_) {
        decoder_.setLoopsLeft(loops);
        return;
    }
    // The count runs from the pass heard now. Passes queued beyond it are taken off the queue;
    // otherwise the decoder makes the wraps the queue does not hold yet.
    BoundContext bound(context_->context());
    const int64_t queuedWraps = wrapsQueuedAhead();
    if (loops >= 0 && queuedWraps > loops) {
        requeueFrom(playingFrame(), loops);
        return;
    }
    decoder_.setLoopsLeft(loops < 0 ? loops : loops - queuedWraps);
    // A decoder that stopped at the end of the file may go round again.
    if (!decodeFailed_) decoderDone_ = false;
}

double OALStreamingPlayer::currentTime() const {
    std::lock_guard lock(mutex_);
    BoundContext bound(context_->context());
    return double(prepared_ ? playingFrame() : position_) / decoder_.rate();
}

void OALStreamingPlayer::setCurrentTime(double seconds) {
    std::lock_guard lock(mutex_);
    const int64_t frame = std::clamp<int64_t>(std::llround(std::max(seconds, 0.0) * decoder_.rate()), 0, decoder_.frames());
    position_ = frame;
    if (!prepared_) return;
    BoundContext bound(context_->context());
    // The loops left are those still to be heard: emptying the queue drops wraps decoded ahead.
    const int64_t decoderLoops = decoder_.loopsLeft();
    requeueFrom(frame, decoderLoops < 0 ? decoderLoops : decoderLoops + wrapsQueuedAhead());
}

double OALStreamingPlayer::deviceCurrentTime() const {
    return clockSeconds();
}

double OALStreamingPlayer::duration() const {
    return double(decoder_.frames()) / decoder_.rate();
}

uint64_t OALStreamingPlayer::numberOfChannels() const {
    return uint64_t(decoder_.fileChannels());
}

bool OALStreamingPlayer::meteringEnabled() const {
    std::lock_guard lock(mutex_);
    return meteringEnabled_;
}

void OALStreamingPlayer::setMeteringEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    meteringEnabled_ = enabled;
}

void OALStreamingPlayer::updateMeters() {
    std::lock_guard lock(mutex_);
    if (!meteringEnabled_) return;
    averagePower_.fill(kSilenceDecibels);
    peakPower_.fill(kSilenceDecibels);
    BoundContext bound(context_->context());
    const QueuePlace place = playingPlace();
    if (place.buffer == queueCount_) return;
    const QueuedBuffer& playing = queuedAt(place.buffer);
    for (int channel = 0; channel < decoder_.channels(); ++channel) {
        averagePower_[size_t(channel)] = decibels(std::sqrt(playing.meanSquare[size_t(channel)]));
        peakPower_[size_t(channel)] = decibels(playing.peak[size_t(channel)]);
    }
}

int OALStreamingPlayer::queuedBufferCount() const {
    std::lock_guard lock(mutex_);
    BoundContext bound(context_->context());
    return ALWrapper::getSourcei(source_, AL_BUFFERS_QUEUED);
}

float OALStreamingPlayer::averagePowerForChannel(uint64_t channel) const {
    std::lock_guard lock(mutex_);
    return channel < 2 ? averagePower_[channel] : kSilenceDecibels;
}

float OALStreamingPlayer::peakPowerForChannel(uint64_t channel) const {
    std::lock_guard lock(mutex_);
    return channel < 2 ? peakPower_[channel] : kSilenceDecibels;
}

bool OALStreamingPlayer::queueFrom(int64_t frame) {
    emptyQueue();
    decoderDone_ = false;
    decodeFailed_ = false;
    if (!decoder_.seek(frame)) {
        OALTools::logError("-[OALStreamingPlayer queueFrom:]", "Could not seek to frame %lld in %s",
                           static_cast<long long>(frame), url_.c_str());
        // Where the file stands now is unknown: nothing more is read from it until the next seek.
        decoderDone_ = decodeFailed_ = true;
        return false;
    }
    while (queueNext()) {}
    prepared_ = queueCount_ > 0;
    return prepared_;
}

void OALStreamingPlayer::requeueFrom(int64_t frame, int64_t loops) {
    decoder_.setLoopsLeft(loops);
    if (queueFrom(frame)) {
        // The rewind silenced the source: a sound that was playing goes on at once.
        if (playing_ && !startAt_) startSource();
    } else if (playing_) {
        finish();
    }
}

bool OALStreamingPlayer::queueNext() {
    if (spareCount_ == 0 || decoderDone_) return false;
    const OALStreamingDecoder::Stretch stretch = decoder_.read();
    if (stretch.frames == 0) {
        decoderDone_ = true;
        if (RefPtr<Error> failure = decoder_.failure()) {
            decodeFailed_ = true;
            postDecodeError(std::move(failure));
        }
        return false;
    }
    const int channels = decoder_.channels();
    const float* samples = decoder_.samples();
    QueuedBuffer queued{stretch};
    if (meteringEnabled_) {
        for (int64_t i = 0; i < stretch.frames * channels; ++i) {
            const size_t channel = size_t(i % channels);
            queued.peak[channel] = std::max(queued.peak[channel], std::fabs(samples[i]));
            queued.meanSquare[channel] += samples[i] * samples[i];
        }
        for (float& meanSquare : queued.meanSquare) meanSquare /= float(stretch.frames);
    }
    const ALenum format = channels == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32;
    const ALuint buffer = spare_[size_t(spareCount_ - 1)];
    if (!ALWrapper::bufferData(buffer, format, samples, ALsizei(stretch.frames * channels * ALsizei(sizeof(float))),
                               decoder_.rate()) ||
        !ALWrapper::sourceQueueBuffers(source_, 1, &buffer)) {
        decoderDone_ = true;
        return false;
    }
    --spareCount_;
    queue_[size_t((queueHead_ + queueCount_) % kBufferCount)] = queued;
    ++queueCount_;
    return true;
}

void OALStreamingPlayer::emptyQueue() {
    // Rewound, not stopped: a stopped source is one that played all it had (playingPlace).
    ALWrapper::sourceRewind(source_);
    ALWrapper::sourcei(source_, AL_BUFFER, 0);
    queueHead_ = 0;
    queueCount_ = 0;
    spare_ = buffers_;
    spareCount_ = kBufferCount;
    prepared_ = false;
}

bool OALStreamingPlayer::startSource() {
    return ALWrapper::sourcePlay(source_);
}

OALStreamingPlayer::QueuePlace OALStreamingPlayer::playingPlace() const {
    // A source that ran dry reads offset 0, but it has played everything queued. The offset is read
    // first: should the source run dry just after, the state read next says so.
    int64_t offset = ALWrapper::getSourcei(source_, AL_SAMPLE_OFFSET);
    if (ALWrapper::getSourcei(source_, AL_SOURCE_STATE) == AL_STOPPED) return {queueCount_, 0};
    for (int i = 0; i < queueCount_; ++i) {
        if (offset < queuedAt(i).stretch.frames) return {i, offset};
        offset -= queuedAt(i).stretch.frames;
    }
    return {queueCount_, 0};
}

int64_t OALStreamingPlayer::playingFrame() const {
    const QueuePlace place = playingPlace();
    if (place.buffer == queueCount_) return decoder_.nextFrame();
    return queuedAt(place.buffer).stretch.positionAfter(place.offset);
}

int64_t OALStreamingPlayer::wrapsQueuedAhead() const {
    const QueuePlace place = playingPlace();
    int64_t wraps = 0;
    for (int i = place.buffer; i < queueCount_; ++i) {
        wraps += i == place.buffer ? queuedAt(i).stretch.wrapsAfter(place.offset) : queuedAt(i).stretch.wraps;
    }
    return wraps;
}

void OALStreamingPlayer::takePlayedBuffers(int count) {
    for (; count > 0 && queueCount_ > 0; --count) {
        ALuint buffer = 0;
        if (!ALWrapper::sourceUnqueueBuffers(source_, 1, &buffer)) break;
        queueHead_ = (queueHead_ + 1) % kBufferCount;
        --queueCount_;
        spare_[size_t(spareCount_++)] = buffer;
    }
}

void OALStreamingPlayer::service() {
    takePlayedBuffers(ALWrapper::getSourcei(source_, AL_BUFFERS_PROCESSED));
    const int heldBeforeRefill = queueCount_;
    while (queueNext()) {}
    if (ALWrapper::getSourcei(source_, AL_SOURCE_STATE) != AL_STOPPED) return;
    // The source ran dry, before this pass or while it decoded. In the latter case the buffers it
    // held before the refill have all played but still lead the queue, and a restart would play
    // them again. They are counted from before the refill: a stopped source reports every buffer
    // it holds as processed, the new ones too.
    takePlayedBuffers(heldBeforeRefill);
    if (queueCount_ > 0) {
        startSource();
        return;
    }
    finish();
}

void OALStreamingPlayer::finish() {
    emptyQueue();
    playing_ = false;
    startAt_.reset();
    position_ = 0;
    decoder_.setLoopsLeft(numberOfLoops_);
    postDidFinishPlaying(!decodeFailed_);
}

void OALStreamingPlayer::pumpLoop() {
    std::unique_lock lock(mutex_);
    BoundContext bound(context_->context());
    while (!quit_) {
        if (!playing_) {
            wake_.wait(lock);
            continue;
        }
        if (startAt_) {
            const double wait = *startAt_ - clockSeconds();
            if (wait > 0) {
                wake_.wait_for(lock, std::chrono::duration<double>(wait));
                continue;
            }
            startAt_.reset();
            startSource();
        }
        service();
        wake_.wait_for(lock, kPumpPeriod);
    }
}
