#pragma once

#include <gtest/gtest.h>

#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/math/kmGLMatrix.h"

// A fixture with a fresh shared director and no view: nodes made in a test take its scheduler and
// action manager, and everything is ended and forgotten afterwards.
class HeadlessDirectorTest : public ::testing::Test {
protected:
    void SetUp() override { CCDirector::setSharedDirector(makeRef<CCDirectorDisplayLink>()); }
    void TearDown() override {
        CCDirector::sharedDirector()->end();
        CCDirector::setSharedDirector(nullptr);
        kmGLFreeStacks();
    }

    // Sizes the director as a window of that size would: menus and trackers read it.
    static void setWindowSize(CGSize size) {
        auto* director = static_cast<CCDirectorDisplayLink*>(CCDirector::sharedDirector());
        director->setOriginalWinSize(size);
        director->reshapeProjection(size);
    }
};
