#include "engine/core/CCDirector.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/actions/CCAction.h"
#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCScheduler.h"
#include "engine/core/ccCachePurge.h"
#include "engine/core/math/kmGLMatrix.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "support/TestSupport.h"

namespace {

using Log = std::vector<std::string>;

// The frame-loop director with a clock the test sets.
class ClockedDirector : public CCDirectorDisplayLink {
public:
    void advance(double seconds) {
        int64_t micros = now.seconds * 1000000 + now.microseconds + std::llround(seconds * 1e6);
        now = {micros / 1000000, static_cast<int32_t>(micros % 1000000)};
    }

    ccTimeval now{1000, 0};
    bool clockWorks = true;

protected:
    bool readClock(ccTimeval* reading) override {
        if (!clockWorks) return false;
        *reading = now;
        return true;
    }
};

// Counts its lifecycle calls; reports drawing into a log when given one.
template <class Base>
class Recording : public Base {
public:
    void onEnter() override {
        ++enters;
        Base::onEnter();
    }
    void onEnterTransitionDidFinish() override {
        ++entersFinished;
        Base::onEnterTransitionDidFinish();
    }
    void onExitTransitionDidStart() override {
        ++exitsStarted;
        Base::onExitTransitionDidStart();
    }
    void onExit() override {
        ++exits;
        Base::onExit();
    }
    void cleanup() override {
        ++cleanups;
        Base::cleanup();
    }
    void draw() override {
        if (log) log->push_back("draw");
    }

    int enters = 0, entersFinished = 0, exitsStarted = 0, exits = 0, cleanups = 0;
    Log* log = nullptr;
};

using RecordingScene = Recording<CCScene>;

// {enters, entersFinished, exitsStarted, exits, cleanups}
using Counts = std::array<int, 5>;
Counts counts(const RecordingScene& s) { return {s.enters, s.entersFinished, s.exitsStarted, s.exits, s.cleanups}; }

class RecordingTransition : public Recording<CCScene> {
public:
    bool isTransition() const override { return true; }
};

// Logs its per-frame update; runs a hook from it when given one.
class Ticker : public CCNode {
public:
    Ticker(std::string name, Log* log) : name_(std::move(name)), log_(log) {}
    void update(float) override {
        log_->push_back(name_);
        if (hook) hook();
    }
    void timer(float) { log_->push_back("timer"); }
    std::function<void()> hook;

private:
    std::string name_;
    Log* log_;
};

class LoggingAction : public CCAction {
public:
    explicit LoggingAction(Log* log) : log_(log) {}
    bool isDone() const override { return false; }
    void step(float) override { log_->push_back("action"); }

private:
    Log* log_;
};

class CCDirectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        director_ = makeRef<ClockedDirector>();
        CCDirector::setSharedDirector(director_);
    }
    void TearDown() override {
        director_->end();
        CCDirector::setSharedDirector(nullptr);
        kmGLFreeStacks();
    }

    void frame() { director_->getFrameForTime(); }

    // A ticker with a scheduled update, added to the scene, which is then run.
    RefPtr<Ticker> runWithTicker(const RefPtr<RecordingScene>& scene, Log* log) {
        auto ticker = makeRef<Ticker>("update", log);
        scene->addChild(ticker.get());
        ticker->scheduleUpdate();
        director_->runWithScene(scene);
        return ticker;
    }

    RefPtr<ClockedDirector> director_;
};

void expectPoint(CGPoint p, double x, double y, double tolerance = 1e-3) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
}

TEST_F(CCDirectorTest, ScenesSwitchAtTheStartOfTheNextFrame) {
    auto a = makeRef<RecordingScene>(), b = makeRef<RecordingScene>(), c = makeRef<RecordingScene>();
    director_->runWithScene(a);
    EXPECT_TRUE(director_->isAnimating());
    EXPECT_EQ(director_->runningScene(), nullptr);
    frame();
    EXPECT_EQ(director_->runningScene(), a.get());
    EXPECT_EQ(counts(*a), (Counts{1, 1, 0, 0, 0}));

    // Twice in one frame: only the second is switched in; the first is never entered.
    director_->replaceScene(b);
    director_->replaceScene(c);
    EXPECT_EQ(director_->runningScene(), a.get());
    EXPECT_TRUE(director_->sendCleanupToScene());
    frame();
    EXPECT_EQ(director_->runningScene(), c.get());
    EXPECT_EQ(counts(*a), (Counts{1, 1, 1, 1, 1}));
    EXPECT_EQ(counts(*b), (Counts{0, 0, 0, 0, 0}));
    EXPECT_EQ(counts(*c), (Counts{1, 1, 0, 0, 0}));

    // The stack kept its depth of one: popping it ends the engine.
    director_->popScene();
    EXPECT_FALSE(director_->isAnimating());
    EXPECT_EQ(director_->runningScene(), nullptr);
    EXPECT_EQ(counts(*c), (Counts{1, 1, 1, 1, 1}));
}

