// The director's frame loop with a real window: input pushed into the windowing system's queue
// reaches dispatcher delegates after the frame that pumped it, resizes reach the projection before
// the next frame, closing the window ends the loop, and a steady frame allocates nothing.

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "engine/actions/CCActionInterval.h"
#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCEventDispatcher.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCScene.h"
#include "engine/core/math/kmGLMatrix.h"
#include "support/AllocationCounter.h"

namespace {

// What a delegate saw of one event, and when.
struct Delivery {
    EventType type;
    CGPoint location;
    uint16_t keyCode;
    std::string characters;
    std::string charactersIgnoringModifiers;
    uint64_t modifierFlags;
    uint64_t framesDrawn;  // the director's totalFrames at delivery
};

class RecordingDelegate : public Object, public CCMouseEventDelegate, public CCKeyboardEventDelegate {
public:
    bool ccMouseDown(const Event& event) override { return record(event); }
    bool ccMouseUp(const Event& event) override { return record(event); }
    bool ccMouseDragged(const Event& event) override { return record(event); }
    bool ccKeyDown(const Event& event) override { return record(event); }
    bool ccKeyUp(const Event& event) override { return record(event); }

    std::vector<Delivery> deliveries;

private:
    bool record(const Event& event) {
        deliveries.push_back({event.type, CCDirector::sharedDirector()->convertEventToGL(event), event.keyCode,
                              event.characters, event.charactersIgnoringModifiers, event.modifierFlags,
                              CCDirector::sharedDirector()->totalFrames()});
        return true;
    }
};

// Notes the GL viewport every time it is drawn.
class ViewportProbe : public CCNode {
public:
    void draw() override {
        seen.emplace_back();
        glGetIntegerv(GL_VIEWPORT, seen.back().data());
    }
    std::vector<std::array<GLint, 4>> seen;
};

// A node that moves a little every frame.
class Drifter : public CCNode {
public:
    void update(float dt) override { setPosition({position().x + dt, position().y}); }
    void spin(float dt) { setRotation(rotation() + dt); }
};

class CCDirectorGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        director_ = makeRef<CCDirectorDisplayLink>();
        CCDirector::setSharedDirector(director_);
        view_ = CCGLView::viewWithFrame(CGRectMake(0, 0, 1024, 768), "CCDirectorGLTest");
        ASSERT_NE(view_, nullptr);
        director_->setView(view_);
        director_->setProjection(CCProjectionKind2D);
        director_->setResizeMode(CCResizeModeKeepDesignSize);
        scene_ = CCScene::node();
        director_->runWithScene(scene_);
        // The first frame records the engine thread; events before it have nowhere to go.
        ASSERT_EQ(director_->runFrames(2), 2u);
    }

    void TearDown() override {
        director_->end();
        CCDirector::setSharedDirector(nullptr);
        view_.reset();
        kmGLFreeStacks();
    }

    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }

    void pushMouseButton(uint32_t type, int x, int y) {
        SDL_Event event{};
        event.type = type;
        event.button = {type, 0, view_->window()->windowID(), 0, SDL_BUTTON_LEFT,
                        uint8_t(type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED), 1, 0, x, y};
        push(event);
    }

    void pushKey(uint32_t type, SDL_Scancode scancode, uint16_t mod) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = view_->window()->windowID();
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
        event.key.keysym.mod = mod;
        push(event);
    }

    static std::array<GLint, 4> viewport() {
        std::array<GLint, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        return viewport;
    }

    RefPtr<CCDirectorDisplayLink> director_;
    RefPtr<CCGLView> view_;
    RefPtr<CCScene> scene_;
};

TEST_F(CCDirectorGLTest, InputReachesTheDelegatesAfterTheFrameThatPumpedIt) {
    auto delegate = makeRef<RecordingDelegate>();
    CCEventDispatcher* dispatcher = director_->eventDispatcher();
    ASSERT_EQ(view_->eventDelegate(), dispatcher);
    dispatcher->addMouseDelegate(delegate.get(), 0);
    dispatcher->addKeyboardDelegate(delegate.get(), 0);

    pushMouseButton(SDL_MOUSEBUTTONDOWN, 100, 200);
    pushMouseButton(SDL_MOUSEBUTTONUP, 101, 201);
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_A, KMOD_LSHIFT);
    pushKey(SDL_KEYUP, SDL_SCANCODE_A, KMOD_NONE);
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_UP, KMOD_NONE);
    EXPECT_TRUE(delegate->deliveries.empty());

    const uint64_t framesBefore = director_->totalFrames();
    ASSERT_EQ(director_->runFrames(1), 1u);
    const std::vector<Delivery>& got = delegate->deliveries;
    ASSERT_EQ(got.size(), 5u);
    for (const Delivery& delivery : got) EXPECT_EQ(delivery.framesDrawn, framesBefore + 1);

    EXPECT_EQ(got[0].type, EventType::mouseDown);
    EXPECT_EQ(got[0].location, CGPointMake(100, 568));  // points, origin bottom-left
    EXPECT_EQ(got[1].type, EventType::mouseUp);

    EXPECT_EQ(got[2].type, EventType::keyDown);
    EXPECT_EQ(got[2].keyCode, 0);  // the A key
    EXPECT_EQ(got[2].characters, "A");
    EXPECT_TRUE(got[2].modifierFlags & kModifierShift);
    EXPECT_EQ(got[3].type, EventType::keyUp);
    EXPECT_EQ(got[3].characters, "a");
    EXPECT_FALSE(got[3].modifierFlags & kModifierShift);

    EXPECT_EQ(got[4].type, EventType::keyDown);
    EXPECT_EQ(got[4].keyCode, kKeyCodeUpArrow);
    EXPECT_EQ(got[4].charactersIgnoringModifiers, kUpArrowCharacters);
    EXPECT_TRUE(got[4].modifierFlags & kModifierNumericPad);

    // Touches are off by default: nothing is forwarded for a finger.
    SDL_Event finger{};
    finger.type = SDL_FINGERDOWN;
    finger.tfinger.windowID = view_->window()->windowID();
    push(finger);
    director_->runFrames(1);
    EXPECT_EQ(got.size(), 5u);
    EXPECT_FALSE(view_->acceptsTouchEvents());

    dispatcher->removeMouseDelegate(delegate.get());
    dispatcher->removeKeyboardDelegate(delegate.get());
}

