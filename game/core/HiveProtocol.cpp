#include "game/core/HiveProtocol.h"

#include "game/core/ParticlePool.h"

HiveProtocol::~HiveProtocol() { ParticlePool::release(particlesVantrelTransferNectar_); }
