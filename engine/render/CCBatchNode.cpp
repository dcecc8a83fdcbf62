#include "engine/render/CCBatchNode.h"

#include <utility>

#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/math/kmGLMatrix.h"

CCTexture2D* CCBatchNode::texture() const { return textureAtlas_ ? textureAtlas_->texture() : nullptr; }

void CCBatchNode::updateBlendFunc() {
    const CCTexture2D* texture = this->texture();
    if (!texture || !texture->hasPremultipliedAlpha()) blendFunc_ = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
}

void CCBatchNode::setTextureAtlas(RefPtr<CCTextureAtlas> textureAtlas) { textureAtlas_ = std::move(textureAtlas); }

void CCBatchNode::visit() {
    if (!visible()) return;
    kmGLPush();
    CCNodeGrid* grid = this->grid();
    const bool gridActive = grid && grid->active();
    if (gridActive) {
        grid->beforeDraw();
        transformAncestors();
    }
    sortAllChildren();
    transform();
    draw();
    if (gridActive) grid->afterDraw(this);
    kmGLPop();
    setOrderOfArrival(0);
}

void CCBatchNode::draw() {
    if (!textureAtlas_ || textureAtlas_->totalQuads() == 0) return;
    if (!shaderProgram()) {
        setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor));
    }
    ccGLPrepareNodeDraw(glServerState(), *shaderProgram(), blendFunc_);
    updateQuads();
    textureAtlas_->drawQuads();
}
