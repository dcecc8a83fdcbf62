#include "engine/render/CCParticleSystemQuad.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/render/CCParticleBatchNode.h"
#include "engine/render/CCSpriteFrame.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {

// A colour component 0-1 as a byte, truncated; out-of-range values (a colour that overshoots its
// end in the last frame, or NaN from a particle of no life) saturate instead of wrapping.
uint8_t colorByte(float component) {
    const float scaled = component * 255;
    if (scaled >= 255) return 255;
    return scaled > 0 ? static_cast<uint8_t>(scaled) : 0;
}

GLuint nameOf(const CCTexture2D* texture) { return texture ? texture->name() : 0; }

}  // namespace

RefPtr<CCParticleSystemQuad> CCParticleSystemQuad::particleWithTotalParticles(uint64_t numberOfParticles) {
    auto system = makeRef<CCParticleSystemQuad>();
    return system->initWithTotalParticles(numberOfParticles) ? system : nullptr;
}

RefPtr<CCParticleSystemQuad> CCParticleSystemQuad::particleWithFile(const std::string& plistFile) {
    auto system = makeRef<CCParticleSystemQuad>();
    return system->initWithFile(plistFile) ? system : nullptr;
}

bool CCParticleSystemQuad::initWithTotalParticles(uint64_t numberOfParticles) {
    return CCParticleSystem::initWithTotalParticles(numberOfParticles) && allocMemory();
}

bool CCParticleSystemQuad::allocMemory() {
    textureAtlas_ = CCTextureAtlas::textureAtlasWithTexture(RefPtr<CCTexture2D>(texture()), allocatedParticles_);
    return textureAtlas_ != nullptr;
}

void CCParticleSystemQuad::setTotalParticles(uint64_t totalParticles) {
    if (batchNode_) {
        if (totalParticles != totalParticles_) {
            logLine("Lumora: CCParticleSystemQuad setTotalParticles: a batched system keeps its %llu particles; "
                    "%llu refused",
                    static_cast<unsigned long long>(totalParticles_), static_cast<unsigned long long>(totalParticles));
        }
        return;
    }
    const uint64_t count = clampedCount(totalParticles, "setTotalParticles");
    if (count > allocatedParticles_) {
        std::vector<sCCParticle> particles;
        try {
            particles.resize(count);
        } catch (const std::bad_alloc&) {
            particles.clear();
        }
        if (particles.empty() || !textureAtlas_->resizeCapacity(count)) {
            logLine("Lumora: CCParticleSystemQuad setTotalParticles: no memory for %llu particles",
                    static_cast<unsigned long long>(count));
            return;
        }
        // The live particles, now zeroed, die at the next update.
        particles_ = std::move(particles);
        allocatedParticles_ = count;
    }
    totalParticles_ = count;
    // A grown pool adds zeroed quads, and a texture set under a smaller count reached only that
    // many: every quad now in use is given the rect again.
    initTexCoordsWithRect(textureRect_);
}

// MARK: texture

void CCParticleSystemQuad::setTexture(RefPtr<CCTexture2D> texture) {
    const CGSize size = texture ? texture->contentSize() : CGSize{};
    setTexture(std::move(texture), CGRectMake(0, 0, size.width, size.height));
}

void CCParticleSystemQuad::setTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    if (!texture || !this->texture() || texture->name() != this->texture()->name()) {
        CCParticleSystem::setTexture(std::move(texture));
        if (textureAtlas_) textureAtlas_->setTexture(RefPtr<CCTexture2D>(this->texture()));
    }
    initTexCoordsWithRect(rect);
}

void CCParticleSystemQuad::setDisplayFrame(const CCSpriteFrame* frame) {
    if (!frame) return;
    RefPtr<CCTexture2D> texture = frame->texture();
    if (nameOf(texture.get()) != nameOf(this->texture())) setTexture(std::move(texture));
}

ccV3F_C4B_T2F_Quad* CCParticleSystemQuad::targetQuads() {
    return batchNode_ ? batchNode_->textureAtlas()->quads() + atlasIndex_ : textureAtlas_->quads();
}

