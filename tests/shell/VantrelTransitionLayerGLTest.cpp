// The transition scene run by the real director in a window: its timeline on the fixed frame clock
// and a stand-in wall clock, with the game's generated pictures and font.

#include "shell/VantrelTransitionLayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "shell/VantrelGlobal.h"
#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALSource.h"
#include "audio/OALSimpleAudio.h"
#include "audio/VantrelAudio.h"
#include "engine/actions/CCActionManager.h"
#include "engine/actions/interval/CCMoveTo.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCBMFontConfiguration.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/TestSupport.h"

namespace {

constexpr const char* kDestination = "TransitionTestDestination";
constexpr const char* kRefusing = "TransitionTestRefusing";
constexpr ccColor3B kTransitionColour{36, 22, 15};

// The hold's clock, moved on by hand: requests wait until fire().
class ManualWallClock {
public:
    VantrelTransitionLayer::WallClockDelay delay() {
        return [this](double seconds, std::function<void()> block) {
            requests.push_back(seconds);
            blocks_.push_back(std::move(block));
            const size_t index = blocks_.size() - 1;
            return std::function<void()>([this, index] { blocks_[index] = nullptr; });
        };
    }
    // Runs every block asked for and not cancelled.
    void fire() {
        std::vector<std::function<void()>> due;
        due.swap(blocks_);
        for (auto& block : due) {
            if (block) block();
        }
    }

    std::vector<double> requests;  // seconds asked for, in order

private:
    std::vector<std::function<void()>> blocks_;
};

class VantrelTransitionLayerTest : public GLSceneTest {
protected:
    static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }

    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        VantrelTransitionLayer::setWallClockDelay(clock_.delay());
        VantrelTransitionLayer::registerScene(kDestination, [this] {
            ++built_;
            destinationScene_ = CCScene::node();
            return destinationScene_;
        });
        VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [this] {
            ++menusBuilt_;
            menuScene_ = CCScene::node();
            return menuScene_;
        });
    }

    void TearDown() override {
        VantrelTransitionLayer::setWallClockDelay(nullptr);
        VantrelTransitionLayer::registerScene(kDestination, nullptr);
        VantrelTransitionLayer::registerScene(kRefusing, nullptr);
        VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [] { return CCScene::node(); });
        VantrelGlobal::sharedInstance()->setNextLevelId("");
        destinationScene_.reset();
        menuScene_.reset();
        GLSceneTest::TearDown();
    }

    // The transition layer of the running scene, or null.
    VantrelTransitionLayer* runningTransition() const {
        CCScene* scene = director_->runningScene();
        if (!scene || !scene->children() || scene->children()->count() == 0) return nullptr;
        return dynamic_cast<VantrelTransitionLayer*>(static_cast<CCNode*>(scene->children()->objectAtIndex(0)));
    }

    // Asks for the destination and runs the frame that enters the transition, the one that starts
    // its set-up timer and the one that sets it up; answers the transition.
    VantrelTransitionLayer* startTransition(const std::string& destination) {
        EXPECT_TRUE(VantrelTransitionLayer::sceneTransitionTo(destination));
        runFrames(3);
        return runningTransition();
    }

    ScopedResourceFolder resources_{VANTREL_APP_RESOURCES};
    ManualWallClock clock_;
    int built_ = 0;
    int menusBuilt_ = 0;
    RefPtr<CCScene> destinationScene_;
    RefPtr<CCScene> menuScene_;
};

