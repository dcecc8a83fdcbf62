#include "game/objects/EnemyKinds.h"

#include "game/core/GameObjectFactory.h"
#include "game/objects/Bird.h"
#include "game/objects/Cloud.h"
#include "game/objects/Emitter.h"
#include "game/objects/GroundEnemy.h"
#include "game/objects/Hunter.h"
#include "game/objects/Projectile.h"
#include "game/objects/RoboCam.h"
#include "game/objects/Rooster.h"
#include "game/objects/SteamCloud.h"
#include "platform/foundation/Value.h"

namespace game {

void EnemyKinds::registerKinds() {
    GameObjectFactory::registerKind("Projectile", [](const Value& data) -> RefPtr<GameObject> {
        return Projectile::projectileWithGameData(data);
    });
    GameObjectFactory::registerKind("Bird", [](const Value& data) -> RefPtr<GameObject> {
        return Bird::birdWithGameData(data);
    });
    GameObjectFactory::registerKind("Cloud", [](const Value& data) -> RefPtr<GameObject> {
        return Cloud::cloudWithGameData(data);
    });
    GameObjectFactory::registerKind("SteamCloud", [](const Value& data) -> RefPtr<GameObject> {
        return SteamCloud::steamCloudWithGameData(data);
    });
    GameObjectFactory::registerKind("Emitter", [](const Value& data) -> RefPtr<GameObject> {
        return Emitter::emitterWithGameData(data);
    });
    GameObjectFactory::registerKind("GroundEnemy", [](const Value& data) -> RefPtr<GameObject> {
        return GroundEnemy::groundEnemyWithGameData(data);
    });
    GameObjectFactory::registerKind("Hunter", [](const Value& data) -> RefPtr<GameObject> {
        return Hunter::hunterWithGameData(data);
    });
    GameObjectFactory::registerKind("RoboCam", [](const Value& data) -> RefPtr<GameObject> {
        return RoboCam::roboCamWithGameData(data);
    });
    GameObjectFactory::registerKind("Rooster", [](const Value& data) -> RefPtr<GameObject> {
        return Rooster::roosterWithGameData(data);
    });
}

}  // namespace game