void CCParticleSystemQuad::initTexCoordsWithRect(CGRect rect) {
    const CCTexture2D* texture = this->texture();
    textureRect_ = rect;
    if (!texture || texture->pixelsWide() == 0 || texture->pixelsHigh() == 0) return;
    const double factor = CCDirector::sharedDirector()->contentScaleFactor();
    const double wide = static_cast<double>(texture->pixelsWide());
    const double high = static_cast<double>(texture->pixelsHigh());
    const double left = rect.origin.x * factor / wide;
    const double top = rect.origin.y * factor / high;
    const auto l = static_cast<float>(left), t = static_cast<float>(top);
    const auto r = static_cast<float>(left + rect.size.width * factor / wide);
    const auto b = static_cast<float>(top + rect.size.height * factor / high);
    ccV3F_C4B_T2F_Quad* quads = targetQuads();
    for (uint64_t i = 0; i < totalParticles_; ++i) {
        quads[i].tl.texCoords = {l, t};
        quads[i].bl.texCoords = {l, b};
        quads[i].tr.texCoords = {r, t};
        quads[i].br.texCoords = {r, b};
    }
}

// MARK: drawing

void CCParticleSystemQuad::updateQuadWithParticle(sCCParticle* p, CGPoint newPosition) {
    ccV3F_C4B_T2F_Quad& quad = batchNode_ ? batchNode_->textureAtlas()->quads()[atlasIndex_ + p->quadIndex]
                                          : textureAtlas_->quads()[particleIdx_];
    ccColor4F color = p->color;
    if (opacityModifyRGB_) {
        color.r *= color.a;
        color.g *= color.a;
        color.b *= color.a;
    }
    const ccColor4B bytes{colorByte(color.r), colorByte(color.g), colorByte(color.b), colorByte(color.a)};
    quad.tl.colors = quad.bl.colors = quad.tr.colors = quad.br.colors = bytes;

    const double x = newPosition.x, y = newPosition.y;
    const float half = p->size / 2;
    if (p->spin == 0) {
        quad.bl.vertices.x = static_cast<float>(x - half);
        quad.bl.vertices.y = static_cast<float>(y - half);
        quad.br.vertices.x = static_cast<float>(x + half);
        quad.br.vertices.y = static_cast<float>(y - half);
        quad.tl.vertices.x = static_cast<float>(x - half);
        quad.tl.vertices.y = static_cast<float>(y + half);
        quad.tr.vertices.x = static_cast<float>(x + half);
        quad.tr.vertices.y = static_cast<float>(y + half);
        return;
    }
    // Spin is clockwise on screen: a negative angle in GL's counter-clockwise sense.
    const float radians = -p->spin * 0.017453292f;
    const float c = cosf(radians), s = sinf(radians);
    const auto corner = [&](ccV3F_C4B_T2F& vertex, float dx, float dy) {
        vertex.vertices.x = static_cast<float>(dx * c - dy * s + x);
        vertex.vertices.y = static_cast<float>(dx * s + dy * c + y);
    };
    corner(quad.bl, -half, -half);
    corner(quad.br, half, -half);
    corner(quad.tr, half, half);
    corner(quad.tl, -half, half);
}

void CCParticleSystemQuad::draw() {
    if (batchNode_ || particleIdx_ == 0 || !texture()) return;
    if (!shaderProgram()) {
        setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColor));
    }
    ccGLPrepareNodeDraw(glServerState(), *shaderProgram(), blendFunc());
    textureAtlas_->drawNumberOfQuads(particleIdx_);
}

void CCParticleSystemQuad::setBatchNode(CCParticleBatchNode* batchNode) {
    CCParticleBatchNode* old = batchNode_;
    if (batchNode == old) return;
    if (batchNode && !old) {
        const CCTextureAtlas* atlas = batchNode->textureAtlas();
        CC_REQUIRE(atlas && atlasIndex_ <= atlas->capacity() && totalParticles_ <= atlas->capacity() - atlasIndex_,
                   "NSInternalInconsistencyException",
                   "CCParticleSystemQuad: %llu quads from atlas index %llu do not fit the batch's atlas",
                   static_cast<unsigned long long>(totalParticles_), static_cast<unsigned long long>(atlasIndex_));
    }
    CCParticleSystem::setBatchNode(batchNode);
    if (!batchNode) {
        CC_REQUIRE(allocMemory(), "NSMallocException", "CCParticleSystemQuad: no memory for %llu quads",
                   static_cast<unsigned long long>(allocatedParticles_));
        setTexture(RefPtr<CCTexture2D>(old->texture()));
    } else if (!old) {
        std::copy_n(textureAtlas_->quads(), totalParticles_, batchNode->textureAtlas()->quads() + atlasIndex_);
        textureAtlas_ = nullptr;
    }
}