TEST_F(CCDirectorTest, PushPopAndPopToRootMakeExactLifecycleCalls) {
    auto a = makeRef<RecordingScene>(), b = makeRef<RecordingScene>(), c = makeRef<RecordingScene>();
    director_->runWithScene(a);
    frame();
    director_->pushScene(b);
    EXPECT_FALSE(director_->sendCleanupToScene());
    frame();
    EXPECT_EQ(counts(*a), (Counts{1, 1, 1, 1, 0}));
    EXPECT_EQ(counts(*b), (Counts{1, 1, 0, 0, 0}));
    director_->pushScene(c);
    frame();
    EXPECT_EQ(counts(*b), (Counts{1, 1, 1, 1, 0}));

    // The running top exits at once; both upper scenes are cleaned up and leave.
    director_->popToRootScene();
    EXPECT_EQ(counts(*c), (Counts{1, 1, 1, 1, 1}));
    EXPECT_EQ(counts(*b), (Counts{1, 1, 1, 1, 1}));
    EXPECT_FALSE(director_->sendCleanupToScene());
    EXPECT_EQ(director_->runningScene(), c.get());
    // At the switch the old running scene exits once more, without a second cleanup.
    frame();
    EXPECT_EQ(counts(*c), (Counts{1, 1, 2, 2, 1}));
    EXPECT_EQ(counts(*a), (Counts{2, 2, 1, 1, 0}));
    EXPECT_EQ(director_->runningScene(), a.get());

    // Popping a pushed scene cleans it up and enters the one below again.
    auto d = makeRef<RecordingScene>();
    director_->pushScene(d);
    frame();
    director_->popScene();
    EXPECT_TRUE(director_->sendCleanupToScene());
    frame();
    EXPECT_EQ(counts(*d), (Counts{1, 1, 1, 1, 1}));
    EXPECT_EQ(counts(*a), (Counts{3, 3, 2, 2, 0}));

    // With one scene left, popToRootScene ends the engine.
    director_->popToRootScene();
    EXPECT_FALSE(director_->isAnimating());
    EXPECT_EQ(counts(*a), (Counts{3, 3, 3, 3, 1}));
}

TEST_F(CCDirectorTest, TransitionsMakeTheEnterAndExitCallsOfTheScenesTheyLink) {
    auto a = makeRef<RecordingScene>(), b = makeRef<RecordingScene>();
    auto transition = makeRef<RecordingTransition>();
    director_->runWithScene(a);
    frame();

    director_->replaceScene(transition);
    frame();
    EXPECT_EQ(counts(*a), (Counts{1, 1, 0, 0, 0}));
    EXPECT_EQ(counts(*transition), (Counts{1, 1, 0, 0, 0}));

    director_->replaceScene(b);
    frame();
    EXPECT_EQ(counts(*transition), (Counts{1, 1, 1, 1, 1}));
    EXPECT_EQ(counts(*b), (Counts{0, 0, 0, 0, 0}));
    EXPECT_EQ(director_->runningScene(), b.get());
    // What a transition would do itself before ending.
    a->onExit();
    a->cleanup();
}

TEST_F(CCDirectorTest, MisusedSceneStackThrowsInsteadOfCorrupting) {
    const auto thrownName = [](const std::function<void()>& misuse) {
        try {
            misuse();
        } catch (const NamedException& e) {
            return e.name();
        }
        return std::string("nothing thrown");
    };
    EXPECT_EQ(thrownName([&] { director_->replaceScene(makeRef<RecordingScene>()); }), "NSRangeException");
    EXPECT_EQ(thrownName([&] { director_->popScene(); }), "NSRangeException");
    EXPECT_EQ(thrownName([&] { director_->runWithScene(nullptr); }), "NSInvalidArgumentException");
    EXPECT_FALSE(director_->isAnimating());
    director_->popToRootScene();  // empty: only forgets the next scene
    frame();
    EXPECT_EQ(director_->runningScene(), nullptr);
}

