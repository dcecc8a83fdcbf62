#include "game/objects/MachineKinds.h"

#include "game/core/GameObjectFactory.h"
#include "game/objects/Balloon.h"
#include "game/objects/BigBen.h"
#include "game/objects/Cart.h"
#include "game/objects/Crane.h"
#include "game/objects/Raft.h"
#include "game/objects/Rotator.h"
#include "game/objects/Structure.h"
#include "game/objects/Wheel.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
template <typename Kind, RefPtr<Kind> (*build)(const Value&)>
RefPtr<GameObject> construct(const Value& data) {
    return build(data);
}
}  // namespace

void MachineKinds::registerKinds() {
    GameObjectFactory::registerKind("Rotator", construct<Rotator, &Rotator::rotatorWithGameData>);
    GameObjectFactory::registerKind("Wheel", construct<Wheel, &Wheel::wheelWithGameData>);
    GameObjectFactory::registerKind("Raft", construct<Raft, &Raft::raftWithGameData>);
    GameObjectFactory::registerKind("Cart", construct<Cart, &Cart::cartWithGameData>);
    GameObjectFactory::registerKind("Crane", construct<Crane, &Crane::craneWithGameData>);
    GameObjectFactory::registerKind("Balloon", construct<Balloon, &Balloon::balloonWithGameData>);
    GameObjectFactory::registerKind("Structure", construct<Structure, &Structure::structureWithGameData>);
    GameObjectFactory::registerKind("BigBen", construct<BigBen, &BigBen::bigBenWithGameData>);
}

void MachineKinds::unregisterKinds() {
    for (const char* kind : {"Rotator", "Wheel", "Raft", "Cart", "Crane", "Balloon", "Structure", "BigBen"}) {
        GameObjectFactory::registerKind(kind, nullptr);
    }
}

}  // namespace game
