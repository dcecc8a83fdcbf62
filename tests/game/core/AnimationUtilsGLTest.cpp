#include "game/core/AnimationUtils.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/image/Image.h"
#include "support/GLSceneTest.h"
#include "support/ValueBuilders.h"

namespace {

// A generated sheet of four 8 x 8 frames "bee_1.png" to "bee_4.png".
class AnimationUtilsTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        const Image sheet(32, 8, true, std::vector<uint8_t>(32 * 8 * 4, 200));
        RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addCGImage(&sheet, "bee-sheet");
        ASSERT_NE(texture, nullptr);
        for (int k = 1; k <= 4; ++k) {
            RefPtr<CCSpriteFrame> frame = CCSpriteFrame::frameWithTexture(texture, CGRectMake((k - 1) * 8, 0, 8, 8));
            frames.push_back(frame.get());
            CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(frame, "bee_" + std::to_string(k) + ".png");
        }
    }

    // Frame numbers (1-based) of the animation, by identity with the sheet's frames.
    std::vector<int> order(const CCAnimation* animation) {
        std::vector<int> numbers;
        for (const auto& frame : animation->frames()) {
            numbers.push_back(
                static_cast<int>(std::find(frames.begin(), frames.end(), frame->spriteFrame()) - frames.begin()) + 1);
        }
        return numbers;
    }

    std::vector<CCSpriteFrame*> frames;
};

}  // namespace

TEST_F(AnimationUtilsTest, ModesDelaysAndTheCache) {
    const struct {
        const char* name;
        Value data;
        std::vector<int> frames;
        float delay;
    } cases[] = {
        {"forwards", dict({{"frame_count", 3}, {"image_name", "bee"}}), {1, 2, 3}, 1.0f},
        {"backwards", dict({{"frame_count", 3}, {"image_name", "bee"}, {"mode", "backwards"}, {"frame_time", 0.5}}),
         {3, 2, 1}, 0.5f},
        {"pingpong", dict({{"frame_count", 4}, {"image_name", "bee"}, {"mode", "pingpong"}, {"fps", 12},
                           {"frame_time", 0.5}}),
         {1, 2, 3, 4, 3, 2}, 1.0f / 12},
        {"custom", dict({{"frame_count", 1}, {"image_name", "bee"}, {"mode", "custom"},
                         {"frame_sequence", array({2, 2, 4})}, {"fps", 0}, {"frame_time", 0.25}}),
         {2, 2, 4}, 0.25f},
        {"sideways", dict({{"frame_count", 3}, {"image_name", "bee"}, {"mode", "sideways"}, {"fps", -5}}), {}, 1.0f},
    };
    for (const auto& c : cases) {
        RefPtr<CCAnimation> animation = AnimationUtils::createSimpleAnimation(c.name, c.data, "");
        ASSERT_NE(animation, nullptr) << c.name;
        EXPECT_EQ(order(animation.get()), c.frames) << c.name;
        EXPECT_FLOAT_EQ(animation->delayPerUnit(), c.delay) << c.name;
        EXPECT_TRUE(animation->restoreOriginalFrame()) << c.name;
    }
    // The first definition of a name wins; the caller's base name beats "image_name".
    RefPtr<CCAnimation> again = AnimationUtils::createSimpleAnimation("forwards", dict({{"frame_count", 1}}), "bee");
    EXPECT_EQ(order(again.get()), (std::vector<int>{1, 2, 3}));

    Random::seed(5);
    RefPtr<CCAnimation> drawn = AnimationUtils::createSimpleAnimation(
        "drawn", dict({{"frame_count", 2}, {"frame_time_min", 0.2}, {"frame_time_max", 0.4},
                       {"restore_original_frame", false}}),
        "bee");
    EXPECT_GE(drawn->delayPerUnit(), 0.2f);
    EXPECT_LE(drawn->delayPerUnit(), 0.4f);
    EXPECT_FALSE(drawn->restoreOriginalFrame());

    LogCapture log;
    EXPECT_EQ(AnimationUtils::createSimpleAnimation("none", dict({{"frame_count", 0}}), "bee"), nullptr);
    EXPECT_EQ(AnimationUtils::createSimpleAnimation("none", Value(), "bee"), nullptr);
    EXPECT_EQ(AnimationUtils::createSimpleAnimation("huge", dict({{"frame_count", 1 << 30}}), "bee"), nullptr);
    RefPtr<CCAnimation> gaps = AnimationUtils::createSimpleAnimation("gaps", dict({{"frame_count", 6}}), "bee");
    EXPECT_EQ(order(gaps.get()), (std::vector<int>{1, 2, 3, 4}));
    Value longSequence = Value::array();
    for (int i = 0; i <= AnimationUtils::kMaxFrames; ++i) longSequence.append(1);
    EXPECT_EQ(AnimationUtils::createSimpleAnimation(
                  "long", dict({{"frame_count", 1}, {"mode", "custom"}, {"frame_sequence", longSequence}}), "bee"),
              nullptr);
    EXPECT_EQ(log.lines().size(), 3u);  // the two refused, and one line for both missing frames
}

TEST_F(AnimationUtilsTest, PlayingStoppingAndSequences) {
    RefPtr<CCSprite> sprite = CCSprite::spriteWithSpriteFrame(frames[3]);
    scene_->addChild(sprite.get());
    RefPtr<CCAnimation> one = AnimationUtils::createSimpleAnimation("one", dict({{"frame_count", 1}}), "bee");
    RefPtr<CCAnimation> three = AnimationUtils::createSimpleAnimation("three", dict({{"frame_count", 3}}), "bee");

    AnimationUtils::playSimpleAnimation(one, sprite.get());
    EXPECT_FALSE(AnimationUtils::hasSimpleAnimation(sprite.get()));
    EXPECT_TRUE(sprite->isFrameDisplayed(frames[0]));

    AnimationUtils::playSimpleAnimation(three, sprite.get());
    EXPECT_TRUE(AnimationUtils::hasSimpleAnimation(sprite.get()));
    AnimationUtils::playSimpleAnimation(three, sprite.get(), false);
    EXPECT_EQ(sprite->numberOfRunningActions(), 1u);

    AnimationUtils::stopSimpleAnimation(sprite.get(), three.get(), 1);
    EXPECT_FALSE(AnimationUtils::hasSimpleAnimation(sprite.get()));
    EXPECT_TRUE(sprite->isFrameDisplayed(frames[1]));
    LogCapture log;
    AnimationUtils::stopSimpleAnimation(sprite.get(), three.get(), 7);
    EXPECT_TRUE(sprite->isFrameDisplayed(frames[1]));
    EXPECT_EQ(log.lines().size(), 1u);

    AnimationUtils::playSimpleAnimationSequence(three, nullptr, sprite.get());
    EXPECT_EQ(AnimationUtils::getSimpleAnimation(sprite.get()), nullptr);
    AnimationUtils::playSimpleAnimationSequence(one, three, sprite.get(), true);
    ASSERT_NE(AnimationUtils::getSimpleAnimation(sprite.get()), nullptr);
    runFrames(10);
    EXPECT_TRUE(AnimationUtils::hasSimpleAnimation(sprite.get()));
}