TEST_F(CCDirectorTest, FrameTimeComesFromTheClock) {
    const auto dtAfter = [this](double seconds) {
        director_->advance(seconds);
        director_->calculateDeltaTime();
        return director_->dt();
    };
    director_->startAnimation();
    EXPECT_NEAR(dtAfter(0.016), 0.016f, 1e-6);

    // Microseconds borrow from the seconds.
    director_->now = {2000, 999999};
    director_->calculateDeltaTime();
    director_->now = {2001, 1};
    director_->calculateDeltaTime();
    EXPECT_NEAR(director_->dt(), 2e-6f, 1e-7);

    // A clock that goes back gives no negative time.
    director_->now = {1500, 0};
    director_->calculateDeltaTime();
    EXPECT_EQ(director_->dt(), 0);

    director_->setNextDeltaTimeZero(true);
    EXPECT_EQ(dtAfter(0.5), 0);
    EXPECT_FALSE(director_->nextDeltaTimeZero());

    // A failed reading gives zero and changes nothing else.
    director_->clockWorks = false;
    director_->setNextDeltaTimeZero(true);
    EXPECT_EQ(dtAfter(0.01), 0);
    EXPECT_TRUE(director_->nextDeltaTimeZero());
    director_->clockWorks = true;
    director_->setNextDeltaTimeZero(false);
    EXPECT_NEAR(dtAfter(0.02), 0.03f, 1e-6);  // measured from the last good reading
}

TEST_F(CCDirectorTest, PauseStopsTheSchedulerButNotTheDrawing) {
    Log log;
    auto scene = makeRef<RecordingScene>();
    scene->log = &log;
    runWithTicker(scene, &log);
    frame();
    frame();
    EXPECT_EQ(log, (Log{"draw", "update", "draw"}));

    std::vector<std::pair<std::string, bool>> observed;
    int observer = 0;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    for (const char* name : {kCCDirectorIsPausedWillChangeNotification, kCCDirectorIsPausedDidChangeNotification}) {
        center.addObserver(&observer, name, director_.get(), [&](const Notification& n) {
            observed.emplace_back(n.name, director_->isPaused());
        });
    }
    director_->pause();
    director_->pause();  // already paused: nothing
    EXPECT_EQ(observed, (std::vector<std::pair<std::string, bool>>{{kCCDirectorIsPausedWillChangeNotification, false},
                                                                  {kCCDirectorIsPausedDidChangeNotification, true}}));
    log.clear();
    const uint64_t frames = director_->totalFrames();
    frame();
    frame();
    EXPECT_EQ(log, (Log{"draw", "draw"}));
    EXPECT_EQ(director_->totalFrames(), frames + 2);

    // The paused time is not counted as frame time.
    director_->advance(100);
    director_->resume();
    EXPECT_EQ(observed.size(), 4u);
    EXPECT_EQ(observed[3], std::make_pair(std::string(kCCDirectorIsPausedDidChangeNotification), false));
    log.clear();
    director_->advance(0.01);
    frame();
    EXPECT_NEAR(director_->dt(), 0.01f, 1e-6);
    EXPECT_EQ(log, (Log{"update", "draw"}));
    center.removeObserver(&observer);
}

TEST_F(CCDirectorTest, StatisticsMeasureTheFrameRateOverEachTenthOfASecond) {
    Log log;
    auto scene = makeRef<RecordingScene>();
    // Each frame costs 5 ms between its start and its end.
    runWithTicker(scene, &log)->hook = [this] { director_->advance(0.005); };
    frame();  // enters the scene
    director_->setDisplayStats(true);
    director_->advance(0.03);
    for (int i = 0; i < 3; ++i) {
        ccDrawCallCounter = 7;
        frame();
        EXPECT_EQ(ccDrawCallCounter, 0u);
        director_->advance(0.025);
    }
    EXPECT_EQ(director_->frameRate(), 0);  // 0.09 s counted so far
    frame();
    EXPECT_NEAR(director_->frameRate(), 4 / 0.12f, 1e-3);
    EXPECT_NEAR(director_->secondsPerFrame(), 0.005f, 1e-6);

    director_->setDisplayStats(false);
    ccDrawCallCounter = 7;
    frame();
    EXPECT_EQ(ccDrawCallCounter, 7u);
    ccDrawCallCounter = 0;
}

