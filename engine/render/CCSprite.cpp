#include "engine/render/CCSprite.h"

#include <cstddef>
#include <utility>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

namespace {
double scaleFactor() { return CCDirector::sharedDirector()->contentScaleFactor(); }

GLuint nameOf(const CCTexture2D* texture) { return texture ? texture->name() : 0; }

CGRect wholeTexture(const CCTexture2D* texture) {
    return texture ? CGRect{CGPointZero, texture->contentSize()} : CGRectZero;
}

template <typename Init>
RefPtr<CCSprite> made(Init init) {
    auto sprite = makeRef<CCSprite>();
    return init(*sprite) ? sprite : nullptr;
}
}  // namespace

// MARK: making

RefPtr<CCSprite> CCSprite::spriteWithTexture(RefPtr<CCTexture2D> texture) {
    return made([&](CCSprite& s) { return s.initWithTexture(std::move(texture)); });
}

RefPtr<CCSprite> CCSprite::spriteWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    return made([&](CCSprite& s) { return s.initWithTexture(std::move(texture), rect); });
}

RefPtr<CCSprite> CCSprite::spriteWithFile(const std::string& file) {
    return made([&](CCSprite& s) { return s.initWithFile(file); });
}

RefPtr<CCSprite> CCSprite::spriteWithFile(const std::string& file, CGRect rect) {
    return made([&](CCSprite& s) { return s.initWithFile(file, rect); });
}

RefPtr<CCSprite> CCSprite::spriteWithSpriteFrame(const CCSpriteFrame* frame) {
    return made([&](CCSprite& s) { return s.initWithSpriteFrame(frame); });
}

RefPtr<CCSprite> CCSprite::spriteWithSpriteFrameName(const std::string& name) {
    return made([&](CCSprite& s) { return s.initWithSpriteFrameName(name); });
}

RefPtr<CCSprite> CCSprite::spriteWithCGImage(const Image* image, const std::string& key) {
    return made([&](CCSprite& s) { return s.initWithCGImage(image, key); });
}

bool CCSprite::init() { return initWithTexture(nullptr, CGRectZero); }

bool CCSprite::initWithTexture(RefPtr<CCTexture2D> texture) {
    const CGRect rect = wholeTexture(texture.get());
    return initWithTexture(std::move(texture), rect);
}

bool CCSprite::initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    return initWithTexture(std::move(texture), rect, false);
}

bool CCSprite::initWithTexture(RefPtr<CCTexture2D> texture, CGRect rect, bool rotated) {
    setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor));
    dirty_ = recursiveDirty_ = false;
    opacityModifyRGB_ = true;
    opacity_ = 255;
    color_ = colorUnmodified_ = {255, 255, 255};
    blendFunc_ = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    flipX_ = flipY_ = false;
    // The node's own setter: a sprite being made is in no batch to mark.
    CCNode::setAnchorPoint(CGPointMake(0.5, 0.5));
    offsetPosition_ = CGPointZero;
    hasChildren_ = false;
    batchNode_ = nullptr;
    quad_ = {};
    const ccColor4B white{255, 255, 255, 255};
    quad_.bl.colors = quad_.br.colors = quad_.tl.colors = quad_.tr.colors = white;
    setTexture(std::move(texture));
    setTextureRect(rect, rotated, rect.size);
    setBatchNode(nullptr);
    return true;
}

bool CCSprite::initWithFile(const std::string& file) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(file);
    if (!texture) return false;
    const CGRect rect = wholeTexture(texture.get());
    return initWithTexture(std::move(texture), rect);
}

bool CCSprite::initWithFile(const std::string& file, CGRect rect) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(file);
    return texture && initWithTexture(std::move(texture), rect);
}

bool CCSprite::initWithSpriteFrame(const CCSpriteFrame* frame) {
    if (!initWithTexture(frame ? frame->texture() : nullptr, frame ? frame->rect() : CGRectZero)) return false;
    setDisplayFrame(frame);
    return true;
}

bool CCSprite::initWithSpriteFrameName(const std::string& name) {
    const RefPtr<CCSpriteFrame> frame = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(name);
    if (!frame) logLine("Lumora: CCSprite: no sprite frame named \"%s\"; the sprite is empty", name.c_str());
    return initWithSpriteFrame(frame.get());
}

