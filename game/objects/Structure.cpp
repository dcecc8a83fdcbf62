#include "game/objects/Structure.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/GravityController.h"
#include "game/core/Level.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Units.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/Destructable.h"
#include "game/objects/Dynamic.h"
#include "game/objects/Flower.h"
#include "game/objects/GroundEnemy.h"
#include "game/objects/LevelRayCastClosest.h"
#include "game/objects/MachineParts.h"
#include "game/objects/ObjectPhysics.h"
#include "game/objects/Pickup.h"
#include "game/objects/VRope.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr float kRayLength = 100.0f;  // metres
constexpr float kShortestRope = b2_linearSlop;
constexpr int32_t kBuddyPickup = 109;
// Parts of one tree or cargo; the entries beyond are refused with one log line. Every part is a
// body of its own, and a thousand of them at one place collide with each other without end.
constexpr size_t kMostParts = 32;

bool within(int32_t type, int32_t low, int32_t high) { return type >= low && type <= high; }

// The entries of a list of parts, at most kMostParts of them.
std::span<const Value> partsOf(const Value& list, int32_t structureType, const char* key) {
    if (!list.isArray()) return {};
    const std::span<const Value> all(list.elements().data(), list.elements().size());
    if (all.size() <= kMostParts) return all;
    logLine("Game objects: structure %d has %zu %s; those after the first %zu are refused", structureType, all.size(),
            key, kMostParts);
    return all.first(kMostParts);
}

void file(GameObject* object) {
    if (Level* level = Level::currentLevel(); level && object) level->addGameObject(object);
}

// The types of the structures being built, outermost first: a base may be another structure but
// never one of these.
std::vector<int32_t>& typesBeingBuilt() {
    static std::vector<int32_t> types;
    return types;
}
}  // namespace

RefPtr<Structure> Structure::structureWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                               float scaleY) {
    RefPtr<Structure> structure(new Structure);
    structure->initGameObjectWithType(type);
    if (!structure->createStructure(position, rotation, scaleX, scaleY)) return nullptr;
    return structure;
}

bool Structure::createStructure(CGPoint position, float rotation, float scaleX, float scaleY) {
    setPriority(0);
    position_ = position;
    rotation_ = rotation;
    scaleX_ = scaleX;
    scaleY_ = scaleY;
    const int32_t code = type();
    if (within(code, 600, 606)) {
        createPottedFlower();
    } else if (code == 610) {
        createTree();
    } else if (within(code, 620, 622)) {
        typesBeingBuilt().push_back(code);
        const bool built = createBaseWithCargo();
        typesBeingBuilt().pop_back();
        return built;
    } else if (code == 630 || code == 631) {
        createRopedBarrel();
    }
    return true;
}

CGPoint Structure::scaledToGlobal(CGPoint local) const {
    return localToGlobalPosition(CGPointMake(local.x * scaleX_, local.y * scaleY_), position_, rotation_);
}

void Structure::createPottedFlower() {
    const Value& data = gameObjectData();
    const CGPoint flowerPosition = scaledToGlobal(CGPointFromString(data["flower_offset"].stringValue()));
    RefPtr<Dynamic> pot = Dynamic::dynamicWithType(data["pot_type"].intValue(), position_, rotation_, scaleX_, scaleY_);
    RefPtr<Flower> flower = Flower::flowerWithType(data["flower_type"].intValue(), flowerPosition, rotation_, scaleX_,
                                                   scaleY_, pot ? pot->getPrimaryBody() : nullptr);
    if (pot && flower && pot->physicsSprite() && flower->physicsSprite()) {
        CCNode* parent = pot->physicsSprite()->parent();
        if (parent && parent == flower->physicsSprite()->parent()) {
            const RefPtr<PhysicsSprite> keep(pot->physicsSprite());
            parent->removeChild(keep.get(), false);
            parent->addChild(keep.get());
        }
    }
    file(flower.get());
    file(pot.get());
}

