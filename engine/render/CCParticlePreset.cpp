#include "engine/render/CCParticlePreset.h"

#include "engine/core/CCDirector.h"
#include "engine/core/CCTextureCache.h"

bool CCParticlePreset::init() { return initWithTotalParticles(parameters().count); }

bool CCParticlePreset::initWithTotalParticles(uint64_t numberOfParticles) {
    if (!CCParticleSystemQuad::initWithTotalParticles(numberOfParticles)) return false;
    const CCParticlePresetParameters& p = parameters();
    setDuration(p.duration);
    setEmitterMode(kCCParticleModeGravity);
    setGravity(p.gravity);
    setSpeed(p.speed);
    setSpeedVar(p.speedVar);
    setRadialAccel(p.radialAccel);
    setRadialAccelVar(p.radialAccelVar);
    setTangentialAccel(p.tangentialAccel);
    setTangentialAccelVar(p.tangentialAccelVar);
    setAngle(p.angle);
    setAngleVar(p.angleVar);
    const CGSize window = CCDirector::sharedDirector()->winSize();
    setPosition({window.width / 2, window.height * p.heightFraction + p.heightOffset});
    setPosVar({window.width * p.posVarWidthFraction + p.posVar.x, p.posVar.y});
    setLife(p.life);
    setLifeVar(p.lifeVar);
    setStartSize(p.startSize);
    setStartSizeVar(p.startSizeVar);
    setEndSize(kCCParticleStartSizeEqualToEndSize);
    const float count = static_cast<float>(totalParticles());
    setEmissionRate(p.fixedRate != 0 ? p.fixedRate : count / (p.ratePerDuration ? p.duration : p.life));
    setStartColor(p.startColor);
    setStartColorVar(p.startColorVar);
    setEndColor(p.endColor);
    setEndColorVar(p.endColorVar);
    if (p.additiveBeforeTexture) setBlendAdditive(p.additive);
    setTexture(CCTextureCache::sharedTextureCache()->addImage("fire.png"));
    if (!p.additiveBeforeTexture) setBlendAdditive(p.additive);
    return true;
}
