// Sprites drawn by the real director: a sprite drawn by itself and the same sprite in a batch
// give the same pixels; rotated and flipped frames show the right cells; and the quad a sprite
// builds from trimmed frames, colours and missing frames.

#include "engine/render/CCSprite.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SpriteGLTest.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"

namespace {

class CCSpriteGLTest : public SpriteGLTest {
protected:
    // The whole picture as a frame, optionally stored rotated.
    RefPtr<CCSpriteFrame> wholeFrame(bool rotated) {
        return CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 0, 64, 64), rotated, CGPointZero,
                                               CGSizeMake(64, 64));
    }

    // The same frame drawn by itself at (80, 120) and through a batch at (240, 120), there as the
    // child of a batched sprite placed elsewhere, so that its transform is composed into the batch.
    void showTwice(const CCSpriteFrame* frame, const std::function<void(CCSprite*)>& setUp) {
        scene_->removeAllChildrenWithCleanup(true);
        RefPtr<CCSprite> alone = CCSprite::spriteWithSpriteFrame(frame);
        alone->setPosition({80, 120});
        setUp(alone.get());
        scene_->addChild(alone.get());

        RefPtr<CCSpriteBatchNode> batch = CCSpriteBatchNode::batchNodeWithTexture(texture_);
        RefPtr<CCSprite> holder = CCSprite::spriteWithSpriteFrame(frame);
        holder->setPosition({285, 30});
        batch->addChild(holder.get());
        RefPtr<CCSprite> batched = CCSprite::spriteWithSpriteFrame(frame);
        batched->setPosition({-13, 122});  // (240, 120) from the holder's lower-left corner at (253, -2)
        setUp(batched.get());
        holder->addChild(batched.get());
        scene_->addChild(batch.get());
        runFrames(1);
    }
};

TEST_F(CCSpriteGLTest, BatchedSpriteDrawsTheSamePixelsAsASelfRenderedOne) {
    showTwice(wholeFrame(false).get(), [](CCSprite* s) {
        s->setRotation(30);
        s->setScale(1.25f);
        s->setSkewX(10);
        s->setAnchorPoint({0.25, 0.75});
        s->setOpacity(200);
    });
    int drawn = 0;
    for (int dy = -50; dy <= 50; dy += 7) {
        for (int dx = -50; dx <= 50; dx += 7) {
            const ccColor4B alone = pixel(80 + dx, 120 + dy);
            drawn += alone.r + alone.g + alone.b > 0;
            ASSERT_TRUE(pixelNear(240 + dx, 120 + dy, {alone.r, alone.g, alone.b})) << dx << ", " << dy;
        }
    }
    EXPECT_GT(drawn, 50);
}

TEST_F(CCSpriteGLTest, RotatedAndFlippedFramesShowTheRightCells) {
    struct Case {
        bool rotated, flipX, flipY;
        Cells cells;
    };
    const Case cases[] = {
        {false, false, false, {kRed, kGreen, kBlue, kYellow}},
        {false, true, false, {kGreen, kRed, kYellow, kBlue}},
        {false, false, true, {kBlue, kYellow, kRed, kGreen}},
        // Stored turned a quarter clockwise: upright, the stored right column is the top row.
        {true, false, false, {kGreen, kYellow, kRed, kBlue}},
        {true, true, false, {kYellow, kGreen, kBlue, kRed}},
        {true, false, true, {kRed, kBlue, kGreen, kYellow}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rotated << c.flipX << c.flipY);
        showTwice(wholeFrame(c.rotated).get(), [&](CCSprite* s) {
            s->setFlipX(c.flipX);
            s->setFlipY(c.flipY);
        });
        EXPECT_TRUE(cellsAt(80, 120, c.cells));
        EXPECT_TRUE(cellsAt(240, 120, c.cells));
    }
}

TEST_F(CCSpriteGLTest, QuadFollowsTrimmingRotationAndColour) {
    // Trimmed to 20 x 30 at offset (2, -3) in a 40 x 40 image: the quad sits at (12, 2) inside
    // the content box, mirrored to (8, 2) by a horizontal flip.
    RefPtr<CCSprite> trimmed = CCSprite::spriteWithSpriteFrame(
        CCSpriteFrame::frameWithTexture(texture_, CGRectMake(0, 0, 20, 30), false, {2, -3}, {40, 40}).get());
    EXPECT_EQ(trimmed->contentSize(), CGSizeMake(40, 40));
    EXPECT_EQ(trimmed->offsetPosition(), CGPointMake(12, 2));
    trimmed->setFlipX(true);
    EXPECT_EQ(trimmed->offsetPosition(), CGPointMake(8, 2));
    EXPECT_EQ(trimmed->quad().bl.vertices, (ccVertex3F{8, 2, 0}));
    EXPECT_EQ(trimmed->quad().tr.vertices, (ccVertex3F{28, 32, 0}));

    // A rotated rect (10, 20, 30, 40) of a 64 x 64 texture.
    RefPtr<CCSprite> rotated = CCSprite::spriteWithTexture(texture_, CGRectMake(0, 0, 1, 1));
    rotated->setTextureRect(CGRectMake(10, 20, 30, 40), true, {30, 40});
    EXPECT_EQ(rotated->quad().bl.texCoords, (ccTex2F{10 / 64.0f, 20 / 64.0f}));
    EXPECT_EQ(rotated->quad().br.texCoords, (ccTex2F{10 / 64.0f, 50 / 64.0f}));
    EXPECT_EQ(rotated->quad().tl.texCoords, (ccTex2F{50 / 64.0f, 20 / 64.0f}));
    EXPECT_EQ(rotated->quad().tr.texCoords, (ccTex2F{50 / 64.0f, 50 / 64.0f}));

    // Premultiplied colour goes into the quad; the colour as set is what color() answers.
    rotated->setOpacity(128);
    rotated->setColor({255, 128, 0});
    EXPECT_EQ(rotated->quad().tl.colors, (ccColor4B{128, 64, 0, 128}));
    EXPECT_EQ(rotated->color(), (ccColor3B{255, 128, 0}));
}

TEST_F(CCSpriteGLTest, MissingFramesAndEmptyTexturesGiveEmptySprites) {
    LogCapture log;
    RefPtr<CCSprite> unknown = CCSprite::spriteWithSpriteFrameName("no such frame");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(unknown->texture(), nullptr);
    EXPECT_EQ(unknown->textureRect(), CGRectZero);
    EXPECT_EQ(CCSprite::spriteWithFile("missing.png"), nullptr);

    // A null frame changes nothing and is never the frame displayed.
    RefPtr<CCSprite> sprite = CCSprite::spriteWithSpriteFrame(wholeFrame(false).get());
    sprite->setDisplayFrame(nullptr);
    EXPECT_TRUE(sprite->isFrameDisplayed(wholeFrame(false).get()));
    EXPECT_FALSE(sprite->isFrameDisplayed(nullptr));
    EXPECT_TRUE(sprite->isFrameDisplayed(sprite->displayFrame().get()));

    // A batch over an empty texture has no pixels to divide by: the coordinates stay finite.
    const auto empty = makeRef<CCSpriteBatchNode>();
    ASSERT_TRUE(empty->init());
    empty->addChild(sprite.get());
    sprite->setTextureRect(CGRectMake(0, 0, 8, 8));
    EXPECT_TRUE(std::isfinite(sprite->quad().tr.texCoords.u) && std::isfinite(sprite->quad().tr.texCoords.v));
    EXPECT_EQ(log.lines().size(), 1u);
}

}  // namespace
