#include "engine/core/CCLayerColor.h"

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/ccGLStateCache.h"

RefPtr<CCLayerColor> CCLayerColor::layerWithColor(ccColor4B color, float width, float height) {
    RefPtr<CCLayerColor> layer = makeRef<CCLayerColor>();
    layer->initWithColor(color, width, height);
    return layer;
}

RefPtr<CCLayerColor> CCLayerColor::layerWithColor(ccColor4B color) {
    RefPtr<CCLayerColor> layer = makeRef<CCLayerColor>();
    layer->initWithColor(color);
    return layer;
}

CCLayerColor::CCLayerColor() { initWithColor(ccColor4B{}); }

bool CCLayerColor::initWithColor(ccColor4B color, float width, float height) {
    blendFunc_ = {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    color_ = {color.r, color.g, color.b};
    opacity_ = color.a;
    for (ccVertex2F& vertex : squareVertices_) vertex = {0, 0};
    updateColor();
    setContentSize(CGSizeMake(width, height));
    setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionColor));
    return true;
}

bool CCLayerColor::initWithColor(ccColor4B color) {
    const CGSize size = CCDirector::sharedDirector()->winSize();
    return initWithColor(color, static_cast<float>(size.width), static_cast<float>(size.height));
}

void CCLayerColor::setContentSize(CGSize size) {
    squareVertices_[1].x = static_cast<float>(size.width);
    squareVertices_[2].y = static_cast<float>(size.height);
    squareVertices_[3] = {static_cast<float>(size.width), static_cast<float>(size.height)};
    CCLayer::setContentSize(size);
}

void CCLayerColor::changeWidth(float width, float height) { setContentSize(CGSizeMake(width, height)); }

void CCLayerColor::changeWidth(float width) { setContentSize(CGSizeMake(width, contentSize().height)); }

void CCLayerColor::changeHeight(float height) { setContentSize(CGSizeMake(contentSize().width, height)); }

void CCLayerColor::setColor(ccColor3B color) {
    color_ = color;
    updateColor();
}

void CCLayerColor::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    updateColor();
}

void CCLayerColor::updateColor() {
    const ccColor4F corner{color_.r / 255.0f, color_.g / 255.0f, color_.b / 255.0f, opacity_ / 255.0f};
    for (ccColor4F& color : squareColors_) color = corner;
}

void CCLayerColor::draw() {
    ccGLPrepareNodeDraw(glServerState(), *shaderProgram(), blendFunc_);
    ccGLSetVertexAttribArrays({.position = squareVertices_, .color = squareColors_, .colorType = GL_FLOAT});
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    ccDrawCallCounter += 1;
}
