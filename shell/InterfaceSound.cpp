#include "shell/InterfaceSound.h"

#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALSource.h"
#include "audio/OALSimpleAudio.h"
#include "audio/VantrelAudio.h"
#include "engine/core/support/CCFileUtils.h"

InterfaceSound::InterfaceSound() = default;
InterfaceSound::~InterfaceSound() = default;

void InterfaceSound::load() {
    VantrelAudio* audio = VantrelAudio::sharedInstance();
    OALSimpleAudio* simpleAudio = audio->simpleAudio();
    buffer_ = simpleAudio ? simpleAudio->preloadEffect(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath("interface.wav"))
                          : nullptr;
    channel_ = RefPtr<ALChannelSource>(audio->interfaceChannel());
}

void InterfaceSound::play(float pan) const {
    if (buffer_ && channel_) channel_->play(buffer_, 1.0f, 1.0f, pan, false);
}
