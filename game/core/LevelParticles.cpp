#include "game/core/Level.h"

#include "engine/render/CCParticleBatchNode.h"
#include "engine/render/CCParticleSystem.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/HiveProtocol.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Player.h"
#include "game/core/RestartableParticleSystem.h"
#include "game/core/VantrelGameLayer.h"
#include "platform/foundation/Log.h"

// The particle pools, and the nectar streams taken from them while the bee drinks from a flower
// or pours into the hive. Gravities are points per second squared.

namespace {

// The tag of the flower's falling bits: they draw with the flower's own texture, never in the
// generic batch.
constexpr int kFlowerLoseNectarTag = 4;
// Droplets that stop flying to the bee or the hive fall this hard; the flower's bits always.
constexpr float kDropletFall = 100.0f;
constexpr float kFlowerBitsFall = 50.0f;
// A bee's mouth closer to the hive than this (points) pours straight down.
constexpr float kShortestTransfer = 50.0f;

void restartIfIdle(CCParticleSystem* stream) {
    if (!stream->active()) static_cast<RestartableParticleSystem*>(stream)->resetSystemWithoutKillingParticles();
}

// The flower a pooled stream is attached to, or null.
FlowerProtocol* flowerOf(CCParticleSystem* stream) {
    return dynamic_cast<FlowerProtocol*>(static_cast<GameObject*>(stream->userData()));
}

}  // namespace

// ---- Particle pools ----

void Level::createParticles() {
    particlesFlowerLoseNectar_ = addParticleSystem("flower_lose_nectar", kFlowerLoseNectarTag);
    particlesVantrelCollectNectar_ = addParticleSystem("vantrel_collect_nectar", 1);
    particlesVantrelTransferNectar_ = addParticleSystem("vantrel_transfer_nectar", 2);
    particlesVantrelLoseNectar_ = addParticleSystem("vantrel_lose_nectar", 3);
    particlesBonus_ = addParticleSystem("bonus", 5);
}

ParticlePool Level::addParticleSystem(const std::string& name, int tag) {
    const std::string fileName = info_.particlesInfo[name].stringValue();
    if (fileName.empty()) {
        logLine("Level: \"%s\" names no particle list for \"%s\"; skipped", info_.levelId.c_str(), name.c_str());
        return {};
    }
    const Value dictionary = readResource(fileName, "particle list");
    if (!dictionary.isDictionary()) return {};
    ParticlePool pool = ParticlePool::withDictionary(dictionary, tag);
    if (pool.empty()) {
        logLine("Level: the particle list \"%s\" builds no system; skipped", fileName.c_str());
        return {};
    }
    if (!gameLayer_) return pool;
    CCParticleBatchNode* generic = gameLayer_->particlesGenericHolder();
    CCNode* parent = (tag != kFlowerLoseNectarTag && generic && pool.systems()[0]->texture() == generic->texture())
                         ? static_cast<CCNode*>(generic)
                         : gameLayer_->particlesHolder();
    if (parent) {
        for (const RefPtr<RestartableParticleSystem>& system : pool.systems()) parent->addChild(system.get());
    }
    return pool;
}

RestartableParticleSystem* Level::nextFlowerLoseNectarParticles() { return particlesFlowerLoseNectar_.nextFree(); }
RestartableParticleSystem* Level::nextVantrelCollectNectarParticles() {
    return particlesVantrelCollectNectar_.nextFree();
}
RestartableParticleSystem* Level::nextVantrelTransferNectarParticles() {
    return particlesVantrelTransferNectar_.nextFree();
}
RestartableParticleSystem* Level::nextVantrelLoseNectarParticles() { return particlesVantrelLoseNectar_.next(); }
RestartableParticleSystem* Level::nextBonusParticles() { return particlesBonus_.next(); }

CGPoint Level::centreWard(CGPoint from, float strength) {
    const CGPoint down = unitVector(CGPointMake(-from.x, -from.y));
    return CGPointMake(down.x * strength, down.y * strength);
}

void Level::emitParticles(int kind, CGPoint position) {
    if (kind == kParticlesBonus) {
        RestartableParticleSystem* system = nextBonusParticles();
        if (!system) return;
        system->setPosition(position);
        system->resetSystemFullyWithoutKillingParticles();
    } else if (kind == kParticlesLoseNectar) {
        RestartableParticleSystem* system = nextVantrelLoseNectarParticles();
        if (!system || !player_) return;
        const CGPoint source = player_->position();
        system->setSourcePosition(source);
        system->setGravity(centreWard(source, kDropletFall));
        system->resetSystemFullyWithoutKillingParticles();
    }
}

// ---- Nectar streams ----

void Level::letFall(CCParticleSystem* stream, float strength) {
    stream->setGravity(centreWard(stream->sourcePosition(), strength));
    stream->stopSystem();
}

