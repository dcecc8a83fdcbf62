#include "engine/render/CCParticleSystem.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>
#include <optional>

#include "engine/core/CCConfiguration.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/core/support/ccBase64.h"
#include "engine/core/support/ccInflate.h"
#include "engine/core/support/ccPointMath.h"
#include "engine/render/CCParticleBatchNode.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"
#include "platform/image/Image.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr ccBlendFunc kPremultipliedBlend{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
constexpr ccBlendFunc kStraightBlend{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
constexpr ccBlendFunc kAdditiveBlend{GL_SRC_ALPHA, GL_ONE};

// Uniform in [-1, 1]: random() x 2^-30 - 1 in single precision.
float randomMinus1To1() { return static_cast<float>(random()) * (1.0f / 1073741824.0f) - 1.0f; }

// mean ± variance, with a fresh draw.
float vary(float mean, float variance) { return mean + variance * randomMinus1To1(); }

ccColor4F clampedColor(const ccColor4F& mean, const ccColor4F& variance) {
    return {ccClampFloat(vary(mean.r, variance.r), 0, 1), ccClampFloat(vary(mean.g, variance.g), 0, 1),
            ccClampFloat(vary(mean.b, variance.b), 0, 1), ccClampFloat(vary(mean.a, variance.a), 0, 1)};
}

// The factors glBlendFunc accepts; GL_SRC_ALPHA_SATURATE only as a source.
bool isBlendFactor(int64_t factor, bool source) {
    switch (factor) {
        case GL_ZERO: case GL_ONE: case GL_SRC_COLOR: case GL_ONE_MINUS_SRC_COLOR: case GL_SRC_ALPHA:
        case GL_ONE_MINUS_SRC_ALPHA: case GL_DST_ALPHA: case GL_ONE_MINUS_DST_ALPHA: case GL_DST_COLOR:
        case GL_ONE_MINUS_DST_COLOR: case GL_CONSTANT_COLOR: case GL_ONE_MINUS_CONSTANT_COLOR:
        case GL_CONSTANT_ALPHA: case GL_ONE_MINUS_CONSTANT_ALPHA:
            return true;
        case GL_SRC_ALPHA_SATURATE:
            return source;
        default:
            return false;
    }
}

}  // namespace

RefPtr<CCParticleSystem> CCParticleSystem::particleWithTotalParticles(uint64_t numberOfParticles) {
    auto system = makeRef<CCParticleSystem>();
    return system->initWithTotalParticles(numberOfParticles) ? system : nullptr;
}

RefPtr<CCParticleSystem> CCParticleSystem::particleWithFile(const std::string& plistFile) {
    auto system = makeRef<CCParticleSystem>();
    return system->initWithFile(plistFile) ? system : nullptr;
}

CCParticleSystem::~CCParticleSystem() = default;

bool CCParticleSystem::init() { return initWithTotalParticles(150); }

uint64_t CCParticleSystem::clampedCount(uint64_t count, const char* operation) {
    if (count <= kCCParticleSystemMaxParticles) return count;
    logLine("Lumora: CCParticleSystem %s: %llu particles are more than 16-bit indices address; using %llu", operation,
            static_cast<unsigned long long>(count), static_cast<unsigned long long>(kCCParticleSystemMaxParticles));
    return kCCParticleSystemMaxParticles;
}

