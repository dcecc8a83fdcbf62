#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "support/TestSupport.h"

// Audio tests run OpenAL on its null backend (no sound card needed; it mixes in real time, so
// keep sounds short). The first fixture made selects it, before any device opens.
void useNullAudioBackend();

// A default device with one context made current through the OpenAL manager, and a folder for
// generated sound files. Everything is released again after each test.
class AudioDeviceTest : public ::testing::Test {
protected:
    AudioDeviceTest();
    ~AudioDeviceTest() override;

    TemporaryFolder folder_;
    RefPtr<ALDevice> device_;
    RefPtr<ALContext> context_;
};

// Sample value of one channel of one frame, -1..1.
using SampleFunction = std::function<float(int64_t frame, int channel)>;

// A 440 Hz sine of amplitude 0.5 in every channel.
float sine440(int64_t frame, int channel, int rate);

// Writes a sound file with libsndfile (`format` an SF_FORMAT_* major|subtype) and returns its
// path; the test fails when the file cannot be written.
std::string writeSoundFile(const std::string& path, int format, int channels, int rate, int64_t frames,
                           const SampleFunction& sample);
