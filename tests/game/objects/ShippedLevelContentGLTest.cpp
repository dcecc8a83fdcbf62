// Every shipped level, built as the game builds it, holds what the bee can reach: flowers that
// grow from the ground with their heads where the bee can stay to drink, pickups lying on or above
// the ground, a hive standing on the ground with its doorway where the bee flies by day and where
// the night flight takes it; and every picture the level places is shown.
//
// The band: the scene steers the bee freely while its head is between the level's bottom radius
// and its sky radius and pushes it back in outside them (percOfAllowedLimitsAtPosition, 0 at the
// bottom, 1 at the sky). Below the bottom the bee can still dive with its momentum to touch
// something on the ground, but it cannot stay there.

#include <gtest/gtest.h>

#include <box2d/b2_distance.h>
#include <box2d/box2d.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/support/CCArray.h"
#include "engine/render/CCSprite.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/GameSensor.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PickupProtocol.h"
#include "game/core/Player.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/Hive.h"
#include "platform/foundation/Log.h"
#include "shell/VantrelGlobal.h"
#include "tests/game/objects/ShippedLevelsTest.h"

namespace {

constexpr double kPointsPerMetre = 32;
// How far a stem's root and the hive's foot may lie from the ground's surface, points.
constexpr double kRootTolerance = 2;
constexpr double kFootTolerance = 4;

double radiusOf(CGPoint point) { return std::hypot(point.x, point.y); }
double radiusOf(b2Vec2 metres) { return metres.Length() * kPointsPerMetre; }

// The nearest distance of a fixture to the planet's centre, points (0 when it covers the centre).
double innermostRadius(b2Fixture* fixture) {
    b2CircleShape centre;
    centre.m_radius = 0;
    b2DistanceInput input;
    input.proxyA.Set(&centre, 0);
    input.proxyB.Set(fixture->GetShape(), 0);
    input.transformA.SetIdentity();
    input.transformB = fixture->GetBody()->GetTransform();
    input.useRadii = true;
    b2SimplexCache cache;
    cache.count = 0;
    b2DistanceOutput output;
    b2Distance(&output, &cache, &input);
    return output.distance * kPointsPerMetre;
}

// Whether a circle of `radius` points at `at` touches the fixture.
bool touches(b2Fixture* fixture, CGPoint at, double radius) {
    b2CircleShape circle;
    circle.m_radius = static_cast<float>(radius / kPointsPerMetre);
    b2Transform place;
    place.Set(b2Vec2(static_cast<float>(at.x / kPointsPerMetre), static_cast<float>(at.y / kPointsPerMetre)), 0);
    return b2TestOverlap(&circle, 0, fixture->GetShape(), 0, place, fixture->GetBody()->GetTransform());
}

// The point at `radius` points from the centre in the direction of `towards`.
CGPoint atRadius(CGPoint towards, double radius) {
    const double r = radiusOf(towards);
    return {towards.x / r * radius, towards.y / r * radius};
}

// The angle of a point from the top of the planet, degrees counter-clockwise: how a failure names it.
int angleOf(CGPoint point) { return static_cast<int>(std::lround(std::atan2(point.y, point.x) * 57.29578 - 90)); }

// Every picture under the node (through its batch nodes and holders); the parts of a picture (a
// hive's honey fill) are its own business.
void forEachPicture(CCNode* node, const std::function<void(CCSprite*)>& visit) {
    CCArray* children = node ? node->children() : nullptr;
    for (uint64_t i = 0; children && i < children->count(); ++i) {
        auto* child = static_cast<CCNode*>(children->objectAtIndex(i));
        if (auto* sprite = dynamic_cast<CCSprite*>(child)) {
            visit(sprite);
        } else {
            forEachPicture(child, visit);
        }
    }
}

class ShippedLevelContentTest : public ShippedLevelsTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        ShippedLevelsTest::SetUp();
        VantrelGlobal::sharedInstance()->setNextLevelId(GetParam());
        layer_ = makeRef<VantrelGameLayer>();
        LogCapture log;
        const bool built = layer_->init();
        loadLog_ = log.lines();
        ASSERT_TRUE(built) << ::testing::PrintToString(loadLog_);
        level_ = layer_->level();
        ground_ = level_->groundRadius();
    }
    void TearDown() override {
        // Its controls and what it scheduled hold the layer until it leaves, as with its scene.
        if (layer_) layer_->onExit(), layer_->cleanup();
        layer_.reset();
        ShippedLevelsTest::TearDown();
    }

    bool inBand(CGPoint point) const {
        const float p = level_->percOfAllowedLimitsAtPosition(point);
        return p >= 0 && p <= 1;
    }
    // The bee's head radius, points, read from its body.
    double beeHeadRadius() const {
        for (b2Fixture* f = layer_->player()->vantrelBody()->GetFixtureList(); f; f = f->GetNext()) {
            if (!f->IsSensor()) return f->GetShape()->m_radius * kPointsPerMetre;
        }
        ADD_FAILURE() << "the bee has no head";
        return 0;
    }
    // The fixture of the ground body that carries the hive sensor's binding.
    b2Fixture* hiveSensorFixture() const {
        const auto binding = reinterpret_cast<uintptr_t>(layer_->hiveSensor()->physicsSystemBinding());
        for (b2Fixture* f = layer_->physicsSystem()->getGroundBody()->GetFixtureList(); f; f = f->GetNext()) {
            if (f->GetUserData().pointer == binding) return f;
        }
        return nullptr;
    }

    std::vector<std::string> loadLog_;  // the lines logged while the level was built
    RefPtr<VantrelGameLayer> layer_;
    Level* level_ = nullptr;
    double ground_ = 0;  // points from the centre
};