bool CCSprite::initWithCGImage(const Image* image, const std::string& key) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addCGImage(image, key);
    if (!texture) return false;
    const CGRect rect = wholeTexture(texture.get());
    return initWithTexture(std::move(texture), rect);
}

std::string CCSprite::description() const {
    return stringWithFormat("<%s = %p | Rect = (%.2f,%.2f,%.2f,%.2f) | tag = %lld | atlasIndex = %lld>",
                            className(*this).c_str(), static_cast<const void*>(this), rect_.origin.x, rect_.origin.y,
                            rect_.size.width, rect_.size.height, static_cast<long long>(tag()),
                            static_cast<long long>(atlasIndex_));
}

// MARK: geometry

void CCSprite::setTextureRect(CGRect rect) { setTextureRect(rect, false, rect.size); }

void CCSprite::setTextureRect(CGRect rect, bool rotated, CGSize untrimmedSize) {
    rectRotated_ = rotated;
    setContentSize(untrimmedSize);
    setVertexRect(rect);
    setTextureCoords(rect);

    CGPoint relative = unflippedOffsetPositionFromCenter_;
    if (flipX_) relative.x = -relative.x;
    if (flipY_) relative.y = -relative.y;
    const CGSize size = contentSize();
    offsetPosition_.x = relative.x + (size.width - rect_.size.width) / 2;
    offsetPosition_.y = relative.y + (size.height - rect_.size.height) / 2;

    if (batchNode_) {
        dirty_ = true;
    } else {
        resetQuadPositions();
    }
}

void CCSprite::setVertexRect(CGRect rect) { rect_ = rect; }

void CCSprite::setTextureCoords(CGRect rect) {
    const double factor = scaleFactor();
    const double x = rect.origin.x * factor, y = rect.origin.y * factor;
    const double width = rect.size.width * factor, height = rect.size.height * factor;
    const CCTexture2D* texture = batchNode_ ? (textureAtlas_ ? textureAtlas_->texture() : nullptr) : texture_.get();
    // An empty texture (the batch node's default) would divide by zero.
    if (!texture || texture->pixelsWide() == 0 || texture->pixelsHigh() == 0) return;
    const double wide = static_cast<float>(texture->pixelsWide());
    const double high = static_cast<float>(texture->pixelsHigh());

    // Exact pixel edges; v grows downwards in the image.
    if (rectRotated_) {
        float left = static_cast<float>(x / wide), right = static_cast<float>((x + height) / wide);
        float top = static_cast<float>(y / high), bottom = static_cast<float>((y + width) / high);
        if (flipX_) std::swap(top, bottom);
        if (flipY_) std::swap(left, right);
        quad_.bl.texCoords = {left, top};
        quad_.br.texCoords = {left, bottom};
        quad_.tl.texCoords = {right, top};
        quad_.tr.texCoords = {right, bottom};
    } else {
        float left = static_cast<float>(x / wide), right = static_cast<float>((x + width) / wide);
        float top = static_cast<float>(y / high), bottom = static_cast<float>((y + height) / high);
        if (flipX_) std::swap(left, right);
        if (flipY_) std::swap(top, bottom);
        quad_.bl.texCoords = {left, bottom};
        quad_.br.texCoords = {right, bottom};
        quad_.tl.texCoords = {left, top};
        quad_.tr.texCoords = {right, top};
    }
}

void CCSprite::resetQuadPositions() {
    const auto x1 = static_cast<float>(offsetPosition_.x), y1 = static_cast<float>(offsetPosition_.y);
    const float x2 = x1 + static_cast<float>(rect_.size.width), y2 = y1 + static_cast<float>(rect_.size.height);
    quad_.bl.vertices = {x1, y1, 0};
    quad_.br.vertices = {x2, y1, 0};
    quad_.tl.vertices = {x1, y2, 0};
    quad_.tr.vertices = {x2, y2, 0};
}

void CCSprite::setFlipX(bool flipX) {
    if (flipX_ == flipX) return;
    flipX_ = flipX;
    setTextureRect(rect_, rectRotated_, contentSize());
}