TEST_F(CCDirectorGLTest, AResizeReachesTheProjectionBeforeTheNextFrame) {
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768}));
    auto probe = makeRef<ViewportProbe>();
    scene_->addChild(probe.get());
    SDL_SetWindowSize(SDL_GetWindowFromID(view_->window()->windowID()), 1440, 900);
    SDL_Event resized{};
    resized.type = SDL_WINDOWEVENT;
    resized.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    resized.window.windowID = view_->window()->windowID();
    resized.window.data1 = 1440;
    resized.window.data2 = 900;
    push(resized);
    ASSERT_EQ(view_->bounds().size, CGSizeMake(1440, 900));

    const uint64_t framesBefore = director_->totalFrames();
    director_->runFrames(1);
    // The reshape drew one frame itself, then the loop drew its own: both letterboxed.
    EXPECT_GE(director_->totalFrames(), framesBefore + 2);
    ASSERT_FALSE(probe->seen.empty());
    for (const auto& seen : probe->seen) EXPECT_EQ(seen, (std::array<GLint, 4>{120, 0, 1200, 900}));
    EXPECT_EQ(director_->winSize(), CGSizeMake(1024, 768));
    EXPECT_EQ(director_->winOffset(), CGPointMake(120, 0));
}

TEST_F(CCDirectorGLTest, FullScreenKeepsTheViewAndItsSettings) {
    // The design size letterboxed into whatever size the window has.
    auto expectLetterboxed = [this] {
        const CGSize size = view_->bounds().size;
        const std::array<GLint, 4> letterbox = viewport();
        EXPECT_NEAR(double(letterbox[2]) / letterbox[3], 1024.0 / 768, 0.01);
        EXPECT_NEAR(2 * letterbox[0] + letterbox[2], size.width, 1);
        EXPECT_NEAR(2 * letterbox[1] + letterbox[3], size.height, 1);
        EXPECT_TRUE(letterbox[0] == 0 || letterbox[1] == 0);
        EXPECT_EQ(director_->winSize(), CGSizeMake(1024, 768));
    };

    view_->setAcceptsTouchEvents(true);
    director_->setFullScreen(true);
    EXPECT_TRUE(director_->isFullScreen());
    EXPECT_EQ(director_->view(), view_.get());
    EXPECT_EQ(view_->eventDelegate(), director_->eventDispatcher());
    EXPECT_TRUE(view_->acceptsTouchEvents());
    director_->runFrames(3);
    EXPECT_NE(view_->bounds().size, CGSizeMake(1024, 768));  // the screen's size
    expectLetterboxed();

    director_->setFullScreen(false);
    EXPECT_FALSE(view_->isFullScreen());
    director_->runFrames(3);
    EXPECT_EQ(view_->bounds().size, CGSizeMake(1024, 768));  // the window's own size again
    expectLetterboxed();
}

TEST_F(CCDirectorGLTest, ClosingTheWindowEndsTheLoop) {
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = view_->window()->windowID();
    push(close);
    const uint64_t framesBefore = director_->totalFrames();
    director_->mainLoop();
    EXPECT_TRUE(view_->closeRequested());
    EXPECT_EQ(director_->totalFrames(), framesBefore);
    EXPECT_TRUE(director_->isAnimating());  // the program ends the director itself
}

TEST_F(CCDirectorGLTest, ASteadyFrameAllocatesNothing) {
    // Layers of nodes, some moving by their update, some by a timer, some under an action.
    std::vector<RefPtr<Drifter>> nodes;
    for (int layer = 0; layer < 10; ++layer) {
        auto parent = makeRef<Drifter>();
        scene_->addChild(parent.get(), layer % 3 - 1);
        nodes.push_back(parent);
        for (int i = 0; i < 30; ++i) {
            auto child = makeRef<Drifter>();
            child->setContentSize({10, 10});
            child->setAnchorPoint({0.5, 0.5});
            parent->addChild(child.get(), i % 5 - 2);
            if (i % 6 == 0) child->scheduleUpdate();
            if (i % 6 == 1) child->schedule(ccSelector(&Drifter::spin));
            if (i % 6 == 2) child->runAction(CCActionInterval::actionWithDuration(1000).get());
            nodes.push_back(child);
        }
    }
    director_->runFrames(10);

    AllocationCounter counter;
    EXPECT_EQ(director_->runFrames(50), 50u);
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_GT(nodes[1]->position().x, 0);
}

}  // namespace