TEST_F(VantrelTransitionLayerTest, TheBeeFliesTheWayOfTheDestinationThroughEveryStep) {
    const struct Case {
        const char* nextLevelId;
        bool leftToRight;
    } cases[] = {{"meadow_a", true}, {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nextLevelId);
        built_ = 0;
        clock_.requests.clear();
        VantrelGlobal::sharedInstance()->setNextLevelId(c.nextLevelId);
        VantrelTransitionLayer* layer = startTransition(kDestination);
        ASSERT_NE(layer, nullptr);
        ASSERT_NE(layer->beeHolder(), nullptr);
        EXPECT_EQ(VantrelGlobal::sharedInstance()->gameState(), VantrelGlobal::kStateTransition);
        EXPECT_EQ(layer->leftToRight(), c.leftToRight);
        CCNode* holder = layer->beeHolder();
        const double beeWidth = layer->bee()->contentSize().width;
        ASSERT_GT(beeWidth, 0) << "the bee's pictures are loaded";
        EXPECT_EQ(holder->scaleX(), c.leftToRight ? 1 : -1);
        EXPECT_EQ(holder->position(), CGPointMake(c.leftToRight ? -beeWidth : kWidth + beeWidth, kHeight / 2 + 40));
        EXPECT_EQ(layer->bee()->numberOfRunningActions(), 1u) << "the wings beat on the way in";

        // Slide in: 0.5 s of frames, then the hold is asked of the wall clock.
        runFrames(28);
        EXPECT_TRUE(clock_.requests.empty());
        EXPECT_NE(holder->position().x, kWidth / 2);
        runFrames(8);
        ASSERT_EQ(clock_.requests, std::vector<double>{2.0});
        EXPECT_EQ(holder->position().x, kWidth / 2);
        EXPECT_EQ(layer->bee()->numberOfRunningActions(), 0u) << "the wings rest while the bee holds";

        // Scheduler time does not end the hold.
        runFrames(140);
        EXPECT_EQ(built_, 0);
        EXPECT_EQ(runningTransition(), layer);

        // The destination is built once, then 0.1 s passes before the bee leaves.
        clock_.fire();
        EXPECT_EQ(built_, 1);
        EXPECT_EQ(layer->nextScene(), destinationScene_.get());
        runFrames(7);
        EXPECT_EQ(holder->position().x, kWidth / 2);
        runFrames(3);
        EXPECT_EQ(holder->position().x > kWidth / 2, c.leftToRight) << "leaves on the far side";
        EXPECT_EQ(layer->bee()->numberOfRunningActions(), 1u);

        // The slide out takes 0.5 s, then the destination replaces the transition.
        runFrames(26);
        EXPECT_EQ(runningTransition(), layer);
        runFrames(10);
        EXPECT_EQ(director_->runningScene(), destinationScene_.get());
        EXPECT_EQ(built_, 1);
        EXPECT_EQ(clock_.requests.size(), 1u);
    }
}

TEST_F(VantrelTransitionLayerTest, EmptiesTheEngineCachesAndGivesBackItsPicturesWhenReleased) {
    RefPtr<CCTexture2D> picture = CCTextureCache::sharedTextureCache()->addImage("fire.png");
    ASSERT_NE(picture, nullptr);
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
        CCSpriteFrame::frameWithTexture(picture, CGRectMake(0, 0, 4, 4)), "probe");
    CCAnimationCache::sharedAnimationCache()->addAnimation(CCAnimation::animation(), "probe");
    const RefPtr<CCBMFontConfiguration> font = ccFNTConfigLoad("FuturaBee.fnt");
    ASSERT_NE(font, nullptr);
    RefPtr<CCNode> mover = CCNode::node();
    mover->runAction(CCMoveTo::actionWithDuration(10, CGPointMake(5, 5)).get());
    // A sound left looping by the previous scene.
    VantrelAudio* audio = VantrelAudio::sharedInstance();
    ASSERT_NE(audio->simpleAudio(), nullptr);
    const RefPtr<ALBuffer> sound =
        audio->simpleAudio()->preloadEffect(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath("interface.wav"));
    ASSERT_NE(sound, nullptr);
    const RefPtr<ALSource> playing = audio->generalChannel()->play(sound, true);
    ASSERT_NE(playing, nullptr);
    picture.reset();

    VantrelTransitionLayer* layer = startTransition(kDestination);
    ASSERT_NE(layer, nullptr);
    CCTextureCache* textures = CCTextureCache::sharedTextureCache();
    EXPECT_EQ(textures->textureForKey("fire.png"), nullptr);
    EXPECT_EQ(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName("probe"), nullptr);
    EXPECT_EQ(CCAnimationCache::sharedAnimationCache()->animationByName("probe"), nullptr);
    EXPECT_NE(ccFNTConfigLoad("FuturaBee.fnt"), font) << "the font configuration is read again";
    EXPECT_EQ(director_->actionManager()->numberOfRunningActionsInTarget(mover.get()), 0u);
    EXPECT_FALSE(playing->playing());
    EXPECT_EQ(playing->buffer(), nullptr);

    // Its own pictures are cached while it runs and leave the cache with it.
    ASSERT_NE(layer->background()->texture(), nullptr);
    ASSERT_NE(layer->factLabel()->texture(), nullptr);
    const RefPtr<CCTexture2D> background(layer->background()->texture());
    const RefPtr<CCTexture2D> fontPage(layer->factLabel()->texture());
    EXPECT_NE(textures->textureForKey("transition_bee_1.png"), nullptr);
    runFrames(36);
    clock_.fire();
    runFrames(50);
    ASSERT_EQ(director_->runningScene(), destinationScene_.get());
    for (const char* frame : {"transition_bee_1.png", "transition_bee_2.png", "transition_bee_3.png"}) {
        EXPECT_EQ(textures->textureForKey(frame), nullptr) << frame;
    }
    EXPECT_EQ(background->retainCount(), 1u) << "held by nothing but this test";
    EXPECT_EQ(fontPage->retainCount(), 1u);
}

