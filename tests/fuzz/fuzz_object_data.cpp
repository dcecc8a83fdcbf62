// Object data: any property list goes through the game-object readers, the factory, the
// animation builder, the shots' launch data and the colour parsers. Nothing aborts; colours stay
// in range; burst counts stay within their bounds.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <string>

#include "engine/render/CCAnimationCache.h"
#include "game/core/AnimationUtils.h"
#include "game/core/ColourUtils.h"
#include "game/core/GameObject.h"
#include "game/core/GameObjectFactory.h"
#include "game/objects/EnemyRules.h"
#include "game/objects/ProjectileData.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace {

void readEverything(const Value& data) {
    GameObjectBasicData basic;
    GameObject::loadGameObjectSettingsFrom(data, &basic, false);
    GameObjectPhysicsData physics;
    GameObject::loadPhysicsSettingsFrom(data, &physics, true);
    GameObjectPhysicsMotorData motor;
    GameObject::loadPhysicsMotorSettingsFrom(data, &motor, true);
    GameObjectPhysicsPrismaticJointData prismatic;
    GameObject::loadPhysicsPrismaticJointSettingsFrom(data, &prismatic, true);
    GameObjectPhysicsRotationJointData revolute;
    GameObject::loadPhysicsRotationJointSettingsFrom(data, &revolute, true);
    GameObjectFactory::gameObjectWithGameData(data);

    // A shooter's launch data, as an enemy type or as its "projectile" entry.
    game::EnemyRules::readPenalty(data);
    for (const Value* launch : {&data, &data["projectile"]}) {
        if (RefPtr<game::ProjectileData> projectile = game::ProjectileData::componentWithDictionary(*launch)) {
            const int32_t count = projectile->randomCount();
            if (count < projectile->countMin() || count > std::max(projectile->countMin(), projectile->countMax())) {
                std::abort();
            }
            projectile->launchPoint(CGPointMake(10, 20), 0.5f);
            projectile->aimDirection(b2Vec2(0, 0), b2Vec2(3, 40), b2Vec2(4, 0));
            projectile->sprayDirection(CGPointMake(0, 100), 90);
            projectile->update(1.0f / 60);
        }
    }

    for (const Value* animation : {&data, &data["animation"]}) {
        if (AnimationUtils::createSimpleAnimation("fuzzed", *animation, "")) {
            CCAnimationCache::sharedAnimationCache()->removeAnimationByName("fuzzed");
        }
    }
    for (const auto& entry : data.entries()) {
        const std::string text = entry.second.stringValue();
        ColourUtils::ccColor3BFromString(text);
        ColourUtils::ccColor4BFromString(text);
        const ccColor4F unit = ColourUtils::ccColor4FFromString(text);
        for (float c : {unit.r, unit.g, unit.b, unit.a}) {
            if (!(c >= 0 && c <= 1)) std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LogCapture quiet;
    quiet.clear();
    std::string error;
    const auto value = Value::fromBytes(std::string(reinterpret_cast<const char*>(data), size), &error);
    if (!value) return 0;
    readEverything(*value);
    for (const Value& element : value->elements()) readEverything(element);
    // Raw text as a colour string too.
    const std::string text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 256));
    const ccColor4F unit = ColourUtils::ccColor4FFromString(text);
    if (!(unit.r >= 0 && unit.r <= 1)) std::abort();
    return 0;
}
