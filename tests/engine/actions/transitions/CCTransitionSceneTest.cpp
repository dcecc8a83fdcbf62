#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/actions/transitions/CCTransitionCrossFade.h"
#include "engine/actions/transitions/CCTransitionFade.h"
#include "engine/actions/transitions/CCTransitionFlipAngular.h"
#include "engine/actions/transitions/CCTransitionFlipX.h"
#include "engine/actions/transitions/CCTransitionFlipY.h"
#include "engine/actions/transitions/CCTransitionJumpZoom.h"
#include "engine/actions/transitions/CCTransitionMoveInB.h"
#include "engine/actions/transitions/CCTransitionMoveInR.h"
#include "engine/actions/transitions/CCTransitionMoveInT.h"
#include "engine/actions/transitions/CCTransitionProgress.h"
#include "engine/actions/transitions/CCTransitionRotoZoom.h"
#include "engine/actions/transitions/CCTransitionScene.h"
#include "engine/actions/transitions/CCTransitionShrinkGrow.h"
#include "engine/actions/transitions/CCTransitionSlideInB.h"
#include "engine/actions/transitions/CCTransitionSlideInR.h"
#include "engine/actions/transitions/CCTransitionSlideInT.h"
#include "engine/actions/transitions/CCTransitionZoomFlipAngular.h"
#include "engine/actions/transitions/CCTransitionZoomFlipX.h"
#include "engine/actions/transitions/CCTransitionZoomFlipY.h"
#include "engine/core/CCEventDispatcher.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using Log = std::vector<std::string>;
Log calls;  // "<scene>.<call>" for every lifecycle call of the named scenes below, in order

class NamedScene : public CCScene {
public:
    explicit NamedScene(std::string name) : name_(std::move(name)) {}
    void onEnter() override {
        calls.push_back(name_ + ".enter");
        CCScene::onEnter();
        if (enterHook) enterHook();
    }
    void onEnterTransitionDidFinish() override {
        calls.push_back(name_ + ".entered");
        CCScene::onEnterTransitionDidFinish();
    }
    void onExitTransitionDidStart() override {
        calls.push_back(name_ + ".exiting");
        CCScene::onExitTransitionDidStart();
    }
    void onExit() override {
        calls.push_back(name_ + ".exit");
        CCScene::onExit();
    }
    void cleanup() override {
        calls.push_back(name_ + ".cleanup");
        CCScene::cleanup();
    }
    std::function<void()> enterHook;

private:
    std::string name_;
};

int count(const std::string& call) { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }

using Factory = RefPtr<CCTransitionScene> (*)(float, RefPtr<CCScene>);
template <class T>
RefPtr<CCTransitionScene> make(float duration, RefPtr<CCScene> scene) {
    return T::transitionWithDuration(duration, std::move(scene));
}
template <class T, CCTransitionOrientation orientation>
RefPtr<CCTransitionScene> makeOriented(float duration, RefPtr<CCScene> scene) {
    return T::transitionWithDuration(duration, std::move(scene), orientation);
}