TEST_F(VantrelTransitionLayerTest, AFailingDestinationLandsInTheMenuAndForgetsTheLevel) {
    VantrelTransitionLayer::registerScene(kRefusing, [] { return RefPtr<CCScene>(); });
    VantrelGlobal::sharedInstance()->setNextLevelId("broken_a");
    LogCapture log;
    ASSERT_NE(startTransition(kRefusing), nullptr);
    runFrames(36);
    clock_.fire();
    runFrames(50);
    EXPECT_EQ(director_->runningScene(), menuScene_.get());
    EXPECT_EQ(menusBuilt_, 1);
    EXPECT_EQ(VantrelGlobal::sharedInstance()->nextLevelId(), "");
    EXPECT_TRUE(log.contains("\"TransitionTestRefusing\" could not be built; back to \"VantrelMenuLayer\""));

    // Neither builds: nothing is built, said once for the menu.
    VantrelTransitionLayer::registerScene(VantrelTransitionLayer::kMenuClassName, [] { return RefPtr<CCScene>(); });
    log.clear();
    EXPECT_EQ(makeRef<VantrelTransitionLayer>(kRefusing)->buildDestinationScene(), nullptr);
    EXPECT_TRUE(log.contains("the menu could not be built"));
}

TEST_F(VantrelTransitionLayerTest, UnknownNamesAreIgnoredAndALeftTransitionBuildsNothing) {
    LogCapture log;
    EXPECT_FALSE(VantrelTransitionLayer::sceneTransitionTo("Nowhere"));
    EXPECT_TRUE(log.contains("no scene is registered as \"Nowhere\""));
    EXPECT_EQ(director_->nextScene(), nullptr) << "nothing changes";
    runFrames(1);
    EXPECT_EQ(director_->runningScene(), scene_.get());

    // Replaced while it holds: the hold is called off.
    ASSERT_NE(startTransition(kDestination), nullptr);
    runFrames(36);
    ASSERT_EQ(clock_.requests.size(), 1u);
    director_->replaceScene(CCScene::node());
    runFrames(1);
    clock_.fire();
    EXPECT_EQ(built_, 0);
}

// Without a stand-in the hold is a timer on the engine thread's run loop, which the frames run.
TEST_F(VantrelTransitionLayerTest, TheRealHoldEndsOnTheRunLoop) {
    VantrelTransitionLayer::setWallClockDelay(nullptr);
    ASSERT_NE(startTransition(kDestination), nullptr);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (built_ == 0 && std::chrono::steady_clock::now() < giveUp) runFrames(1);
    EXPECT_EQ(built_, 1);
}

