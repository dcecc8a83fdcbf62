#include "game/objects/GameObjectKinds.h"

#include "game/core/GameObjectFactory.h"
#include "game/objects/Animation.h"
#include "game/objects/Destructable.h"
#include "game/objects/Dynamic.h"
#include "game/objects/EnemyKinds.h"
#include "game/objects/Flower.h"
#include "game/objects/Hive.h"
#include "game/objects/MachineKinds.h"
#include "game/objects/MovementLinearPath.h"
#include "game/objects/MovementOrbit.h"
#include "game/objects/Pickup.h"
#include "platform/foundation/Value.h"

namespace game {

void GameObjectKinds::registerKinds() {
    GameObject::setMovementBuilders(
        [](const Value& behaviour, const Value& pathData, CCNode* node) -> RefPtr<MovementProtocol> {
            return MovementLinearPath::movementLinearPathFromDictionary(behaviour, pathData, node);
        },
        [](const Value& orbit, CCNode* node) -> RefPtr<MovementProtocol> {
            return MovementOrbit::movementOrbitFromDictionary(orbit, node);
        });
    GameObjectFactory::registerKind("Flower", [](const Value& data) -> RefPtr<GameObject> {
        return Flower::flowerWithGameData(data);
    });
    GameObjectFactory::registerKind("Pickup", [](const Value& data) -> RefPtr<GameObject> {
        return Pickup::pickupWithGameData(data);
    });
    GameObjectFactory::registerKind("Destructable", [](const Value& data) -> RefPtr<GameObject> {
        return Destructable::destructableWithGameData(data);
    });
    GameObjectFactory::registerKind("Dynamic", [](const Value& data) -> RefPtr<GameObject> {
        return Dynamic::dynamicWithGameData(data);
    });
    GameObjectFactory::registerKind("Animation", [](const Value& data) -> RefPtr<GameObject> {
        return Animation::animationWithGameData(data);
    });
    GameObjectFactory::registerKind("Hive", [](const Value& data) -> RefPtr<GameObject> {
        return Hive::hiveWithGameData(data);
    });
    EnemyKinds::registerKinds();
    MachineKinds::registerKinds();
}

}  // namespace game