struct Kind {
    const char* name;
    Factory make;
};
void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }
// The transitions that need no GL context; the others are covered by the drawing tests.
const Kind kKinds[] = {
    {"RotoZoom", make<CCTransitionRotoZoom>},
    {"JumpZoom", make<CCTransitionJumpZoom>},
    {"MoveInL", make<CCTransitionMoveInL>},
    {"MoveInR", make<CCTransitionMoveInR>},
    {"MoveInT", make<CCTransitionMoveInT>},
    {"MoveInB", make<CCTransitionMoveInB>},
    {"SlideInL", make<CCTransitionSlideInL>},
    {"SlideInR", make<CCTransitionSlideInR>},
    {"SlideInT", make<CCTransitionSlideInT>},
    {"SlideInB", make<CCTransitionSlideInB>},
    {"ShrinkGrow", make<CCTransitionShrinkGrow>},
    {"FlipXFromLeft", makeOriented<CCTransitionFlipX, kCCOrientationFromLeft>},
    {"FlipXFromRight", makeOriented<CCTransitionFlipX, kCCOrientationFromRight>},
    {"FlipYFromAbove", makeOriented<CCTransitionFlipY, kCCOrientationFromAbove>},
    {"FlipYFromBelow", makeOriented<CCTransitionFlipY, kCCOrientationFromBelow>},
    {"FlipAngular", makeOriented<CCTransitionFlipAngular, kCCOrientationFromRight>},
    {"ZoomFlipX", makeOriented<CCTransitionZoomFlipX, kCCOrientationFromLeft>},
    {"ZoomFlipY", makeOriented<CCTransitionZoomFlipY, kCCOrientationFromBelow>},
    {"ZoomFlipAngular", makeOriented<CCTransitionZoomFlipAngular, kCCOrientationFromLeft>},
};

// No product of the progress transitions without a timer shape: it would never end.
static_assert(std::is_abstract_v<CCTransitionProgress>);

constexpr float kDuration = 0.25f;  // 16 frames of the fixed clock

class CCTransitionSceneTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        CCDirector::setSharedDirector(director_);
        director_->reshapeProjection(CGSizeMake(480, 320));
        a_ = makeRef<NamedScene>("A");
        director_->runWithScene(a_);
        frame();
        calls.clear();
    }
    void frame() { director_->getFrameForTime(); }
    // Frames until the scene runs; false if it does not within three durations.
    bool runUntilRunning(CCScene* scene) {
        for (int i = 0; i < 48 && director_->runningScene() != scene; ++i) frame();
        return director_->runningScene() == scene;
    }
    bool eventsOn() const { return director_->eventDispatcher()->dispatchEvents(); }
    // Shown, at (0, 0), scale 1, rotation 0, camera eye back on the axis, nothing left running.
    static void expectReset(CCScene* scene) {
        float x, y, z;
        scene->camera()->eyeX(&x, &y, &z);
        EXPECT_TRUE(scene->visible());
        EXPECT_EQ(scene->position(), CGPointZero);
        EXPECT_EQ(scene->scale(), 1);
        EXPECT_EQ(scene->rotation(), 0);
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
        EXPECT_EQ(scene->numberOfRunningActions(), 0u);
    }

    const RefPtr<FixedClockDirector> director_ = makeRef<FixedClockDirector>();
    RefPtr<NamedScene> a_;
};

class EveryMovingTransition : public CCTransitionSceneTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(EveryMovingTransition, ReplacesAndPushesWithOneEnterPerSceneAndEventsBlockedMeanwhile) {
    const Factory transition = GetParam().make;
    auto b = makeRef<NamedScene>("B");
    const RefPtr<CCTransitionScene> replacing = transition(kDuration, b);
    ASSERT_NE(replacing, nullptr);
    EXPECT_FALSE(eventsOn());
    director_->replaceScene(replacing);
    frame();
    frame();
    EXPECT_EQ(director_->runningScene(), replacing.get());
    EXPECT_FALSE(eventsOn());
    ASSERT_TRUE(runUntilRunning(b.get()));
    EXPECT_EQ(calls, (Log{"A.exiting", "B.enter", "A.exit", "B.entered", "A.cleanup"}));
    EXPECT_TRUE(eventsOn());
    expectReset(a_.get());
    expectReset(b.get());

    // Pushed over: the outgoing scene is left uncleaned and comes back when the new one is popped.
    calls.clear();
    auto c = makeRef<NamedScene>("C");
    director_->pushScene(transition(kDuration, c));
    ASSERT_TRUE(runUntilRunning(c.get()));
    EXPECT_TRUE(eventsOn());
    director_->popScene();
    frame();
    EXPECT_EQ(calls, (Log{"B.exiting", "C.enter", "B.exit", "C.entered", "C.exiting", "C.exit", "C.cleanup", "B.enter",
                          "B.entered"}));
    expectReset(b.get());
}

