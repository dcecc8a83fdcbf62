#pragma once

// A fake action target and a fixture whose action manager reads a clock the test moves.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "audio/OALActionManager.h"
#include "audio/OALActionTarget.h"

// Gain, pan and pitch by name and a position; counts writes and runs `onWrite` after each.
struct FakeTarget : OALActionTarget {
    float floatProperty(const std::string& key) const override { return values.at(key); }
    void setFloatProperty(const std::string& key, float value) override { values.at(key) = value; wrote(); }
    ALXYZ position() const override { return where; }
    void setPosition(ALXYZ position) override { where = position; wrote(); }
    void wrote() {
        ++writes;
        if (onWrite) onWrite();
    }

    std::map<std::string, float> values{{"gain", 1}, {"pan", 0}, {"pitch", 1}};
    ALXYZ where;
    int writes = 0;
    std::function<void()> onWrite;
};

class AudioActionTest : public ::testing::Test {
protected:
    void SetUp() override { manager()->setClock([this] { return now; }); }
    void TearDown() override { OALActionManager::purgeSharedInstance(); }

    static OALActionManager* manager() { return OALActionManager::sharedInstance(); }
    // Moves the clock on by `seconds` and steps once.
    void stepAfter(double seconds) {
        now += static_cast<uint64_t>(std::llround(seconds * 1e9));
        manager()->step();
    }

    uint64_t now = 1'000'000'000;  // nanoseconds
    FakeTarget target;
};
