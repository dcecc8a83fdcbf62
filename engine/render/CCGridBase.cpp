#include "engine/render/CCGridBase.h"

#include <vector>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/math/kmGLMatrix.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCGrabber.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

bool CCGridBase::initWithSize(ccGridSize gridSize) {
    const CGSize size = CCDirector::sharedDirector()->winSizeInPixels();
    const uint64_t wide = ccNextPowerOfTwo(static_cast<uint64_t>(size.width));
    const uint64_t high = ccNextPowerOfTwo(static_cast<uint64_t>(size.height));
    if (wide == 0 || high == 0) {
        logLine("Lumora: CCGridBase: no capture texture for a window of %g x %g pixels", size.width, size.height);
        return false;
    }
    const std::vector<uint8_t> zeros(wide * high * 4);
    auto texture = makeRef<CCTexture2D>();
    if (!texture->initWithData(zeros.data(), kCCTexture2DPixelFormat_RGBA8888, wide, high, size)) {
        logLine("Lumora: CCGridBase: the %llu x %llu capture texture cannot be made",
                static_cast<unsigned long long>(wide), static_cast<unsigned long long>(high));
        return false;
    }
    return initWithSize(gridSize, std::move(texture), false);
}

bool CCGridBase::initWithSize(ccGridSize gridSize, RefPtr<CCTexture2D> texture, bool flippedTexture) {
    CC_REQUIRE(gridSize.x > 0 && gridSize.y > 0, "GridBase", "a grid of %lld x %lld cells has no cell",
               static_cast<long long>(gridSize.x), static_cast<long long>(gridSize.y));
    CC_REQUIRE(texture, "GridBase", "a grid needs a texture");
    active_ = false;
    reuseGrid_ = 0;
    gridSize_ = gridSize;
    setTexture(std::move(texture));
    isTextureFlipped_ = flippedTexture;
    const CGSize size = texture_->contentSize();
    step_ = CGPointMake(size.width / static_cast<double>(gridSize.x), size.height / static_cast<double>(gridSize.y));
    grabber_ = makeRef<CCGrabber>();
    grabber_->grab(texture_.get());
    shaderProgram_ = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture).get();
    calculateVertexPoints();
    return true;
}

CCGridBase::~CCGridBase() = default;

std::string CCGridBase::description() const {
    return stringWithFormat("<%s = %p | Dimensions = %lldx%lld>", className(*this).c_str(),
                            static_cast<const void*>(this), static_cast<long long>(gridSize_.x),
                            static_cast<long long>(gridSize_.y));
}

void CCGridBase::setActive(bool active) {
    active_ = active;
    if (!active) {
        CCDirector* director = CCDirector::sharedDirector();
        director->setProjection(director->projection());
    }
}

void CCGridBase::setIsTextureFlipped(bool flipped) {
    if (flipped == isTextureFlipped_) return;
    isTextureFlipped_ = flipped;
    calculateVertexPoints();
}

void CCGridBase::setTexture(RefPtr<CCTexture2D> texture) { texture_ = std::move(texture); }

void CCGridBase::setGrabber(RefPtr<CCGrabber> grabber) { grabber_ = std::move(grabber); }

void CCGridBase::set2DProjection() {
    const CCDirector* director = CCDirector::sharedDirector();
    const CGSize size = director->winSizeInPixels();
    const double factor = director->contentScaleFactor();
    const auto width = static_cast<GLsizei>(size.width * factor), height = static_cast<GLsizei>(size.height * factor);
    glViewport(0, 0, width, height);
    kmGLSetMatrixMode(KM_GL_PROJECTION);
    kmGLSetIdentity();
    kmMat4 ortho;
    kmMat4MakeOrtho(&ortho, 0, static_cast<float>(size.width * factor), 0, static_cast<float>(size.height * factor),
                    -1, 1);
    kmGLMultiply(&ortho);
    kmGLSetMatrixMode(KM_GL_MODELVIEW);
    kmGLSetIdentity();
    ccGLProjectionChanged();
}

void CCGridBase::beforeDraw() {
    directorProjection_ = CCDirector::sharedDirector()->projection();
    set2DProjection();
    grabber_->beforeRender(texture_.get());
}

void CCGridBase::afterDraw(CCNode* target) {
    grabber_->afterRender(texture_.get());
    CCDirector::sharedDirector()->setProjection(directorProjection_);
    // While the grid is active the node's own transform leaves the camera out; it acts on the
    // redrawn picture here instead.
    CCCamera* camera = target->camera();
    if (camera->dirty()) {
        const CGPoint p = target->anchorPointInPoints();
        kmGLTranslate(static_cast<float>(p.x), static_cast<float>(p.y), 0);
        camera->locate();
        kmGLTranslate(static_cast<float>(-p.x), static_cast<float>(-p.y), 0);
    }
    ccGLBindTexture(texture_->name());
    blit();
}

void CCGridBase::drawTriangles(const ccVertex3F* vertices, const ccTex2F* texCoordinates, const GLushort* indices,
                               GLsizei count) {
    ccGLUseProgramWithBuiltins(*shaderProgram_);
    ccGLSetVertexAttribArrays({.position = vertices, .positionSize = 3, .texCoords = texCoordinates});
    // The indices are client memory too, read with no element buffer bound (after the vertex array
    // object is unbound, whose state that binding is).
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, indices);
    ++ccDrawCallCounter;
}