void Structure::createTree() {
    const Value& data = gameObjectData();
    RefPtr<Dynamic> tree = Dynamic::dynamicWithType(data["tree_type"].intValue(), position_, rotation_, scaleX_, scaleY_);
    file(tree.get());
    for (const Value& entry : partsOf(data["flowers"], type(), "flowers")) {
        const CGPoint place = scaledToGlobal(CGPointFromString(entry["flower_offset"].stringValue()));
        RefPtr<Flower> flower = Flower::flowerWithType(entry["flower_type"].intValue(), place, rotation_, scaleX_,
                                                       scaleY_, tree ? tree->getPrimaryBody() : nullptr);
        file(flower.get());
    }
}

bool Structure::createBaseWithCargo() {
    const Value& data = gameObjectData();
    const int32_t baseType = data["base_type"].intValue();
    const std::vector<int32_t>& building = typesBeingBuilt();
    if (std::find(building.begin(), building.end(), baseType) != building.end()) {
        logLine("Game objects: structure %d refused: its base %d is itself or contains it", type(), baseType);
        return false;
    }
    Value instance = Value::dictionary();
    instance.set("type_name", typeName());
    instance.set("type", baseType);
    instance.set("position", NSStringFromCGPoint(position_));
    instance.set("rotation", static_cast<double>(rotation_));
    instance.set("scale_x", static_cast<double>(scaleX_));
    instance.set("scale_y", static_cast<double>(scaleY_));
    RefPtr<GameObject> base = GameObjectFactory::gameObjectWithGameData(instance);
    file(base.get());
    b2Body* baseBody = base ? base->getPrimaryBody() : nullptr;
    for (const Value& entry : partsOf(data["cargo"], type(), "cargo entries")) createCargo(entry, baseBody);
    return true;
}

void Structure::createCargo(const Value& entry, b2Body* base) {
    const int32_t cargoType = entry["type"].intValue();
    const CGPoint place = scaledToGlobal(CGPointFromString(entry["position"].stringValue()));
    const float rotation = localToGlobalRotation(entry["rotation"].floatValue(), rotation_);
    const float scaleX = (entry["invert_x"].boolValue() ? -1.0f : 1.0f) * scaleX_;
    if (!entry["join_to_parent"].boolValue()) {
        RefPtr<GameObject> object;
        if (within(cargoType, 100, 199)) object = Pickup::pickupWithType(cargoType, place, rotation, scaleX, scaleY_);
        else if (within(cargoType, 400, 499)) {
            object = Destructable::destructableWithType(cargoType, place, rotation, scaleX, scaleY_);
        } else if (within(cargoType, 500, 599)) {
            object = Dynamic::dynamicWithType(cargoType, place, rotation, scaleX, scaleY_);
        }
        file(object.get());
        return;
    }
    if (within(cargoType, 1, 99)) {
        file(Flower::flowerWithType(cargoType, place, rotation, scaleX, scaleY_, base).get());
        return;
    }
    if (within(cargoType, 200, 299)) {
        file(GroundEnemy::groundEnemyWithType(cargoType, place, rotation, scaleX, scaleY_, Value(), base).get());
        return;
    }
    if (!within(cargoType, 100, 199)) return;
    RefPtr<Pickup> pickup = Pickup::pickupWithType(cargoType, place, rotation, scaleX, scaleY_);
    if (!pickup) return;
    file(pickup.get());
    // A joined buddy counts whether or not the base has a body to hold it.
    if (pickup->type() == kBuddyPickup) {
        if (Level* level = Level::currentLevel()) level->setTotalBuddies(level->totalBuddies() + 1);
    }
    b2Body* body = pickup->getPrimaryBody();
    if (!body || !base || !worldAcceptsChanges(body->GetWorld(), "SetType")) return;
    if (!pickup->usesGravity()) {
        body->SetType(b2_dynamicBody);
        MachineParts::setMassData(body, 0.0001f, CGPointMake(0, 0), 0.0001f, "structure", type());
        ObjectPhysics::addToSynchronised(body);
    } else if (VantrelGameLayer* layer = VantrelGameLayer::currentGameLayer(); layer && layer->gravityController()) {
        layer->gravityController()->removeBody(body);
    }
    const b2Vec2 centre = body->GetWorldCenter();
    joinWeldBody(base, body, CGPointMake(centre.x * units::kPointsPerMetre, centre.y * units::kPointsPerMetre));
}

