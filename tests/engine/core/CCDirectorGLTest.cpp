// The director's frame loop with a real window, fed through the windowing system's queue.

#include "engine/core/CCDirector.h"

#include <array>
#include <cinttypes>
#include <string>
#include <vector>

#include "engine/actions/CCActionInterval.h"
#include "engine/core/CCConfiguration.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/StringUtils.h"
#include "support/AllocationCounter.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

// Logs each event it gets with its logical location and the frames drawn before it came.
class RecordingDelegate : public Object, public CCMouseEventDelegate, public CCKeyboardEventDelegate {
public:
    bool ccMouseDown(const Event& event) override { return record("mouseDown", event); }
    bool ccKeyDown(const Event& event) override { return record("keyDown " + event.characters, event); }
    std::vector<std::string> log;
    bool record(const std::string& what, const Event& event) {
        const CGPoint p = CCDirector::sharedDirector()->convertEventToGL(event);
        log.push_back(stringWithFormat("%s at %g, %g after frame %" PRIu64, what.c_str(), p.x, p.y,
                                       CCDirector::sharedDirector()->totalFrames()));
        return true;
    }
};

// Notes the GL viewport every time it is drawn.
class ViewportProbe : public CCNode {
public:
    void draw() override { glGetIntegerv(GL_VIEWPORT, seen.emplace_back().data()); }
    std::vector<std::array<GLint, 4>> seen;
};

class Drifter : public CCNode {
public:
    void update(float dt) override { setPosition({position().x + dt, position().y}); }
    void spin(float dt) { setRotation(rotation() + dt); }
};

using CCDirectorGLTest = GLSceneTest;

TEST_F(CCDirectorGLTest, InputReachesTheDelegatesAfterTheFrameThatPumpedIt) {
    auto delegate = makeRef<RecordingDelegate>();
    CCEventDispatcher* dispatcher = director_->eventDispatcher();
    dispatcher->addMouseDelegate(delegate.get(), 0);
    dispatcher->addKeyboardDelegate(delegate.get(), 0);
    const uint32_t id = view_->window()->windowID();
    SDL_Event events[] = {
        {.button = {SDL_MOUSEBUTTONDOWN, 0, id, 0, SDL_BUTTON_LEFT, SDL_PRESSED, 1, 0, 100, 200}},
        {.key = {SDL_KEYDOWN, 0, id, SDL_PRESSED, 0, 0, 0, {SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT, 0}}},
        {.tfinger = {SDL_FINGERDOWN, 0, 1, 7, 0.5f, 0.5f, 0, 0, 0, id}},  // touches are off
    };
    for (SDL_Event& event : events) ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    const std::string after = stringWithFormat(" after frame %" PRIu64, director_->totalFrames() + 1);
    runFrames(1);
    // Points with the origin bottom-left.
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"mouseDown at 100, 40" + after, "keyDown A at 0, 0" + after}));
}

TEST_F(CCDirectorGLTest, AResizeReachesTheProjectionBeforeTheNextFrame) {
    auto probe = makeRef<ViewportProbe>();
    scene_->addChild(probe.get());
    runFrames(1);
    probe->seen.clear();
    resizeWindow(2 * kWidth, kHeight);
    // Each reshape (the windowing system may send its own) drew a frame of the new size itself,
    // then the loop drew its two: all letterboxed.
    EXPECT_GE(probe->seen.size(), 3u);
    for (const auto& seen : probe->seen) EXPECT_EQ(seen, (std::array<GLint, 4>{kWidth / 2, 0, kWidth, kHeight}));
    EXPECT_EQ(director_->winSize(), CGSizeMake(kWidth, kHeight));
}

TEST_F(CCDirectorGLTest, FullScreenAndBackKeepsTheViewItsSettingsAndTheLetterbox) {
    view_->setAcceptsTouchEvents(true);
    for (const bool fullScreen : {true, false}) {
        director_->setFullScreen(fullScreen);
        EXPECT_EQ(view_->isFullScreen(), fullScreen);
        EXPECT_EQ(director_->view(), view_.get());
        EXPECT_EQ(view_->eventDelegate(), director_->eventDispatcher());
        EXPECT_TRUE(view_->acceptsTouchEvents());
        runFrames(3);
        // The design size letterboxed into whatever size the window has.
        const CGSize size = view_->bounds().size;
        std::array<GLint, 4> letterbox{};
        glGetIntegerv(GL_VIEWPORT, letterbox.data());
        EXPECT_EQ(size == CGSizeMake(kWidth, kHeight), !fullScreen);
        EXPECT_NEAR(double(letterbox[2]) / letterbox[3], double(kWidth) / kHeight, 0.01);
        EXPECT_NEAR(2 * letterbox[0] + letterbox[2], size.width, 1);
        EXPECT_NEAR(2 * letterbox[1] + letterbox[3], size.height, 1);
        EXPECT_TRUE(letterbox[0] == 0 || letterbox[1] == 0);
        EXPECT_EQ(director_->winSize(), CGSizeMake(kWidth, kHeight));
    }
}

TEST_F(CCDirectorGLTest, HighResolutionRebuildsTheStatisticsOnlyWhenTheFactorChanges) {
    ASSERT_GE(CCConfiguration::sharedConfiguration()->maxTextureSize(), 4096) << "this GL cannot go high resolution";
    TemporaryFolder folder;
    ScopedResourceFolder useFolder{folder.path()};
    ASSERT_TRUE(Image(120, 64, true, std::vector<uint8_t>(120 * 64 * 4, 255)).writePNG(folder.file("fps_images.png")));
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    director_->createStatsLabel();
    const auto statsTexture = [] { return CCTextureCache::sharedTextureCache()->textureForKey("fps_images.png"); };
    // Each step's texture is kept, so that a rebuilt one cannot take its address.
    std::vector<RefPtr<CCTexture2D>> textures{statsTexture()};
    ASSERT_NE(textures.back(), nullptr);
    for (const auto& [enable, factor, rebuilt] : {std::tuple{true, 2.0, true}, {true, 2.0, false}, {false, 1.0, true}}) {
        EXPECT_TRUE(director_->enableHighResolutionDisplay(enable));
        EXPECT_EQ(director_->contentScaleFactor(), factor);
        textures.push_back(statsTexture());
        ASSERT_NE(textures.back(), nullptr);
        EXPECT_EQ(textures.back() != textures[textures.size() - 2], rebuilt) << enable;
    }
}

TEST_F(CCDirectorGLTest, ASteadyFrameAllocatesNothing) {
    // Layers of nodes, some moving by their update, some by a timer, some under an action.
    std::vector<RefPtr<Drifter>> nodes;
    for (int layer = 0; layer < 10; ++layer) {
        auto parent = nodes.emplace_back(makeRef<Drifter>());
        scene_->addChild(parent.get(), layer % 3 - 1);
        for (int i = 0; i < 30; ++i) {
            auto child = nodes.emplace_back(makeRef<Drifter>());
            child->setContentSize({10, 10});
            parent->addChild(child.get(), i % 5 - 2);
            if (i % 6 == 0) child->scheduleUpdate();
            if (i % 6 == 1) child->schedule(ccSelector(&Drifter::spin));
            if (i % 6 == 2) child->runAction(CCActionInterval::actionWithDuration(1000).get());
        }
    }
    runFrames(10);
    AllocationCounter counter;
    runFrames(50);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_GT(nodes[1]->position().x, 0);
}

}  // namespace