void CCSprite::setFlipY(bool flipY) {
    if (flipY_ == flipY) return;
    flipY_ = flipY;
    setTextureRect(rect_, rectRotated_, contentSize());
}

// MARK: frames

void CCSprite::setDisplayFrame(const CCSpriteFrame* frame) {
    if (!frame) return;
    unflippedOffsetPositionFromCenter_ = frame->offset();
    RefPtr<CCTexture2D> texture = frame->texture();
    if (nameOf(texture.get()) != nameOf(texture_.get())) setTexture(std::move(texture));
    rectRotated_ = frame->rotated();
    setTextureRect(frame->rect(), rectRotated_, frame->originalSize());
}

void CCSprite::setDisplayFrameWithAnimationName(const std::string& animationName, int32_t index) {
    const RefPtr<CCAnimation> animation = CCAnimationCache::sharedAnimationCache()->animationByName(animationName);
    if (!animation) {
        logLine("Lumora: CCSprite: no animation named \"%s\"; the frame is unchanged", animationName.c_str());
        return;
    }
    const std::vector<RefPtr<CCAnimationFrame>>& frames = animation->frames();
    if (index < 0 || static_cast<size_t>(index) >= frames.size()) {
        logLine("Lumora: CCSprite: animation \"%s\" has no frame %d; the frame is unchanged", animationName.c_str(),
                index);
        return;
    }
    setDisplayFrame(frames[static_cast<size_t>(index)]->spriteFrame());
}

bool CCSprite::isFrameDisplayed(const CCSpriteFrame* frame) const {
    return frame && frame->rect() == rect_ && nameOf(frame->texture().get()) == nameOf(texture_.get()) &&
           frame->offset() == unflippedOffsetPositionFromCenter_;
}

RefPtr<CCSpriteFrame> CCSprite::displayFrame() const {
    const double f = scaleFactor();
    const CGSize size = contentSize();
    return CCSpriteFrame::frameWithTexture(
        texture_,
        CGRectMake(rect_.origin.x * f, rect_.origin.y * f, rect_.size.width * f, rect_.size.height * f),
        rectRotated_,
        CGPointMake(unflippedOffsetPositionFromCenter_.x * f, unflippedOffsetPositionFromCenter_.y * f),
        CGSizeMake(size.width * f, size.height * f));
}

// MARK: colour

ccColor3B CCSprite::color() const { return opacityModifyRGB_ ? colorUnmodified_ : color_; }

void CCSprite::setColor(ccColor3B color) {
    color_ = colorUnmodified_ = color;
    if (opacityModifyRGB_) {
        const auto premultiplied = [this](uint8_t channel) {
            return static_cast<uint8_t>(static_cast<float>(channel * opacity_) / 255.0f);
        };
        color_ = {premultiplied(color.r), premultiplied(color.g), premultiplied(color.b)};
    }
    updateColor();
}

void CCSprite::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    if (opacityModifyRGB_) setColor(colorUnmodified_);
    updateColor();
}

void CCSprite::setOpacityModifyRGB(bool modify) {
    const ccColor3B color = this->color();
    opacityModifyRGB_ = modify;
    setColor(color);
}

void CCSprite::updateColor() {
    const ccColor4B color{color_.r, color_.g, color_.b, opacity_};
    quad_.bl.colors = quad_.br.colors = quad_.tl.colors = quad_.tr.colors = color;
    if (!batchNode_) return;
    if (atlasIndex_ != CCSpriteNoAtlasIndex && textureAtlas_) {
        textureAtlas_->updateQuad(&quad_, atlasIndex_);
    } else {
        dirty_ = true;
    }
}

// MARK: texture

void CCSprite::setTexture(RefPtr<CCTexture2D> texture) {
    if (batchNode_ || texture == texture_) return;
    texture_ = std::move(texture);
    updateBlendFunc();
}

void CCSprite::updateBlendFunc() {
    if (texture_ && texture_->hasPremultipliedAlpha()) {
        blendFunc_ = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
        setOpacityModifyRGB(true);
    } else {
        blendFunc_ = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
        setOpacityModifyRGB(false);
    }
}

