#include "platform/foundation/SharedInstances.h"

#include <mutex>

namespace {

std::mutex madeMutex;
std::vector<std::string> made;  // guarded by madeMutex; a handful of names for the whole run

}  // namespace

void noteSharedInstanceMade(const char* className) {
    const std::lock_guard lock(madeMutex);
    made.emplace_back(className);
}

std::vector<std::string> sharedInstancesMade() {
    const std::lock_guard lock(madeMutex);
    return made;
}
