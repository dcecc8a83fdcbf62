#include "game/core/PlatformUtils.h"

PlatformUtils* PlatformUtils::sharedInstance() {
    static PlatformUtils instance;
    return &instance;
}
