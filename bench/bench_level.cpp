// The level's two costs, each beside the floor a plain program would pay for the same work:
//
// - load: "meadow_a" read into a play scene that has its physics (info, geometry with its ground
//   and camera fixtures, objects through the factory) against plain libplist reading the three
//   files and raw Box2D making the same fixtures (circle, boxes, the camera loop with its reversed
//   twin) in two worlds;
// - dawn frame: one logic frame while the dawn tint runs (the level's clock, vision and object
//   updates, then the tint walk over the world's rings and decorations) against a plain loop
//   setting the same colour on the same nodes.
//
// The frame needs a GL context for its sprites: run it under xvfb-run. Resources come from the
// build's resources folder (with the generated art, the decorations are there to tint).

#include <benchmark/benchmark.h>
#include <plist/plist.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/VantrelGlobal.h"
#include "bench/BenchWindow.h"
#include "bench/BenchmarkPairs.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/core/support/CCArray.h"
#include "engine/render/CCSpriteBatchNode.h"
#include "game/core/CCCircle.h"
#include "game/core/CCDonut.h"
#include "game/core/HiveProtocol.h"
#include "game/core/Level.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "tests/support/PhysicsOnlyLayer.h"

namespace {

// The hive and the other kinds of meadow_a until the objects are built: plain objects.
class BenchHive : public GameObject, public HiveProtocol {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<BenchHive> hive = makeRef<BenchHive>();
        hive->initGameObjectWithGameData(data);
        hive->setPriority(2);
        hive->position_ = CGPointFromString(data["position"].stringValue());
        return hive;
    }
    CGPoint position() const override { return position_; }
    void setTint(ccColor3B) override {}

private:
    CGPoint position_ = CGPointZero;
};

class BenchObject : public GameObject {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<BenchObject> object = makeRef<BenchObject>();
        object->initGameObjectWithGameData(data);
        object->setPriority(2);
        return object;
    }
};

void registerKinds() {
    game::GameObjectKinds::registerStandIn("Hive", &BenchHive::make);
    for (const char* kind : {"Flower", "Pickup", "Animation"}) {
        game::GameObjectKinds::registerStandIn(kind, &BenchObject::make);
    }
}

void BM_LoadOurs(benchmark::State& state) {
    LogCapture quiet;
    for (auto _ : state) {
        const RefPtr<PhysicsOnlyLayer> layer = makeRef<PhysicsOnlyLayer>();
        RefPtr<Level> level = Level::levelFromFile("meadow_a.plist");
        level->loadLevelGeometry();
        level->loadLevelObjects();
        benchmark::DoNotOptimize(level->flowers().count());
    }
}

// ---- The floor: libplist and Box2D by hand ----

