// The hive, a flower, a breakable prop and an armoured pickup drawn from the build's own sprite
// sheet: each shows, at a point where the pictures of its states differ, the colour of the picture
// its state calls for.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>

#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/PhysicsSprite.h"
#include "game/objects/Destructable.h"
#include "game/objects/Flower.h"
#include "game/objects/Hive.h"
#include "game/objects/Pickup.h"
#include "platform/image/Image.h"
#include "tests/game/objects/ObjectTestWorld.h"

namespace {

const std::string kSheet = std::string(VANTREL_APP_RESOURCES) + "/objects_fg.plist";

const Value kData = dict({{"gameobjects",
                           dict({{"1000", dict({{"type_name", "hive"}})},
                                 {"1", dict({{"type_name", "daisy"},
                                             {"frame_count", 5},
                                             {"nectar", 1},
                                             {"head_anchor_position", "{32, 98}"},
                                             {"joint_anchor_position", "{32, 0}"},
                                             {"head_radius", 12}})},
                                 {"400", dict({{"type_name", "plank_box"},
                                               {"hit_points", 100},
                                               {"image_names", array({"plank_box_1.png", "plank_box_2.png",
                                                                      "plank_box_3.png", "plank_box_4.png"})},
                                               {"fixtures", array({dict({{"type", 4}, {"width", 56},
                                                                         {"height", 56}})})}})},
                                 {"106", dict({{"type_name", "acorn"},
                                               {"hit_points", 12},
                                               {"image_names", array({"acorn_open.png", "acorn_cracked_2.png",
                                                                      "acorn_cracked_1.png", "acorn.png"})},
                                               {"fixtures", array({dict({{"type", 0}, {"radius", 15}})})}})}})}});

class ObjectPicturesTest : public ObjectTestWorld {
protected:
    void SetUp() override {
        ObjectTestWorld::SetUp();
        if (HasFatalFailure()) return;
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(kSheet);
        ASSERT_TRUE(sheet_.initWithContentsOfFile(std::string(VANTREL_APP_RESOURCES) + "/objects_fg.png", 4096));
        load(kData);
    }

    // The sheet's pixel of a frame, x from the left and y from the bottom of the frame.
    ccColor4B framePixel(const std::string& frame, int x, int y) const {
        const CGRect rect = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frame)->rectInPixels();
        const int column = static_cast<int>(rect.origin.x) + x;
        const int row = static_cast<int>(rect.origin.y + rect.size.height) - 1 - y;
        const uint8_t* p = &sheet_.pixels()[(static_cast<size_t>(row) * sheet_.width() + column) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    // A point of the frames, from the bottom left, where both are opaque and their colours differ
    // clearly. Sprites drawn unscaled at whole points sample their texels exactly.
    bool findDifference(const std::string& a, const std::string& b, int* x, int* y) const {
        const CGSize size = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(a)->rectInPixels().size;
        for (int py = 3; py < size.height - 3; ++py) {
            for (int px = 3; px < size.width - 3; ++px) {
                const ccColor4B colourA = framePixel(a, px, py);
                const ccColor4B colourB = framePixel(b, px, py);
                if (colourA.a == 255 && colourB.a == 255 && distance(colourA, colourB) > 60) {
                    *x = px;
                    *y = py;
                    return true;
                }
            }
        }
        return false;
    }

    static int distance(ccColor4B a, ccColor4B b) {
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) + std::abs(a.a - b.a);
    }

    // The window, where a sprite placed by `place` shows the frame's point, has the frame's colour.
    ::testing::AssertionResult showsFrame(const std::string& frame, int x, int y) {
        const ccColor4B colour = framePixel(frame, x, y);
        return pixelNear(kLeft + x, kBottom + y, ccColor3B{colour.r, colour.g, colour.b});
    }

    // Puts the sprite on the screen, its lower left corner at (kLeft, kBottom).
    void place(CCSprite* sprite) {
        sprite->removeFromParentAndCleanup(true);
        sprite->setAnchorPoint(CGPointMake(0, 0));
        sprite->setPosition(CGPointMake(kLeft, kBottom));
        sprite->setRotation(0);
        scene_->addChild(sprite);
    }

