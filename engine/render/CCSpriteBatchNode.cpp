#include "engine/render/CCSpriteBatchNode.h"

#include <algorithm>
#include <utility>

#include <epoxy/gl.h>

#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCSprite.h"
#include "platform/foundation/NamedException.h"

namespace {
CCSprite* spriteAt(const CCArray* array, uint64_t index) { return static_cast<CCSprite*>(array->data()->arr[index]); }

// The sprites of a subtree; throws when a node in it is not a sprite.
uint64_t countSprites(CCNode* node) {
    CC_REQUIRE(dynamic_cast<CCSprite*>(node), "NSInternalInconsistencyException",
               "CCSpriteBatchNode only supports CCSprites as children");
    uint64_t count = 1;
    if (node->children()) {
        for (Object* child : *node->children()) count += countSprites(static_cast<CCNode*>(child));
    }
    return count;
}
}  // namespace

RefPtr<CCSpriteBatchNode> CCSpriteBatchNode::batchNodeWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity) {
    auto batch = makeRef<CCSpriteBatchNode>();
    return batch->initWithTexture(std::move(texture), capacity) ? batch : nullptr;
}

RefPtr<CCSpriteBatchNode> CCSpriteBatchNode::batchNodeWithFile(const std::string& file, uint64_t capacity) {
    auto batch = makeRef<CCSpriteBatchNode>();
    return batch->initWithFile(file, capacity) ? batch : nullptr;
}

CCSpriteBatchNode::~CCSpriteBatchNode() {
    if (!descendants_) return;
    for (Object* sprite : *descendants_) static_cast<CCSprite*>(sprite)->setBatchNode(nullptr);
}

bool CCSpriteBatchNode::init() { return initWithTexture(makeRef<CCTexture2D>(), 0); }

bool CCSpriteBatchNode::initWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity) {
    blendFunc_ = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    textureAtlas_ = CCTextureAtlas::textureAtlasWithTexture(std::move(texture), capacity);
    if (!textureAtlas_) return false;
    updateBlendFunc();
    descendants_ = CCArray::arrayWithCapacity(capacity);
    setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor));
    return true;
}

bool CCSpriteBatchNode::initWithFile(const std::string& file, uint64_t capacity) {
    return initWithTexture(CCTextureCache::sharedTextureCache()->addImage(file), capacity);
}

// MARK: texture

void CCSpriteBatchNode::setTexture(RefPtr<CCTexture2D> texture) {
    if (textureAtlas_) textureAtlas_->setTexture(std::move(texture));
    updateBlendFunc();
}

// MARK: children

void CCSpriteBatchNode::addChild(CCNode* child, int64_t z, int64_t tag) {
    CC_REQUIRE(child, "NSInvalidArgumentException", "CCSpriteBatchNode: the child must not be null");
    requireAppendable(child);
    CCNode::addChild(child, z, tag);
    appendSubtree(static_cast<CCSprite*>(child));
}

void CCSpriteBatchNode::reorderChild(CCNode* child, int64_t z) {
    CC_REQUIRE(child, "NSInvalidArgumentException", "CCSpriteBatchNode: the child must not be null");
    if (child->zOrder() == z) return;
    CCNode::reorderChild(child, z);
}

void CCSpriteBatchNode::removeChild(CCNode* child, bool cleanup) {
    // Only a child may take quads out of the atlas: another node's index means another atlas.
    if (!child || !children() || !children()->containsObject(child)) return;
    removeSpriteFromAtlas(static_cast<CCSprite*>(child));
    CCNode::removeChild(child, cleanup);
}

void CCSpriteBatchNode::removeChildAtIndex(uint64_t index, bool cleanup) {
    CC_REQUIRE(children() && index < children()->count(), "NSRangeException", "index %llu beyond the children",
               static_cast<unsigned long long>(index));
    removeChild(static_cast<CCNode*>(children()->objectAtIndex(index)), cleanup);
}

void CCSpriteBatchNode::removeAllChildrenWithCleanup(bool cleanup) {
    for (Object* descendant : *descendants_) static_cast<CCSprite*>(descendant)->setBatchNode(nullptr);
    CCNode::removeAllChildrenWithCleanup(cleanup);
    descendants_->removeAllObjects();
    textureAtlas_->removeAllQuads();
}

void CCSpriteBatchNode::sortAllChildren() {
    if (!isReorderChildDirty()) return;
    CCNode::sortAllChildren();
    if (children() && children()->count() > 0) {
        for (Object* child : *children()) static_cast<CCSprite*>(child)->sortAllChildren();
        uint64_t index = 0;
        for (Object* child : *children()) updateAtlasIndex(static_cast<CCSprite*>(child), &index);
    }
    setReorderChildDirty(false);
}

