#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/CCNode.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureProtocol.h"
#include "engine/core/ccTypes.h"
#include "platform/foundation/Geometry.h"

class CCParticleBatchNode;
class Image;
class Value;

// One particle. Lengths in points, angles in degrees unless named radians, times in seconds.
struct sCCParticle {
    CGPoint location;       // relative to the emitter's reference point (see the position types)
    CGPoint birthOrigin;    // the emitter's reference point when the particle was born
    ccColor4F color;        // components 0-1 at birth; the per-second change may overshoot slightly
    ccColor4F colorPerSecond;
    float size = 0;         // edge length of the quad, >= 0
    float sizePerSecond = 0;
    float spin = 0;         // clockwise on screen
    float spinPerSecond = 0;
    float lifeLeft = 0;     // dead at 0 or below
    uint64_t quadIndex = 0;  // the particle's quad within the system's block of a batch atlas
    // Gravity mode.
    struct {
        CGPoint velocity;   // points/s
        float radialAccel = 0;
        float tangentialAccel = 0;
    } modeA;
    // Radius mode.
    struct {
        float angle = 0;             // radians
        float degreesPerSecond = 0;  // radians/s, despite the name kept from the data format
        float radius = 0;
        float deltaRadius = 0;       // points/s
    } modeB;
};

// A node that emits, ages and moves a bounded pool of particles every frame: emission timing,
// the birth values drawn around configured means (X ± V is X + V x R with R uniform in [-1, 1]
// from random()), gravity or radius motion, colour, size and spin interpolation, removal of dead
// particles and the end of its own life. It draws nothing itself: a subclass writes each live
// particle through updateQuadWithParticle and finishes the frame in postStep
// (CCParticleSystemQuad).
//
// The pool holds at most kCCParticleSystemMaxParticles particles, the most that 16-bit vertex
// indices address; larger counts are clamped with one log line. The pool is allocated when the
// capacity is set, never during a frame; live particles are packed at the front and a dead one is
// replaced by the last live one (their order is not kept).
//
// Extensions of the class (the game's restart operations) write active_, elapsed_ and
// emitCounter_ directly.
//
// Engine thread only.
class CCParticleSystem : public CCNode, public CCTextureProtocol {
public:
    // 4 x 16383 + 3 = 65535, the highest 16-bit vertex index.
    static constexpr uint64_t kCCParticleSystemMaxParticles = 16384;
    // duration: emit for ever.
    static constexpr float kCCParticleDurationInfinity = -1;
    // endSize: keep the start size; endRadius: keep the start radius.
    static constexpr float kCCParticleStartSizeEqualToEndSize = -1;
    static constexpr float kCCParticleStartRadiusEqualToEndRadius = -1;
    // emitterMode values.
    static constexpr int64_t kCCParticleModeGravity = 0;
    static constexpr int64_t kCCParticleModeRadius = 1;
    // positionType values: where particles live once born. Free: in world space, so they stay
    // behind when the emitter moves. Relative: in the emitter's parent's space. Grouped: in the
    // emitter's own space, moving with it.
    static constexpr int32_t kCCPositionTypeFree = 0;
    static constexpr int32_t kCCPositionTypeRelative = 1;
    static constexpr int32_t kCCPositionTypeGrouped = 2;

    // A new system through initWithTotalParticles or initWithFile; null where those fail.
    static RefPtr<CCParticleSystem> particleWithTotalParticles(uint64_t numberOfParticles);
    static RefPtr<CCParticleSystem> particleWithFile(const std::string& plistFile);

    CCParticleSystem() = default;

    // initWithTotalParticles(150).
    virtual bool init();
    // A zeroed pool of n particles (clamped as above), active, premultiplied blending
    // {GL_ONE, GL_ONE_MINUS_SRC_ALPHA}, free positions, gravity mode, every parameter 0, and the
    // update scheduled at priority 1. Subclasses extend it; initWithDictionary reaches it
    // through them.
    virtual bool initWithTotalParticles(uint64_t numberOfParticles);
    // The particle property list at the resource path; false (logged) when it cannot be read as a
    // dictionary.
    bool initWithFile(const std::string& plistFile);
    // Configures the system from a particle property list (keys "maxParticles" ... "textureFileName",
    // "textureImageData"); absent keys read 0 and the emission rate is maxParticles over
    // "particleLifespan". Blend factors that are not GL blend factors are refused with one log line
    // and the default kept. Without a batch node, the texture comes from "textureFileName" through
    // the shared texture cache, else from the embedded "textureImageData", cached under that name.
    // False only when initWithTotalParticles fails.
    bool initWithDictionary(const Value& dictionary);
    // Decodes embedded texture data: base64 text of a gzip or zlib stream of an image file (PNG or
    // JPEG), the image at most maxSize pixels a side. Inflation stops at the decoders' budget
    // (InputLimits::kDecodedBytes). False, logged, when any step fails.
    static bool decodeEmbeddedImage(const std::string& base64Text, uint32_t maxSize, Image* image);