void Level::beginPlayerFlowerContact(GameObject* object) {
    auto* flower = dynamic_cast<FlowerProtocol*>(object);
    if (!flower) return;
    if (player_) player_->setStatFlowersVisited(player_->statFlowersVisited() + 1);
    RestartableParticleSystem* collect = nextVantrelCollectNectarParticles();
    RestartableParticleSystem* lose = nextFlowerLoseNectarParticles();
    if (!collect || !lose) return;
    // A stream still attached elsewhere is taken from its flower first.
    if (FlowerProtocol* previous = flowerOf(collect); previous && previous != flower) {
        previous->setParticlesVantrelCollectNectar(nullptr);
    }
    if (FlowerProtocol* previous = flowerOf(lose); previous && previous != flower) {
        previous->setParticlesFlowerLoseNectar(nullptr);
    }
    // Streams of an earlier contact with this flower go back to their pools.
    for (CCParticleSystem* old : {flower->particlesVantrelCollectNectar(), flower->particlesFlowerLoseNectar()}) {
        if (old && old != collect && old != lose) old->setUserData(nullptr);
    }
    flower->setParticlesVantrelCollectNectar(collect);
    flower->setParticlesFlowerLoseNectar(lose);
    collect->setUserData(object);
    lose->setUserData(object);
    if (CCTexture2D* texture = flower->particleTexture()) {
        lose->setTexture(RefPtr<CCTexture2D>(texture));
        const float width = static_cast<float>(texture->contentSize().width);
        lose->setStartSize(width);
        lose->setEndSize(width * 0.25f);
    }
    const CGPoint source = flower->physicsSprite() ? flower->physicsSprite()->position() : CGPointZero;
    const CGPoint mouth = player_ ? player_->beeMouthCollectionPosition() : source;
    collect->setSourcePosition(source);
    collect->setGravity(CGPointMake(mouth.x - source.x, mouth.y - source.y));
    lose->setSourcePosition(source);
    lose->setGravity(centreWard(source, kFlowerBitsFall));
    collect->resetSystemFullyWithoutKillingParticles();
    lose->resetSystemFullyWithoutKillingParticles();
}

void Level::updatePlayerFlowerContact(GameObject* object, bool active) {
    auto* flower = dynamic_cast<FlowerProtocol*>(object);
    if (!flower) return;
    const CGPoint source = flower->physicsSprite() ? flower->physicsSprite()->position() : CGPointZero;
    if (CCParticleSystem* collect = flower->particlesVantrelCollectNectar()) {
        if (active) {
            collect->setSourcePosition(source);
            const CGPoint mouth = player_ ? player_->beeMouthCollectionPosition() : source;
            collect->setGravity(CGPointMake(mouth.x - source.x, mouth.y - source.y));
            restartIfIdle(collect);
        } else {
            letFall(collect, kDropletFall);
        }
    }
    if (CCParticleSystem* lose = flower->particlesFlowerLoseNectar()) {
        if (active) {
            lose->setSourcePosition(source);
            lose->setGravity(centreWard(source, kFlowerBitsFall));
            restartIfIdle(lose);
        } else {
            letFall(lose, kFlowerBitsFall);
        }
    }
}

void Level::endPlayerFlowerContact(GameObject* object) {
    auto* flower = dynamic_cast<FlowerProtocol*>(object);
    if (!flower) return;
    if (CCParticleSystem* collect = flower->particlesVantrelCollectNectar()) {
        letFall(collect, kDropletFall);
        collect->setUserData(nullptr);
        flower->setParticlesVantrelCollectNectar(nullptr);
    }
    if (CCParticleSystem* lose = flower->particlesFlowerLoseNectar()) {
        letFall(lose, kFlowerBitsFall);
        lose->setUserData(nullptr);
        flower->setParticlesFlowerLoseNectar(nullptr);
    }
}

void Level::aimTransferStream(CCParticleSystem* stream) {
    const CGPoint source = player_ ? player_->beeMouthPosition() : CGPointZero;
    const CGPoint hive = hivePosition();
    const CGPoint gravity = CGPointMake(hive.x - source.x, hive.y - source.y);
    const bool tooShort = gravity.x * gravity.x + gravity.y * gravity.y < kShortestTransfer * kShortestTransfer;
    stream->setSourcePosition(source);
    stream->setGravity(tooShort ? centreWard(source, kDropletFall) : gravity);
}

void Level::beginPlayerHiveContact(bool transferring) {
    auto* hive = dynamic_cast<HiveProtocol*>(hive_);
    if (player_) player_->setStatHivesVisited(player_->statHivesVisited() + 1);
    if (!hive) return;
    RestartableParticleSystem* stream = nextVantrelTransferNectarParticles();
    if (!stream) return;
    hive->setParticlesVantrelTransferNectar(stream);
    stream->setUserData(hive_);
    aimTransferStream(stream);
    if (transferring) {
        stream->resetSystemFullyWithoutKillingParticles();
    } else {
        stream->stopSystem();
    }
}

void Level::updatePlayerHiveContact(bool transferring) {
    auto* hive = dynamic_cast<HiveProtocol*>(hive_);
    CCParticleSystem* stream = hive ? hive->particlesVantrelTransferNectar() : nullptr;
    if (!stream) return;
    if (transferring) {
        aimTransferStream(stream);
        restartIfIdle(stream);
    } else {
        letFall(stream, kDropletFall);
    }
}

void Level::endPlayerHiveContact() {
    auto* hive = dynamic_cast<HiveProtocol*>(hive_);
    CCParticleSystem* stream = hive ? hive->particlesVantrelTransferNectar() : nullptr;
    if (!stream) return;
    letFall(stream, kDropletFall);
    stream->setUserData(nullptr);
    hive->setParticlesVantrelTransferNectar(nullptr);
}