bool CCParticleSystem::initWithTotalParticles(uint64_t numberOfParticles) {
    const uint64_t count = clampedCount(numberOfParticles, "initWithTotalParticles");
    try {
        particles_.assign(count, sCCParticle{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    totalParticles_ = allocatedParticles_ = count;
    if (batchNode_) {
        for (uint64_t i = 0; i < totalParticles_; ++i) particles_[i].quadIndex = i;
    }
    active_ = true;
    blendFunc_ = kPremultipliedBlend;
    positionType_ = kCCPositionTypeFree;
    emitterMode_ = kCCParticleModeGravity;
    autoRemoveOnFinish_ = false;
    scheduleUpdateWithPriority(1);
    return true;
}

// MARK: property lists

bool CCParticleSystem::initWithFile(const std::string& plistFile) {
    std::string why = "not a dictionary";
    const std::optional<Value> dictionary =
        Value::fromFile(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(plistFile), &why);
    if (!dictionary || !dictionary->isDictionary()) {
        logLine("Lumora: CCParticleSystem: cannot read the particle file %s: %s", plistFile.c_str(), why.c_str());
        return false;
    }
    return initWithDictionary(*dictionary);
}

bool CCParticleSystem::initWithDictionary(const Value& d) {
    const int64_t maxParticles = d["maxParticles"].integerValue();
    if (maxParticles < 0) {
        logLine("Lumora: CCParticleSystem: maxParticles %lld is negative; the system holds no particles",
                static_cast<long long>(maxParticles));
    }
    if (!initWithTotalParticles(static_cast<uint64_t>(std::max<int64_t>(maxParticles, 0)))) return false;

    angle_ = d["angle"].floatValue();
    angleVar_ = d["angleVariance"].floatValue();
    duration_ = d["duration"].floatValue();
    const int64_t source = d["blendFuncSource"].integerValue();
    const int64_t destination = d["blendFuncDestination"].integerValue();
    if (isBlendFactor(source, true) && isBlendFactor(destination, false)) {
        blendFunc_ = {static_cast<uint32_t>(source), static_cast<uint32_t>(destination)};
    } else {
        logLine("Lumora: CCParticleSystem: blend factors %lld, %lld are not GL blend factors; keeping the default",
                static_cast<long long>(source), static_cast<long long>(destination));
    }
    const auto color = [&d](const char* prefix) {
        const std::string p = prefix;
        return ccColor4F{d[p + "Red"].floatValue(), d[p + "Green"].floatValue(), d[p + "Blue"].floatValue(),
                         d[p + "Alpha"].floatValue()};
    };
    startColor_ = color("startColor");
    startColorVar_ = color("startColorVariance");
    endColor_ = color("finishColor");
    endColorVar_ = color("finishColorVariance");
    startSize_ = d["startParticleSize"].floatValue();
    startSizeVar_ = d["startParticleSizeVariance"].floatValue();
    endSize_ = d["finishParticleSize"].floatValue();
    endSizeVar_ = d["finishParticleSizeVariance"].floatValue();
    setPosition({d["sourcePositionx"].floatValue(), d["sourcePositiony"].floatValue()});
    posVar_ = {d["sourcePositionVariancex"].floatValue(), d["sourcePositionVariancey"].floatValue()};
    startSpin_ = d["rotationStart"].floatValue();
    startSpinVar_ = d["rotationStartVariance"].floatValue();
    endSpin_ = d["rotationEnd"].floatValue();
    endSpinVar_ = d["rotationEndVariance"].floatValue();
    emitterMode_ = d["emitterType"].intValue();
    if (emitterMode_ == kCCParticleModeGravity) {
        modeA_.gravity = {d["gravityx"].floatValue(), d["gravityy"].floatValue()};
        modeA_.speed = d["speed"].floatValue();
        modeA_.speedVar = d["speedVariance"].floatValue();
        modeA_.radialAccel = d["radialAcceleration"].floatValue();
        modeA_.radialAccelVar = d["radialAccelVariance"].floatValue();
        modeA_.tangentialAccel = d["tangentialAcceleration"].floatValue();
        modeA_.tangentialAccelVar = d["tangentialAccelVariance"].floatValue();
    } else if (emitterMode_ == kCCParticleModeRadius) {
        modeB_.startRadius = d["maxRadius"].floatValue();
        modeB_.startRadiusVar = d["maxRadiusVariance"].floatValue();
        modeB_.endRadius = d["minRadius"].floatValue();
        modeB_.endRadiusVar = 0;
        modeB_.rotatePerSecond = d["rotatePerSecond"].floatValue();
        modeB_.rotatePerSecondVar = d["rotatePerSecondVariance"].floatValue();
    }
    life_ = d["particleLifespan"].floatValue();
    lifeVar_ = d["particleLifespanVariance"].floatValue();
    emissionRate_ = static_cast<float>(totalParticles_) / life_;
    if (!batchNode_) readDictionaryTexture(d);
    return true;
}

void CCParticleSystem::readDictionaryTexture(const Value& d) {
    opacityModifyRGB_ = false;
    const std::string name = d["textureFileName"].stringValue();
    const std::string embedded = d["textureImageData"].stringValue();
    // Neither key: nothing to look up (which also keeps GL out of texture-less systems).
    if (name.empty() && embedded.empty()) return;
    CCTextureCache* cache = CCTextureCache::sharedTextureCache();
    if (RefPtr<CCTexture2D> texture = name.empty() ? nullptr : cache->addImage(name)) {
        setTexture(std::move(texture));
        return;
    }
    if (embedded.empty()) {
        logLine("Lumora: CCParticleSystem: no texture %s and no embedded image; the particles draw nothing",
                name.c_str());
        return;
    }
    Image image;
    if (decodeEmbeddedImage(embedded, CCConfiguration::sharedConfiguration()->maxTextureSize(), &image)) {
        setTexture(cache->addCGImage(&image, name));
    }
}

bool CCParticleSystem::decodeEmbeddedImage(const std::string& base64Text, uint32_t maxSize, Image* image) {
    if (base64Text.size() > UINT32_MAX) {
        logLine("Lumora: CCParticleSystem: %zu bytes of embedded image text are too many", base64Text.size());
        return false;
    }
    unsigned char* compressed = nullptr;
    const uint32_t compressedLength = base64DecodeAlloc(reinterpret_cast<const unsigned char*>(base64Text.data()),
                                                        static_cast<uint32_t>(base64Text.size()), &compressed);
    if (!compressed) return false;
    // ccInflateMemory refuses output beyond its budget.
    unsigned char* file = nullptr;
    const int32_t fileLength = ccInflateMemory(compressed, compressedLength, &file);
    free(compressed);
    if (fileLength < 0) {
        logLine("Lumora: CCParticleSystem: the embedded image data does not inflate");
        return false;
    }
    const bool decoded = image->initWithData(file, static_cast<size_t>(fileLength), maxSize);
    free(file);
    return decoded;
}

// MARK: emission and life

bool CCParticleSystem::addParticle() {
    if (isFull()) return false;
    initParticle(&particles_[particleCount_]);
    ++particleCount_;
    return true;
}

void CCParticleSystem::initParticle(sCCParticle* p) {
    p->lifeLeft = std::max(0.0f, vary(life_, lifeVar_));
    p->location.x = sourcePosition_.x + posVar_.x * randomMinus1To1();
    p->location.y = sourcePosition_.y + posVar_.y * randomMinus1To1();

    const ccColor4F start = clampedColor(startColor_, startColorVar_);
    const ccColor4F end = clampedColor(endColor_, endColorVar_);
    p->color = start;
    p->colorPerSecond = {(end.r - start.r) / p->lifeLeft, (end.g - start.g) / p->lifeLeft,
                         (end.b - start.b) / p->lifeLeft, (end.a - start.a) / p->lifeLeft};

    const float startSize = std::max(0.0f, vary(startSize_, startSizeVar_));
    p->size = startSize;
    if (endSize_ == kCCParticleStartSizeEqualToEndSize) {
        p->sizePerSecond = 0;
    } else {
        p->sizePerSecond = (std::max(0.0f, vary(endSize_, endSizeVar_)) - startSize) / p->lifeLeft;
    }

    const float startSpin = vary(startSpin_, startSpinVar_);
    const float endSpin = vary(endSpin_, endSpinVar_);
    p->spin = startSpin;
    p->spinPerSecond = (endSpin - startSpin) / p->lifeLeft;

    if (positionType_ == kCCPositionTypeFree) {
        p->birthOrigin = convertToWorldSpace({0, 0});
    } else if (positionType_ == kCCPositionTypeRelative) {
        p->birthOrigin = position();
    }

    const float direction = vary(angle_, angleVar_) * kDegreesToRadians;
    if (emitterMode_ == kCCParticleModeGravity) {
        const float speed = vary(modeA_.speed, modeA_.speedVar);
        p->modeA.velocity = {cosf(direction) * speed, sinf(direction) * speed};
        p->modeA.radialAccel = vary(modeA_.radialAccel, modeA_.radialAccelVar);
        p->modeA.tangentialAccel = vary(modeA_.tangentialAccel, modeA_.tangentialAccelVar);
    } else {
        const float startRadius = vary(modeB_.startRadius, modeB_.startRadiusVar);
        const float endRadius = vary(modeB_.endRadius, modeB_.endRadiusVar);
        p->modeB.radius = startRadius;
        p->modeB.deltaRadius = modeB_.endRadius == kCCParticleStartRadiusEqualToEndRadius
                                   ? 0
                                   : (endRadius - startRadius) / p->lifeLeft;
        p->modeB.angle = direction;
        p->modeB.degreesPerSecond = vary(modeB_.rotatePerSecond, modeB_.rotatePerSecondVar) * kDegreesToRadians;
    }
}

void CCParticleSystem::stopSystem() {
    active_ = false;
    elapsed_ = duration_;
    emitCounter_ = 0;
}

void CCParticleSystem::resetSystem() {
    active_ = true;
    elapsed_ = 0;
    for (uint64_t i = 0; i < particleCount_; ++i) particles_[i].lifeLeft = 0;
}

CGPoint CCParticleSystem::referencePoint() {
    if (positionType_ == kCCPositionTypeFree) return convertToWorldSpace({0, 0});
    if (positionType_ == kCCPositionTypeRelative) return position();
    return {0, 0};
}

void CCParticleSystem::update(float dt) {
    if (active_ && emissionRate_ != 0) {
        const float rate = 1.0f / emissionRate_;
        // A full system builds no backlog.
        if (particleCount_ < totalParticles_) emitCounter_ += dt;
        while (particleCount_ < totalParticles_ && emitCounter_ > rate) {
            addParticle();
            emitCounter_ -= rate;
        }
        elapsed_ += dt;
        if (duration_ != kCCParticleDurationInfinity && duration_ < elapsed_) stopSystem();
    }

    particleIdx_ = 0;
    const CGPoint reference = referencePoint();
    const bool grouped = positionType_ == kCCPositionTypeGrouped;
    // Batched quads are drawn without this node's transform.
    const CGPoint batchOffset = batchNode_ ? position() : CGPoint{0, 0};
    // A hidden system's particles neither age nor move.
    const bool moving = visible();
    while (moving && particleIdx_ < particleCount_) {
        sCCParticle* p = &particles_[particleIdx_];
        p->lifeLeft -= dt;
        if (p->lifeLeft > 0) {
            if (emitterMode_ == kCCParticleModeGravity) {
                CGPoint radial{0, 0};
                if (p->location.x != 0 || p->location.y != 0) radial = ccPointNormalize(p->location);
                const double tangentialX = -radial.y;
                const double tangentialY = static_cast<float>(radial.x);
                const double ax = radial.x * p->modeA.radialAccel + tangentialX * p->modeA.tangentialAccel +
                                  modeA_.gravity.x;
                const double ay = radial.y * p->modeA.radialAccel + tangentialY * p->modeA.tangentialAccel +
                                  modeA_.gravity.y;
                p->modeA.velocity.x += ax * dt;
                p->modeA.velocity.y += ay * dt;
                p->location.x += p->modeA.velocity.x * dt;
                p->location.y += p->modeA.velocity.y * dt;
            } else {
                p->modeB.angle += p->modeB.degreesPerSecond * dt;
                p->modeB.radius += p->modeB.deltaRadius * dt;
                p->location = {-cosf(p->modeB.angle) * p->modeB.radius, -sinf(p->modeB.angle) * p->modeB.radius};
            }
            p->color.r += p->colorPerSecond.r * dt;
            p->color.g += p->colorPerSecond.g * dt;
            p->color.b += p->colorPerSecond.b * dt;
            p->color.a += p->colorPerSecond.a * dt;
            p->size = std::max(0.0f, p->size + p->sizePerSecond * dt);
            p->spin += p->spinPerSecond * dt;

            CGPoint at = p->location;
            if (!grouped) {
                at.x -= reference.x - p->birthOrigin.x;
                at.y -= reference.y - p->birthOrigin.y;
            }
            updateQuadWithParticle(p, {at.x + batchOffset.x, at.y + batchOffset.y});
            ++particleIdx_;
            continue;
        }
        // Dead: the last live particle takes its slot (and keeps its own quad), and the freed
        // quad goes with the slot that becomes free.
        const uint64_t last = particleCount_ - 1;
        const uint64_t freedQuad = p->quadIndex;
        if (particleIdx_ != last) *p = particles_[last];
        if (batchNode_) {
            batchNode_->disableParticle(atlasIndex_ + freedQuad);
            particles_[last].quadIndex = freedQuad;
        }
        --particleCount_;
        if (particleCount_ == 0 && autoRemoveOnFinish_) {
            unscheduleUpdate();
            // The parent may hold the last reference.
            const RefPtr<CCParticleSystem> keep(this);
            if (CCNode* parent = this->parent()) parent->removeChild(this, true);
            return;
        }
    }
    if (!batchNode_) postStep();
}

void CCParticleSystem::updateQuadWithParticle(sCCParticle*, CGPoint) {}

void CCParticleSystem::postStep() {}

void CCParticleSystem::setTotalParticles(uint64_t totalParticles) {
    const uint64_t count = clampedCount(totalParticles, "setTotalParticles");
    if (count > allocatedParticles_) {
        logLine("Lumora: CCParticleSystem setTotalParticles: %llu particles do not fit the pool of %llu; refused",
                static_cast<unsigned long long>(count), static_cast<unsigned long long>(allocatedParticles_));
        return;
    }
    totalParticles_ = count;
}

// MARK: blending and texture

void CCParticleSystem::setBlendFunc(ccBlendFunc blendFunc) {
    if (blendFunc == blendFunc_) return;
    blendFunc_ = blendFunc;
    updateBlendFunc();
}

void CCParticleSystem::setTexture(RefPtr<CCTexture2D> texture) {
    if (texture.get() == texture_.get()) return;
    texture_ = std::move(texture);
    updateBlendFunc();
}

void CCParticleSystem::updateBlendFunc() {
    opacityModifyRGB_ = false;
    if (!texture_ || blendFunc_ != kPremultipliedBlend) return;
    if (texture_->hasPremultipliedAlpha()) {
        opacityModifyRGB_ = true;
    } else {
        blendFunc_ = kStraightBlend;
    }
}

void CCParticleSystem::setBlendAdditive(bool additive) {
    if (additive) {
        blendFunc_ = kAdditiveBlend;
    } else {
        blendFunc_ = texture_ && !texture_->hasPremultipliedAlpha() ? kStraightBlend : kPremultipliedBlend;
    }
}

bool CCParticleSystem::blendAdditive() const { return blendFunc_ == kAdditiveBlend; }

void CCParticleSystem::setBatchNode(CCParticleBatchNode* batchNode) {
    if (batchNode == batchNode_) return;
    batchNode_ = batchNode;
    if (batchNode) {
        for (uint64_t i = 0; i < totalParticles_; ++i) particles_[i].quadIndex = i;
    }
}
