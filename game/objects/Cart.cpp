#include "game/objects/Cart.h"

#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/CollisionBits.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Units.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/MachineParts.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr ObjectPhysics::Filter kFilter{0, CollisionCategory::kScenery, collision::kSolidMask};
}  // namespace

RefPtr<Cart> Cart::cartWithType(int32_t type, CGPoint position, float rotation, float, float) {
    RefPtr<Cart> cart(new Cart);
    cart->initGameObjectWithType(type);
    cart->createCart(position, rotation);
    return cart;
}

void Cart::createCart(CGPoint position, float rotation) {
    setPriority(1);
    if (!GameObjectKinds::isKind("Cart", type())) return;
    const Value& deckData = gameObjectData()["deck"];
    const Value& wheelsData = gameObjectData()["wheels"];
    GameObjectPhysicsData deckPhysics, wheelPhysics;
    loadPhysicsSettingsFrom(deckData, &deckPhysics, true);
    loadPhysicsSettingsFrom(wheelsData, &wheelPhysics, true);
    GameObjectPhysicsMotorData motor;
    loadPhysicsMotorSettingsFrom(gameObjectData(), &motor, true);

    const std::string wheelFrame =
        (wheelsData["image_name"].isString() ? wheelsData["image_name"].stringValue() : imageName() + "_wheel") +
        ".png";
    deck_ = ObjectPhysics::physicsSpriteWithFrameName(imageName() + ".png");
    wheel1_ = ObjectPhysics::physicsSpriteWithFrameName(wheelFrame);
    wheel2_ = ObjectPhysics::physicsSpriteWithFrameName(wheelFrame);

    b2Body* deck = ObjectPhysics::createBodyWithFixtures(deck_.get(), b2_dynamicBody, position, rotation, deckPhysics,
                                                         deckData["fixtures"], kFilter);
    if (!deck) return;  // no world: nothing to show
    const b2Vec2 deckPosition = deck->GetPosition();
    const CGPoint deckPoints =
        CGPointMake(deckPosition.x * units::kPointsPerMetre, deckPosition.y * units::kPointsPerMetre);
    const float deckDegrees = deck->GetAngle() / units::kRadiansPerDegree;
    PhysicsSprite* wheels[] = {wheel1_.get(), wheel2_.get()};
    const char* keys[] = {"wheel1_position", "wheel2_position"};
    CGPoint centres[2];
    for (int i = 0; i < 2; ++i) {
        centres[i] = localToGlobalPosition(CGPointFromString(wheelsData[keys[i]].stringValue()), deckPoints,
                                           deckDegrees);
        if (!ObjectPhysics::createBodyWithFixtures(wheels[i], b2_dynamicBody, centres[i], rotation, wheelPhysics,
                                                   wheelsData["fixtures"], kFilter)) {
            return;
        }
    }
    for (int i = 0; i < 2; ++i) MachineParts::joinRevolute(wheels[i]->body(), deck, centres[i], motor);
    for (PhysicsSprite* part : {deck_.get(), wheel1_.get(), wheel2_.get()}) ObjectPhysics::addToGravity(part->body());
    for (PhysicsSprite* part : {deck_.get(), wheel1_.get(), wheel2_.get()}) {
        ObjectPhysics::addToSynchronised(part->body());
    }
    for (PhysicsSprite* part : {deck_.get(), wheel1_.get(), wheel2_.get()}) part->synchronise();

    Level* level = Level::currentLevel();
    CCSpriteBatchNode* batch =
        level && deck_->texture() ? level->getSpriteBatchNodeForTexture(deck_->texture(), Level::kSpriteLayerForeground)
                                  : nullptr;
    if (!batch) return;
    if (wheelsData["on_top"].boolValue()) {
        for (PhysicsSprite* part : {deck_.get(), wheel1_.get(), wheel2_.get()}) batch->addChild(part);
    } else {
        for (PhysicsSprite* part : {wheel1_.get(), wheel2_.get(), deck_.get()}) batch->addChild(part);
    }
}

Cart::~Cart() {
    for (PhysicsSprite* part : {deck_.get(), wheel1_.get(), wheel2_.get()}) ObjectPhysics::releaseSprite(part, this);
}

b2Body* Cart::getPrimaryBody() { return deck_ ? deck_->body() : nullptr; }

}  // namespace game