// MARK: batch mode

void CCSprite::setBatchNode(CCSpriteBatchNode* batchNode) {
    batchNode_ = batchNode;
    if (batchNode) {
        transformToBatch_ = CGAffineTransformIdentity;
        textureAtlas_ = batchNode->textureAtlas();
    } else {
        atlasIndex_ = CCSpriteNoAtlasIndex;
        textureAtlas_ = nullptr;
        dirty_ = recursiveDirty_ = false;
        resetQuadPositions();
    }
}

template <typename F>
void CCSprite::forEachSpriteChild(F f) const {
    if (!children()) return;
    for (Object* child : *children()) f(static_cast<CCSprite*>(child));
}

void CCSprite::updateTransform() {
    if (dirty()) {
        CCNode* parent = this->parent();
        CCSprite* parentSprite = parent != batchNode_ ? dynamic_cast<CCSprite*>(parent) : nullptr;
        // The atlas slot takes the colours and texture coordinates first, then the new corners as
        // they are computed: copying the whole quad after writing its corners would read those
        // fresh stores back with wider loads, which the processor cannot forward and waits out.
        ccV3F_C4B_T2F_Quad* slot = textureAtlas_ ? textureAtlas_->quadToUpdate(atlasIndex_) : nullptr;
        if (slot) *slot = quad_;
        ccVertex3F bl{}, br{}, tl{}, tr{};
        shouldBeHidden_ = !visible() || (parentSprite && parentSprite->shouldBeHidden_);
        if (!shouldBeHidden_) {
            transformToBatch_ = parentSprite
                                    ? CGAffineTransformConcat(nodeToParentTransform(), parentSprite->transformToBatch_)
                                    : nodeToParentTransform();
            // Single precision, as the vertices are.
            const auto a = static_cast<float>(transformToBatch_.a), b = static_cast<float>(transformToBatch_.b);
            const auto c = static_cast<float>(transformToBatch_.c), d = static_cast<float>(transformToBatch_.d);
            const auto tx = static_cast<float>(transformToBatch_.tx), ty = static_cast<float>(transformToBatch_.ty);
            const auto x1 = static_cast<float>(offsetPosition_.x), y1 = static_cast<float>(offsetPosition_.y);
            const float x2 = x1 + static_cast<float>(rect_.size.width);
            const float y2 = y1 + static_cast<float>(rect_.size.height);
            const float z = vertexZ();
            bl = {x1 * a + y1 * c + tx, x1 * b + y1 * d + ty, z};
            br = {x2 * a + y1 * c + tx, x2 * b + y1 * d + ty, z};
            tr = {x2 * a + y2 * c + tx, x2 * b + y2 * d + ty, z};
            tl = {x1 * a + y2 * c + tx, x1 * b + y2 * d + ty, z};
        }
        for (ccV3F_C4B_T2F_Quad* quad : {&quad_, slot}) {
            if (!quad) continue;
            quad->bl.vertices = bl;
            quad->br.vertices = br;
            quad->tl.vertices = tl;
            quad->tr.vertices = tr;
        }
        dirty_ = recursiveDirty_ = false;
    }
    if (hasChildren_) forEachSpriteChild([](CCSprite* child) { child->updateTransform(); });
}

void CCSprite::setDirtyRecursively(bool dirty) {
    dirty_ = recursiveDirty_ = dirty;
    if (hasChildren_) forEachSpriteChild([](CCSprite* child) { child->setDirtyRecursively(true); });
}

void CCSprite::markDirtyForBatch() {
    if (!batchNode_ || recursiveDirty_) return;
    dirty_ = recursiveDirty_ = true;
    if (hasChildren_) forEachSpriteChild([](CCSprite* child) { child->setDirtyRecursively(true); });
}

void CCSprite::setReorderChildDirtyRecursively() {
    if (isReorderChildDirty()) return;
    setReorderChildDirty(true);
    // Each ancestor sprite marks the rest of the chain up to the batch.
    CCNode* parent = this->parent();
    if (parent && parent != batchNode_) {
        if (auto* parentSprite = dynamic_cast<CCSprite*>(parent)) parentSprite->setReorderChildDirtyRecursively();
    }
}

