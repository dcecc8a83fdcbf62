// The sprite batch drawn by the real director: draw order follows the lazily renumbered atlas,
// subtrees come and go with their quads (appended, inserted where their z order puts them, removed
// by sprite or by index), the atlas grows, one draw call covers every sprite, the blend pair
// follows the texture, steady frames allocate nothing, and inconsistent use is refused instead of
// corrupting the atlas.

#include "engine/render/CCSpriteBatchNode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "SpriteGLTest.h"
#include "engine/render/CCSprite.h"
#include "platform/foundation/NamedException.h"
#include "support/AllocationCounter.h"

namespace {

using CountingBatch = CountingDrawCalls<CCSpriteBatchNode>;

class CCSpriteBatchNodeGLTest : public SpriteGLTest {
protected:
    void SetUp() override {
        SpriteGLTest::SetUp();
        batch_ = makeRef<CountingBatch>();
        ASSERT_TRUE(batch_->initWithTexture(texture_, CCSpriteBatchNode::kDefaultCapacity));
        scene_->addChild(batch_.get());
    }
    void TearDown() override {
        batch_.reset();
        SpriteGLTest::TearDown();
    }

    // A sprite showing one 32 x 32 cell (0 red, 1 green, 2 blue, 3 yellow) centred at (x, y).
    RefPtr<CCSprite> cell(int index, double x, double y) {
        RefPtr<CCSprite> sprite =
            CCSprite::spriteWithTexture(texture_, CGRectMake(index % 2 * 32, index / 2 * 32, 32, 32));
        sprite->setPosition({x, y});
        return sprite;
    }

    // Every descendant's index is its place, and its quad is the atlas's quad there.
    ::testing::AssertionResult consistent(std::initializer_list<CCSprite*> order) {
        return consistent(std::vector<CCSprite*>(order));
    }
    ::testing::AssertionResult consistent(const std::vector<CCSprite*>& order) {
        CCArray* descendants = batch_->descendants();
        if (descendants->count() != order.size() || batch_->textureAtlas()->totalQuads() != order.size()) {
            return ::testing::AssertionFailure() << descendants->count() << " descendants";
        }
        uint64_t i = 0;
        for (CCSprite* sprite : order) {
            const ccV3F_C4B_T2F_Quad quad = sprite->quad();
            if (descendants->objectAtIndex(i) != sprite || sprite->atlasIndex() != i ||
                std::memcmp(&batch_->textureAtlas()->quads()[i], &quad, sizeof quad) != 0) {
                return ::testing::AssertionFailure() << "sprite " << i << " out of place";
            }
            ++i;
        }
        return ::testing::AssertionSuccess();
    }

    // Batch children C (z -3), A (0), B (2), D (3); A's children a1 (-1), a2 (1), a3 (5); B's
    // only child b1 (-2); D's only child d1 (1). D stands on B, and b1 under both.
    struct Tree {
        RefPtr<CCSprite> C, A, a1, a2, a3, B, b1, D, d1;
        // Draw order, which is atlas order once sorted.
        std::vector<CCSprite*> order() const {
            return {C.get(), a1.get(), A.get(), a2.get(), a3.get(), b1.get(), B.get(), D.get(), d1.get()};
        }
    };
    Tree tree() {
        Tree t{cell(0, 40, 200), cell(1, 100, 100), cell(2, 10, 10), cell(3, 20, 10), cell(0, 30, 10),
               cell(2, 240, 100), cell(3, 10, 20), cell(1, 240, 100), cell(0, 48, 16)};
        batch_->addChild(t.A.get(), 0);
        batch_->addChild(t.B.get(), 2);
        batch_->addChild(t.C.get(), -3);
        batch_->addChild(t.D.get(), 3);
        t.A->addChild(t.a3.get(), 5);
        t.A->addChild(t.a1.get(), -1);
        t.A->addChild(t.a2.get(), 1);
        t.B->addChild(t.b1.get(), -2);
        t.D->addChild(t.d1.get(), 1);
        // A colour of its own, barely off white, so that no two quads are alike.
        uint8_t shade = 255;
        for (CCSprite* sprite : t.order()) sprite->setColor({255, 255, shade--});
        return t;
    }