    // Emission and life.
    // Births one particle at index particleCount; false when full.
    bool addParticle();
    // Draws the particle's birth values from the parameters.
    void initParticle(sCCParticle* particle);
    bool isFull() const { return particleCount_ == totalParticles_; }
    // Stops emitting; live particles run out.
    void stopSystem();
    // Emitting again from elapsed 0; every live particle dies at the next update.
    void resetSystem();
    // Emits what is due, then ages and moves every live particle and hands it to
    // updateQuadWithParticle; an invisible system emits but does not age its particles.
    void update(float dt) override;
    void updateWithNoTime() { update(0); }

    // Drawing hooks, nothing here: once per live particle per update with its drawing position
    // in node space (batch space while batched), and once after the pass when not batched.
    virtual void updateQuadWithParticle(sCCParticle* particle, CGPoint newPosition);
    virtual void postStep();

    // Capacity, at most kCCParticleSystemMaxParticles (clamped with a log line). This class only
    // lowers it or raises it back within the pool it has; a larger count is refused with a log line.
    uint64_t totalParticles() const { return totalParticles_; }
    virtual void setTotalParticles(uint64_t totalParticles);
    uint64_t particleCount() const { return particleCount_; }
    // The live particles, particleCount() of them.
    const sCCParticle* particles() const { return particles_.data(); }
    // Quads written by the last update: particleCount after a visible pass, 0 after a hidden one.
    uint64_t particleIdx() const { return particleIdx_; }

    // Blending and texture. Setting a different texture or blend function re-derives
    // opacityModifyRGB and, for straight-alpha textures, the default blend function.
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override;
    CCTexture2D* texture() const override { return texture_.get(); }
    void setTexture(RefPtr<CCTexture2D> texture) override;
    // {GL_SRC_ALPHA, GL_ONE}, or back to the texture's normal blending.
    void setBlendAdditive(bool additive);
    bool blendAdditive() const;
    void updateBlendFunc();
    // Colours are multiplied by their alpha when written to quads.
    bool doesOpacityModifyRGB() const { return opacityModifyRGB_; }
    void setOpacityModifyRGB(bool modify) { opacityModifyRGB_ = modify; }

    // Batching: the batch node drawing this system (not retained) and the system's first quad in
    // the batch's atlas.
    CCParticleBatchNode* batchNode() const { return batchNode_; }
    virtual void setBatchNode(CCParticleBatchNode* batchNode);
    uint64_t atlasIndex() const { return atlasIndex_; }
    void setAtlasIndex(uint64_t index) { atlasIndex_ = index; }

    // Parameters: stored and read, nothing else.
    float duration() const { return duration_; }
    void setDuration(float duration) { duration_ = duration; }
    CGPoint sourcePosition() const { return sourcePosition_; }
    void setSourcePosition(CGPoint position) { sourcePosition_ = position; }
    CGPoint posVar() const { return posVar_; }
    void setPosVar(CGPoint posVar) { posVar_ = posVar; }
    float life() const { return life_; }
    void setLife(float life) { life_ = life; }
    float lifeVar() const { return lifeVar_; }
    void setLifeVar(float lifeVar) { lifeVar_ = lifeVar; }
    float angle() const { return angle_; }
    void setAngle(float angle) { angle_ = angle; }
    float angleVar() const { return angleVar_; }
    void setAngleVar(float angleVar) { angleVar_ = angleVar; }
    ccColor4F startColor() const { return startColor_; }
    void setStartColor(ccColor4F color) { startColor_ = color; }
    ccColor4F startColorVar() const { return startColorVar_; }
    void setStartColorVar(ccColor4F color) { startColorVar_ = color; }
    ccColor4F endColor() const { return endColor_; }
    void setEndColor(ccColor4F color) { endColor_ = color; }
    ccColor4F endColorVar() const { return endColorVar_; }
    void setEndColorVar(ccColor4F color) { endColorVar_ = color; }
    float startSpin() const { return startSpin_; }
    void setStartSpin(float spin) { startSpin_ = spin; }
    float startSpinVar() const { return startSpinVar_; }
    void setStartSpinVar(float spin) { startSpinVar_ = spin; }
    float endSpin() const { return endSpin_; }
    void setEndSpin(float spin) { endSpin_ = spin; }
    float endSpinVar() const { return endSpinVar_; }
    void setEndSpinVar(float spin) { endSpinVar_ = spin; }
    float emissionRate() const { return emissionRate_; }
    void setEmissionRate(float rate) { emissionRate_ = rate; }
    float startSize() const { return startSize_; }
    void setStartSize(float size) { startSize_ = size; }
    float startSizeVar() const { return startSizeVar_; }
    void setStartSizeVar(float size) { startSizeVar_ = size; }
    float endSize() const { return endSize_; }
    void setEndSize(float size) { endSize_ = size; }
    float endSizeVar() const { return endSizeVar_; }
    void setEndSizeVar(float size) { endSizeVar_ = size; }
    int32_t positionType() const { return positionType_; }
    void setPositionType(int32_t type) { positionType_ = type; }
    bool autoRemoveOnFinish() const { return autoRemoveOnFinish_; }
    void setAutoRemoveOnFinish(bool remove) { autoRemoveOnFinish_ = remove; }
    int64_t emitterMode() const { return emitterMode_; }
    void setEmitterMode(int64_t mode) { emitterMode_ = mode; }
    bool active() const { return active_; }
    // Gravity mode, stored whatever the mode.
    CGPoint gravity() const { return modeA_.gravity; }
    void setGravity(CGPoint gravity) { modeA_.gravity = gravity; }
    float speed() const { return modeA_.speed; }
    void setSpeed(float speed) { modeA_.speed = speed; }
    float speedVar() const { return modeA_.speedVar; }
    void setSpeedVar(float speed) { modeA_.speedVar = speed; }
    float tangentialAccel() const { return modeA_.tangentialAccel; }
    void setTangentialAccel(float accel) { modeA_.tangentialAccel = accel; }
    float tangentialAccelVar() const { return modeA_.tangentialAccelVar; }
    void setTangentialAccelVar(float accel) { modeA_.tangentialAccelVar = accel; }
    float radialAccel() const { return modeA_.radialAccel; }
    void setRadialAccel(float accel) { modeA_.radialAccel = accel; }
    float radialAccelVar() const { return modeA_.radialAccelVar; }
    void setRadialAccelVar(float accel) { modeA_.radialAccelVar = accel; }
    // Radius mode, stored whatever the mode.
    float startRadius() const { return modeB_.startRadius; }
    void setStartRadius(float radius) { modeB_.startRadius = radius; }
    float startRadiusVar() const { return modeB_.startRadiusVar; }
    void setStartRadiusVar(float radius) { modeB_.startRadiusVar = radius; }
    float endRadius() const { return modeB_.endRadius; }
    void setEndRadius(float radius) { modeB_.endRadius = radius; }
    float endRadiusVar() const { return modeB_.endRadiusVar; }
    void setEndRadiusVar(float radius) { modeB_.endRadiusVar = radius; }
    float rotatePerSecond() const { return modeB_.rotatePerSecond; }
    void setRotatePerSecond(float degrees) { modeB_.rotatePerSecond = degrees; }
    float rotatePerSecondVar() const { return modeB_.rotatePerSecondVar; }
    void setRotatePerSecondVar(float degrees) { modeB_.rotatePerSecondVar = degrees; }

protected:
    ~CCParticleSystem() override;

