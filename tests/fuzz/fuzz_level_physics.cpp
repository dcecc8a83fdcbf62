// A whole level with its real objects: the level's three files and its object data
// ("fuzz.plist", "fuzz_geometry.plist", "fuzz_objects.plist", "gameobject_data.plist", in that
// order, separated by lines holding only "%%") built into a play scene's physics, then a second of
// play. Nothing aborts, every body stays finite, and the objects never run away in number.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzLevelParts.h"
#include "FuzzObjectWorld.h"
#include "game/core/GameContactListener.h"
#include "game/core/Level.h"
#include "platform/foundation/Log.h"

namespace {

constexpr int kFrames = 60;
// Far above any level: each object has a few bodies at most, a rope a few dozen.
constexpr int kMostBodies = 40000;
// The level caps the objects it files; emitters and breakage add a few during play.
constexpr size_t kMostListed = 2 * Level::kMaxLevelObjects;

size_t listed(Level* level) {
    return level->flowers().count() + level->pickups().count() + level->enemies().count() +
           level->projectiles().count() + level->gameObjectsPriorityNone().count() +
           level->gameObjectsPriorityHigh().count();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = FuzzScratchFolder::fresh();
    fuzz_objects::setUpOnce(folder);
    static LogCapture quiet;
    quiet.clear();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    writeLevelParts(folder, input, {"fuzz.plist", "fuzz_geometry.plist", "fuzz_objects.plist", "gameobject_data.plist"});
    uint32_t salt = 2166136261u;  // FNV-1a of the input
    for (size_t i = 0; i < size; ++i) salt = (salt ^ data[i]) * 16777619u;
    setResourceFolder(folder);
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    Random::seed(salt);

    const RefPtr<PhysicsOnlyLayer> layer = makeRef<PhysicsOnlyLayer>();
    layer->gameContactListener()->setPostSolveEnabled(true);
    PhysicsSystem* physics = layer->physicsSystem();
    RefPtr<Level> level = Level::levelFromFile("fuzz.plist");
    if (!level) return 0;
    level->createSkyBackground();
    level->loadLevelGeometry();
    if (!level->loadLevelObjects()) return 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        level->update(1.0f / 60);
        physics->update(1.0f / 60);
        int bodies = 0;
        for (const b2Body* body = physics->getWorld()->GetBodyList(); body; body = body->GetNext()) {
            const b2Vec2 p = body->GetPosition();
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(body->GetAngle())) std::abort();
            ++bodies;
        }
        if (bodies > kMostBodies || listed(level.get()) > kMostListed) std::abort();
    }
    return 0;
}
