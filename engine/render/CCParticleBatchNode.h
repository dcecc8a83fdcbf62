#pragma once

#include <cstdint>
#include <string>

#include "engine/render/CCBatchNode.h"

class CCParticleSystem;

// Draws all its children, particle systems on its texture, from one atlas with one draw call.
//
// Each child owns a contiguous block of totalParticles quads, starting at its atlasIndex; blocks
// follow the children's order, which is kept sorted by z (equal z: order of arrival). Invariant
// after every public operation: child k's atlasIndex is the sum of the totalParticles of children
// 0 to k-1, and the atlas holds exactly the sum of all of them. The children are not visited: they
// update themselves and write their quads into their blocks, with their own position added.
//
// Only CCParticleSystemQuad children are taken, and only while the atlas can hold their blocks
// (CCTextureAtlas::kCCTextureAtlasMaxCapacity quads); other children are refused with a log line.
// A child whose texture differs draws with the batch's texture.
//
// Engine thread only.
class CCParticleBatchNode : public CCBatchNode {
public:
    // Quads of a batch made without a capacity.
    static constexpr uint64_t kCCParticleDefaultCapacity = 500;

    // Null when the atlas refuses the capacity. A file that cannot be loaded gives a batch without
    // a texture.
    static RefPtr<CCParticleBatchNode> batchNodeWithTexture(RefPtr<CCTexture2D> texture,
                                                            uint64_t capacity = kCCParticleDefaultCapacity);
    static RefPtr<CCParticleBatchNode> batchNodeWithFile(const std::string& file,
                                                         uint64_t capacity = kCCParticleDefaultCapacity);

    CCParticleBatchNode() = default;

    // An atlas of `capacity` quads on the texture, premultiplied blending whatever the texture;
    // false when the atlas refuses the capacity. The program is taken at the first draw.
    bool initWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity);
    bool initWithFile(const std::string& file, uint64_t capacity);

    // Sets the atlas's texture; a straight-alpha texture turns the default blending straight. The
    // blend pair is otherwise stored only; the first child added sets it to its own.
    void setTexture(RefPtr<CCTexture2D> texture) override;

    // Children. A new child goes after the children of its z or below and takes the block there,
    // the later blocks moving up; it then writes its quads into the atlas.
    using CCNode::addChild;
    void addChild(CCNode* child, int64_t z, int64_t tag) override;
    // Moves the child's block along with it and rewrites its quads.
    void reorderChild(CCNode* child, int64_t z) override;
    // Closes the child's block; the child draws itself again. Null and non-children are ignored.
    void removeChild(CCNode* child, bool cleanup) override;
    void removeChildAtIndex(uint64_t index, bool cleanup);
    void removeAllChildrenWithCleanup(bool cleanup) override;
    // Nothing to sort: addChild and reorderChild keep the children in z order, which is the
    // order of their blocks (a sort by order of arrival would part them from their blocks).
    void sortAllChildren() override {}

    // Block bookkeeping. addChildHelper inserts the child at its z's position and answers it;
    // insertChild opens the child's block at `index`; updateAllAtlasIndexes renumbers every block
    // from the children's order; increaseAtlasCapacityTo grows the atlas to exactly `quantity`
    // quads.
    uint64_t addChildHelper(CCParticleSystem* child, int64_t z, int64_t tag);
    // The child's index now (oldIndex) and once moved to z (newIndex, counted without it).
    void getCurrentIndex(uint64_t* oldIndex, uint64_t* newIndex, CCNode* child, int64_t z) const;
    // The index of the first child whose z is greater than z, or the child count.
    uint64_t searchNewPositionInChildrenForZ(int64_t z) const;
    void insertChild(CCParticleSystem* child, uint64_t index);
    void updateAllAtlasIndexes();
    void increaseAtlasCapacityTo(uint64_t quantity);
    // Collapses atlas quad i (an absolute index below the capacity) to a point: it shows nothing.
    void disableParticle(uint64_t particleIndex);

protected:
    ~CCParticleBatchNode() override = default;
};
