// Any bytes as "gameobject_data.plist": the object kinds build an instance of every type code the
// data names and of every code range they know, on a planet in a play scene's physics (sprites on
// an offscreen GL context), then take hits, pay out, regrow, sleep, sting, see the bee, emit and
// run ten frames, and the movements the data describes drive a node. Nothing aborts (Box2D's assertions
// included), and every body and node keeps a finite pose.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzInputFile.h"
#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCNode.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/core/CCTexture2D.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/DestructableProtocol.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObject.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PickupProtocol.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/Flower.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/Hive.h"
#include "game/objects/SoundEffectOutput.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace {

constexpr float kGroundRadius = 1000;  // points
constexpr size_t kMostTypes = 48;

class PhysicsOnlyLayer : public VantrelGameLayer {
public:
    PhysicsOnlyLayer() {
        setCurrentGameLayer(this);
        createPhysics();
        gameContactListener()->setPostSolveEnabled(true);
    }
    ~PhysicsOnlyLayer() override { setCurrentGameLayer(nullptr); }
};

// Every sound loads and plays nowhere.
class SilentOutput : public game::SoundEffectOutput {
public:
    bool preloadEffect(const std::string&) override { return true; }
    void playEffect(const std::string&, float, float, float) override {}
};

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

void checkBodies(b2World* world) {
    for (const b2Body* body = world->GetBodyList(); body; body = body->GetNext()) {
        const b2Vec2 p = body->GetPosition();
        const b2Vec2 v = body->GetLinearVelocity();
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(body->GetAngle()) || !std::isfinite(v.x) ||
            !std::isfinite(v.y) || !std::isfinite(body->GetAngularVelocity())) {
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
}

// An instance of the type somewhere on the planet, its placement drawn from the input.
Value instance(int64_t type, uint32_t salt) {
    Value data = Value::dictionary();
    data.set("type", Value(type));
    const float angle = static_cast<float>(salt % 360) * 0.017453292f;
    const float height = kGroundRadius + static_cast<float>((salt >> 9) % 300);
    data.set("position", Value("{" + std::to_string(height * std::sin(angle)) + ", " +
                               std::to_string(height * std::cos(angle)) + "}"));
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

    const RefPtr<PhysicsOnlyLayer> layer = makeRef<PhysicsOnlyLayer>();
    PhysicsSystem* physics = layer->physicsSystem();
    b2CircleShape planet;
    planet.m_radius = kGroundRadius / 32;
    physics->getGroundBody()->CreateFixture(&planet, 0);
    GameObjectFactory::setupFactory();

    // The codes the data names, then one of each range the kinds know.
    std::vector<int64_t> types;
    const Value parsed = Value::fromFile(folder + "/gameobject_data.plist", nullptr).value_or(Value());
    for (const std::string& key : parsed["gameobjects"].keys()) {
        if (types.size() == kMostTypes) break;
        types.push_back(std::strtoll(key.c_str(), nullptr, 10));
    }
    addFrames(parsed["gameobjects"], salt);
    for (int64_t type : {1,   2,   99,  100, 102, 105, 106, 108, 109, 110, 112,  150,  200, 203, 206, 209,
                         210, 213, 216, 217, 220, 221, 230, 231, 240, 241, 250,  251,  265, 300, 304, 350,
                         400, 401, 450, 499, 500, 514, 520, 550, 556, 700, 702, 800, 899, 1000, 1006, 1012}) {
        types.push_back(type);
    }

    std::vector<RefPtr<GameObject>> objects;
    for (size_t i = 0; i < types.size(); ++i) {
        const Value placed = instance(types[i], salt + static_cast<uint32_t>(i) * 7919);
        if (RefPtr<GameObject> object = GameObjectFactory::gameObjectWithGameData(placed)) {
            objects.push_back(object);
        }
    }
    checkBodies(physics->getWorld());

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
        physics->update(1 / 60.0f);
    }
    checkBodies(physics->getWorld());

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
    GameObjectFactory::cleanupFactory();
    CCAnimationCache::purgeSharedAnimationCache();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    return 0;
}
