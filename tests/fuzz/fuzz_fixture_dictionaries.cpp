// Fixture dictionaries: any property list goes through the fixture builders onto a static and a
// dynamic body, and the world steps. Nothing aborts, and nothing that is not finite gets in.
#include <box2d/box2d.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/core/PhysicsUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace {

bool finite(b2Vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); }

void checkShape(const b2Shape* shape) {
    if (!std::isfinite(shape->m_radius) || shape->m_radius < 0) std::abort();
    switch (shape->GetType()) {
        case b2Shape::e_circle:
            if (!finite(static_cast<const b2CircleShape*>(shape)->m_p)) std::abort();
            break;
        case b2Shape::e_edge: {
            const auto* edge = static_cast<const b2EdgeShape*>(shape);
            if (!finite(edge->m_vertex1) || !finite(edge->m_vertex2)) std::abort();
            break;
        }
        case b2Shape::e_polygon: {
            const auto* polygon = static_cast<const b2PolygonShape*>(shape);
            for (int32 i = 0; i < polygon->m_count; ++i) {
                if (!finite(polygon->m_vertices[i]) || !finite(polygon->m_normals[i])) std::abort();
            }
            break;
        }
        case b2Shape::e_chain: {
            const auto* chain = static_cast<const b2ChainShape*>(shape);
            for (int32 i = 0; i < chain->m_count; ++i) {
                if (!finite(chain->m_vertices[i])) std::abort();
            }
            break;
        }
        default:
            std::abort();
    }
}

// Silences the builders' refusals; the fuzzer's output stays readable.
LogCapture* quiet() {
    static LogCapture capture;
    capture.clear();
    return &capture;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quiet();
    std::string error;
    const auto value = Value::fromBytes(std::string(reinterpret_cast<const char*>(data), size), &error);
    if (!value) return 0;
    const Value fixtures = value->isArray() ? *value : [&] {
        Value one = Value::array();
        one.append(*value);
        return one;
    }();
    if (fixtures.count() > 64) return 0;

    b2World world(b2Vec2(0, -10));
    b2BodyDef ground;
    b2Body* staticBody = world.CreateBody(&ground);
    b2BodyDef moving;
    moving.type = b2_dynamicBody;
    moving.position.Set(0, 4);
    b2Body* dynamicBody = world.CreateBody(&moving);
    const b2Transform turned(b2Vec2(1, -2), b2Rot(0.7f));
    PhysicsUtils::parseFixturesForBody(staticBody, fixtures, &turned, -1.5f, 2.0f, 0, 0.2f, 0, 0,
                                       CollisionCategory::kScenery, CollisionMask::all());
    PhysicsUtils::parseFixturesForBody(dynamicBody, fixtures, nullptr);
    // The shape members with shape objects to fill, twice each (a used chain shape included).
    b2ChainShape chain;
    b2PolygonShape polygon;
    for (int round = 0; round < 2; ++round) {
        for (const Value& fixture : fixtures.elements()) {
            PhysicsUtils::parseChainShapeFixtureForBody(nullptr, fixture, nullptr, &chain, nullptr);
            PhysicsUtils::parsePolygonShapeFixtureForBody(nullptr, fixture, nullptr, &polygon, nullptr);
            PhysicsUtils::parseBoxFixtureForBody(dynamicBody, fixture, nullptr, nullptr, nullptr, 0.5f, -0.5f);
        }
    }
    for (const b2Body* body : {staticBody, dynamicBody}) {
        for (const b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
            checkShape(fixture->GetShape());
            if (!std::isfinite(fixture->GetDensity()) || fixture->GetDensity() < 0) std::abort();
        }
    }
    for (int i = 0; i < 10; ++i) world.Step(1.0f / 60, 4, 2);
    if (!finite(dynamicBody->GetPosition()) || !std::isfinite(dynamicBody->GetMass())) std::abort();
    return 0;
}