    static constexpr int kLeft = 40;
    static constexpr int kBottom = 40;
    Image sheet_;
};

TEST_F(ObjectPicturesTest, AHiveAtHalfHoneyShowsHoneyBelowItsMiddleAndTheInsideAbove) {
    game::Hive* hive = first<game::Hive>(level_->gameObjectsPriorityHigh());
    ASSERT_TRUE(hive);
    place(hive->bg());
    hive->fg()->removeFromParentAndCleanup(true);
    hive->fg()->setPosition(CGPointMake(kLeft + 56, kBottom + 70));
    hive->fg()->setRotation(0);
    scene_->addChild(hive->fg());
    hive->showHoney(50);
    runFrames(1);
    // The honey frame shrunk to half its height: its row 2y shows at y.
    const ccColor4B honey = framePixel("hive_honey.png", 56, 60);
    EXPECT_TRUE(pixelNear(kLeft + 56, kBottom + 30, ccColor3B{honey.r, honey.g, honey.b}));
    EXPECT_TRUE(showsFrame("hive_inner.png", 45, 100));
    EXPECT_TRUE(showsFrame("hive_outer.png", 8, 40));  // the straw around the window
}

TEST_F(ObjectPicturesTest, AFlowerShowsItsFullEmptyAndSleepingPictures) {
    RefPtr<game::Flower> daisy = game::Flower::flowerWithType(1, CGPointMake(0, 1000), 0, 1, 1, nullptr);
    ASSERT_TRUE(daisy);
    place(daisy->physicsSprite());
    int x = 0;
    int y = 0;
    ASSERT_TRUE(findDifference("daisy_5.png", "daisy_sleep.png", &x, &y));
    runFrames(1);
    EXPECT_TRUE(showsFrame("daisy_5.png", x, y));
    daisy->setDroplets(0);
    ASSERT_TRUE(findDifference("daisy_5.png", "daisy_1.png", &x, &y));
    runFrames(1);
    EXPECT_TRUE(showsFrame("daisy_1.png", x, y));
    daisy->setIsSleeping(true);
    ASSERT_TRUE(findDifference("daisy_1.png", "daisy_sleep.png", &x, &y));
    runFrames(1);
    EXPECT_TRUE(showsFrame("daisy_sleep.png", x, y));
}

TEST_F(ObjectPicturesTest, ADamagedPropShowsItsDamageFrame) {
    RefPtr<game::Destructable> box = game::Destructable::destructableWithType(400, CGPointMake(0, 1100), 0, 1, 1);
    place(box->physicsSprite());
    int x = 0;
    int y = 0;
    ASSERT_TRUE(findDifference("plank_box_4.png", "plank_box_3.png", &x, &y));
    runFrames(1);
    EXPECT_TRUE(showsFrame("plank_box_4.png", x, y));
    box->setAccumulatedImpulse(50);
    box->applyDamage();
    runFrames(1);
    EXPECT_TRUE(showsFrame("plank_box_3.png", x, y));
}

TEST_F(ObjectPicturesTest, AnArmouredPickupShowsItsCracksAndThenItsOpenShell) {
    RefPtr<game::Pickup> acorn = game::Pickup::pickupWithType(106, CGPointMake(0, 1100), 0, 1, 1);
    ASSERT_TRUE(acorn);
    place(acorn->physicsSprite());
    // 12 hit points: 8 left show the first crack, 2 left the second, none the open shell.
    const struct {
        const char* frame;
        float impulse;  // the next hit
    } stages[] = {{"acorn.png", 4}, {"acorn_cracked_1.png", 6}, {"acorn_cracked_2.png", 2}, {"acorn_open.png", 0}};
    for (size_t i = 0; i < std::size(stages); ++i) {
        int x = 0;
        int y = 0;
        ASSERT_TRUE(findDifference(stages[i].frame, stages[i == 0 ? 1 : i - 1].frame, &x, &y)) << stages[i].frame;
        runFrames(1);
        EXPECT_TRUE(showsFrame(stages[i].frame, x, y)) << stages[i].frame;
        acorn->setAccumulatedImpulse(stages[i].impulse);
        acorn->applyDamage();
    }
}

}  // namespace
