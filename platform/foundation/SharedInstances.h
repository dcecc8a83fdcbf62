#pragma once

#include <string>
#include <vector>

// The order in which the application's shared instances were made. The launch makes them in a
// fixed order (global state, preferences, audio front, game-service client, phone glue; each may
// read those made before it), and each of them notes itself here when its shared instance is made,
// so that the order the running program kept can be checked. Any thread.
void noteSharedInstanceMade(const char* className);
// The class names noted so far, oldest first.
std::vector<std::string> sharedInstancesMade();
