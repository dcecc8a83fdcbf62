// Any bytes as "gameobject_data.plist" for the machines and composites: rotators, wheels, rafts,
// carts, cranes, balloons, structures (bases built through the factory, so self-referencing ones
// included), the tower and the clock are built for every code the data names and for each code
// they know, on a planet in a play scene's physics (sprites on an offscreen GL context), stepped
// for twenty frames with their ropes, then let go. Nothing aborts (Box2D's assertions included),
// and every body keeps a finite pose.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzInputFile.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObject.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/BigBen.h"
#include "game/objects/Destructable.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/MachineKinds.h"
#include "game/objects/SoundEffectOutput.h"
#include "game/objects/Tower.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace {

constexpr float kGroundRadius = 1000;  // points
constexpr size_t kMostTypes = 32;

class PhysicsOnlyLayer : public VantrelGameLayer {
public:
    PhysicsOnlyLayer() {
        setCurrentGameLayer(this);
        createPhysics();
        gameContactListener()->setPostSolveEnabled(true);
    }
    ~PhysicsOnlyLayer() override { setCurrentGameLayer(nullptr); }
};

class SilentOutput : public game::SoundEffectOutput {
public:
    bool preloadEffect(const std::string&) override { return true; }
    void playEffect(const std::string&, float, float, float) override {}
};

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

void checkBodies(b2World* world) {
    for (const b2Body* body = world->GetBodyList(); body; body = body->GetNext()) {
        const b2Vec2 p = body->GetPosition();
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(body->GetAngle()) ||
            !std::isfinite(body->GetAngularVelocity())) {
            std::abort();
        }
    }
}

void setUp(const std::string& folder) {
    static bool done = false;
    if (done) return;
    done = true;
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    static RefPtr<CCGLView> view = CCGLView::viewWithFrame(CGRectMake(0, 0, 64, 64), "fuzz", true);
    if (!view) std::abort();
    CCDirector::sharedDirector()->setView(view);
    static SilentOutput silence;
    game::SoundEffectOutput::setCurrent(&silence);
    game::GameObjectKinds::registerKinds();
    game::MachineKinds::registerKinds();
}

// Somewhere above the planet, at its centre now and then, with a scale drawn from the input.
Value instance(int64_t type, uint32_t salt) {
    Value data = Value::dictionary();
    data.set("type", Value(type));
    const float angle = static_cast<float>(salt % 360) * 0.017453292f;
    const float height = salt % 17 == 0 ? 0 : kGroundRadius + static_cast<float>((salt >> 9) % 400);
    data.set("position", Value(NSStringFromCGPoint(CGPointMake(height * std::sin(angle), height * std::cos(angle)))));
    data.set("rotation", Value(static_cast<double>(static_cast<int32_t>(salt % 720) - 360)));
    const double scales[] = {1, 0.5, 2, 0, -1, 1e-9, 3.5, 1e6};
    data.set("scale", Value(scales[(salt >> 3) % 8]));
    return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzScratchFolder::fresh();
    setUp(folder);
    LogCapture quiet;
    std::ofstream(folder + "/gameobject_data.plist", std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    setResourceFolder(folder);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    uint32_t salt = 2166136261u;
    for (size_t i = 0; i < size; ++i) salt = (salt ^ data[i]) * 16777619u;
    Random::seed(salt);
    game::BigBen::setClock([salt] { return static_cast<std::time_t>(salt); });

    const RefPtr<PhysicsOnlyLayer> layer = makeRef<PhysicsOnlyLayer>();
    PhysicsSystem* physics = layer->physicsSystem();
    b2CircleShape planet;
    planet.m_radius = kGroundRadius / 32;
    physics->getGroundBody()->CreateFixture(&planet, 0);
    GameObjectFactory::setupFactory();

    std::vector<int64_t> types;
    const Value parsed = Value::fromFile(folder + "/gameobject_data.plist", nullptr).value_or(Value());
    for (const std::string& key : parsed["gameobjects"].keys()) {
        if (types.size() == kMostTypes) break;
        types.push_back(std::strtoll(key.c_str(), nullptr, 10));
    }
    addFrames(parsed["gameobjects"], salt);
    for (int64_t type : {600, 607, 610, 620, 621, 622, 630, 650, 1001, 1002, 1003, 1004, 1005, 1007, 1008, 1009,
                         1010, 1011, 1050, 1051, 1052}) {
        types.push_back(type);
    }

    std::vector<RefPtr<GameObject>> objects;
    for (size_t i = 0; i < types.size(); ++i) {
        if (RefPtr<GameObject> object = GameObjectFactory::gameObjectWithGameData(instance(types[i], salt + i * 7919))) {
            objects.push_back(object);
        }
    }
    objects.push_back(game::Tower::towerWithGameData(instance(650, salt)));
    checkBodies(physics->getWorld());

    for (int frame = 0; frame < 20; ++frame) {
        for (const RefPtr<GameObject>& object : objects) object->update(1 / 60.0f);
        physics->update(1 / 60.0f);
    }
    checkBodies(physics->getWorld());
    auto* tower = static_cast<game::Tower*>(objects.back().get());
    const std::vector<RefPtr<game::Destructable>> pieces = tower->children();
    for (const RefPtr<game::Destructable>& piece : pieces) piece->destroy();

    objects.clear();
    GameObjectFactory::cleanupFactory();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    return 0;
}
