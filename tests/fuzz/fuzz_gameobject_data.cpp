// Any bytes as "gameobject_data.plist": the object kinds build an instance of every type code the
// data names and of every code range they know, on a planet in a play scene's physics (sprites on
// an offscreen GL context), then take hits, pay out, regrow, sleep, sting, see the bee, emit and
// run ten frames, and the movements the data describes drive a node. Nothing aborts (Box2D's assertions
// included), and every body and node keeps a finite pose.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzObjectWorld.h"
#include "engine/core/CCNode.h"
#include "engine/core/CCTexture2D.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/DestructableProtocol.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/GameObject.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PickupProtocol.h"
#include "game/objects/Flower.h"
#include "game/objects/Hive.h"
#include "platform/foundation/Log.h"

namespace {

using fuzz_objects::kGroundRadius;
constexpr size_t kMostTypes = 48;

// Frames for the pictures a type may ask for ("<img>.png", "<img>_k.png" up to 16, "<img>_sleep.png"
// and its "image_names", for the type's image and every "image_name", "turret_image_name" and
// "rain_image_name" within it), on a texture that is never drawn; every so often one of size 0.
void addFrames(const Value& gameObjects, uint32_t salt) {
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    CCSpriteFrameCache* cache = CCSpriteFrameCache::sharedSpriteFrameCache();
    auto add = [&](const std::string& name) {
        salt = salt * 1103515245u + 12345u;
        const double side = (salt >> 16) % 13 == 0 ? 0 : 8 + (salt >> 16) % 120;
        cache->addSpriteFrame(CCSpriteFrame::frameWithTexture(texture, CGRectMake(0, 0, side, side)), name);
    };
    auto addImage = [&](const std::string& image) {
        add(image + ".png");
        add(image + "_sleep.png");
        for (int k = 1; k <= 16; ++k) add(image + "_" + std::to_string(k) + ".png");
    };
    for (const std::string& key : gameObjects.keys()) {
        const Value& type = gameObjects[key];
        addImage(type["image_name"].isNone() ? type["type_name"].stringValue() : type["image_name"].stringValue());
        for (const Value& name : type["image_names"].elements()) add(name.stringValue());
        for (const char* named : {"turret_image_name", "rain_image_name"}) addImage(type[named].stringValue());
        for (const auto& entry : type.entries()) addImage(entry.second["image_name"].stringValue());
    }
}

bool finite(CGPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzScratchFolder::fresh();
    fuzz_objects::setUpOnce(folder);
    LogCapture quiet;
    fuzz_objects::World world(folder, data, size);
    const uint32_t salt = world.salt;

    // The codes the data names, then one of each range the kinds know.
    std::vector<int64_t> types = world.namedTypes(kMostTypes);
    addFrames(world.parsed["gameobjects"], salt);
    for (int64_t type : {1,   2,   99,  100, 102, 105, 106, 108, 109, 110, 112,  150,  200, 203, 206, 209,
                         210, 213, 216, 217, 220, 221, 230, 231, 240, 241, 250,  251,  265, 300, 304, 350,
                         400, 401, 450, 499, 500, 514, 520, 550, 556, 700, 702, 800, 899, 1000, 1006, 1012}) {
        types.push_back(type);
    }

    std::vector<RefPtr<GameObject>> objects;
    for (size_t i = 0; i < types.size(); ++i) {
        const Value placed = fuzz_objects::instance(types[i], salt + static_cast<uint32_t>(i) * 7919, 300);
        if (RefPtr<GameObject> object = GameObjectFactory::gameObjectWithGameData(placed)) {
            objects.push_back(object);
        }
    }
    world.checkBodies();

    for (const RefPtr<GameObject>& object : objects) {
        if (auto* flower = dynamic_cast<game::Flower*>(object.get())) {
            flower->consumeDroplets(salt);
            flower->update(1 / 60.0f);
            flower->pushTowardsPosition(CGPointMake(0, 0), 5);
            flower->onDayIsOver();
        }
        if (auto* hive = dynamic_cast<game::Hive*>(object.get())) {
            hive->showHoney(static_cast<float>(salt % 200));
            if (!finite(hive->position())) std::abort();
        }
        if (auto* damaged = dynamic_cast<DestructableProtocol*>(object.get()); damaged && damaged->canBeDamaged()) {
            damaged->setAccumulatedImpulse(static_cast<float>(salt % 97));
            damaged->applyDamage();
        }
        if (auto* pickup = dynamic_cast<PickupProtocol*>(object.get()); pickup && pickup->canBeConsumed()) {
            pickup->consume();
        }
    }
    for (int frame = 0; frame < 10; ++frame) {
        for (const RefPtr<GameObject>& object : objects) {
            if (auto* enemy = dynamic_cast<EnemyProtocol*>(object.get())) {
                enemy->contactPlayer();
                enemy->sensorContactPlayer();
                enemy->visionContactPlayer();
            }
            object->update(1 / 60.0f);
            if (frame == 8) object->onDayIsOver();
        }
        world.physics->update(1 / 60.0f);
    }
    world.checkBodies();

    // The movements of the data, on a node placed above the planet.
    for (int64_t type : types) {
        GameObject* probe = nullptr;
        for (const RefPtr<GameObject>& object : objects) {
            if (object->type() == type) probe = object.get();
        }
        if (!probe) continue;
        RefPtr<CCNode> node = CCNode::node();
        node->setPosition(CGPointMake(30, kGroundRadius + 200));
        if (RefPtr<MovementProtocol> movement = probe->createMovementForNode(node.get(), Value())) {
            for (int frame = 0; frame < 30; ++frame) movement->update(1 / 60.0f);
            movement->setPerc(static_cast<float>(salt % 1000) / 999);
            movement->useRandomDirection();
            movement->update(1 / 60.0f);
            if (!finite(node->position()) || !std::isfinite(node->rotation()) || !std::isfinite(movement->perc())) {
                std::abort();
            }
        }
    }

    objects.clear();
    CCAnimationCache::purgeSharedAnimationCache();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    return 0;
}
