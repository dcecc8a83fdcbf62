#pragma once

// For fuzz targets that read arbitrary bytes as "gameobject_data.plist" and build level objects
// from them: a play scene's physics with a planet at the centre (sprites on an offscreen GL
// context, every sound silent), the input in a scratch resource folder, and a salt drawn from the
// input that seeds the game's random source and the targets' own choices.
#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzInputFile.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCGLView.h"
#include "engine/core/support/CCFileUtils.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/SoundEffectOutput.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"
#include "tests/support/PhysicsOnlyLayer.h"

namespace fuzz_objects {

constexpr float kGroundRadius = 1000;  // points

// Every sound loads and plays nowhere.
class SilentOutput : public game::SoundEffectOutput {
public:
    bool preloadEffect(const std::string&) override { return true; }
    void playEffect(const std::string&, float, float, float) override {}
};

// Once per process: the scratch folder as home, the GL context and the object kinds.
inline void setUpOnce(const std::string& folder) {
    static bool done = false;
    if (done) return;
    done = true;
    useFolderAsHome(folder);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // Never destroyed, so the GL context stays until the process is gone. Letting it go at exit
    // would have the GL library unload its driver before the leak check runs, and what the driver
    // keeps in its own static data would be reported as a leak of ours: Mesa's CPU detection, on
    // processors whose caches it maps, keeps a 128-byte mask per L3 cache there.
    static CCGLView* const view = [] {
        RefPtr<CCGLView> made = CCGLView::viewWithFrame(CGRectMake(0, 0, 64, 64), "fuzz", true);
        if (!made) {
            std::fprintf(stderr, "the fuzz target's GL context could not be made: %s\n", SDL_GetError());
            std::abort();
        }
        return made.leak();
    }();
    CCDirector::sharedDirector()->setView(RefPtr<CCGLView>(view));
    static SilentOutput silence;
    game::SoundEffectOutput::setCurrent(&silence);
    game::GameObjectKinds::registerKinds();
}

// One input's world: the input is the resource folder's object data, the game's random source is
// seeded from it, and a fresh play scene's physics has a planet of kGroundRadius and a factory.
class World {
public:
    World(const std::string& folder, const uint8_t* data, size_t size) {
        std::ofstream(folder + "/gameobject_data.plist", std::ios::binary)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        setResourceFolder(folder);
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        for (size_t i = 0; i < size; ++i) salt = (salt ^ data[i]) * 16777619u;
        Random::seed(salt);
        parsed = Value::fromFile(folder + "/gameobject_data.plist", nullptr).value_or(Value());

        layer_ = makeRef<PhysicsOnlyLayer>();
        // Breakable objects take their damage in the post-solve pass.
        layer_->gameContactListener()->setPostSolveEnabled(true);
        physics = layer_->physicsSystem();
        b2CircleShape planet;
        planet.m_radius = kGroundRadius / 32;
        physics->getGroundBody()->CreateFixture(&planet, 0);
        GameObjectFactory::setupFactory();
    }
    ~World() { GameObjectFactory::cleanupFactory(); }

    // The type codes the data names, at most `most` of them.
    std::vector<int64_t> namedTypes(size_t most) const {
        std::vector<int64_t> types;
        for (const std::string& key : parsed["gameobjects"].keys()) {
            if (types.size() == most) break;
            types.push_back(std::strtoll(key.c_str(), nullptr, 10));
        }
        return types;
    }

    // Aborts when a body's pose or velocity is not finite.
    void checkBodies() const {
        for (const b2Body* body = physics->getWorld()->GetBodyList(); body; body = body->GetNext()) {
            const b2Vec2 p = body->GetPosition();
            const b2Vec2 v = body->GetLinearVelocity();
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(body->GetAngle()) ||
                !std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(body->GetAngularVelocity())) {
                std::abort();
            }
        }
    }

    uint32_t salt = 2166136261u;  // FNV-1a of the input
    Value parsed;                 // the input as a property list; none when it is not one
    PhysicsSystem* physics = nullptr;

private:
    RefPtr<PhysicsOnlyLayer> layer_;
};

// An instance of the type above the planet, up to `heightRange` points over the ground, at the
// centre itself for one salt in `centreOneIn` (0: never); its rotation and scale, odd ones
// included, drawn from the salt.
inline Value instance(int64_t type, uint32_t salt, uint32_t heightRange, uint32_t centreOneIn = 0) {
    Value data = Value::dictionary();
    data.set("type", Value(type));
    const float angle = static_cast<float>(salt % 360) * 0.017453292f;
    const bool atCentre = centreOneIn != 0 && salt % centreOneIn == 0;
    const float height = atCentre ? 0 : kGroundRadius + static_cast<float>((salt >> 9) % heightRange);
    data.set("position", Value(NSStringFromCGPoint(CGPointMake(height * std::sin(angle), height * std::cos(angle)))));
    data.set("rotation", Value(static_cast<double>(static_cast<int32_t>(salt % 720) - 360)));
    const double scales[] = {1, 0.5, 2, 0, -1, 1e-9, 3.5, 1e6};
    data.set("scale", Value(scales[(salt >> 3) % 8]));
    return data;
}

}  // namespace fuzz_objects
