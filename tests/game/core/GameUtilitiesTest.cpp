#include <gtest/gtest.h>

#include <string>

#include "game/core/ColourUtils.h"
#include "game/core/FileUtils.h"
#include "game/core/GameSensor.h"
#include "support/TestSupport.h"

TEST(ColourUtilsTest, ParsesClampsAndRefusesBadText) {
    const struct {
        const char* text;
        ccColor4B bytes;   // four-component form
        bool threeParses;  // whether the three-component form accepts it
    } cases[] = {
        {"{300,-5,10}", {255, 0, 10, 255}, true},
        {"{1,2,3}   ", {1, 2, 3, 255}, true},
        {" { 1 , 2 , 3 } ", {1, 2, 3, 255}, true},
        {"{1,2,3}x", {0, 0, 0, 255}, false},
        {"{1,2,3,4}", {1, 2, 3, 4}, false},
        {"{7}", {7, 0, 0, 255}, true},          // missing components read 0
        {"{1,2,3,4,5}", {0, 0, 0, 255}, false},
        {"{1,2", {0, 0, 0, 255}, false},
        {"1,2,3", {0, 0, 0, 255}, false},
        {"{nan,2,3}", {0, 0, 0, 255}, false},
        {"{inf,2,3}", {0, 0, 0, 255}, false},
        {"{,2,3}", {0, 0, 0, 255}, false},
        {"{99999999999999999999999,0,0}", {255, 0, 0, 255}, true},
        {"", {0, 0, 0, 255}, false},
    };
    for (const auto& c : cases) {
        const ccColor4B four = ColourUtils::ccColor4BFromString(c.text);
        EXPECT_EQ((std::array<int, 4>{four.r, four.g, four.b, four.a}),
                  (std::array<int, 4>{c.bytes.r, c.bytes.g, c.bytes.b, c.bytes.a}))
            << c.text;
        const ccColor3B three = ColourUtils::ccColor3BFromString(c.text);
        if (c.threeParses) {
            EXPECT_EQ((std::array<int, 3>{three.r, three.g, three.b}),
                      (std::array<int, 3>{c.bytes.r, c.bytes.g, c.bytes.b}))
                << c.text;
        } else {
            EXPECT_EQ((std::array<int, 3>{three.r, three.g, three.b}), (std::array<int, 3>{0, 0, 0})) << c.text;
        }
    }
    const ccColor4F unit = ColourUtils::ccColor4FFromString("{0.5,2,-1,1}");
    EXPECT_EQ((std::array<float, 4>{unit.r, unit.g, unit.b, unit.a}), (std::array<float, 4>{0.5f, 1, 0, 1}));
    const ccColor4F alpha = ColourUtils::ccColor4FFromString("{0.25, 1e-1, 3E-1}");
    EXPECT_EQ((std::array<float, 4>{alpha.r, alpha.g, alpha.b, alpha.a}), (std::array<float, 4>{0.25f, 0.1f, 0.3f, 1}));
    for (const char* bad : {"{nan,0,0}", "{0.5,inf}", "{0x1p1,0,0}", "{1.,0,0}e"}) {
        const ccColor4F black = ColourUtils::ccColor4FFromString(bad);
        EXPECT_EQ((std::array<float, 4>{black.r, black.g, black.b, black.a}), (std::array<float, 4>{0, 0, 0, 1}))
            << bad;
    }
}

TEST(FileUtilsTest, NamesGoToTheDocumentsFolderAndMissingFilesFallBack) {
    TemporaryFolder folder;
    const std::string existing = folder.write("saved.plist", "x");
    EXPECT_EQ(FileUtils::documentsFilePath("level.plist"), FileUtils::documentsDirectory() + "/level.plist");
    EXPECT_EQ(FileUtils::documentsFilePathIfExists(existing, "fallback"), existing);
    EXPECT_EQ(FileUtils::documentsFilePathIfExists(folder.file("missing.plist"), "fallback"), "fallback");
    EXPECT_FALSE(FileUtils::fileExists(""));
}

TEST(GameSensorTest, CountsTouchingFixturesNeverBelowZero) {
    RefPtr<GameSensor> sensor = makeRef<GameSensor>(BindingType::kHiveSensor);
    sensor->activate();
    sensor->activate();
    sensor->deactivate();
    EXPECT_TRUE(sensor->isActive());
    sensor->deactivate();
    sensor->deactivate();
    EXPECT_FALSE(sensor->isActive());
    EXPECT_EQ(sensor->activeSensorCount(), 0u);
    sensor->activate();
    sensor->reset();
    EXPECT_FALSE(sensor->isActive());
}