TEST_F(CCDirectorTest, AFrameTicksActionsUpdatesAndTimersThenDrawsThenRunsPostedWork) {
    Log log;
    auto scene = makeRef<RecordingScene>();
    scene->log = &log;
    auto early = makeRef<Ticker>("update -5", &log);
    auto middle = makeRef<Ticker>("update 0", &log);
    auto late = makeRef<Ticker>("update 5", &log);
    for (Ticker* ticker : {late.get(), middle.get(), early.get()}) scene->addChild(ticker);
    late->scheduleUpdateWithPriority(5);
    middle->scheduleUpdate();
    early->scheduleUpdateWithPriority(-5);
    middle->schedule(ccSelector(&Ticker::timer));
    middle->runAction(makeRef<LoggingAction>(&log).get());
    middle->hook = [&log] { RunLoop::current().performBlock([&log] { log.push_back("posted"); }); };

    director_->runWithScene(scene);
    EXPECT_EQ(director_->runningThread(), nullptr);
    frame();  // enters the scene: nothing was running during the tick
    EXPECT_EQ(director_->runningThread(), &RunLoop::current());
    frame();  // timers start counting at their first tick
    log.clear();
    frame();
    EXPECT_EQ(log, (Log{"action", "update -5", "update 0", "update 5", "timer", "draw", "posted"}));
}

TEST_F(CCDirectorTest, ProjectionLetterboxesTheDesignSizeIntoTheView) {
    director_->setOriginalWinSize({1024, 768});
    director_->setProjection(CCProjectionKind2D);
    director_->reshapeProjection({1440, 900});
    expectPoint(director_->winOffset(), 120, 0);
    EXPECT_EQ(director_->winSize(), CGSizeMake(1024, 768));
    expectPoint(director_->convertToLogicalCoordinates({120, 0}), 0, 0);
    expectPoint(director_->convertToLogicalCoordinates({1320, 900}), 1024, 768);
    EXPECT_LT(director_->convertToLogicalCoordinates({60, 450}).x, 0);  // on the bar
    Event click;
    click.locationInWindow = {720, 450};
    expectPoint(director_->convertEventToGL(click), 512, 384);

    // Orthographic over the design size.
    kmMat4 projection, modelview;
    kmGLGetMatrix(KM_GL_PROJECTION, &projection);
    kmGLGetMatrix(KM_GL_MODELVIEW, &modelview);
    EXPECT_FLOAT_EQ(projection.mat[0], 2.0f / 1024);
    EXPECT_FLOAT_EQ(projection.mat[5], 2.0f / 768);
    EXPECT_FLOAT_EQ(projection.mat[12], -1);
    EXPECT_FLOAT_EQ(projection.mat[13], -1);
    EXPECT_TRUE(kmMat4IsIdentity(&modelview));

    // A taller view: bars above and below.
    director_->reshapeProjection({1000, 1000});
    expectPoint(director_->winOffset(), 0, 125);
    expectPoint(director_->convertToLogicalCoordinates({0, 125}), 0, 0);
    expectPoint(director_->convertToLogicalCoordinates({1000, 875}), 1024, 768);

    // Following the view: its size, points unchanged.
    director_->reshapeProjection({1440, 900});
    director_->setResizeMode(CCResizeModeFollowView);
    EXPECT_EQ(director_->winSize(), CGSizeMake(1440, 900));
    expectPoint(director_->convertToLogicalCoordinates({33, 44}), 33, 44, 0);
    kmGLGetMatrix(KM_GL_PROJECTION, &projection);
    EXPECT_FLOAT_EQ(projection.mat[0], 2.0f / 1440);

    // 3D: the eye above the centre at the distance that shows the whole height at 60 degrees.
    director_->setProjection(CCProjectionKind3D);
    const float zEye = 900 / 1.1566f;
    EXPECT_FLOAT_EQ(director_->getZEye(), zEye);
    kmGLGetMatrix(KM_GL_MODELVIEW, &modelview);
    EXPECT_NEAR(modelview.mat[12], -720, 1e-3);
    EXPECT_NEAR(modelview.mat[13], -450, 1e-3);
    EXPECT_NEAR(modelview.mat[14], -zEye, 1e-2);

    // Custom: the delegate's.
    class Delegate : public CCDirectorDelegate {
    public:
        void updateProjection() override { ++calls; }
        int calls = 0;
    };
    auto delegate = makeRef<Delegate>();
    director_->setDelegate(delegate);
    director_->setProjection(CCProjectionKindCustom);
    EXPECT_EQ(delegate->calls, 1);
}

