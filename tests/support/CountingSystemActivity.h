#pragma once

#include <atomic>

#include "platform/window/SystemActivity.h"

// While alive, stands in for the display keep-awake call and counts the calls.
class CountingSystemActivity : public SystemActivity {
public:
    CountingSystemActivity() { SystemActivity::setCurrent(this); }
    ~CountingSystemActivity() override { SystemActivity::setCurrent(nullptr); }

    void keepAwake() override { ++keepAwakeCalls; }

    std::atomic<int> keepAwakeCalls = 0;
};
