#include "audio/OALAudioPlayer.h"

#include "audio/OALStreamingPlayer.h"
#include "platform/foundation/RunLoop.h"

namespace {

std::mutex factoryMutex;
OALAudioPlayer::Factory factory;  // empty: the streaming player

}  // namespace

RefPtr<OALAudioPlayer> OALAudioPlayer::playerWithUrl(const std::string& url, RefPtr<Error>* error) {
    Factory make;
    {
        std::lock_guard lock(factoryMutex);
        make = factory;
    }
    if (make) return make(url, error);
    return OALStreamingPlayer::playerWithUrl(url, error);
}

void OALAudioPlayer::setFactory(Factory replacement) {
    std::lock_guard lock(factoryMutex);
    factory = std::move(replacement);
}

OALAudioPlayer::OALAudioPlayer() : link_(std::make_shared<Link>()) {
    link_->player = this;
}

OALAudioPlayer::~OALAudioPlayer() {
    std::lock_guard lock(link_->mutex);
    link_->player = nullptr;
}

OALAudioPlayerDelegate* OALAudioPlayer::delegate() const {
    std::lock_guard lock(link_->mutex);
    return link_->delegate;
}

void OALAudioPlayer::setDelegate(OALAudioPlayerDelegate* delegate) {
    std::lock_guard lock(link_->mutex);
    link_->delegate = delegate;
}

void OALAudioPlayer::postDidFinishPlaying(bool successfully) {
    post([successfully](OALAudioPlayer* player, OALAudioPlayerDelegate* delegate) {
        delegate->audioPlayerDidFinishPlaying(player, successfully);
    });
}

void OALAudioPlayer::postDecodeError(RefPtr<Error> error) {
    post([error = std::move(error)](OALAudioPlayer* player, OALAudioPlayerDelegate* delegate) {
        delegate->audioPlayerDecodeErrorDidOccur(player, error);
    });
}

void OALAudioPlayer::post(std::function<void(OALAudioPlayer*, OALAudioPlayerDelegate*)> call) {
    // The delegate is called without the link's lock: it takes its own lock, under which it may
    // clear this very delegate on another thread.
    RunLoop::main().performBlock([link = link_, call = std::move(call)] {
        OALAudioPlayer* player;
        OALAudioPlayerDelegate* delegate;
        {
            std::lock_guard lock(link->mutex);
            player = link->player;
            delegate = link->delegate;
        }
        if (player && delegate) call(player, delegate);
    });
}
