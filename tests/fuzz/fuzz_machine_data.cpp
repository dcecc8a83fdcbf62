// Any bytes as "gameobject_data.plist" for the machines and composites: rotators, wheels, rafts,
// carts, cranes, balloons, structures (bases built through the factory, so self-referencing ones
// included), the tower and the clock are built for every code the data names and for each code
// they know, on a planet in a play scene's physics (sprites on an offscreen GL context), stepped
// for twenty frames with their ropes, then let go. Nothing aborts (Box2D's assertions included),
// and every body keeps a finite pose.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "FuzzObjectWorld.h"
#include "engine/core/CCTexture2D.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameObject.h"
#include "game/objects/BigBen.h"
#include "game/objects/Destructable.h"
#include "game/objects/Tower.h"
#include "platform/foundation/Log.h"

namespace {

constexpr size_t kMostTypes = 32;
constexpr uint32_t kHeightRange = 400;  // points over the ground
constexpr uint32_t kAtCentreOneIn = 17;

// Frames for every picture name a type or its parts may ask for, on a texture never drawn; every
// so often one of size 0.
void addFrames(const Value& gameObjects, uint32_t salt) {
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    CCSpriteFrameCache* cache = CCSpriteFrameCache::sharedSpriteFrameCache();
    auto add = [&](const std::string& name) {
        salt = salt * 1103515245u + 12345u;
        const double side = (salt >> 16) % 11 == 0 ? 0 : 4 + (salt >> 16) % 160;
        cache->addSpriteFrame(CCSpriteFrame::frameWithTexture(texture, CGRectMake(0, 0, side, side)), name + ".png");
    };
    auto addNamed = [&](const Value& dictionary) {
        for (const auto& [key, value] : dictionary.entries()) {
            if (key.find("image_name") != std::string::npos) add(value.stringValue());
        }
        for (const Value& name : dictionary["image_names"].elements()) add(name.stringValue());
    };
    for (const std::string& key : gameObjects.keys()) {
        const Value& type = gameObjects[key];
        const std::string image =
            type["image_name"].isNone() ? type["type_name"].stringValue() : type["image_name"].stringValue();
        add(image);
        for (const char* part : {"_wheel", "_centre", "_half", "_basket", "_rock", "_holder", "_wire", "_mast"}) {
            add(image + part);
        }
        addNamed(type);
        for (const auto& entry : type.entries()) addNamed(entry.second);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzScratchFolder::fresh();
    fuzz_objects::setUpOnce(folder);
    LogCapture quiet;
    fuzz_objects::World world(folder, data, size);
    const uint32_t salt = world.salt;
    game::BigBen::setClock([salt] { return static_cast<std::time_t>(salt); });

    std::vector<int64_t> types = world.namedTypes(kMostTypes);
    addFrames(world.parsed["gameobjects"], salt);
    for (int64_t type : {600, 607, 610, 620, 621, 622, 630, 650, 1001, 1002, 1003, 1004, 1005, 1007, 1008, 1009,
                         1010, 1011, 1050, 1051, 1052}) {
        types.push_back(type);
    }

    std::vector<RefPtr<GameObject>> objects;
    for (size_t i = 0; i < types.size(); ++i) {
        if (RefPtr<GameObject> object = GameObjectFactory::gameObjectWithGameData(
                fuzz_objects::instance(types[i], salt + static_cast<uint32_t>(i) * 7919, kHeightRange, kAtCentreOneIn))) {
            objects.push_back(object);
        }
    }
    objects.push_back(game::Tower::towerWithGameData(fuzz_objects::instance(650, salt, kHeightRange, kAtCentreOneIn)));
    world.checkBodies();

    for (int frame = 0; frame < 20; ++frame) {
        for (const RefPtr<GameObject>& object : objects) object->update(1 / 60.0f);
        world.physics->update(1 / 60.0f);
    }
    world.checkBodies();
    auto* tower = static_cast<game::Tower*>(objects.back().get());
    const std::vector<RefPtr<game::Destructable>> pieces = tower->children();
    for (const RefPtr<game::Destructable>& piece : pieces) piece->destroy();

    objects.clear();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    return 0;
}
