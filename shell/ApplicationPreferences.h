#pragma once

#include <cstdint>
#include <string>

class UserDefaults;

// The program's settings in the user-defaults store: their defaults, a getter and a saving setter
// each, the first start after an update of the program, and the folder of the saved progress.
//
// Settings and defaults: "version_preference" (the running short version), "use_gamecenter_preference"
// (true), "game_controls_preference" (0 joystick, 1 tilt, 2 d-pad), "game_controls_sensitivity_preference"
// (0) and "use_fullscreen_preference" (true). Every setter saves the store at once; saves are atomic.
//
// On an update from 1.0 or 1.1 the four progress files move from the top of the caches folder into
// the data folder, each only where the data folder has no file of that name yet: a newer file is
// never replaced by an older one. An update from 1.0 also turns the game service back on.
//
// Engine thread only; only making the shared instance is locked.
class ApplicationPreferences {
public:
    // The one instance over the standard store, the running short version, the data folder
    // "$XDG_DATA_HOME/<bundle id>" and the caches folder "$XDG_CACHE_HOME"; made on first use.
    static ApplicationPreferences* sharedInstance();

    // Preferences over a store, set up at once (defaults registered and saved, the data folder made,
    // the update rules applied) for a program of `runningVersion`.
    ApplicationPreferences(UserDefaults& userDefaults, std::string runningVersion, std::string dataFolder,
                           std::string cachesFolder);
    ApplicationPreferences(const ApplicationPreferences&) = delete;
    ApplicationPreferences& operator=(const ApplicationPreferences&) = delete;

    // Writes the store to disk; false (logged) when that failed.
    bool save();

    std::string version() const;
    void setVersion(std::string version);
    bool useGameCenter() const;
    void setUseGameCenter(bool use);
    int64_t gameControls() const;
    void setGameControls(int64_t controls);
    // "joystick", "tilt", "dpad" for 0, 1, 2; "Unknown" otherwise.
    std::string gameControlsName() const;
    int64_t gameControlsSensitivity() const;
    void setGameControlsSensitivity(int64_t sensitivity);
    bool useFullscreen() const;
    void setUseFullscreen(bool use);

    // True when the stored version differed from the running one at start; the menu clears it on
    // its first start after the update, which also makes oldVersion() the running version.
    bool updateRequired() const { return updateRequired_; }
    void setUpdateRequired(bool required);
    // The version the store held at start (the running one on a first start).
    const std::string& oldVersion() const { return oldVersion_; }

    // The folder of the saved progress and game-service caches, made with its parents; empty when
    // it cannot be made.
    std::string getApplicationDataDirectory() const;
    // Moves "Scores.archive", "Stats.archive", "CachedScores.archive" and "CachedAchievements.archive"
    // from the caches folder into the data folder, each on its own; a file missing from the caches
    // folder is skipped, one already in the data folder stays and the old one is left (logged).
    void updateApplicationDataLocation();

private:
    void initDefaultApplicationPreferences();
    // Writes a value and saves at once.
    void store(const char* key, bool value);
    void store(const char* key, int64_t value);

    UserDefaults& userDefaults_;
    const std::string runningVersion_;
    const std::string dataFolder_;
    const std::string cachesFolder_;
    std::string oldVersion_;
    bool updateRequired_ = false;
};
