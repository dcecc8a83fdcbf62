#include "game/objects/EnemyKinds.h"

#include "game/core/GameObjectFactory.h"
#include "game/objects/Bird.h"
#include "game/objects/Cloud.h"
#include "game/objects/Projectile.h"
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
}

}  // namespace game
