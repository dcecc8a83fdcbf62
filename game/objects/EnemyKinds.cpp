#include "game/objects/EnemyKinds.h"

#include "game/core/GameObjectFactory.h"
#include "game/objects/Projectile.h"
#include "platform/foundation/Value.h"

namespace game {

void EnemyKinds::registerKinds() {
    GameObjectFactory::registerKind("Projectile", [](const Value& data) -> RefPtr<GameObject> {
        return Projectile::projectileWithGameData(data);
    });
}

}  // namespace game