void CCSpriteBatchNode::updateAtlasIndex(CCSprite* sprite, uint64_t* current) {
    const auto take = [this, sprite, current] {
        const uint64_t old = sprite->atlasIndex();
        sprite->setAtlasIndex(*current);
        sprite->setOrderOfArrival(0);
        if (old != *current) swap(old, *current);
        ++*current;
    };
    const CCArray* children = sprite->children();
    if (!children || children->count() == 0) {
        take();
        return;
    }
    bool taken = false;
    if (spriteAt(children, 0)->zOrder() >= 0) {
        take();
        taken = true;
    }
    for (Object* object : *children) {
        auto* child = static_cast<CCSprite*>(object);
        if (!taken && child->zOrder() >= 0) {
            take();
            taken = true;
        }
        updateAtlasIndex(child, current);
    }
    if (!taken) take();
}

void CCSpriteBatchNode::swap(uint64_t oldIndex, uint64_t newIndex) {
    // Indexes below the running index are final, so every index met here lies within the atlas
    // unless a sprite entered it by another road (raw quad entry) with an index of its own.
    const uint64_t count = std::min(descendants_->count(), textureAtlas_->totalQuads());
    CC_REQUIRE(oldIndex < count && newIndex < count, "NSRangeException",
               "CCSpriteBatchNode: cannot renumber atlas index %llu to %llu with %llu sprites in the atlas",
               static_cast<unsigned long long>(oldIndex), static_cast<unsigned long long>(newIndex),
               static_cast<unsigned long long>(count));
    Object** slots = descendants_->data()->arr;
    std::swap(slots[oldIndex], slots[newIndex]);
    ccV3F_C4B_T2F_Quad* quads = textureAtlas_->quads();
    std::swap(quads[oldIndex], quads[newIndex]);
    static_cast<CCSprite*>(slots[oldIndex])->setAtlasIndex(oldIndex);
}

// MARK: atlas bookkeeping

void CCSpriteBatchNode::requireAppendable(CCNode* subtree) const {
    const uint64_t sprites = countSprites(subtree);
    CC_REQUIRE(descendants_->count() + sprites <= CCTextureAtlas::kCCTextureAtlasMaxCapacity,
               "NSInternalInconsistencyException", "CCSpriteBatchNode: %llu more sprites exceed the %llu an atlas holds",
               static_cast<unsigned long long>(sprites),
               static_cast<unsigned long long>(CCTextureAtlas::kCCTextureAtlasMaxCapacity));
}

void CCSpriteBatchNode::appendChild(CCSprite* sprite) {
    requireAppendable(sprite);
    appendSubtree(sprite);
}

void CCSpriteBatchNode::appendSubtree(CCSprite* sprite) {
    setReorderChildDirty(true);
    sprite->setBatchNode(this);
    sprite->setDirty(true);
    growIfFull();
    descendants_->addObject(sprite);
    const uint64_t index = descendants_->count() - 1;
    sprite->setAtlasIndex(index);
    const ccV3F_C4B_T2F_Quad quad = sprite->quad();
    textureAtlas_->insertQuad(&quad, index);
    if (sprite->children()) {
        for (Object* child : *sprite->children()) appendSubtree(static_cast<CCSprite*>(child));
    }
}

void CCSpriteBatchNode::insertChild(CCSprite* sprite, uint64_t index) {
    CC_REQUIRE(index <= descendants_->count(), "NSRangeException", "CCSpriteBatchNode: atlas index %llu beyond %llu",
               static_cast<unsigned long long>(index), static_cast<unsigned long long>(descendants_->count()));
    requireAppendable(sprite);
    sprite->setBatchNode(this);
    sprite->setAtlasIndex(index);
    sprite->setDirty(true);
    growIfFull();
    const ccV3F_C4B_T2F_Quad quad = sprite->quad();
    textureAtlas_->insertQuad(&quad, index);
    descendants_->insertObject(sprite, index);
    for (uint64_t i = index + 1; i < descendants_->count(); ++i) {
        CCSprite* after = spriteAt(descendants_.get(), i);
        after->setAtlasIndex(after->atlasIndex() + 1);
    }
    if (sprite->children()) {
        for (Object* object : *sprite->children()) {
            auto* child = static_cast<CCSprite*>(object);
            insertChild(child, atlasIndexForChild(child, child->zOrder()));
        }
    }
}

uint64_t CCSpriteBatchNode::atlasIndexForChild(CCSprite* sprite, int64_t z) {
    CCNode* parent = sprite->parent();
    const uint64_t i = parent && parent->children() ? parent->children()->indexOfObject(sprite) : ccArrayNotFound;
    CC_REQUIRE(i != ccArrayNotFound, "NSInternalInconsistencyException",
               "CCSpriteBatchNode: atlasIndexForChild of a sprite without a parent");
    CCSprite* previous = i > 0 ? spriteAt(parent->children(), i - 1) : nullptr;
    if (parent == this) return previous ? highestAtlasIndexInChild(previous) + 1 : 0;
    const uint64_t parentIndex = static_cast<CCSprite*>(parent)->atlasIndex();
    if (!previous) return z < 0 ? parentIndex : parentIndex + 1;
    if ((previous->zOrder() < 0) != (z < 0)) return parentIndex + 1;
    return highestAtlasIndexInChild(previous) + 1;
}

