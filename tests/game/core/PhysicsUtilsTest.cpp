#include "game/core/PhysicsUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "game/core/PhysicsSystemBinding.h"
#include "platform/foundation/Log.h"
#include "support/PhysicsTestSupport.h"
#include "support/ValueBuilders.h"

namespace {

class PhysicsUtilsTest : public ::testing::Test {
protected:
    b2Body* staticBody() {
        b2BodyDef definition;
        return world.CreateBody(&definition);
    }

    b2World world{b2Vec2(0, 0)};
};

}  // namespace

TEST_F(PhysicsUtilsTest, CirclesScaleTheirCentreAndTheMeanRadius) {
    const Value circle = dict({{"type", 0}, {"centre", "{32, 64}"}, {"radius", 16}});
    const struct {
        float scaleX, scaleY;
        b2Vec2 centre;
        float radius;
    } cases[] = {
        {1, 1, {1, 2}, 0.5f},
        {2, 1, {2, 2}, 0.75f},
        // Mirrored: the centre mirrors, the circle keeps its size.
        {-1, 1, {-1, 2}, 0.5f},
    };
    for (const auto& c : cases) {
        b2Body* body = staticBody();
        b2Fixture* fixture = PhysicsUtils::parseFixtureForBody(body, circle, nullptr, nullptr, c.scaleX, c.scaleY);
        ASSERT_NE(fixture, nullptr);
        const auto* shape = static_cast<const b2CircleShape*>(fixture->GetShape());
        EXPECT_FLOAT_EQ(shape->m_p.x, c.centre.x);
        EXPECT_FLOAT_EQ(shape->m_p.y, c.centre.y);
        EXPECT_FLOAT_EQ(shape->m_radius, c.radius);
    }
    // The transform moves the centre only.
    const b2Transform shifted(b2Vec2(10, 0), b2Rot(b2_pi / 2));
    b2CircleShape filled;
    EXPECT_EQ(PhysicsUtils::parseCircleFixtureForBody(nullptr, circle, nullptr, &filled, &shifted), nullptr);
    EXPECT_NEAR(filled.m_p.x, 8, 1e-5);
    EXPECT_NEAR(filled.m_p.y, 1, 1e-5);
    EXPECT_FLOAT_EQ(filled.m_radius, 0.5f);
}

TEST_F(PhysicsUtilsTest, BoxesPolygonsAndEdgesTakeScaleAndTransform) {
    const b2Transform turned(b2Vec2(0, 0), b2Rot(0.5f));
    b2PolygonShape box;
    PhysicsUtils::parseBoxFixtureForBody(nullptr, dict({{"type", 4}, {"width", 64}, {"height", 32}, {"rotation", 90}}),
                                         nullptr, &box, &turned);
    // Half-extents (1, 0.5) turned by pi/2 + 0.5: the first corner (-1, -0.5) goes to (0.9182, -0.6379).
    EXPECT_NEAR(box.m_vertices[0].x, 0.918217f, 1e-5);
    EXPECT_NEAR(box.m_vertices[0].y, -0.637870f, 1e-5);

    // Mirrored polygon: points reversed, still counter-clockwise, same three points.
    b2PolygonShape triangle;
    const Value polygon = dict({{"type", 2}, {"vertices", array({"{0, 0}", "{32, 0}", "{0, 32}"})}});
    PhysicsUtils::parsePolygonShapeFixtureForBody(nullptr, polygon, nullptr, &triangle, nullptr, -1, 1);
    ASSERT_EQ(triangle.m_count, 3);
    std::set<std::pair<float, float>> points;
    for (int i = 0; i < 3; ++i) points.insert({triangle.m_vertices[i].x, triangle.m_vertices[i].y});
    EXPECT_EQ(points, (std::set<std::pair<float, float>>{{0, 1}, {-1, 0}, {0, 0}}));
    const b2Vec2 e1 = triangle.m_vertices[1] - triangle.m_vertices[0];
    const b2Vec2 e2 = triangle.m_vertices[2] - triangle.m_vertices[0];
    EXPECT_GT(b2Cross(e1, e2), 0);

    b2EdgeShape edge;
    PhysicsUtils::parseEdgeShapeFixtureForBody(nullptr, dict({{"type", 1}, {"vertices", array({"{0, 0}", "{64, 0}"})}}),
                                               nullptr, &edge, nullptr, 1, 0.5f);
    EXPECT_EQ(edge.m_vertex2, b2Vec2(2, 0));
    EXPECT_FALSE(edge.m_oneSided);
}

