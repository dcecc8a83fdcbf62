#include "engine/core/CCDirector.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/actions/CCAction.h"
#include "engine/core/CCDirectorDelegate.h"
#include "engine/core/CCScene.h"
#include "engine/core/ccCachePurge.h"
#include "engine/core/math/kmMat4.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/window/Event.h"
#include "support/HeadlessDirectorTest.h"

namespace {

using Log = std::vector<std::string>;
Log events;  // what the scenes, nodes and actions below did, in order

// The frame-loop director with a clock and a GL maximum texture size the test sets.
class ClockedDirector : public CCDirectorDisplayLink {
public:
    ccTimeval now{1000, 0};
    bool clockWorks = true;
    int32_t maxTexture = 0;  // pixels a side

protected:
    bool readClock(ccTimeval* reading) override {
        if (clockWorks) *reading = now;
        return clockWorks;
    }
    int32_t maxTextureSize() const override { return maxTexture; }
};

// Sets a projection of its own, three times the identity, and counts how often it is asked.
class CustomProjection : public CCDirectorDelegate {
public:
    void updateProjection() override {
        ++asked;
        kmGLSetMatrixMode(KM_GL_PROJECTION);
        kmGLSetIdentity();
        kmGLScale(3, 3, 3);
    }
    int asked = 0;
};

kmMat4 matrix(uint32_t mode) {
    kmMat4 m;
    kmGLGetMatrix(mode, &m);
    return m;
}

// {enters, entersFinished, exitsStarted, exits, cleanups}
using Counts = std::array<int, 5>;

class RecordingScene : public CCScene {
public:
    void onEnter() override { ++counts[0]; CCScene::onEnter(); }
    void onEnterTransitionDidFinish() override { ++counts[1]; CCScene::onEnterTransitionDidFinish(); }
    void onExitTransitionDidStart() override { ++counts[2]; CCScene::onExitTransitionDidStart(); }
    void onExit() override { ++counts[3]; CCScene::onExit(); }
    void cleanup() override { ++counts[4]; CCScene::cleanup(); }
    void draw() override { events.push_back("draw"); }
    Counts counts{};
};

// Logs its update, then runs the hook; logs its timer.
class Ticker : public CCNode {
public:
    void update(float) override {
        events.push_back("update");
        if (hook) hook();
    }
    void timer(float) { events.push_back("timer"); }
    std::function<void()> hook;
};

class LoggingAction : public CCAction {
public:
    bool isDone() const override { return false; }
    void step(float) override { events.push_back("action"); }
};

class CCDirectorTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        events.clear();
        CCDirector::setSharedDirector(director_);
    }
    void frame() { director_->getFrameForTime(); }
    static RefPtr<RecordingScene> scene() { return makeRef<RecordingScene>(); }
    // Runs the scene with a ticker scheduled for updates in it.
    RefPtr<Ticker> runWithTicker(const RefPtr<RecordingScene>& running) {
        auto ticker = makeRef<Ticker>();
        running->addChild(ticker.get());
        ticker->scheduleUpdate();
        director_->runWithScene(running);
        return ticker;
    }

    const RefPtr<ClockedDirector> director_ = makeRef<ClockedDirector>();
};

TEST_F(CCDirectorTest, ScenesSwitchAtTheStartOfTheNextFrameWithExactLifecycleCalls) {
    auto a = scene(), b = scene(), c = scene(), d = scene(), e = scene();
    director_->runWithScene(a);
    EXPECT_EQ(director_->runningScene(), nullptr);
    frame();
    EXPECT_EQ(a->counts, (Counts{1, 1, 0, 0, 0}));
    // Two replacements in one frame: only the second is switched in.
    director_->replaceScene(b);
    director_->replaceScene(c);
    frame();
    EXPECT_EQ(a->counts, (Counts{1, 1, 1, 1, 1}));
    EXPECT_EQ(b->counts, (Counts{0, 0, 0, 0, 0}));
    // Pushed-over scenes exit without cleanup; popToRootScene cleans up all above the root at
    // once, and at the switch the running one exits once more, without a second cleanup.
    director_->pushScene(d);
    frame();
    director_->pushScene(e);
    frame();
    EXPECT_EQ(c->counts, (Counts{1, 1, 1, 1, 0}));
    director_->popToRootScene();
    EXPECT_EQ(d->counts, (Counts{1, 1, 1, 1, 1}));
    EXPECT_EQ(e->counts, (Counts{1, 1, 1, 1, 1}));
    frame();
    EXPECT_EQ(e->counts, (Counts{1, 1, 2, 2, 1}));
    EXPECT_EQ(c->counts, (Counts{2, 2, 1, 1, 0}));
    // Popping a pushed scene cleans it up and enters the one below again.
    director_->pushScene(b);
    frame();
    director_->popScene();
    frame();
    EXPECT_EQ(b->counts, (Counts{1, 1, 1, 1, 1}));
    EXPECT_EQ(c->counts, (Counts{3, 3, 2, 2, 0}));
    // The last scene popped ends the engine.
    director_->popToRootScene();
    EXPECT_FALSE(director_->isAnimating());
    EXPECT_EQ(c->counts, (Counts{3, 3, 3, 3, 1}));
}

