// Linked into every test program whose library holds the game's audio front (tests/CMakeLists.txt).
// OpenAL Soft aborts at process exit when a device is still open, so the shared front's device is
// closed once all tests have run, as the game's main() does before it returns. A program that never
// made the shared front gets no device from this.

#include <gtest/gtest.h>

#include <algorithm>

#include "audio/VantrelAudio.h"
#include "platform/foundation/SharedInstances.h"

namespace {

class SharedAudioEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        const std::vector<std::string> made = sharedInstancesMade();
        if (std::find(made.begin(), made.end(), "VantrelAudio") != made.end()) {
            VantrelAudio::sharedInstance()->destroyAudio();
        }
    }
};

// Registered before main(): the test programs use gtest's own main.
[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new SharedAudioEnvironment);

}  // namespace