TEST_F(PhysicsUtilsTest, MaterialFilterAndSensorFollowCallerAndDictionary) {
    b2Body* body = staticBody();
    PhysicsSystemBinding binding{BindingType::kHiveSensor, nullptr, nullptr};
    b2FixtureDef definition;
    setBinding(&definition, &binding);
    const Value data = dict({{"type", 0}, {"radius", 8}, {"density", -1}, {"friction", 0.7}, {"is_sensor", true}});
    b2Fixture* fixture =
        PhysicsUtils::parseFixtureForBody(body, data, &definition, nullptr, 3.0f, 0.4f, 0.1f, -2,
                                          CollisionCategory::kFlyingEnemy, CollisionCategory::kBeeHead);
    ASSERT_NE(fixture, nullptr);
    EXPECT_EQ(fixture->GetDensity(), 3.0f);  // -1 keeps the caller's
    EXPECT_FLOAT_EQ(fixture->GetFriction(), 0.7f);
    EXPECT_FLOAT_EQ(fixture->GetRestitution(), 0.1f);
    EXPECT_TRUE(fixture->IsSensor());
    EXPECT_EQ(fixture->GetFilterData().groupIndex, -2);
    EXPECT_EQ(fixture->GetFilterData().categoryBits, 0x0040);
    EXPECT_EQ(fixture->GetFilterData().maskBits, 0x0002);
    EXPECT_EQ(bindingOf(fixture), &binding);

    // No filter keys and the short family: category 1, mask 0xFFFF, group 0.
    b2Fixture* plain = PhysicsUtils::parseFixtureForBody(body, dict({{"type", 0}, {"radius", 8}}), nullptr, nullptr);
    EXPECT_EQ(plain->GetFilterData().categoryBits, 1);
    EXPECT_EQ(plain->GetFilterData().maskBits, 0xFFFF);
    EXPECT_EQ(plain->GetDensity(), 1.0f);
    EXPECT_FLOAT_EQ(plain->GetFriction(), 0.2f);
}

TEST_F(PhysicsUtilsTest, ChainsCloseLoopsAndCarryAReversedTwinWithTheSameDefinition) {
    b2Body* body = staticBody();
    PhysicsSystemBinding binding{BindingType::kHideSensor, nullptr, nullptr};
    b2FixtureDef definition;
    setBinding(&definition, &binding);
    definition.isSensor = true;
    // Last point repeats the first: a loop of 8 without the duplicate, whatever "loop" says.
    const Value closed = dict({{"type", 3}, {"loop", false}, {"vertices", ringOfPoints(64, 8, true)}});
    b2Fixture* first = PhysicsUtils::parseFixtureForBody(body, closed, &definition, nullptr, 1, 1, 1, 0.2f, 0, -1,
                                                         CollisionCategory::kSensorArea, CollisionCategory::kBeeHead);
    ASSERT_NE(first, nullptr);
    int fixtures = 0;
    for (b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext(), ++fixtures) {
        const auto* chain = static_cast<const b2ChainShape*>(f->GetShape());
        EXPECT_EQ(chain->m_count, 9);  // a loop stores its first point again at the end
        EXPECT_EQ(bindingOf(f), &binding);
        EXPECT_TRUE(f->IsSensor());
        EXPECT_EQ(f->GetFilterData().categoryBits, 0x0020);
    }
    EXPECT_EQ(fixtures, 2);
    const auto* forward = static_cast<const b2ChainShape*>(first->GetShape());
    const auto* twin = static_cast<const b2ChainShape*>(first == body->GetFixtureList()
                                                            ? body->GetFixtureList()->GetNext()->GetShape()
                                                            : body->GetFixtureList()->GetShape());
    // The twin runs the other way: it starts where the forward loop ends.
    EXPECT_EQ(twin->m_vertices[0], forward->m_vertices[7]);

    // A shape object used before is cleared first, not asserted on; an edge of 3 points is a chain.
    b2ChainShape reused;
    const Value open = dict({{"type", 3}, {"vertices", array({"{0, 0}", "{32, 0}", "{64, 16}"})}});
    PhysicsUtils::parseChainShapeFixtureForBody(nullptr, open, nullptr, &reused, nullptr);
    PhysicsUtils::parseChainShapeFixtureForBody(nullptr, open, nullptr, &reused, nullptr);
    EXPECT_EQ(reused.m_count, 3);
    EXPECT_EQ(reused.m_prevVertex, b2Vec2(-1, 0));  // ghost continuing the first segment
    b2Fixture* edgeChain = PhysicsUtils::parseFixtureForBody(body, dict({{"type", 1}, {"vertices", open["vertices"]}}),
                                                             &definition, nullptr);
    ASSERT_NE(edgeChain, nullptr);
    EXPECT_EQ(edgeChain->GetType(), b2Shape::e_chain);
    EXPECT_EQ(bindingOf(edgeChain), &binding);
}

