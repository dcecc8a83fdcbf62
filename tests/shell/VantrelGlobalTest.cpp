#include "shell/VantrelGlobal.h"

#include <gtest/gtest.h>

TEST(VantrelGlobal, StartingAGameForgetsTheLastOneAndItsResults) {
    VantrelGlobal global;
    global.setLastLevelId("meadow_a");
    global.setLastLevelHasNewHighScore(true);
    global.setLastLevelHasNewRank(true);
    global.setLastLevelUnlockedNewLevel(true);
    global.setUnlockedLevelId("meadow_b");
    global.startGame("meadow_b");
    EXPECT_EQ(global.nextLevelId(), "meadow_b");
    EXPECT_EQ(global.lastLevelId(), "");
    EXPECT_FALSE(global.lastLevelHasNewHighScore() || global.lastLevelHasNewRank() || global.lastLevelUnlockedNewLevel());
    EXPECT_EQ(global.unlockedLevelId(), "");
    EXPECT_EQ(global.gameState(), VantrelGlobal::kStateStart);
}
