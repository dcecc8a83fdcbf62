#pragma once

#include <string>

// Where the program finds its resources and keeps its files.

// Reverse-DNS name of the application; names its data and configuration folders.
inline constexpr const char* kBundleIdentifier = "org.vantrel.Vantrel";

// The folder of the program's resources: "resources" next to the executable when it exists
// (a build tree), else "../share/vantrel" next to it (an installed program). Tests may point it
// elsewhere with setResourceFolder.
std::string resourceFolder();
void setResourceFolder(const std::string& folder);

// "$XDG_DATA_HOME/<bundle id>" (default ~/.local/share): saved scores and statistics.
std::string applicationDataFolder();
// "$XDG_CONFIG_HOME/<bundle id>" (default ~/.config): preferences.
std::string configurationFolder();
// "$XDG_CACHE_HOME" itself (default ~/.cache): where saved files were kept before they moved to the
// data folder.
std::string cachesFolder();
// The user's documents folder from ~/.config/user-dirs.dirs (XDG_DOCUMENTS_DIR), else ~/Documents.
std::string documentsFolder();

// Creates the folder and any missing parents; true when it exists afterwards.
bool createFolder(const std::string& folder);
