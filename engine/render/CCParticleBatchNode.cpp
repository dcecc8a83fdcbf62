#include "engine/render/CCParticleBatchNode.h"

#include <utility>

#include <epoxy/gl.h>

#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCParticleSystemQuad.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {
constexpr ccBlendFunc kPremultipliedBlend{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
constexpr ccBlendFunc kStraightBlend{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};

CCParticleSystem* systemAt(const CCArray* children, uint64_t index) {
    return static_cast<CCParticleSystem*>(children->objectAtIndex(index));
}
}  // namespace

RefPtr<CCParticleBatchNode> CCParticleBatchNode::batchNodeWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity) {
    auto batch = makeRef<CCParticleBatchNode>();
    return batch->initWithTexture(std::move(texture), capacity) ? batch : nullptr;
}

RefPtr<CCParticleBatchNode> CCParticleBatchNode::batchNodeWithFile(const std::string& file, uint64_t capacity) {
    auto batch = makeRef<CCParticleBatchNode>();
    return batch->initWithFile(file, capacity) ? batch : nullptr;
}

bool CCParticleBatchNode::initWithTexture(RefPtr<CCTexture2D> texture, uint64_t capacity) {
    textureAtlas_ = CCTextureAtlas::textureAtlasWithTexture(std::move(texture), capacity);
    blendFunc_ = kPremultipliedBlend;
    return textureAtlas_ != nullptr;
}

bool CCParticleBatchNode::initWithFile(const std::string& file, uint64_t capacity) {
    return initWithTexture(CCTextureCache::sharedTextureCache()->addImage(file), capacity);
}

// MARK: texture

void CCParticleBatchNode::setTexture(RefPtr<CCTexture2D> texture) {
    const bool straight = texture && !texture->hasPremultipliedAlpha();
    if (textureAtlas_) textureAtlas_->setTexture(std::move(texture));
    if (straight && blendFunc_ == kPremultipliedBlend) blendFunc_ = kStraightBlend;
}

// MARK: children

void CCParticleBatchNode::addChild(CCNode* child, int64_t z, int64_t tag) {
    CC_REQUIRE(child, "NSInvalidArgumentException", "CCParticleBatchNode: the child must not be null");
    auto* system = dynamic_cast<CCParticleSystemQuad*>(child);
    if (!system) {
        logLine("Lumora: CCParticleBatchNode: a %s is not a CCParticleSystemQuad; not added", className(*child).c_str());
        return;
    }
    const uint64_t quads = textureAtlas_->totalQuads() + system->totalParticles();
    if (quads > CCTextureAtlas::kCCTextureAtlasMaxCapacity) {
        logLine("Lumora: CCParticleBatchNode: %llu quads exceed the %llu an atlas holds; the system is not added",
                static_cast<unsigned long long>(quads),
                static_cast<unsigned long long>(CCTextureAtlas::kCCTextureAtlasMaxCapacity));
        return;
    }
    if (!children() || children()->count() == 0) blendFunc_ = system->blendFunc();
    const uint64_t position = addChildHelper(system, z, tag);
    uint64_t index = 0;
    if (position > 0) {
        const CCParticleSystem* previous = systemAt(children(), position - 1);
        index = previous->atlasIndex() + previous->totalParticles();
    }
    insertChild(system, index);
    system->setBatchNode(this);
}

uint64_t CCParticleBatchNode::addChildHelper(CCParticleSystem* child, int64_t z, int64_t tag) {
    const uint64_t position = searchNewPositionInChildrenForZ(z);
    // The node appends; the child then moves to its place among equal and lower z orders.
    const RefPtr<CCParticleSystem> keep(child);
    CCNode::addChild(child, z, tag);
    CCArray* children = this->children();
    children->removeLastObject();
    children->insertObject(child, position);
    return position;
}

uint64_t CCParticleBatchNode::searchNewPositionInChildrenForZ(int64_t z) const {
    const CCArray* children = this->children();
    const uint64_t count = children ? children->count() : 0;
    for (uint64_t i = 0; i < count; ++i) {
        if (systemAt(children, i)->zOrder() > z) return i;
    }
    return count;
}

void CCParticleBatchNode::insertChild(CCParticleSystem* child, uint64_t index) {
    child->setAtlasIndex(index);
    const uint64_t amount = child->totalParticles();
    if (textureAtlas_->totalQuads() + amount > textureAtlas_->capacity()) {
        increaseAtlasCapacityTo(textureAtlas_->totalQuads() + amount);
    }
    if (index + amount != textureAtlas_->totalQuads()) textureAtlas_->moveQuadsFromIndex(index, index + amount);
    textureAtlas_->increaseTotalQuadsWith(amount);
    updateAllAtlasIndexes();
}