void Structure::createRopedBarrel() {
    const Value& data = gameObjectData();
    const CGPoint objectAnchor = CGPointFromString(data["object_anchor_position"].stringValue());
    const float slop = data["target_anchor_slop"].floatValue();
    const CGPoint anchor = localToGlobalPosition(objectAnchor, position_, rotation_);
    RefPtr<CCTexture2D> texture =
        CCTextureCache::sharedTextureCache()->addImage(data["rope_image_name"].stringValue() + ".png");
    CCSpriteBatchNode* sheet = MachineParts::foregroundBatchNode(texture.get());

    // The ray goes first, so that it never meets the hung object itself.
    b2World* world = VantrelGameLayer::currentPhysicsWorld();
    const float theta = (rotation_ + 90.0f) * units::kRadiansPerDegree;
    const b2Vec2 start(static_cast<float>(anchor.x) / units::kPointsPerMetre,
                       static_cast<float>(anchor.y) / units::kPointsPerMetre);
    b2Vec2 direction(kRayLength * std::cos(theta), kRayLength * std::sin(theta));
    LevelRayCastClosest ray(start, start + direction, false);
    if (world && worldAcceptsChanges(world, "RayCast") && isFinite(start) && isFinite(direction)) {
        world->RayCast(&ray, ray.start, ray.end);
    }
    RefPtr<Pickup> pickup =
        Pickup::pickupWithType(data["object_type"].intValue(), position_, rotation_, scaleX_, scaleY_);
    b2Body* hung = pickup ? pickup->getPrimaryBody() : nullptr;
    if (ray.fixture && hung) setPriority(2);
    file(pickup.get());
    if (!ray.fixture || !hung) return;

    direction.Normalize();
    const b2Vec2 top = ray.point + (slop / units::kPointsPerMetre) * direction;
    b2Body* holder = ray.fixture->GetBody();
    b2DistanceJointDef tie;
    tie.bodyA = holder;
    tie.bodyB = hung;
    tie.collideConnected = true;
    tie.localAnchorA = holder->GetLocalPoint(top);
    tie.localAnchorB.Set(static_cast<float>(objectAnchor.x) / units::kPointsPerMetre,
                         static_cast<float>(objectAnchor.y) / units::kPointsPerMetre);
    const float length = b2Distance(top, hung->GetWorldPoint(tie.localAnchorB));
    tie.minLength = kShortestRope;
    tie.maxLength = b2Max(length, kShortestRope);
    tie.length = tie.maxLength;
    tie.stiffness = 0;
    tie.damping = 0;
    rope_ = VRope::ropeWithJoint(world->CreateJoint(&tie), sheet);
}

void Structure::update(float dt) {
    if (!rope_ || rope_->isBroken()) return;
    rope_->updateWithPreIntegratedOriginGravity(dt);
    rope_->updateSprites();
}

void Structure::onDayIsOver() {
    if (!children_) return;
    // Held while a child that leaves on hearing it takes the structure out of the level.
    const RefPtr<Structure> keep(this);
    children_->forEach([](GameObject* child) { child->onDayIsOver(); });
}

void Structure::addChild(RefPtr<GameObject> child) {
    if (!child) return;
    if (child.get() == this || (children_ && children_->contains(child.get()))) {
        logLine("Game objects: structure %d refuses a child that is itself or already its own", type());
        return;
    }
    if (!children_) children_.emplace();
    child->setParent(this);
    children_->append(std::move(child));
}

void Structure::removeChild(GameObject* child) {
    if (!children_ || !children_->contains(child)) return;
    // Held while the last child takes the structure out of its parent or the level, which may let
    // go of it.
    const RefPtr<Structure> keep(this);
    if (child->parent() == this) child->setParent(nullptr);
    children_->remove(child);
    if (children_->empty()) destroy();
}

void Structure::destroy() {
    markGone();
    if (parent()) {
        parent()->removeChild(this);
    } else if (Level* level = Level::currentLevel()) {
        level->removeGameObject(this);
    }
}

Structure::~Structure() {
    if (rope_) rope_->removeSprites();
    // A child held elsewhere too must not name a structure that is gone.
    if (!children_) return;
    for (size_t i = 0; i < children_->count(); ++i) {
        if (children_->at(i)->parent() == this) children_->at(i)->setParent(nullptr);
    }
}

}  // namespace game
