#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"

// The game's entry. The engine's window and scenes start here as they are built; for now the
// program reports where it finds its resources and where it will keep the player's files.
int main() {
    logLine("Vantrel: resources in %s", resourceFolder().c_str());
    logLine("Vantrel: saved files in %s", applicationDataFolder().c_str());
    logLine("Vantrel: preferences in %s", configurationFolder().c_str());
    return 0;
}