    // The pool for subclasses that number or rewrite it; allocatedParticles_ records.
    std::vector<sCCParticle> particles_;
    uint64_t allocatedParticles_ = 0;
    uint64_t totalParticles_ = 0;   // most particles alive at once; <= allocatedParticles_
    uint64_t particleCount_ = 0;    // live particles, packed at the front of particles_
    uint64_t particleIdx_ = 0;      // the particle being updated; after a pass, the quads written
    bool opacityModifyRGB_ = false;
    CCParticleBatchNode* batchNode_ = nullptr;  // not retained
    uint64_t atlasIndex_ = 0;

    // Written by extensions of the class.
    bool active_ = true;       // emitting
    float elapsed_ = 0;        // seconds of emission so far
    float emitCounter_ = 0;    // seconds of emission not yet turned into particles

    // A count above kCCParticleSystemMaxParticles gives the maximum, with a log line naming the
    // operation.
    static uint64_t clampedCount(uint64_t count, const char* operation);

private:
    // The world or parent-space point that free or relative particles are kept relative to.
    CGPoint referencePoint();
    void readDictionaryTexture(const Value& dictionary);

    float duration_ = 0;           // seconds; kCCParticleDurationInfinity for ever
    CGPoint sourcePosition_;       // centre of emission in node space
    CGPoint posVar_;               // half-range of the birth position per axis
    float angle_ = 0, angleVar_ = 0;  // degrees, 0 = +x, counter-clockwise
    int64_t emitterMode_ = kCCParticleModeGravity;
    struct {
        CGPoint gravity;           // points/s²
        float speed = 0, speedVar = 0;                      // points/s
        float tangentialAccel = 0, tangentialAccelVar = 0;  // points/s²
        float radialAccel = 0, radialAccelVar = 0;          // points/s²
    } modeA_;
    struct {
        float startRadius = 0, startRadiusVar = 0;  // points
        float endRadius = 0, endRadiusVar = 0;      // points; endRadius -1 keeps the start radius
        float rotatePerSecond = 0, rotatePerSecondVar = 0;  // degrees/s
    } modeB_;
    float startSize_ = 0, startSizeVar_ = 0;  // points
    float endSize_ = 0, endSizeVar_ = 0;      // points; endSize -1 keeps the start size
    float life_ = 0, lifeVar_ = 0;            // seconds
    ccColor4F startColor_, startColorVar_, endColor_, endColorVar_;  // components 0-1
    float startSpin_ = 0, startSpinVar_ = 0, endSpin_ = 0, endSpinVar_ = 0;  // degrees
    float emissionRate_ = 0;       // particles/s
    RefPtr<CCTexture2D> texture_;
    ccBlendFunc blendFunc_;
    int32_t positionType_ = kCCPositionTypeFree;
    bool autoRemoveOnFinish_ = false;
};