INSTANTIATE_TEST_SUITE_P(Transitions, EveryMovingTransition, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

// The incoming scene is replaced before the transition ends: the transition steps aside and
// nothing is left half done.
TEST_F(CCTransitionSceneTest, InterruptedTransitionRestoresEventsAndScenesAndEntersTheReplacement) {
    RefPtr<NamedScene> b, c;
    struct Case {
        const char* name;
        std::function<void()> interrupt;  // in the third frame of the transition, unless null
        bool pushed;                      // the transition was pushed over A, which stays on the stack
        bool cRuns;
    } cases[] = {
        {"replaced as it enters", nullptr, false, true},
        {"replaced half way", [&] { director_->replaceScene(c); }, false, true},
        {"pushed, then replaced half way", [&] { director_->replaceScene(c); }, true, true},
        {"replaced by a newer transition", [&] { director_->replaceScene(make<CCTransitionMoveInR>(kDuration, c)); },
         false, true},
        {"the engine ends", [&] { director_->end(); }, false, false},  // last: nothing runs after it
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        a_ = makeRef<NamedScene>("A");
        director_->replaceScene(a_);
        frame();
        b = makeRef<NamedScene>("B");
        c = makeRef<NamedScene>("C");
        calls.clear();
        b->enterHook = test.interrupt ? std::function<void()>() : [&] { director_->replaceScene(c); };
        // Held, so that only what the transition does on leaving counts, not what its end does.
        // Sliding moves both scenes.
        const RefPtr<CCTransitionScene> transition = make<CCTransitionSlideInL>(kDuration, b);
        if (test.pushed) {
            director_->pushScene(transition);
        } else {
            director_->replaceScene(transition);
        }
        for (int i = 0; i < 3; ++i) frame();
        if (test.interrupt) test.interrupt();
        EXPECT_EQ(runUntilRunning(c.get()), test.cRuns);
        EXPECT_TRUE(eventsOn());
        EXPECT_EQ(count("C.enter"), test.cRuns ? 1 : 0);
        EXPECT_EQ(count("C.entered"), test.cRuns ? 1 : 0);
        EXPECT_EQ(count("A.cleanup"), test.pushed ? 0 : 1);
        for (const char* call : {"A.exit", "B.exit", "B.cleanup"}) EXPECT_EQ(count(call), 1) << call;
        EXPECT_EQ(count("B.entered"), 0);
        expectReset(a_.get());
        expectReset(b.get());
    }
}

TEST_F(CCTransitionSceneTest, TransitionThatCannotWorkIsRefusedWithOneLineAndEventsStayOn) {
    auto b = makeRef<NamedScene>("B");
    const std::pair<const char*, std::function<RefPtr<CCTransitionScene>()>> cases[] = {
        {"null scene", [&] { return make<CCTransitionMoveInL>(kDuration, nullptr); }},
        {"running scene", [&] { return make<CCTransitionFade>(kDuration, a_); }},
        {"no running scene",
         [&] {
             director_->end();
             return make<CCTransitionCrossFade>(kDuration, b);
         }},
    };
    for (const auto& [name, attempt] : cases) {
        SCOPED_TRACE(name);
        LogCapture log;
        EXPECT_EQ(attempt(), nullptr);
        EXPECT_EQ(log.lines().size(), 1u);
        EXPECT_TRUE(eventsOn());
    }
}

TEST_F(CCTransitionSceneTest, TransitionDroppedUnusedTurnsEventsBackOn) {
    RefPtr<CCTransitionScene> unused = make<CCTransitionMoveInL>(kDuration, makeRef<NamedScene>("B"));
    EXPECT_FALSE(eventsOn());
    unused.reset();
    EXPECT_TRUE(eventsOn());
}

}  // namespace