plist_t readPlist(const std::string& name) {
    std::ifstream in(resourceFolder() + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    plist_t root = nullptr;
    plist_from_memory(text.data(), static_cast<uint32_t>(text.size()), &root);
    return root;
}

const char* stringOf(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    return node ? plist_get_string_ptr(node, nullptr) : "";
}

double realOf(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    double value = 0;
    if (node && plist_get_node_type(node) == PLIST_REAL) plist_get_real_val(node, &value);
    if (node && plist_get_node_type(node) == PLIST_UINT) {
        uint64_t integer = 0;
        plist_get_uint_val(node, &integer);
        value = static_cast<double>(integer);
    }
    return value;
}

b2Vec2 pointOf(const char* text) {
    float x = 0, y = 0;
    std::sscanf(text, "{%f , %f}", &x, &y);
    return {x / 32, y / 32};
}

void addFixtures(b2Body* body, plist_t entry) {
    const b2Vec2 at = pointOf(stringOf(entry, "position"));
    const b2Transform transform(at, b2Rot(static_cast<float>(realOf(entry, "angle")) * 0.017453292f));
    plist_t fixtures = plist_dict_get_item(entry, "fixtures");
    for (uint32_t i = 0; fixtures && i < plist_array_get_size(fixtures); ++i) {
        plist_t fixture = plist_array_get_item(fixtures, i);
        uint64_t type = 0;
        plist_get_uint_val(plist_dict_get_item(fixture, "type"), &type);
        b2FixtureDef definition;
        definition.friction = 0.2f;
        definition.density = 0;
        if (type == 0) {
            b2CircleShape circle;
            circle.m_p = b2Mul(transform, b2Vec2(0, 0));
            circle.m_radius = static_cast<float>(realOf(fixture, "radius")) / 32;
            definition.shape = &circle;
            body->CreateFixture(&definition);
        } else if (type == 4) {
            b2PolygonShape box;
            box.SetAsBox(static_cast<float>(realOf(fixture, "width")) / 64,
                         static_cast<float>(realOf(fixture, "height")) / 64, transform.p, transform.q.GetAngle());
            definition.shape = &box;
            body->CreateFixture(&definition);
        } else if (type == 3) {
            plist_t vertices = plist_dict_get_item(fixture, "vertices");
            std::vector<b2Vec2> points;
            for (uint32_t v = 0; v < plist_array_get_size(vertices); ++v) {
                points.push_back(b2Mul(transform, pointOf(plist_get_string_ptr(plist_array_get_item(vertices, v), nullptr))));
            }
            for (int twin = 0; twin < 2; ++twin) {
                b2ChainShape chain;
                chain.CreateLoop(points.data(), static_cast<int32>(points.size()));
                definition.shape = &chain;
                body->CreateFixture(&definition);
                std::reverse(points.begin(), points.end());
            }
        }
    }
}

void BM_LoadFloor(benchmark::State& state) {
    for (auto _ : state) {
        plist_t info = readPlist("meadow_a.plist");
        plist_t geometry = readPlist(stringOf(info, "geometry_file"));
        plist_t objects = readPlist(stringOf(info, "objects_file"));
        b2World world(b2Vec2(0, 0));
        b2World cameraWorld(b2Vec2(0, 0));
        b2BodyDef definition;
        b2Body* ground = world.CreateBody(&definition);
        b2Body* camera = cameraWorld.CreateBody(&definition);
        plist_t statics = plist_dict_get_item(geometry, "static_geometry");
        for (uint32_t i = 0; i < plist_array_get_size(statics); ++i) addFixtures(ground, plist_array_get_item(statics, i));
        plist_t cameras = plist_dict_get_item(geometry, "camera_geometry");
        for (uint32_t i = 0; i < plist_array_get_size(cameras); ++i) addFixtures(camera, plist_array_get_item(cameras, i));
        benchmark::DoNotOptimize(plist_array_get_size(plist_dict_get_item(objects, "gameobjects")));
        plist_free(info);
        plist_free(geometry);
        plist_free(objects);
    }
}

// ---- A frame at dawn ----

RefPtr<VantrelGameLayer> frameLayer;
std::vector<CCRGBAProtocol*> tintedNodes;  // what the tint walk reaches, for the plain loop

void collectTinted(CCNode* holder) {
    if (!holder || !holder->children()) return;
    for (uint64_t i = 0; i < holder->children()->count(); ++i) {
        auto* child = static_cast<CCNode*>(holder->children()->objectAtIndex(i));
        if (auto* batch = dynamic_cast<CCSpriteBatchNode*>(child); batch && batch->descendants()) {
            for (uint64_t d = 0; d < batch->descendants()->count(); ++d) {
                tintedNodes.push_back(dynamic_cast<CCRGBAProtocol*>(batch->descendants()->objectAtIndex(d)));
            }
        } else if (auto* coloured = dynamic_cast<CCRGBAProtocol*>(child)) {
            tintedNodes.push_back(coloured);
        }
    }
}

void BM_FrameOurs(benchmark::State& state) {
    frameLayer->tintWorld({200, 200, 255}, 1e6f);
    for (auto _ : state) {
        frameLayer->level()->update(1 / 60.0f);
        frameLayer->updateTintWorld();
    }
}

void BM_FrameFloor(benchmark::State& state) {
    for (auto _ : state) {
        const ccColor3B colour = frameLayer->terrainBackgroundNear()->color();
        for (CCRGBAProtocol* node : tintedNodes) node->setColor(colour);
        benchmark::ClobberMemory();
    }
}

}  // namespace

int main(int argc, char** argv) {
    setResourceFolder(VANTREL_APP_RESOURCES);
    registerKinds();
    if (!benchDisplayAvailable("bench_level", CGSizeMake(1024, 768))) return 0;
    // Scores, statistics and preferences go to a folder of the run's own; sound to no device.
    char scratch[] = "/tmp/vantrel-bench-XXXXXX";
    if (!mkdtemp(scratch)) return 1;
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) setenv(variable, scratch, 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    BenchDirector director("bench_level", CGSizeMake(1024, 768));
    LogCapture quiet;
    VantrelGlobal::sharedInstance()->setNextLevelId("meadow_a");
    frameLayer = VantrelGameLayer::node();
    if (!frameLayer) {
        std::printf("bench_level: meadow_a does not load from %s\n", VANTREL_APP_RESOURCES);
        return 1;
    }
    for (CCNode* holder : {frameLayer->backgroundHolder(), frameLayer->foregroundHolder(), frameLayer->frontHolder()}) {
        collectTinted(holder);
    }
    tintedNodes.push_back(frameLayer->terrainBackgroundFar());
    tintedNodes.push_back(frameLayer->terrainGround());
    tintedNodes.push_back(frameLayer->terrainFill());
    std::printf("tinted nodes: %zu\n", tintedNodes.size());
    const int status = runBenchmarkGroups(
        argc, argv,
        {{"load meadow_a", BM_LoadOurs, {{"libplist+Box2D", BM_LoadFloor}}},
         {"dawn frame", BM_FrameOurs, {{"plain colour loop", BM_FrameFloor}}}},
        benchmark::kMicrosecond);
    frameLayer->stopTintWorld();
    frameLayer.reset();
    return status;
}