// MARK: transform setters

void CCSprite::setPosition(CGPoint position) {
    CCNode::setPosition(position);
    markDirtyForBatch();
}

void CCSprite::setRotation(float degrees) {
    CCNode::setRotation(degrees);
    markDirtyForBatch();
}

void CCSprite::setRotationX(float degrees) {
    CCNode::setRotationX(degrees);
    markDirtyForBatch();
}

void CCSprite::setRotationY(float degrees) {
    CCNode::setRotationY(degrees);
    markDirtyForBatch();
}

void CCSprite::setSkewX(float degrees) {
    CCNode::setSkewX(degrees);
    markDirtyForBatch();
}

void CCSprite::setSkewY(float degrees) {
    CCNode::setSkewY(degrees);
    markDirtyForBatch();
}

void CCSprite::setScaleX(float scale) {
    CCNode::setScaleX(scale);
    markDirtyForBatch();
}

void CCSprite::setScaleY(float scale) {
    CCNode::setScaleY(scale);
    markDirtyForBatch();
}

void CCSprite::setScale(float scale) {
    CCNode::setScale(scale);
    markDirtyForBatch();
}

void CCSprite::setVertexZ(float vertexZ) {
    CCNode::setVertexZ(vertexZ);
    markDirtyForBatch();
}

void CCSprite::setAnchorPoint(CGPoint anchorPoint) {
    CCNode::setAnchorPoint(anchorPoint);
    markDirtyForBatch();
}

void CCSprite::setVisible(bool visible) {
    CCNode::setVisible(visible);
    markDirtyForBatch();
}

// MARK: children

void CCSprite::addChild(CCNode* child, int64_t z, int64_t tag) {
    CC_REQUIRE(child, "NSInvalidArgumentException", "CCSprite: the child must not be null");
    if (batchNode_) {
        auto* sprite = dynamic_cast<CCSprite*>(child);
        CC_REQUIRE(sprite, "NSInternalInconsistencyException",
                   "CCSprite only supports CCSprites as children when using CCSpriteBatchNode");
        batchNode_->appendChild(sprite);
        if (!isReorderChildDirty()) setReorderChildDirtyRecursively();
    }
    CCNode::addChild(child, z, tag);
    hasChildren_ = true;
}

void CCSprite::reorderChild(CCNode* child, int64_t z) {
    CC_REQUIRE(child, "NSInvalidArgumentException", "CCSprite: the child must not be null");
    if (child->zOrder() == z) return;
    if (batchNode_ && !isReorderChildDirty()) {
        setReorderChildDirtyRecursively();
        batchNode_->reorderBatch(true);
    }
    CCNode::reorderChild(child, z);
}

void CCSprite::removeChild(CCNode* child, bool cleanup) {
    // Only a child of this sprite may take quads out of the batch's atlas.
    if (!child || !children() || !children()->containsObject(child)) return;
    if (batchNode_) batchNode_->removeSpriteFromAtlas(static_cast<CCSprite*>(child));
    CCNode::removeChild(child, cleanup);
    hasChildren_ = children()->count() > 0;
}

void CCSprite::removeAllChildrenWithCleanup(bool cleanup) {
    if (batchNode_) forEachSpriteChild([this](CCSprite* child) { batchNode_->removeSpriteFromAtlas(child); });
    CCNode::removeAllChildrenWithCleanup(cleanup);
    hasChildren_ = false;
}

void CCSprite::sortAllChildren() {
    if (!isReorderChildDirty()) return;
    CCNode::sortAllChildren();
    if (batchNode_) forEachSpriteChild([](CCSprite* child) { child->sortAllChildren(); });
}

// MARK: drawing

void CCSprite::draw() {
    CCGLProgram* program = shaderProgram();
    if (!program) return;
    ccGLPrepareNodeDraw(glServerState(), *program, blendFunc_);
    ccGLBindTexture(nameOf(texture_.get()));
    ccGLSetVertexAttribArrays(ccInterleavedAttribArrays(&quad_.tl));
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    ++ccDrawCallCounter;
}