TEST_F(CCDirectorTest, MisusedSceneStackThrowsInsteadOfCorrupting) {
    const std::pair<std::function<void()>, std::string> misuses[] = {
        {[&] { director_->replaceScene(scene()); }, "NSRangeException"},
        {[&] { director_->popScene(); }, "NSRangeException"},
        {[&] { director_->runWithScene(nullptr); }, "NSInvalidArgumentException"},
    };
    for (const auto& [misuse, name] : misuses) {
        std::string thrown = "nothing";
        try {
            misuse();
        } catch (const NamedException& e) {
            thrown = e.name();
        }
        EXPECT_EQ(thrown, name);
    }
    frame();
    EXPECT_EQ(director_->runningScene(), nullptr);
}

TEST_F(CCDirectorTest, PauseStopsTheSchedulerButNotTheDrawingAndSkipsThePausedTime) {
    runWithTicker(scene());
    int observer = 0;
    for (const char* name : {kCCDirectorIsPausedWillChangeNotification, kCCDirectorIsPausedDidChangeNotification}) {
        NotificationCenter::defaultCenter().addObserver(&observer, name, director_.get(), [this](const Notification&) {
            events.push_back(director_->isPaused() ? "paused" : "running");
        });
    }
    frame();
    director_->pause();
    director_->pause();
    frame();
    director_->now.seconds += 100;
    director_->resume();
    director_->now.microseconds += 10000;
    frame();
    EXPECT_NEAR(director_->dt(), 0.01f, 1e-6);
    // Watchers (will change, then did change) see the value on both sides of each change.
    EXPECT_EQ(events, (Log{"draw", "running", "paused", "draw", "paused", "running", "update", "draw"}));
    NotificationCenter::defaultCenter().removeObserver(&observer);
}

TEST_F(CCDirectorTest, AFrameTicksActionsUpdatesAndTimersThenDrawsThenRunsPostedWork) {
    auto ticker = runWithTicker(scene());
    ticker->schedule(ccSelector(&Ticker::timer));
    ticker->runAction(makeRef<LoggingAction>().get());
    ticker->hook = [] { RunLoop::current().performBlock([] { events.push_back("posted"); }); };
    frame();  // enters the scene: nothing was running during the tick
    frame();  // timers start counting at their first tick
    events.clear();
    frame();
    EXPECT_EQ(events, (Log{"action", "update", "timer", "draw", "posted"}));
}

TEST_F(CCDirectorTest, ProjectionLetterboxesTheDesignSizeIntoTheView) {
    const std::tuple<CGSize, CGPoint, CGPoint, CGPoint> cases[] = {
        // view size, letterbox offset, a point of the view, the same point in design coordinates
        {{1440, 900}, {120, 0}, {120, 0}, {0, 0}},  // bars left and right
        {{1440, 900}, {120, 0}, {720, 450}, {512, 384}},
        {{1440, 900}, {120, 0}, {60, 450}, {-51.2, 384}},  // on a bar: outside the design
        {{1000, 1000}, {0, 125}, {1000, 875}, {1024, 768}},  // bars above and below
    };
    director_->setOriginalWinSize({1024, 768});
    director_->setProjection(CCProjectionKind2D);
    const auto near = [](CGPoint p, CGPoint q) { return std::abs(p.x - q.x) < 1e-3 && std::abs(p.y - q.y) < 1e-3; };
    for (const auto& [view, offset, viewPoint, designPoint] : cases) {
        director_->reshapeProjection(view);
        EXPECT_TRUE(near(director_->winOffset(), offset));
        Event click;
        click.locationInWindow = viewPoint;
        EXPECT_TRUE(near(director_->convertEventToGL(click), designPoint)) << viewPoint.x << ", " << viewPoint.y;
        EXPECT_EQ(director_->winSize(), CGSizeMake(1024, 768));
        kmMat4 projection;
        kmGLGetMatrix(KM_GL_PROJECTION, &projection);
        EXPECT_FLOAT_EQ(projection.mat[0], 2.0f / 1024);  // orthographic over the design size
    }
}

