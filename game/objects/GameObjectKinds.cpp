#include "game/objects/GameObjectKinds.h"

#include <string>
#include <utility>
#include <vector>

#include "game/core/GameObject.h"
#include "game/objects/Animation.h"
#include "game/objects/Balloon.h"
#include "game/objects/BigBen.h"
#include "game/objects/Bird.h"
#include "game/objects/Cart.h"
#include "game/objects/Cloud.h"
#include "game/objects/Crane.h"
#include "game/objects/Destructable.h"
#include "game/objects/Dynamic.h"
#include "game/objects/Emitter.h"
#include "game/objects/Flower.h"
#include "game/objects/GroundEnemy.h"
#include "game/objects/Hive.h"
#include "game/objects/Hunter.h"
#include "game/objects/MovementLinearPath.h"
#include "game/objects/MovementOrbit.h"
#include "game/objects/Pickup.h"
#include "game/objects/Projectile.h"
#include "game/objects/Raft.h"
#include "game/objects/RoboCam.h"
#include "game/objects/Rooster.h"
#include "game/objects/Rotator.h"
#include "game/objects/SteamCloud.h"
#include "game/objects/Structure.h"
#include "game/objects/Wheel.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {

// One line a kind: its class name, its codes (first and last of each range) and its constructor.
// A code no line names builds nothing, though it may lie in a range the base answers for (an
// enemy code of no kind is still isEnemy).
const std::vector<GameObjectFactory::Kind>& table() {
    static const std::vector<GameObjectFactory::Kind> kinds = {
        {"Flower", {{1, 99}}, &Flower::flowerWithGameData},
        {"Pickup", {{100, 199}}, &Pickup::pickupWithGameData},
        {"Cloud", {{200, 208}, {210, 215}, {217, 217}, {250, 251}}, &Cloud::cloudWithGameData},
        {"SteamCloud", {{209, 209}, {216, 216}}, &SteamCloud::steamCloudWithGameData},
        {"Bird", {{220, 229}, {245, 247}, {252, 257}, {270, 272}}, &Bird::birdWithGameData},
        {"GroundEnemy", {{230, 239}, {260, 263}}, &GroundEnemy::groundEnemyWithGameData},
        {"Hunter", {{240, 241}}, &Hunter::hunterWithGameData},
        {"RoboCam", {{265, 265}}, &RoboCam::roboCamWithGameData},
        {"Projectile", {{300, 399}}, &Projectile::projectileWithGameData},
        {"Destructable", {{400, 499}}, &Destructable::destructableWithGameData},
        {"Dynamic", {{500, 599}}, &Dynamic::dynamicWithGameData},
        {"Structure", {{600, 699}}, &Structure::structureWithGameData},
        {"Emitter", {{700, 799}}, &Emitter::emitterWithGameData},
        {"Animation", {{800, 899}}, &Animation::animationWithGameData},
        {"Hive", {{1000, 1000}}, &Hive::hiveWithGameData},
        {"Rotator", {{1001, 1001}, {1004, 1004}, {1050, 1051}}, &Rotator::rotatorWithGameData},
        {"Cart", {{1002, 1002}, {1008, 1009}, {1052, 1052}}, &Cart::cartWithGameData},
        {"Crane", {{1003, 1003}}, &Crane::craneWithGameData},
        {"Balloon", {{1005, 1005}}, &Balloon::balloonWithGameData},
        {"Rooster", {{1006, 1006}, {1012, 1012}}, &Rooster::roosterWithGameData},
        {"Raft", {{1007, 1007}}, &Raft::raftWithGameData},
        {"Wheel", {{1010, 1010}}, &Wheel::wheelWithGameData},
        {"BigBen", {{1011, 1011}}, &BigBen::bigBenWithGameData},
    };
    return kinds;
}

}  // namespace

void GameObjectKinds::registerKinds() {
    GameObject::setMovementBuilders(
        [](const Value& behaviour, const Value& pathData, CCNode* node) -> RefPtr<MovementProtocol> {
            return MovementLinearPath::movementLinearPathFromDictionary(behaviour, pathData, node);
        },
        [](const Value& orbit, CCNode* node) -> RefPtr<MovementProtocol> {
            return MovementOrbit::movementOrbitFromDictionary(orbit, node);
        });
    for (const GameObjectFactory::Kind& kind : table()) GameObjectFactory::registerKind(kind);
}

void GameObjectKinds::unregisterKinds() {
    GameObjectFactory::unregisterKinds();
    GameObject::setMovementBuilders(nullptr, nullptr);
}

void GameObjectKinds::registerStandIn(std::string_view name, GameObjectFactory::Constructor constructor) {
    GameObjectFactory::registerKind({std::string(name), kind(name).codes, std::move(constructor)});
}

const GameObjectFactory::Kind& GameObjectKinds::kind(std::string_view name) {
    for (const GameObjectFactory::Kind& kind : table()) {
        if (kind.name == name) return kind;
    }
    throwNamedException("GameObjectKindsException", "no kind is named %s", std::string(name).c_str());
}

}  // namespace game