TEST_F(PhysicsUtilsTest, ATwinChainLoopStopsBodiesFromInsideAndOutside) {
    b2Body* ground = staticBody();
    PhysicsUtils::parseFixtureForBody(ground, dict({{"type", 3}, {"loop", true}, {"vertices", ringOfPoints(160, 32)}}), nullptr,
                                      nullptr);
    // 160 points = 5 m.
    b2Body* inside = makeDynamicBall(&world, b2Vec2(0, 0), 0.25f);
    inside->SetLinearVelocity(b2Vec2(30, 0));
    b2Body* outside = makeDynamicBall(&world, b2Vec2(-8, 0), 0.25f);
    outside->SetLinearVelocity(b2Vec2(30, 0));
    for (int i = 0; i < 120; ++i) world.Step(1.0f / 60, 4, 2);
    EXPECT_LT(inside->GetPosition().Length(), 5.0f);
    EXPECT_GT(outside->GetPosition().Length(), 5.0f);
}

// Points that a lenient point reader makes of mangled strings can lie almost on one line; the
// builder hands Box2D only a clear convex hull, whose own hull building loops on such points.
TEST_F(PhysicsUtilsTest, NearlyCollinearPolygonPointsReachBox2DAsAClearHull) {
    const Value mangled = dict({{"type", 2},
                                {"is_sensor", true},
                                {"vertices", array({"{64.000, 0.000}", "{45.255, 45.255}", "{0*.000, 64.000}",
                                                    "{-45.255, 45.255}", "{-6\xc2\xcf" "0}"})}});
    const b2Transform turned(b2Vec2(1, -2), b2Rot(0.7f));
    const struct {
        const b2Transform* transform;
        float scaleX, scaleY;
    } placements[] = {{nullptr, 1, 1}, {&turned, -1.5f, 2}, {nullptr, 0.5f, -0.5f}};
    for (const auto& p : placements) {
        b2Fixture* fixture =
            PhysicsUtils::parseFixtureForBody(staticBody(), mangled, nullptr, p.transform, p.scaleX, p.scaleY);
        ASSERT_NE(fixture, nullptr);
        const auto* shape = static_cast<const b2PolygonShape*>(fixture->GetShape());
        EXPECT_EQ(shape->m_count, 4) << "the point on the base line is dropped";
        for (int i = 0; i < shape->m_count; ++i) {
            const b2Vec2 a = shape->m_vertices[i];
            const b2Vec2 b = shape->m_vertices[(i + 1) % shape->m_count];
            const b2Vec2 c = shape->m_vertices[(i + 2) % shape->m_count];
            EXPECT_GT(b2Cross(b - a, c - b), 1e-3f * (b - a).Length() * (c - b).Length()) << "a clear left turn";
        }
    }
}

