// The physics sprite in a sprite batch: always dirty, so its quad is written again every frame
// whatever moved it, where a plain sprite's is written only after a change through its setters.

#include "engine/render/CCPhysicsSprite.h"

#include <gtest/gtest.h>

#include "SpriteGLTest.h"
#include "engine/render/CCSpriteBatchNode.h"

namespace {

using CCPhysicsSpriteGLTest = SpriteGLTest;

TEST_F(CCPhysicsSpriteGLTest, ItsQuadIsWrittenAgainEveryFrame) {
    const RefPtr<CCSpriteBatchNode> batch = CCSpriteBatchNode::batchNodeWithTexture(texture_);
    scene_->addChild(batch.get());
    const auto physics = makeRef<CCPhysicsSprite>();
    ASSERT_TRUE(physics->initWithTexture(texture_, CGRectMake(32, 0, 32, 32)));  // green
    physics->setPosition({100, 100});
    const RefPtr<CCSprite> plain = CCSprite::spriteWithTexture(texture_, CGRectMake(0, 0, 32, 32));  // red
    plain->setPosition({200, 100});
    batch->addChild(physics.get());
    batch->addChild(plain.get());
    EXPECT_FALSE(physics->ignoreBodyRotation());
    runFrames(1);
    EXPECT_TRUE(physics->dirty());
    EXPECT_FALSE(plain->dirty());

    // Both quads wiped in the atlas behind the sprites' backs: only the physics sprite's comes back.
    ccV3F_C4B_T2F_Quad* quads = batch->textureAtlas()->quads();
    quads[physics->atlasIndex()] = quads[plain->atlasIndex()] = {};
    runFrames(1);
    EXPECT_TRUE(pixelNear(100, 100, kGreen));
    EXPECT_TRUE(pixelNear(200, 100, kBlack));
}

}  // namespace
