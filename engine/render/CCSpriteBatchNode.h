#pragma once

#include <cstdint>
#include <string>

#include "engine/render/CCBatchNode.h"

class CCSprite;

// Draws any number of sprites that share one texture with one draw call. Every descendant sprite
// keeps its quad in the batch's atlas, and `descendants` holds them in atlas order: descendants[i]
// has atlas index i and its quad is atlas quad i.
//
// Atlas order is draw order: depth first, each sprite's negative-z children, the sprite, then its
// other children, siblings in sorted order (z, then arrival). It is kept lazily: additions go to
// the end of the atlas and set the reorder flag, and the next visit sorts and renumbers, moving
// quads by swaps. Children are never visited themselves: their grids and cameras do nothing.
//
// Every node added under a batch must be a CCSprite (NamedException
// "NSInternalInconsistencyException" otherwise), and a batch holds at most
// CCTextureAtlas::kCCTextureAtlasMaxCapacity sprites (the same exception beyond that).
//
// Engine thread only.
class CCSpriteBatchNode : public CCBatchNode {
public:
    static constexpr uint64_t kDefaultCapacity = 29;

    // Null when the capacity is refused by the atlas. A file that cannot be loaded gives a batch
    // without a texture.
    static RefPtr<CCSpriteBatchNode> batchNodeWithTexture(RefPtr<CCTexture2D> texture,
                                                          uint64_t capacity = kDefaultCapacity);
    static RefPtr<CCSpriteBatchNode> batchNodeWithFile(const std::string& file, uint64_t capacity = kDefaultCapacity);

    CCSpriteBatchNode() = default;

    // An empty texture and no capacity.
    bool init();
    // Premultiplied blending (straight alpha for a texture without premultiplied alpha), an atlas
    // of the capacity on the texture, the program "ShaderPositionTextureColor". False when the
    // atlas refuses the capacity.
    bool initWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity);
    bool initWithFile(const std::string& file, uint64_t capacity);

    // Sets the atlas's texture and re-derives the blend function.
    void setTexture(RefPtr<CCTexture2D> texture) override;
    // Of CCSprite, in atlas order.
    CCArray* descendants() const { return descendants_.get(); }

    // Children; each is a CCSprite, and its subtree joins the atlas with it.
    using CCNode::addChild;
    void addChild(CCNode* child, int64_t z, int64_t tag) override;
    void reorderChild(CCNode* child, int64_t z) override;
    // A node that is not a child is ignored.
    void removeChild(CCNode* child, bool cleanup) override;
    void removeChildAtIndex(uint64_t index, bool cleanup);
    // Every descendant goes back to self-render; the capacity stays.
    void removeAllChildrenWithCleanup(bool cleanup) override;
    // Sorts, then renumbers the atlas, when the reorder flag is set.
    void sortAllChildren() override;
    // Sets or clears the reorder flag.
    void reorderBatch(bool reorder) { setReorderChildDirty(reorder); }

    // Atlas bookkeeping, for sprites and subclasses. appendChild puts the sprite's subtree at the
    // end of the atlas; insertChild puts the sprite at `index` (at most the descendant count) and
    // its children where their order puts them.
    void appendChild(CCSprite* sprite);
    void insertChild(CCSprite* sprite, uint64_t index);
    // Where a child sprite of the batch or of a batched sprite goes in the atlas, given its z.
    uint64_t atlasIndexForChild(CCSprite* sprite, int64_t z);
    // The highest (lowest) atlas index in the sprite's subtree: its last (first) child's, or its
    // own when it has no children or comes after (before) all of them.
    uint64_t highestAtlasIndexInChild(CCSprite* sprite);
    uint64_t lowestAtlasIndexInChild(CCSprite* sprite);
    // Renumbers the node's subtree (the batch itself takes no index) in draw order from `index`,
    // without moving quads; returns the next free index.
    uint64_t rebuildIndexInOrder(CCNode* node, uint64_t index);
    // Takes the sprite's subtree out of the atlas; the sprites go back to self-render.
    void removeSpriteFromAtlas(CCSprite* sprite);
    // Grows the capacity by about a third ((capacity + 1) x 4 / 3), up to the atlas's maximum.
    void increaseAtlasCapacity();

    // Raw quad entry for tile layers: the sprite's quad at `index` of the atlas without making it
    // a child or a descendant; or the sprite as a child and descendant at atlas index z without a
    // quad, and no re-sort.
    void addQuadFromSprite(CCSprite* sprite, uint64_t index);
    void addSpriteWithoutQuad(CCSprite* sprite, uint64_t z, int64_t tag);

protected:
    // Sprites that outlive the batch (their owners hold them) go back to drawing themselves, so
    // that none keeps pointing at the batch or its atlas.
    ~CCSpriteBatchNode() override;

    // Rewrites the quads of the sprites whose transform changed.
    void updateQuads() override;

private:
    // Checks that the subtree is all sprites and that the atlas can take it.
    void requireAppendable(CCNode* subtree) const;
    void appendSubtree(CCSprite* sprite);
    // Gives the sprite's subtree consecutive indexes from *current, swapping quads into place.
    void updateAtlasIndex(CCSprite* sprite, uint64_t* current);
    // Exchanges the descendants and quads at the two indexes; the sprite found at newIndex takes
    // oldIndex.
    void swap(uint64_t oldIndex, uint64_t newIndex);
    void growIfFull();

    RefPtr<CCArray> descendants_;  // of CCSprite; position = atlas index
};
