#include "game/objects/Hive.h"

#include <cmath>

#include "engine/render/CCSprite.h"
#include "game/core/Level.h"
#include "game/core/Player.h"
#include "game/core/Units.h"
#include "game/objects/ObjectPhysics.h"
#include "platform/foundation/Value.h"

namespace game {

RefPtr<Hive> Hive::hiveWithType(int32_t type, CGPoint position, float rotation, float, float) {
    RefPtr<Hive> hive(new Hive);
    hive->initGameObjectWithType(type);
    hive->createHive(position, rotation);
    return hive;
}

void Hive::createHive(CGPoint position, float rotation) {
    setPriority(2);
    Level* level = Level::currentLevel();
    referenceHoney_ = level ? static_cast<float>(level->referenceHoney()) : 0.0f;
    bg_ = ObjectPhysics::spriteWithFrameName("hive_inner.png");
    honey_ = ObjectPhysics::spriteWithFrameName("hive_honey.png");
    fg_ = ObjectPhysics::spriteWithFrameName("hive_outer.png");
    for (CCSprite* sprite : {bg_.get(), fg_.get()}) {
        sprite->setPosition(position);
        sprite->setRotation(-rotation);
    }
    honey_->setAnchorPoint(CGPoint{0, 0});
    bg_->addChild(honey_.get());
    showHoney(0);
    // Outer over inner: the batch draws its children in the order they were added.
    if (ObjectPhysics::addToForeground(bg_.get())) ObjectPhysics::addToForeground(fg_.get());
}

Hive::~Hive() {
    for (CCSprite* sprite : {fg_.get(), honey_.get(), bg_.get()}) {
        if (sprite) sprite->removeFromParentAndCleanup(true);
    }
}

void Hive::update(float) {
    Player* player = Player::currentPlayer();
    showHoney(player ? player->hiveHoney() : 0.0f);
}

float Hive::honeyFill() const { return honey_->scaleY(); }

void Hive::showHoney(float hiveHoney) {
    float fill = 1.0f;
    if (referenceHoney_ > 0) {
        fill = std::isfinite(hiveHoney) ? hiveHoney / referenceHoney_ : 0.0f;
        fill = std::fmin(std::fmax(fill, 0.0f), 1.0f);
    }
    honey_->setScaleY(fill);
}

CGPoint Hive::position() const {
    const float up = (bg_->rotation() - 90) * -units::kRadiansPerDegree;
    const float height = static_cast<float>(honey_->contentSize().height) * (honey_->scaleY() - 0.5f);
    const CGPoint centre = bg_->position();
    return CGPoint{centre.x + std::cos(up) * height, centre.y + std::sin(up) * height};
}

void Hive::setTint(ccColor3B colour) {
    bg_->setColor(colour);
    honey_->setColor(colour);
    fg_->setColor(colour);
}

}  // namespace game