TEST_F(CCDirectorTest, AViewWithoutSizeIsSkippedUntilItHasOne) {
    director_->setOriginalWinSize({1024, 768});
    director_->setProjection(CCProjectionKind2D);
    director_->reshapeProjection({800, 600});
    kmMat4 before, after;
    kmGLGetMatrix(KM_GL_PROJECTION, &before);

    for (const CGSize size : {CGSizeMake(0, 600), CGSizeMake(800, 0), CGSizeZero}) {
        director_->reshapeProjection(size);
        kmGLGetMatrix(KM_GL_PROJECTION, &after);
        EXPECT_TRUE(kmMat4Equal(&before, &after));
        const CGPoint p = director_->convertToLogicalCoordinates({10, 10});
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    }
    director_->setProjection(CCProjectionKind3D);
    EXPECT_EQ(director_->projection(), CCProjectionKind3D);  // kept for when the size comes
    director_->setResizeMode(CCResizeModeFollowView);
    kmGLGetMatrix(KM_GL_PROJECTION, &after);
    EXPECT_TRUE(kmMat4Equal(&before, &after));

    // A design size with no height letterboxes nothing.
    director_->setResizeMode(CCResizeModeKeepDesignSize);
    director_->setOriginalWinSize({1024, 0});
    director_->reshapeProjection({800, 600});
    kmGLGetMatrix(KM_GL_PROJECTION, &after);
    for (float value : after.mat) EXPECT_TRUE(std::isfinite(value));
}

TEST_F(CCDirectorTest, EndPurgesTheCachesInOrder) {
    static Log purges;
    purges.clear();
    ccCacheRegisterPurge(
        kCCCacheShaders, [] { purges.push_back("shaders"); }, nullptr);
    ccCacheRegisterPurge(
        kCCCacheFontConfigurations, [] { purges.push_back("fonts"); }, [] { purges.push_back("unused fonts"); });
    ccCacheRegisterPurge(
        kCCCacheTextures, [] { purges.push_back("textures"); }, [] { purges.push_back("unused textures"); });

    // The file lookups are purged too: a file made after a failed lookup is found afterwards.
    TemporaryFolder folder;
    const ScopedResourceFolder useFolder(folder.path());
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    EXPECT_EQ(files->fullPathFromRelativePath("late.png"), "late.png");
    folder.write("late.png", "x");
    EXPECT_EQ(files->fullPathFromRelativePath("late.png"), "late.png");

    director_->purgeCachedData();
    EXPECT_EQ(purges, (Log{"unused fonts", "unused textures"}));
    EXPECT_EQ(files->fullPathFromRelativePath("late.png"), folder.file("late.png"));

    EXPECT_EQ(files->fullPathFromRelativePath("later.png"), "later.png");
    folder.write("later.png", "x");
    auto scene = makeRef<RecordingScene>();
    director_->runWithScene(scene);
    frame();
    purges.clear();
    director_->end();
    EXPECT_EQ(purges, (Log{"fonts", "textures", "shaders"}));
    EXPECT_EQ(files->fullPathFromRelativePath("later.png"), folder.file("later.png"));
    EXPECT_EQ(scene->exits, 1);
    EXPECT_EQ(scene->cleanups, 1);
    EXPECT_EQ(director_->runningScene(), nullptr);
    EXPECT_FALSE(director_->isAnimating());

    for (ccCacheSlot slot : {kCCCacheShaders, kCCCacheFontConfigurations, kCCCacheTextures}) {
        ccCacheRegisterPurge(slot, nullptr, nullptr);
    }
    files->purgeCachedEntries();
}

TEST_F(CCDirectorTest, EndingFromInsideAFrameStopsTheLoopAfterThatFrame) {
    LogCapture capture;
    Log log;
    auto scene = makeRef<RecordingScene>();
    EXPECT_EQ(director_->runFrames(5), 0u);  // not animating yet
    runWithTicker(scene, &log)->hook = [&] {
        if (log.size() == 2) director_->popScene();
    };
    EXPECT_EQ(director_->runFrames(10), 3u);
    EXPECT_EQ(director_->totalFrames(), 3u);
    EXPECT_FALSE(director_->isAnimating());
    EXPECT_EQ(scene->cleanups, 1);
    director_->mainLoop();  // returns at once
    EXPECT_FALSE(capture.contains("refusing to pop"));
}

TEST_F(CCDirectorTest, SharedDirectorIsMadeOnDemandAndHighResolutionNeedsGL) {
    EXPECT_EQ(CCDirector::sharedDirector(), director_.get());
    EXPECT_FALSE(director_->enableHighResolutionDisplay(true));
    EXPECT_EQ(director_->contentScaleFactor(), 1.0);
    EXPECT_NE(director_->eventDispatcher(), nullptr);
    EXPECT_EQ(makeRef<CCDirector>()->eventDispatcher(), nullptr);

    director_->end();
    CCDirector::setSharedDirector(nullptr);
    CCDirector* made = CCDirector::sharedDirector();
    EXPECT_NE(dynamic_cast<CCDirectorDisplayLink*>(made), nullptr);
    EXPECT_EQ(CCDirector::sharedDirector(), made);
    made->end();
    CCDirector::setSharedDirector(director_);
}

}  // namespace