TEST_F(VantrelTransitionLayerTest, EveryFactFitsTheFontAndTheRightHalfOfTheWindow) {
    const RefPtr<CCBMFontConfiguration> font = ccFNTConfigLoad("FuturaBeeFacts.fnt");
    ASSERT_NE(font, nullptr);
    for (size_t i = 0; i < VantrelTransitionLayer::kFactCount; ++i) {
        const std::string text = VantrelTransitionLayer::fact(i);
        SCOPED_TRACE(text);
        ASSERT_FALSE(text.empty());
        for (char c : text) {
            if (c == '\n') continue;
            EXPECT_TRUE(font->characterSet().test(static_cast<unsigned char>(c))) << c;
        }
        const RefPtr<CCLabelBMFont> label = CCLabelBMFont::labelWithString(text, "FuturaBeeFacts.fnt", 800);
        ASSERT_NE(label, nullptr);
        // Written from the middle of a 1024 point window, with the shadow 24 points further right.
        EXPECT_LE(label->contentSize().width + 24, 512);
    }
}

// The rows the maker writes keep their fixed openings: two feedback rows, two contact rows and
// three dedications, at rows 48 to 54.
TEST_F(VantrelTransitionLayerTest, TheMakersRowsKeepTheirOpenings) {
    const struct {
        size_t first, count;
        std::string opening;
    } rows[] = {{47, 2, "LET US KNOW WHAT YOU THINK!\n \n"}, {49, 2, "CONTACT "}, {51, 3, "MUCH LOVE TO A\nBUSY LITTLE BEE,\n"}};
    for (const auto& row : rows) {
        for (size_t i = row.first; i < row.first + row.count; ++i) {
            EXPECT_EQ(std::string(VantrelTransitionLayer::fact(i)).rfind(row.opening, 0), 0u) << i;
        }
    }
}

// The click is there for whatever shows over the scene: loaded only when asked for, and never
// played by the scene's own flow.
TEST_F(VantrelTransitionLayerTest, TheClickIsLoadedWhenAskedForAndTheFlowPlaysNone) {
    ALChannelSource* channel = VantrelAudio::sharedInstance()->interfaceChannel();
    ASSERT_NE(channel, nullptr);
    channel->stop();
    VantrelTransitionLayer* layer = startTransition(kDestination);
    ASSERT_NE(layer, nullptr);
    layer->playInterfaceSound();
    EXPECT_EQ(layer->interfaceSound().buffer(), nullptr);
    EXPECT_FALSE(channel->playing()) << "nothing loaded, nothing played";
    for (int frame = 0; frame < 90 && director_->runningScene() != destinationScene_.get(); ++frame) {
        if (frame == 36) clock_.fire();
        runFrames(1);
        EXPECT_FALSE(channel->playing()) << frame;
    }
    ASSERT_EQ(director_->runningScene(), destinationScene_.get());

    const RefPtr<VantrelTransitionLayer> shown = makeRef<VantrelTransitionLayer>(kDestination);
    shown->initAudio();
    ASSERT_NE(shown->interfaceSound().buffer(), nullptr);
    EXPECT_EQ(shown->interfaceSound().channel(), channel);
    shown->playInterfaceSoundPanned(-0.5f);
    EXPECT_TRUE(channel->playing());
    channel->stop();
}

// The first frames show the scene's own colour; the picture fades in over it.
TEST_F(VantrelTransitionLayerTest, TheColourShowsBeforeThePictureFadesIn) {
    ASSERT_TRUE(VantrelTransitionLayer::sceneTransitionTo(kDestination));
    runFrames(1);
    ASSERT_NE(runningTransition(), nullptr);
    const int spots[][2] = {{4, 4}, {53, 171}, {kWidth / 2, kHeight / 2}, {kWidth - 4, kHeight - 4}};
    for (const auto& spot : spots) EXPECT_TRUE(pixelNear(spot[0], spot[1], kTransitionColour));
    runFrames(2);
    ASSERT_NE(runningTransition()->background(), nullptr);
    for (const auto& spot : spots) EXPECT_TRUE(pixelNear(spot[0], spot[1], kTransitionColour)) << "set up, unfaded";

    // The hive on the left of the picture, once it has faded in.
    runFrames(24);
    const ccColor4B hive = pixel(53, 171);
    EXPECT_GT(hive.r, kTransitionColour.r + 60);
}

}  // namespace