TEST_F(CCDirectorTest, AViewWithoutSizeIsSkippedUntilItHasOne) {
    director_->setOriginalWinSize({1024, 768});
    director_->setProjection(CCProjectionKind2D);
    director_->reshapeProjection({800, 600});
    kmMat4 before, after;
    kmGLGetMatrix(KM_GL_PROJECTION, &before);
    for (const CGSize size : {CGSizeMake(0, 600), CGSizeMake(800, 0), CGSizeZero}) {
        director_->reshapeProjection(size);
        director_->setProjection(CCProjectionKind3D);
        kmGLGetMatrix(KM_GL_PROJECTION, &after);
        EXPECT_TRUE(kmMat4Equal(&before, &after));
        const CGPoint p = director_->convertToLogicalCoordinates({10, 10});
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    }
    // A design size without height letterboxes nothing.
    director_->setOriginalWinSize({1024, 0});
    director_->reshapeProjection({800, 600});
    kmGLGetMatrix(KM_GL_PROJECTION, &after);
    for (float value : after.mat) EXPECT_TRUE(std::isfinite(value));
}

TEST_F(CCDirectorTest, HighResolutionNeedsTexturesOf4096PixelsAndRebuildsTheProjection) {
    director_->reshapeProjection({800, 600});
    director_->setProjection(CCProjectionKind3D);
    const struct {
        bool enable;
        int32_t maxTexture;
        bool answer;
        double factor;
    } steps[] = {
        {true, 4095, false, 1},    // refused: the factor stays
        {false, 0, true, 1},       // already so: nothing to ask
        {true, 4096, true, 2},
        {true, 0, true, 2},        // already so
        {false, 2048, false, 2},   // refused the other way too
        {false, 16384, true, 1},
    };
    for (const auto& step : steps) {
        director_->maxTexture = step.maxTexture;
        EXPECT_EQ(director_->enableHighResolutionDisplay(step.enable), step.answer) << step.maxTexture;
        EXPECT_EQ(director_->contentScaleFactor(), step.factor) << step.maxTexture;
        // The 3D eye stands the view's height / 1.1566 / the factor away from the picture.
        EXPECT_NEAR(-matrix(KM_GL_MODELVIEW).mat[14], 600 / 1.1566 / step.factor, 1e-3) << step.maxTexture;
    }
    // Without a view there is no texture size to ask: refused.
    EXPECT_FALSE(makeRef<CCDirectorDisplayLink>()->enableHighResolutionDisplay(true));
}

TEST_F(CCDirectorTest, TheCustomProjectionIsTheDelegatesAlone) {
    director_->reshapeProjection({800, 600});
    director_->setProjection(CCProjectionKind3D);
    const kmMat4 projection = matrix(KM_GL_PROJECTION), modelView = matrix(KM_GL_MODELVIEW);
    // Without a delegate the custom kind sets nothing up.
    director_->setProjection(CCProjectionKindCustom);
    EXPECT_EQ(director_->projection(), CCProjectionKindCustom);
    kmMat4 now = matrix(KM_GL_PROJECTION);
    EXPECT_TRUE(kmMat4Equal(&now, &projection));

    // Every rebuild of the custom projection asks the delegate, and the director adds nothing.
    const auto delegate = makeRef<CustomProjection>();
    director_->setDelegate(delegate);
    director_->setProjection(CCProjectionKindCustom);
    director_->reshapeProjection({1024, 768});
    director_->setContentScaleFactor(2);
    director_->setContentScaleFactor(1);
    EXPECT_EQ(delegate->asked, 4);
    now = matrix(KM_GL_PROJECTION);
    EXPECT_EQ(now.mat[0], 3);
    EXPECT_EQ(now.mat[12], 0);
    now = matrix(KM_GL_MODELVIEW);
    EXPECT_TRUE(kmMat4Equal(&now, &modelView));

    // Another kind no longer asks it; the end of the engine lets it go.
    director_->setProjection(CCProjectionKind2D);
    EXPECT_EQ(delegate->asked, 4);
    const uint32_t owners = delegate->retainCount();
    director_->end();
    EXPECT_EQ(director_->delegate(), nullptr);
    EXPECT_EQ(delegate->retainCount(), owners - 1);
}

TEST_F(CCDirectorTest, EndingFromInsideAFrameStopsTheLoopAfterThatFrameAndPurgesTheCaches) {
    ccCacheRegisterPurge(
        kCCCacheTextures, [] { events.push_back("purge"); }, [] { events.push_back("purge unused"); });
    director_->purgeCachedData();
    EXPECT_EQ(director_->runFrames(5), 0u);  // not animating yet
    EXPECT_EQ(events, Log{"purge unused"});

    auto running = scene();
    int updates = 0;
    runWithTicker(running)->hook = [&] {
        if (++updates == 2) director_->popScene();
    };
    EXPECT_EQ(director_->runFrames(10), 3u);
    EXPECT_FALSE(director_->isAnimating());
    EXPECT_EQ(running->counts, (Counts{1, 1, 1, 1, 1}));
    EXPECT_EQ(events.back(), "purge");
    director_->mainLoop();  // returns at once
    ccCacheRegisterPurge(kCCCacheTextures, nullptr, nullptr);
}

}  // namespace
