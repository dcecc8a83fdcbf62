#pragma once

// Shared by the particle tests: a fixture, property lists built in code, base64 for embedded images.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "engine/core/CCDirector.h"
#include "platform/foundation/Value.h"
#include "support/HeadlessDirectorTest.h"

// The scheduler keeps every system it updates; dropping them all lets each test end clean.
class ParticleTest : public HeadlessDirectorTest {
protected:
    void TearDown() override {
        CCDirector::sharedDirector()->scheduler()->unscheduleAllSelectors();
        HeadlessDirectorTest::TearDown();
    }
};

inline Value particleDictionary(std::initializer_list<std::pair<const char*, Value>> entries) {
    Value d = Value::dictionary();
    for (const auto& [key, value] : entries) d.set(key, value);
    return d;
}

inline std::string base64(const std::string& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 2]);
        for (size_t k = 0; k < 4; ++k) out += k <= bytes.size() - i ? digits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}
