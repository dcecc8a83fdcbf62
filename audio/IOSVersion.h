#pragma once

#include "audio/OALSharedInstance.h"
#include "platform/foundation/Object.h"

// The platform version the audio engine gates features on; the desktop answers 5.0, so pan on
// tracks, timed play, the device clock and the track poll are always available.
class IOSVersion : public Object {
public:
    static IOSVersion* sharedInstance() { return OALSharedInstance<IOSVersion>::get(); }
    static void purgeSharedInstance() { OALSharedInstance<IOSVersion>::purge(); }

    float version() const { return 5.0f; }

private:
    friend class OALSharedInstance<IOSVersion>;
    IOSVersion() = default;
};