TEST_P(ShippedLevelContentTest, EveryPlacedPictureIsShown) {
    EXPECT_EQ(level_->picturesLeftOut(), 0u) << "refused while the level was built; its log:\n"
                                             << ::testing::PrintToString(loadLog_);
    // A picture placed without its size is drawn at none.
    std::vector<std::string> leftOut;
    for (CCNode* holder : {layer_->skyHolder(), layer_->backgroundHolder(), layer_->foregroundHolder(),
                           layer_->frontHolder()}) {
        forEachPicture(holder, [&](CCSprite* sprite) {
            if (sprite->scaleX() == 0 || sprite->scaleY() == 0) {
                leftOut.push_back("a picture of no size at " + std::to_string(angleOf(sprite->position())) +
                                  " degrees");
            }
        });
    }
    EXPECT_EQ(leftOut, std::vector<std::string>());
}

TEST_P(ShippedLevelContentTest, FlowersGrowFromTheGroundWithTheirHeadsInTheBand) {
    ASSERT_GT(level_->flowers().count(), 0u);
    b2Body* groundBody = layer_->physicsSystem()->getGroundBody();
    std::vector<b2Fixture*> heads;  // of the flowers before
    level_->flowers().forEach([&](GameObject* object) {
        auto* flower = dynamic_cast<FlowerProtocol*>(object);
        ASSERT_TRUE(flower && flower->physicsSprite() && flower->physicsSprite()->body());
        b2Body* head = flower->physicsSprite()->body();
        const CGPoint drinking = flower->physicsSprite()->position();
        SCOPED_TRACE("the flower at " + std::to_string(angleOf(drinking)) + " degrees");
        EXPECT_TRUE(inBand(drinking)) << "its head is " << radiusOf(drinking) << " points from the centre, the band "
                                      << level_->bottomRadius() << " to " << level_->skyRadius();
        for (b2Fixture* other : heads) {
            EXPECT_FALSE(b2TestOverlap(head->GetFixtureList()->GetShape(), 0, other->GetShape(), 0,
                                       head->GetTransform(), other->GetBody()->GetTransform()))
                << "it stands in another flower";
        }
        heads.push_back(head->GetFixtureList());
        // The stem's root: the hinge of the head on the ground or on the prop that carries it.
        const b2JointEdge* stem = head->GetJointList();
        ASSERT_TRUE(stem) << "the flower stands on nothing";
        const double root = radiusOf(stem->joint->GetAnchorA());
        if (stem->other == groundBody) {
            EXPECT_NEAR(root, ground_, kRootTolerance) << "its root is not on the ground's surface";
        } else {
            EXPECT_GT(root, ground_) << "its root is in the ground";
        }
    });
}

TEST_P(ShippedLevelContentTest, PickupsLieOnOrAboveTheGroundAndBelowTheSky) {
    level_->pickups().forEach([&](GameObject* object) {
        auto* pickup = dynamic_cast<PickupProtocol*>(object);
        ASSERT_TRUE(pickup);
        b2Body* body = object->getPrimaryBody();
        if (!body) return;  // a kind without a body is not shown and cannot be taken
        const CGPoint at = pickup->physicsSprite()->position();
        SCOPED_TRACE(object->typeName() + " at " + std::to_string(angleOf(at)) + " degrees");
        EXPECT_LE(level_->percOfAllowedLimitsAtPosition(at), 1.0f) << "above the sky";
        for (b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
            EXPECT_GE(innermostRadius(f), ground_ - 1) << "partly in the ground";
        }
    });
}

TEST_P(ShippedLevelContentTest, TheHiveStandsOnTheGroundWithItsDoorwayWhereTheBeeFlies) {
    auto* hive = dynamic_cast<game::Hive*>(level_->hive());
    ASSERT_TRUE(hive);
    hive->update(0);  // the fill of an empty hive
    b2Fixture* doorway = hiveSensorFixture();
    ASSERT_TRUE(doorway) << "the level has no hive sensor";
    const CGPoint centre = hive->bg()->position();
    const double foot = radiusOf(centre) - hive->bg()->contentSize().height / 2;
    EXPECT_NEAR(foot, ground_, kFootTolerance) << "the hive does not stand on the ground's surface";
    EXPECT_TRUE(inBand(centre)) << "the hive's centre is out of the band";
    const double head = beeHeadRadius();
    EXPECT_TRUE(touches(doorway, atRadius(centre, level_->bottomRadius()), head))
        << "a bee held at the band's bottom over the hive is not in its doorway";
    EXPECT_TRUE(touches(doorway, hive->position(), head)) << "the night flight ends outside the hive's doorway";
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLevelContentTest, ::testing::ValuesIn(kShippedLevelIds), shippedLevelName);

TEST(ShippedLevelRowsTest, TheRowsAreTheLevelsOfTheCatalogue) {
    const ShippedCatalogue catalogue;
    std::vector<std::string> ids;
    for (const Value& group : catalogue.levels.levelGroupOrder().elements()) {
        for (const Value& level : catalogue.levels.levelGroups()[group.stringValue()].elements()) {
            ids.push_back(level["id"].stringValue());
        }
    }
    EXPECT_EQ(ids, std::vector<std::string>(std::begin(kShippedLevelIds), std::end(kShippedLevelIds)));
}

}  // namespace
