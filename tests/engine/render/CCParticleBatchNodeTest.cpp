// The particle batch's blocks without GL: indices and quads through insertion by z, reorder and
// removal, dead particles collapsing their quads, and the children and sizes it refuses.

#include "engine/render/CCParticleBatchNode.h"

#include <gtest/gtest.h>

#include "ParticleTestSupport.h"

#include "engine/render/CCParticleSystemQuad.h"
#include "platform/foundation/Log.h"

namespace {

class CCParticleBatchNodeTest : public ParticleTest {
protected:
    void SetUp() override {
        ParticleTest::SetUp();
        batch_ = CCParticleBatchNode::batchNodeWithTexture(nullptr, 8);
        ASSERT_NE(batch_, nullptr);
    }

    // A system of `capacity` particles whose first particle is a point at (marker, 0).
    static RefPtr<CCParticleSystemQuad> marked(uint64_t capacity, float marker) {
        RefPtr<CCParticleSystemQuad> system = CCParticleSystemQuad::particleWithTotalParticles(capacity);
        system->setLife(10);
        system->setSourcePosition({marker, 0});
        EXPECT_TRUE(system->addParticle());
        system->update(0);
        return system;
    }

    // Each system's block starts where expected and begins with its marked quad; the atlas holds
    // exactly the blocks.
    ::testing::AssertionResult blocks(std::initializer_list<std::tuple<CCParticleSystem*, uint64_t, float>> order) {
        uint64_t total = 0;
        for (const auto& [system, index, marker] : order) {
            const float x = batch_->textureAtlas()->quads()[index].bl.vertices.x;
            if (system->atlasIndex() != index || x != marker) {
                return ::testing::AssertionFailure() << "block at " << system->atlasIndex() << " marked " << x;
            }
            total += system->totalParticles();
        }
        if (batch_->textureAtlas()->totalQuads() != total || batch_->children()->count() != order.size()) {
            return ::testing::AssertionFailure() << batch_->textureAtlas()->totalQuads() << " quads";
        }
        return ::testing::AssertionSuccess();
    }

    RefPtr<CCParticleBatchNode> batch_;
};

TEST_F(CCParticleBatchNodeTest, BlocksFollowTheChildrenThroughInsertionReorderAndRemoval) {
    RefPtr<CCParticleSystemQuad> a = marked(10, 1), b = marked(20, 2), c = marked(5, 3);
    batch_->addChild(a.get(), 0);
    batch_->addChild(b.get(), 0);
    EXPECT_TRUE(blocks({{a.get(), 0, 1}, {b.get(), 10, 2}}));
    batch_->addChild(c.get(), -1);
    EXPECT_TRUE(blocks({{c.get(), 0, 3}, {a.get(), 5, 1}, {b.get(), 15, 2}}));
    EXPECT_EQ(a->textureAtlas(), nullptr);

    batch_->reorderChild(a.get(), 0);
    EXPECT_TRUE(blocks({{c.get(), 0, 3}, {a.get(), 5, 1}, {b.get(), 15, 2}}));
    batch_->reorderChild(c.get(), 0);  // after the others of z 0
    EXPECT_TRUE(blocks({{a.get(), 0, 1}, {b.get(), 10, 2}, {c.get(), 30, 3}}));
    batch_->reorderChild(b.get(), 1);
    EXPECT_TRUE(blocks({{a.get(), 0, 1}, {c.get(), 10, 3}, {b.get(), 15, 2}}));

    batch_->removeChild(c.get(), true);
    EXPECT_TRUE(blocks({{a.get(), 0, 1}, {b.get(), 10, 2}}));
    EXPECT_EQ(c->batchNode(), nullptr);
    EXPECT_EQ(c->textureAtlas()->capacity(), 5u);

    batch_->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(batch_->textureAtlas()->totalQuads(), 0u);
    EXPECT_EQ(b->textureAtlas()->capacity(), 20u);
}

TEST_F(CCParticleBatchNodeTest, TheSortBeforeEachDrawKeepsAMovedChildBesideItsBlock) {
    RefPtr<CCParticleSystemQuad> a = marked(10, 1), b = marked(20, 2);
    batch_->addChild(a.get(), 1);
    batch_->addChild(b.get(), 1);
    // a arrived first but now stands behind b of the same z; a sort by arrival would swap the two
    // children and leave their blocks where they are.
    batch_->reorderChild(a.get(), 2);
    batch_->reorderChild(a.get(), 1);
    batch_->sortAllChildren();
    EXPECT_TRUE(blocks({{b.get(), 0, 2}, {a.get(), 20, 1}}));
    EXPECT_EQ(batch_->children()->objectAtIndex(0), b.get());
}

TEST_F(CCParticleBatchNodeTest, ADeadParticleCollapsesItsQuadAndTheMovedOneKeepsItsOwn) {
    RefPtr<CCParticleSystemQuad> first = marked(4, 9), system = marked(3, 0);
    batch_->addChild(first.get(), 0);
    batch_->addChild(system.get(), 0);
    system->setPositionType(CCParticleSystem::kCCPositionTypeGrouped);
    system->setPosition({7, 0});
    for (float life : {1.f, 5.f}) {
        system->setLife(life);
        ASSERT_TRUE(system->addParticle());
    }
    system->update(0);
    system->update(2);
    ASSERT_EQ(system->particleCount(), 2u);
    EXPECT_EQ(system->particles()[1].quadIndex, 2u);
    EXPECT_EQ(system->particles()[2].quadIndex, 1u);  // the free slot takes the freed quad
    const ccV3F_C4B_T2F_Quad* quads = batch_->textureAtlas()->quads() + 4;
    EXPECT_EQ(quads[0].bl.vertices.x, 7);  // drawn at the system's position
    EXPECT_EQ(quads[1].tr.vertices.x, 0);
    EXPECT_EQ(quads[1].tr.vertices.y, 0);
    EXPECT_EQ(quads[2].bl.vertices.x, 7);
}

TEST_F(CCParticleBatchNodeTest, RefusesOtherChildrenOversizedBlocksAndGrowth) {
    RefPtr<CCParticleSystemQuad> a = marked(10, 1);
    batch_->addChild(a.get(), 0);
    LogCapture log;
    RefPtr<CCNode> node = CCNode::node();
    RefPtr<CCParticleSystem> plain = CCParticleSystem::particleWithTotalParticles(3);
    RefPtr<CCParticleSystemQuad> huge =
        CCParticleSystemQuad::particleWithTotalParticles(CCParticleSystem::kCCParticleSystemMaxParticles);
    for (CCNode* child : {node.get(), static_cast<CCNode*>(plain.get()), static_cast<CCNode*>(huge.get())}) {
        batch_->addChild(child, 0);
        EXPECT_EQ(child->parent(), nullptr);
    }
    a->setTotalParticles(11);
    a->setTotalParticles(5);
    EXPECT_TRUE(blocks({{a.get(), 0, 1}}));
    EXPECT_EQ(log.lines().size(), 5u);
}

}  // namespace
