#include "engine/core/CCAtlasNode.h"

#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/ccGLStateCache.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCAtlasNode> CCAtlasNode::atlasWithTileFile(const std::string& tile, uint64_t tileWidth, uint64_t tileHeight,
                                                   uint64_t itemsToRender) {
    RefPtr<CCAtlasNode> node = makeRef<CCAtlasNode>();
    return node->initWithTileFile(tile, tileWidth, tileHeight, itemsToRender) ? node : nullptr;
}

bool CCAtlasNode::initWithTileFile(const std::string& tile, uint64_t tileWidth, uint64_t tileHeight,
                                   uint64_t itemsToRender) {
    itemWidth_ = tileWidth;
    itemHeight_ = tileHeight;
    opacity_ = 255;
    color_ = colorUnmodified_ = {255, 255, 255};
    opacityModifyRGB_ = true;
    blendFunc_ = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    textureAtlas_ = CCTextureAtlas::textureAtlasWithFile(tile, itemsToRender);
    if (!textureAtlas_) return false;

    updateBlendFunc();
    updateOpacityModifyRGB();
    calculateMaxItems();
    quadsToDraw_ = itemsToRender;

    RefPtr<CCGLProgram> program = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture_uColor);
    uniformColor_ = program ? glGetUniformLocation(program->program(), "u_color") : -1;
    setShaderProgram(std::move(program));
    return true;
}

void CCAtlasNode::updateAtlasValues() {
    throw NamedException("CCAtlasNode:Abstract", "updateAtlasValue not overriden");
}

void CCAtlasNode::calculateMaxItems() {
    const CCTexture2D* texture = this->texture();
    if (!texture) return;
    // An item of no width or height would divide by zero: nothing fits.
    const CGSize size = texture->contentSize();
    itemsPerRow_ = itemWidth_ ? static_cast<uint64_t>(size.width / itemWidth_) : 0;
    itemsPerColumn_ = itemHeight_ ? static_cast<uint64_t>(size.height / itemHeight_) : 0;
}

void CCAtlasNode::updateBlendFunc() {
    const CCTexture2D* texture = this->texture();
    if (texture && !texture->hasPremultipliedAlpha()) blendFunc_ = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
}

void CCAtlasNode::updateOpacityModifyRGB() {
    const CCTexture2D* texture = this->texture();
    opacityModifyRGB_ = texture && texture->hasPremultipliedAlpha();
}

void CCAtlasNode::draw() {
    CCGLProgram* program = shaderProgram();
    if (!textureAtlas_ || !program) return;
    ccGLPrepareNodeDraw(glServerState(), *program, blendFunc_);
    const GLfloat color[4] = {color_.r / 255.0f, color_.g / 255.0f, color_.b / 255.0f, opacity_ / 255.0f};
    program->setUniformLocationWith4fv(uniformColor_, color, 1);
    textureAtlas_->drawNumberOfQuads(quadsToDraw_, 0);
}

// MARK: colour and opacity

ccColor3B CCAtlasNode::color() const { return opacityModifyRGB_ ? colorUnmodified_ : color_; }

void CCAtlasNode::setColor(ccColor3B color) {
    color_ = colorUnmodified_ = color;
    if (opacityModifyRGB_) {
        color_.r = static_cast<uint8_t>(color.r * opacity_ / 255);
        color_.g = static_cast<uint8_t>(color.g * opacity_ / 255);
        color_.b = static_cast<uint8_t>(color.b * opacity_ / 255);
    }
}

void CCAtlasNode::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    if (opacityModifyRGB_) setColor(colorUnmodified_);
}

void CCAtlasNode::setOpacityModifyRGB(bool modify) {
    const ccColor3B color = this->color();
    opacityModifyRGB_ = modify;
    setColor(color);
}

// MARK: texture

CCTexture2D* CCAtlasNode::texture() const { return textureAtlas_ ? textureAtlas_->texture() : nullptr; }

void CCAtlasNode::setTexture(RefPtr<CCTexture2D> texture) {
    if (textureAtlas_) textureAtlas_->setTexture(std::move(texture));
    updateBlendFunc();
    updateOpacityModifyRGB();
}

void CCAtlasNode::setTextureAtlas(RefPtr<CCTextureAtlas> textureAtlas) { textureAtlas_ = std::move(textureAtlas); }