// A sprite sits after its negative-z children and before the others, so it is itself the last of
// its subtree when its last child is below it, and the first when its first child is above it.
uint64_t CCSpriteBatchNode::highestAtlasIndexInChild(CCSprite* sprite) {
    const CCArray* children = sprite->children();
    if (!children || children->count() == 0) return sprite->atlasIndex();
    CCSprite* last = spriteAt(children, children->count() - 1);
    return last->zOrder() < 0 ? sprite->atlasIndex() : highestAtlasIndexInChild(last);
}

uint64_t CCSpriteBatchNode::lowestAtlasIndexInChild(CCSprite* sprite) {
    const CCArray* children = sprite->children();
    if (!children || children->count() == 0) return sprite->atlasIndex();
    CCSprite* first = spriteAt(children, 0);
    return first->zOrder() >= 0 ? sprite->atlasIndex() : lowestAtlasIndexInChild(first);
}

uint64_t CCSpriteBatchNode::rebuildIndexInOrder(CCNode* node, uint64_t index) {
    const CCArray* children = node->children();
    if (children) {
        for (Object* child : *children) {
            if (static_cast<CCNode*>(child)->zOrder() < 0) index = rebuildIndexInOrder(static_cast<CCNode*>(child), index);
        }
    }
    if (node != this) static_cast<CCSprite*>(node)->setAtlasIndex(index++);
    if (children) {
        for (Object* child : *children) {
            if (static_cast<CCNode*>(child)->zOrder() >= 0) index = rebuildIndexInOrder(static_cast<CCNode*>(child), index);
        }
    }
    return index;
}

void CCSpriteBatchNode::removeSpriteFromAtlas(CCSprite* sprite) {
    const RefPtr<CCSprite> keep(sprite);
    textureAtlas_->removeQuadAtIndex(sprite->atlasIndex());
    sprite->setBatchNode(nullptr);
    const uint64_t position = descendants_->indexOfObject(sprite);
    if (position != ccArrayNotFound) {
        descendants_->removeObjectAtIndex(position);
        for (uint64_t i = position; i < descendants_->count(); ++i) {
            CCSprite* after = spriteAt(descendants_.get(), i);
            after->setAtlasIndex(after->atlasIndex() - 1);
        }
    }
    if (sprite->children()) {
        for (Object* child : *sprite->children()) removeSpriteFromAtlas(static_cast<CCSprite*>(child));
    }
}

void CCSpriteBatchNode::increaseAtlasCapacity() {
    const uint64_t capacity = textureAtlas_->capacity();
    const uint64_t grown = std::min((capacity + 1) * 4 / 3, CCTextureAtlas::kCCTextureAtlasMaxCapacity);
    // Callers have checked the room, so only a full atlas of the maximum size or a failed
    // allocation gets here without growing.
    const bool resized = grown > capacity && textureAtlas_->resizeCapacity(grown);
    CC_REQUIRE(resized, "NSInternalInconsistencyException", "CCSpriteBatchNode: cannot grow the atlas beyond %llu quads",
               static_cast<unsigned long long>(capacity));
}

void CCSpriteBatchNode::growIfFull() {
    if (textureAtlas_->totalQuads() == textureAtlas_->capacity()) increaseAtlasCapacity();
}

// MARK: raw quad entry

void CCSpriteBatchNode::addQuadFromSprite(CCSprite* sprite, uint64_t index) {
    CC_REQUIRE(sprite, "NSInvalidArgumentException", "CCSpriteBatchNode: the sprite must not be null");
    while (index >= textureAtlas_->capacity() || textureAtlas_->totalQuads() == textureAtlas_->capacity()) {
        increaseAtlasCapacity();
    }
    sprite->setBatchNode(this);
    sprite->setAtlasIndex(index);
    const ccV3F_C4B_T2F_Quad quad = sprite->quad();
    textureAtlas_->insertQuad(&quad, index);
    sprite->setDirty(true);
    sprite->updateTransform();
}

void CCSpriteBatchNode::addSpriteWithoutQuad(CCSprite* sprite, uint64_t z, int64_t tag) {
    CC_REQUIRE(sprite, "NSInvalidArgumentException", "CCSpriteBatchNode: the sprite must not be null");
    sprite->setAtlasIndex(z);
    uint64_t position = 0;
    while (position < descendants_->count() && spriteAt(descendants_.get(), position)->atlasIndex() < z) ++position;
    descendants_->insertObject(sprite, position);
    CCNode::addChild(sprite, static_cast<int64_t>(z), tag);
    reorderBatch(false);
}

// MARK: drawing

void CCSpriteBatchNode::updateQuads() {
    if (!children()) return;
    for (Object* child : *children()) static_cast<CCSprite*>(child)->updateTransform();
}
