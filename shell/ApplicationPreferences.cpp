#include "shell/ApplicationPreferences.h"

#include "shell/ApplicationVersion.h"
#include "platform/foundation/FileMove.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/SharedInstances.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/Value.h"

namespace {
constexpr const char* kVersionKey = "version_preference";
constexpr const char* kUseGameCenterKey = "use_gamecenter_preference";
constexpr const char* kGameControlsKey = "game_controls_preference";
constexpr const char* kGameControlsSensitivityKey = "game_controls_sensitivity_preference";
constexpr const char* kUseFullscreenKey = "use_fullscreen_preference";

// The files that versions 1.0 and 1.1 kept in the caches folder.
constexpr const char* kMovedFiles[] = {"Scores.archive", "Stats.archive", "CachedScores.archive",
                                       "CachedAchievements.archive"};
}  // namespace

ApplicationPreferences* ApplicationPreferences::sharedInstance() {
    static ApplicationPreferences* const instance = [] {
        noteSharedInstanceMade("ApplicationPreferences");
        return new ApplicationPreferences(UserDefaults::standardUserDefaults(), applicationShortVersion(),
                                          applicationDataFolder(), cachesFolder());
    }();
    return instance;
}

ApplicationPreferences::ApplicationPreferences(UserDefaults& userDefaults, std::string runningVersion,
                                               std::string dataFolder, std::string cachesFolder)
    : userDefaults_(userDefaults),
      runningVersion_(std::move(runningVersion)),
      dataFolder_(std::move(dataFolder)),
      cachesFolder_(std::move(cachesFolder)) {
    initDefaultApplicationPreferences();
}

void ApplicationPreferences::initDefaultApplicationPreferences() {
    Value defaults = Value::dictionary();
    defaults.set(kVersionKey, runningVersion_);
    defaults.set(kUseGameCenterKey, true);
    defaults.set(kGameControlsKey, 0);
    defaults.set(kGameControlsSensitivityKey, 0);
    defaults.set(kUseFullscreenKey, true);
    userDefaults_.registerDefaults(defaults);
    save();

    getApplicationDataDirectory();
    // Read after registering: a first start finds the running version, so nothing is updated.
    oldVersion_ = userDefaults_.stringForKey(kVersionKey);
    updateRequired_ = oldVersion_ != runningVersion_;
    setVersion(runningVersion_);

    if (!updateRequired_) return;
    // Version 1.1.1 moved the files itself where it could make folders, which this platform always can.
    if (oldVersion_ == "1.0" || oldVersion_ == "1.1") updateApplicationDataLocation();
    if (oldVersion_ == "1.0") userDefaults_.setBool(kUseGameCenterKey, true);
    save();
}

bool ApplicationPreferences::save() { return userDefaults_.synchronize(); }

std::string ApplicationPreferences::version() const { return userDefaults_.stringForKey(kVersionKey); }

void ApplicationPreferences::setVersion(std::string version) {
    userDefaults_.setString(kVersionKey, std::move(version));
    save();
}

bool ApplicationPreferences::useGameCenter() const { return userDefaults_.boolForKey(kUseGameCenterKey); }

void ApplicationPreferences::setUseGameCenter(bool use) { store(kUseGameCenterKey, use); }

int64_t ApplicationPreferences::gameControls() const { return userDefaults_.integerForKey(kGameControlsKey); }

void ApplicationPreferences::setGameControls(int64_t controls) { store(kGameControlsKey, controls); }

std::string ApplicationPreferences::gameControlsName() const {
    switch (gameControls()) {
        case 0: return "joystick";
        case 1: return "tilt";
        case 2: return "dpad";
        default: return "Unknown";
    }
}

int64_t ApplicationPreferences::gameControlsSensitivity() const {
    return userDefaults_.integerForKey(kGameControlsSensitivityKey);
}

void ApplicationPreferences::setGameControlsSensitivity(int64_t sensitivity) {
    store(kGameControlsSensitivityKey, sensitivity);
}

bool ApplicationPreferences::useFullscreen() const { return userDefaults_.boolForKey(kUseFullscreenKey); }

void ApplicationPreferences::setUseFullscreen(bool use) { store(kUseFullscreenKey, use); }

void ApplicationPreferences::setUpdateRequired(bool required) {
    updateRequired_ = required;
    if (!required) oldVersion_ = runningVersion_;
}

std::string ApplicationPreferences::getApplicationDataDirectory() const {
    if (dataFolder_.empty() || !createFolder(dataFolder_)) {
        logLine("Cannot make the data folder %s; progress cannot be saved", dataFolder_.c_str());
        return {};
    }
    return dataFolder_;
}

void ApplicationPreferences::updateApplicationDataLocation() {
    const std::string dataFolder = getApplicationDataDirectory();
    if (dataFolder.empty()) return;
    for (const char* name : kMovedFiles) {
        const std::string from = stringByAppendingPathComponent(cachesFolder_, name);
        const std::string to = stringByAppendingPathComponent(dataFolder, name);
        if (moveFileWithoutReplacing(from, to) == FileMoveResult::destinationExists) {
            logLine("Leaving %s where it is: %s already exists", from.c_str(), to.c_str());
        }
    }
}

void ApplicationPreferences::store(const char* key, bool value) {
    userDefaults_.setBool(key, value);
    save();
}

void ApplicationPreferences::store(const char* key, int64_t value) {
    userDefaults_.setInteger(key, value);
    save();
}