    RefPtr<CountingBatch> batch_;
};

TEST_F(CCSpriteBatchNodeGLTest, AtlasOrderIsDrawOrderAfterEachVisit) {
    RefPtr<CCSprite> a = cell(1, 100, 100), c = cell(0, 100, 92);
    RefPtr<CCSprite> a1 = cell(2, 40, 32), a2 = cell(3, 8, 32);  // in a's space: a's corner is (84, 84)
    batch_->addChild(a.get(), 0);
    a->addChild(a1.get(), -1);
    a->addChild(a2.get(), 1);
    batch_->addChild(c.get(), -1);
    runFrames(1);
    EXPECT_TRUE(consistent({c.get(), a1.get(), a.get(), a2.get()}));
    EXPECT_EQ(batch_->drawCalls, 1u);
    EXPECT_TRUE(pixelNear(112, 100, kGreen));   // a over a1 and c
    EXPECT_TRUE(pixelNear(120, 100, kBlue));    // a1 alone
    EXPECT_TRUE(pixelNear(100, 100, kYellow));  // a2 over all
    EXPECT_TRUE(pixelNear(100, 80, kRed));      // c alone

    batch_->reorderChild(c.get(), 5);
    a->reorderChild(a2.get(), -2);
    runFrames(1);
    EXPECT_TRUE(consistent({a2.get(), a1.get(), a.get(), c.get()}));
    EXPECT_TRUE(pixelNear(100, 100, kRed));

    // Moving a child rewrites only its quad, under the same single draw call.
    a1->setPosition({40, 0});
    runFrames(1);
    EXPECT_TRUE(consistent({a2.get(), a1.get(), a.get(), c.get()}));
    EXPECT_TRUE(pixelNear(120, 70, kBlue));
    EXPECT_EQ(batch_->drawCalls, 1u);

    // A hidden sprite collapses its subtree's quads but keeps their slots.
    a->setVisible(false);
    runFrames(1);
    EXPECT_EQ(a1->quad().tr.vertices, (ccVertex3F{0, 0, 0}));
    EXPECT_TRUE(consistent({a2.get(), a1.get(), a.get(), c.get()}));
    EXPECT_TRUE(pixelNear(120, 70, kBlack));
}

TEST_F(CCSpriteBatchNodeGLTest, SubtreesLeaveWithTheirQuadsAndTheAtlasGrows) {
    RefPtr<CCSprite> first = cell(0, 30, 30), parent = cell(1, 200, 200), last = cell(3, 60, 30);
    RefPtr<CCSprite> k1 = cell(2, 0, 0), k2 = cell(2, 10, 0);
    batch_->addChild(first.get());
    batch_->addChild(parent.get());
    parent->addChild(k1.get());
    parent->addChild(k2.get());
    batch_->addChild(last.get());
    runFrames(1);
    ASSERT_TRUE(consistent({first.get(), parent.get(), k1.get(), k2.get(), last.get()}));

    batch_->removeChild(parent.get(), true);
    EXPECT_TRUE(consistent({first.get(), last.get()}));
    for (CCSprite* gone : {parent.get(), k1.get(), k2.get()}) {
        EXPECT_EQ(gone->batchNode(), nullptr);
        EXPECT_EQ(gone->atlasIndex(), CCSpriteNoAtlasIndex);
    }
    // Out of the batch the subtree draws itself again.
    scene_->addChild(parent.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(200, 200, kGreen));

    // The 30th sprite grows a 29-quad atlas to 40; removing everything keeps the capacity.
    std::vector<RefPtr<CCSprite>> many;
    while (batch_->descendants()->count() < 30) {
        many.push_back(cell(0, 0, 0));
        batch_->addChild(many.back().get());
    }
    EXPECT_EQ(batch_->textureAtlas()->capacity(), 40u);
    batch_->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(batch_->textureAtlas()->capacity(), 40u);
    EXPECT_EQ(many.front()->atlasIndex(), CCSpriteNoAtlasIndex);
    EXPECT_EQ(first->atlasIndex(), CCSpriteNoAtlasIndex);
    runFrames(1);
    EXPECT_EQ(batch_->drawCalls, 0u);
}

TEST_F(CCSpriteBatchNodeGLTest, SubtreesInsertedAgainTakeTheirDrawOrderPlaceWithoutASort) {
    const Tree t = tree();
    runFrames(1);
    ASSERT_TRUE(consistent(t.order()));

    // A subtree's lowest and highest index count the sprite itself where its z order puts it.
    for (const auto& [name, sprite, lowest, highest] :
         {std::tuple{"C", t.C.get(), 0u, 0u}, {"A", t.A.get(), 1u, 4u}, {"a2", t.a2.get(), 3u, 3u},
          {"B", t.B.get(), 5u, 6u}, {"D", t.D.get(), 7u, 8u}}) {
        EXPECT_EQ(batch_->lowestAtlasIndexInChild(sprite), lowest) << name;
        EXPECT_EQ(batch_->highestAtlasIndexInChild(sprite), highest) << name;
    }

    // Each sprite taken out with its subtree and inserted again at the index its z order gives
    // puts every quad back in draw order at once, with nothing left for a sort to mend.
    for (const auto& [name, sprite] : {std::pair{"A", t.A.get()}, {"D", t.D.get()}, {"B", t.B.get()},
                                       {"C", t.C.get()}, {"a1", t.a1.get()}, {"a2", t.a2.get()},
                                       {"a3", t.a3.get()}, {"b1", t.b1.get()}, {"d1", t.d1.get()}}) {
        batch_->removeSpriteFromAtlas(sprite);
        batch_->insertChild(sprite, batch_->atlasIndexForChild(sprite, sprite->zOrder()));
        EXPECT_TRUE(consistent(t.order())) << name;
        EXPECT_EQ(sprite->batchNode(), batch_.get()) << name;
    }
    runFrames(1);
    EXPECT_TRUE(consistent(t.order()));
    EXPECT_TRUE(pixelNear(232, 100, kGreen));  // D over B over b1
    EXPECT_TRUE(pixelNear(272, 100, kRed));    // d1 beside them
    EXPECT_EQ(batch_->drawCalls, 1u);
}

TEST_F(CCSpriteBatchNodeGLTest, RemovalByIndexAndRenumberingKeepIndexesInDrawOrder) {
    const Tree t = tree();
    runFrames(1);
    // Sorted, the children are C, A, B, D: index 1 takes A's four quads out.
    batch_->removeChildAtIndex(1, true);
    const std::vector<CCSprite*> left{t.C.get(), t.b1.get(), t.B.get(), t.D.get(), t.d1.get()};
    EXPECT_TRUE(consistent(left));
    EXPECT_EQ(t.A->parent(), nullptr);
    for (CCSprite* gone : {t.A.get(), t.a1.get(), t.a2.get(), t.a3.get()}) EXPECT_EQ(gone->batchNode(), nullptr);
    EXPECT_THROW(batch_->removeChildAtIndex(3, true), NamedException);
    EXPECT_TRUE(consistent(left));

    // Renumbering a subtree from a start index gives it consecutive indexes in draw order and
    // answers the next free one; from the batch at 0 it restores every index.
    for (const auto& [subtree, start, next, numbered] :
         {std::tuple{t.B.get(), 10u, 12u, std::vector<CCSprite*>{t.b1.get(), t.B.get()}},
          {t.D.get(), 20u, 22u, std::vector<CCSprite*>{t.D.get(), t.d1.get()}}}) {
        EXPECT_EQ(batch_->rebuildIndexInOrder(subtree, start), next);
        for (uint64_t i = 0; i < numbered.size(); ++i) EXPECT_EQ(numbered[i]->atlasIndex(), start + i);
    }
    EXPECT_EQ(batch_->rebuildIndexInOrder(batch_.get(), 0), left.size());
    EXPECT_TRUE(consistent(left));
}

TEST_F(CCSpriteBatchNodeGLTest, BlendingFollowsTheTexturesAlphaUnlessChosen) {
    // One opaque white pixel, uploaded as it stands: no premultiplied alpha.
    const auto straight = makeRef<CCTexture2D>();
    const uint8_t white[4] = {255, 255, 255, 255};
    ASSERT_TRUE(straight->initWithData(white, kCCTexture2DPixelFormat_RGBA8888, 1, 1, CGSizeMake(1, 1)));
    const ccBlendFunc premultiplied{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}, straightAlpha{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    const ccBlendFunc chosen{GL_ONE, GL_ONE};
    const struct {
        const char* name;
        RefPtr<CCTexture2D> texture;   // null: init() and its empty texture
        bool choose;                   // setBlendFunc(chosen), then setTexture(later)
        RefPtr<CCTexture2D> later;
        ccBlendFunc expected;
    } cases[] = {
        {"premultiplied texture", texture_, false, nullptr, premultiplied},
        {"straight texture", straight, false, nullptr, straightAlpha},
        {"empty texture", nullptr, false, nullptr, straightAlpha},
        {"chosen, then a premultiplied texture", straight, true, texture_, chosen},
        {"chosen, then a straight texture", texture_, true, straight, straightAlpha},
    };
    for (const auto& c : cases) {
        auto batch = makeRef<CCSpriteBatchNode>();
        ASSERT_TRUE(c.texture ? batch->initWithTexture(c.texture, 1) : batch->init()) << c.name;
        if (c.choose) {
            batch->setBlendFunc(chosen);
            batch->setTexture(c.later);
            EXPECT_EQ(batch->texture(), c.later.get()) << c.name;
        }
        EXPECT_EQ(batch->blendFunc(), c.expected) << c.name;
    }
}

TEST_F(CCSpriteBatchNodeGLTest, SpritesOutlivingTheirBatchLetItGo) {
    RefPtr<CCSprite> parent = cell(1, 100, 100), child = cell(2, 10, 10);
    batch_->addChild(parent.get());
    parent->addChild(child.get());
    scene_->removeChild(batch_.get(), true);
    batch_.reset();  // the batch goes while its sprites' owner keeps them
    EXPECT_EQ(parent->batchNode(), nullptr);
    EXPECT_EQ(child->batchNode(), nullptr);
    child->removeFromParentAndCleanup(true);
    parent->setPosition({50, 50});
    scene_->addChild(parent.get());
    runFrames(1);
    EXPECT_TRUE(pixelNear(50, 50, kGreen));
}

TEST_F(CCSpriteBatchNodeGLTest, SteadyFramesOfMovingSpritesAllocateNothing) {
    std::vector<RefPtr<CCSprite>> sprites;
    for (int i = 0; i < 8; ++i) {
        sprites.push_back(cell(i % 4, 20 + 30 * i, 100));
        batch_->addChild(sprites.back().get(), 8 - i);
    }
    runFrames(2);
    AllocationCounter counter;
    for (int frame = 0; frame < 10; ++frame) {
        for (auto& sprite : sprites) sprite->setRotation(static_cast<float>(frame));
        batch_->reorderChild(sprites[frame % 8].get(), frame);
        runFrames(1);
    }
    EXPECT_EQ(counter.count(), 0u);
    EXPECT_EQ(batch_->drawCalls, 1u);
}

TEST_F(CCSpriteBatchNodeGLTest, InconsistentUseIsRefusedBeforeTheAtlasIsTouched) {
    RefPtr<CCSprite> inside = cell(0, 50, 50);
    batch_->addChild(inside.get());

    // Only sprites, at any depth.
    EXPECT_THROW(batch_->addChild(CCNode::node().get()), NamedException);
    RefPtr<CCSprite> withNode = cell(1, 0, 0);
    withNode->addChild(CCNode::node().get());
    EXPECT_THROW(batch_->addChild(withNode.get()), NamedException);
    EXPECT_THROW(inside->addChild(CCNode::node().get()), NamedException);
    EXPECT_TRUE(consistent({inside.get()}));

    // Another batch's sprite is not this batch's to take out.
    RefPtr<CCSpriteBatchNode> other = CCSpriteBatchNode::batchNodeWithTexture(texture_);
    RefPtr<CCSprite> foreign = cell(2, 0, 0);
    other->addChild(foreign.get());
    batch_->removeChild(foreign.get(), true);
    inside->removeChild(foreign.get(), true);
    EXPECT_TRUE(consistent({inside.get()}));
    EXPECT_EQ(other->textureAtlas()->totalQuads(), 1u);

    // A raw quad index beyond what an atlas can hold stops instead of growing for ever.
    EXPECT_THROW(batch_->addQuadFromSprite(cell(0, 0, 0).get(), CCTextureAtlas::kCCTextureAtlasMaxCapacity),
                 NamedException);
    // A sprite entered without a quad at an index past the atlas cannot be renumbered into it.
    batch_->addSpriteWithoutQuad(cell(3, 0, 0).get(), 7, 0);
    batch_->reorderChild(inside.get(), 9);
    EXPECT_THROW(batch_->sortAllChildren(), NamedException);
}

}  // namespace