void CCParticleBatchNode::updateAllAtlasIndexes() {
    if (!children()) return;
    uint64_t index = 0;
    for (Object* object : *children()) {
        auto* system = static_cast<CCParticleSystem*>(object);
        system->setAtlasIndex(index);
        index += system->totalParticles();
    }
}

void CCParticleBatchNode::increaseAtlasCapacityTo(uint64_t quantity) {
    // New slots come zeroed: empty quads that show nothing.
    CC_REQUIRE(textureAtlas_->resizeCapacity(quantity), "NSInternalInconsistencyException",
               "CCParticleBatchNode: cannot grow the atlas to %llu quads", static_cast<unsigned long long>(quantity));
}

void CCParticleBatchNode::getCurrentIndex(uint64_t* oldIndex, uint64_t* newIndex, CCNode* child, int64_t z) const {
    const CCArray* children = this->children();
    const uint64_t count = children->count();
    bool foundOld = false, foundNew = false;
    *oldIndex = 0;
    *newIndex = count;
    for (uint64_t i = 0; i < count && !(foundOld && foundNew); ++i) {
        const CCNode* node = systemAt(children, i);
        if (!foundNew && node->zOrder() > z) {
            *newIndex = i;
            foundNew = true;
        }
        if (!foundOld && node == child) {
            *oldIndex = i;
            foundOld = true;
        }
    }
    if (*oldIndex < *newIndex) --*newIndex;
}

void CCParticleBatchNode::reorderChild(CCNode* child, int64_t z) {
    CC_REQUIRE(child, "NSInvalidArgumentException", "CCParticleBatchNode: the child must not be null");
    CCArray* children = this->children();
    if (!children || !children->containsObject(child) || child->zOrder() == z) return;
    if (children->count() < 2) {
        child->_setZOrder(z);
        return;
    }
    uint64_t oldIndex = 0, newIndex = 0;
    getCurrentIndex(&oldIndex, &newIndex, child, z);
    if (oldIndex == newIndex) {
        child->_setZOrder(z);
        return;
    }
    const RefPtr<CCParticleSystem> system(static_cast<CCParticleSystem*>(child));
    children->removeObjectAtIndex(oldIndex);
    children->insertObject(child, newIndex);
    const uint64_t oldAtlasIndex = system->atlasIndex();
    updateAllAtlasIndexes();
    textureAtlas_->moveQuadsFromIndex(oldAtlasIndex, system->totalParticles(), system->atlasIndex());
    system->updateWithNoTime();
    child->_setZOrder(z);
}

void CCParticleBatchNode::removeChild(CCNode* child, bool cleanup) {
    if (!child || !children() || !children()->containsObject(child)) return;
    const RefPtr<CCParticleSystem> system(static_cast<CCParticleSystem*>(child));
    CCNode::removeChild(child, cleanup);
    const uint64_t amount = system->totalParticles();
    textureAtlas_->removeQuadsAtIndex(system->atlasIndex(), amount);
    textureAtlas_->fillWithEmptyQuadsFromIndex(textureAtlas_->totalQuads(), amount);
    system->setBatchNode(nullptr);
    updateAllAtlasIndexes();
}

void CCParticleBatchNode::removeChildAtIndex(uint64_t index, bool cleanup) {
    CC_REQUIRE(children() && index < children()->count(), "NSRangeException", "index %llu beyond the children",
               static_cast<unsigned long long>(index));
    removeChild(static_cast<CCNode*>(children()->objectAtIndex(index)), cleanup);
}

void CCParticleBatchNode::removeAllChildrenWithCleanup(bool cleanup) {
    if (children()) {
        for (Object* child : *children()) static_cast<CCParticleSystem*>(child)->setBatchNode(nullptr);
    }
    CCNode::removeAllChildrenWithCleanup(cleanup);
    textureAtlas_->removeAllQuads();
}

void CCParticleBatchNode::disableParticle(uint64_t particleIndex) {
    CC_REQUIRE(particleIndex < textureAtlas_->capacity(), "NSRangeException",
               "CCParticleBatchNode: particle quad %llu beyond the atlas's %llu",
               static_cast<unsigned long long>(particleIndex),
               static_cast<unsigned long long>(textureAtlas_->capacity()));
    ccV3F_C4B_T2F_Quad& quad = textureAtlas_->quads()[particleIndex];
    for (ccV3F_C4B_T2F* vertex : {&quad.tl, &quad.bl, &quad.tr, &quad.br}) vertex->vertices.x = vertex->vertices.y = 0;
}
