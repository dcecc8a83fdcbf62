// Linked into every test program whose library holds the game's audio front (tests/CMakeLists.txt).
// OpenAL Soft aborts at process exit when a device is still open, so once all tests have run the
// shared facade's device is closed, as the game's main() does before it returns. A current OpenAL
// context means the facade opened it, through the front or for sounds loaded on their own (level
// objects do); a program that never opened one gets none from this.

#include <gtest/gtest.h>

#include "audio/ALWrapper.h"
#include "audio/VantrelAudio.h"

namespace {

class SharedAudioEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        if (ALWrapper::getCurrentContext()) VantrelAudio::sharedInstance()->destroyAudio();
    }
};

// Registered before main(): the test programs use gtest's own main.
[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new SharedAudioEnvironment);

}  // namespace