TEST_F(PhysicsUtilsTest, MalformedDictionariesBuildNothingAndLogOnce) {
    const Value nan = Value(std::nan(""));
    const Value inf = Value(INFINITY);
    const struct {
        const char* name;
        Value fixture;
    } cases[] = {
        {"type out of range", dict({{"type", 7}})},
        {"not a dictionary", Value("circle")},
        {"negative radius", dict({{"type", 0}, {"radius", -4}})},
        {"NaN radius", dict({{"type", 0}, {"radius", nan}})},
        {"infinite centre", dict({{"type", 0}, {"centre", "{1e300, 0}"}})},
        {"centre far out", dict({{"type", 0}, {"centre", "{1e9, 0}"}})},
        {"polygon far out", dict({{"type", 2}, {"vertices", array({"{0, 0}", "{1e12, 0}", "{0, 1e12}"})}})},
        {"edge of one point", dict({{"type", 1}, {"vertices", array({"{0, 0}"})}})},
        {"edge of no length", dict({{"type", 1}, {"vertices", array({"{3, 3}", "{3.1, 3}"})}})},
        {"polygon of two points", dict({{"type", 2}, {"vertices", array({"{0, 0}", "{32, 0}"})}})},
        {"polygon of nine points", dict({{"type", 2}, {"vertices", ringOfPoints(64, 9)}})},
        {"collinear polygon", dict({{"type", 2}, {"vertices", array({"{0, 0}", "{32, 0}", "{64, 0}"})}})},
        {"welded polygon", dict({{"type", 2}, {"vertices", array({"{0, 0}", "{0.01, 0}", "{0, 0.01}", "{0.02, 0}"})}})},
        {"chain of one point", dict({{"type", 3}, {"vertices", array({"{0, 0}"})}})},
        {"loop of two points", dict({{"type", 3}, {"loop", true}, {"vertices", array({"{0, 0}", "{32, 0}"})}})},
        {"chain points too close", dict({{"type", 3}, {"vertices", array({"{0, 0}", "{32, 0}", "{32.1, 0}"})}})},
        {"box of no width", dict({{"type", 4}, {"width", 0}, {"height", 10}})},
        {"box of negative height", dict({{"type", 4}, {"width", 10}, {"height", -10}})},
        {"box of infinite width", dict({{"type", 4}, {"width", inf}, {"height", 10}})},
    };
    for (const auto& c : cases) {
        b2Body* body = staticBody();
        LogCapture log;
        EXPECT_EQ(PhysicsUtils::parseFixtureForBody(body, c.fixture, nullptr, nullptr), nullptr) << c.name;
        EXPECT_EQ(body->GetFixtureList(), nullptr) << c.name;
        EXPECT_EQ(log.lines().size(), 1u) << c.name;
    }
    // Material values the caller gets wrong are refused too; an array holding junk builds the rest.
    LogCapture log;
    b2Body* body = staticBody();
    EXPECT_EQ(PhysicsUtils::parseFixtureForBody(body, dict({{"radius", 4}}), nullptr, nullptr, 1, 1, NAN, 0.2f, 0, 0,
                                                CollisionCategory::kScenery, CollisionMask::all()),
              nullptr);
    PhysicsUtils::parseFixturesForBody(body, array({Value(3), dict({{"radius", 4}}), dict({{"type", -1}})}), nullptr);
    int built = 0;
    for (b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) ++built;
    EXPECT_EQ(built, 1);
    EXPECT_EQ(log.lines().size(), 3u);
}

TEST_F(PhysicsUtilsTest, BuildingInsideTheStepIsRefused) {
    struct Builder : b2ContactListener {
        b2Body* target = nullptr;
        b2Fixture* made = reinterpret_cast<b2Fixture*>(1);
        void BeginContact(b2Contact*) override {
            made = PhysicsUtils::parseFixtureForBody(target, dict({{"radius", 8}}), nullptr, nullptr);
        }
    } builder;
    builder.target = staticBody();
    world.SetContactListener(&builder);
    makeDynamicBall(&world, b2Vec2(0, 0));
    makeDynamicBall(&world, b2Vec2(0.5f, 0));
    LogCapture log;
    world.Step(1.0f / 60, 4, 2);
    EXPECT_EQ(builder.made, nullptr);
    EXPECT_TRUE(log.contains("inside its step"));
}
