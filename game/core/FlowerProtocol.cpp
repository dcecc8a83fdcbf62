#include "game/core/FlowerProtocol.h"

#include "game/core/ParticlePool.h"

FlowerProtocol::~FlowerProtocol() {
    ParticlePool::release(particlesVantrelCollectNectar_);
    ParticlePool::release(particlesFlowerLoseNectar_);
}
