#include "shell/VantrelGlobal.h"

#include "platform/foundation/SharedInstances.h"

VantrelGlobal* VantrelGlobal::sharedInstance() {
    static VantrelGlobal* const instance = [] {
        noteSharedInstanceMade("VantrelGlobal");
        return new VantrelGlobal();
    }();
    return instance;
}

void VantrelGlobal::startGame(std::string levelId) {
    nextLevelId_ = std::move(levelId);
    lastLevelId_.clear();
    lastLevelHasNewHighScore_ = false;
    lastLevelHasNewRank_ = false;
    lastLevelUnlockedNewLevel_ = false;
    unlockedLevelId_.clear();
}
