#include "game/objects/GameObjectKinds.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/core/CCNode.h"
#include "engine/core/support/CCFileUtils.h"
#include "game/core/GameObject.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/Units.h"
#include "game/objects/Dynamic.h"
#include "game/objects/MovementLinearPath.h"
#include "game/objects/MovementOrbit.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "support/TestSupport.h"
#include "support/ValueBuilders.h"

namespace {

const Value kPath = dict({{"is_global", true}, {"vertices", array({"{0, 300}", "{100, 300}"})}, {"mode", "open"}});

const Value kData = dict(
    {{"gameobjects",
      dict({{"800", dict({{"type_name", "glider"},
                          {"movement", dict({{"linear_path_data", kPath},
                                             {"linear_path_behaviour", dict({{"speed", 25}})}})}})},
            {"801", dict({{"type_name", "swinger"}, {"movement_id", "circle"}})},
            {"802", dict({{"type_name", "stuck"},
                          {"movement", dict({{"linear_path_data", dict({{"vertices", array({"{1, 1}"})}})}})}})},
            {"520", dict({{"type_name", "nothing"}})}})},
     {"movements", dict({{"circle", dict({{"orbit", dict({{"orbit_time", 10}})}})}})}});

class Probe : public GameObject {};

class GameObjectKindsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.write("gameobject_data.plist", kData.toXML());
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        GameObjectFactory::setupFactory();
        game::GameObjectKinds::registerKinds();
        node_->setPosition(CGPointMake(0, 400));
    }
    void TearDown() override {
        GameObjectFactory::cleanupFactory();
        game::GameObjectKinds::unregisterKinds();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }

    RefPtr<MovementProtocol> movementOf(int32_t type, const Value& pathData = Value()) {
        RefPtr<Probe> probe = makeRef<Probe>();
        probe->initGameObjectWithType(type);
        return probe->createMovementForNode(node_.get(), pathData);
    }

    TemporaryFolder folder_;
    ScopedResourceFolder resources_{folder_.path()};
    RefPtr<CCNode> node_ = CCNode::node();
};

TEST_F(GameObjectKindsTest, TheBaseBuildsRealMoversFromTheData) {
    const RefPtr<game::MovementLinearPath> path = refCast<game::MovementLinearPath>(movementOf(800));
    ASSERT_TRUE(path);
    EXPECT_FLOAT_EQ(path->speed(), 25);
    const RefPtr<game::MovementOrbit> orbit = refCast<game::MovementOrbit>(movementOf(801));
    ASSERT_TRUE(orbit);
    EXPECT_NEAR(orbit->orbitSpeed(), units::kTwoPi / 10, 1e-6);
    // The instance's own path wins over the type's; a refused path gives no movement.
    const Value local = dict({{"vertices", array({"{0, 0}", "{0, 50}"})}, {"mode", "pingpong"}});
    const RefPtr<game::MovementLinearPath> instance = refCast<game::MovementLinearPath>(movementOf(801, local));
    ASSERT_TRUE(instance);
    EXPECT_EQ(instance->path()->pointCount(), 3);
    EXPECT_FALSE(movementOf(802));
}

TEST_F(GameObjectKindsTest, TheFactoryBuildsTheRegisteredKinds) {
    RefPtr<GameObject> nothing = GameObjectFactory::gameObjectWithGameData(dict({{"type", 520}}));
    auto* dynamic = dynamic_cast<game::Dynamic*>(nothing.get());
    ASSERT_TRUE(dynamic);  // a Dynamic of a code without a build: no sprite, no body
    EXPECT_FALSE(dynamic->physicsSprite());
    EXPECT_EQ(dynamic->priority(), 1u);
}

// The factory's codes as the program registers them, at the edges of every range.
TEST_F(GameObjectKindsTest, EveryCodeReachesItsKindAndNoOther) {
    const struct {
        int64_t first, last;
        const char* kind;  // empty: nothing is built
    } ranges[] = {
        {-1, 0, ""},
        {1, 99, "Flower"},
        {100, 199, "Pickup"},
        {200, 208, "Cloud"},
        {209, 209, "SteamCloud"},
        {210, 215, "Cloud"},
        {216, 216, "SteamCloud"},
        {217, 217, "Cloud"},
        {218, 219, ""},
        {220, 229, "Bird"},
        {230, 239, "GroundEnemy"},
        {240, 241, "Hunter"},
        {242, 244, ""},
        {245, 247, "Bird"},
        {248, 249, ""},
        {250, 251, "Cloud"},
        {252, 257, "Bird"},
        {258, 259, ""},
        {260, 263, "GroundEnemy"},
        {264, 264, ""},
        {265, 265, "RoboCam"},
        {266, 269, ""},
        {270, 272, "Bird"},
        {273, 299, ""},
        {300, 399, "Projectile"},
        {400, 499, "Destructable"},
        {500, 599, "Dynamic"},
        {600, 699, "Structure"},
        {700, 799, "Emitter"},
        {800, 899, "Animation"},
        {900, 999, ""},
        {1000, 1000, "Hive"},
        {1001, 1001, "Rotator"},
        {1002, 1002, "Cart"},
        {1003, 1003, "Crane"},
        {1004, 1004, "Rotator"},
        {1005, 1005, "Balloon"},
        {1006, 1006, "Rooster"},
        {1007, 1007, "Raft"},
        {1008, 1009, "Cart"},
        {1010, 1010, "Wheel"},
        {1011, 1011, "BigBen"},
        {1012, 1012, "Rooster"},
        {1013, 1049, ""},
        {1050, 1051, "Rotator"},
        {1052, 1052, "Cart"},
        {1053, 1053, ""},
    };
    for (const auto& r : ranges) {
        for (int64_t type : {r.first, r.last}) EXPECT_EQ(GameObjectFactory::kindForType(type), r.kind) << type;
        // A kind's own questions about its codes agree with the factory.
        if (*r.kind) {
            EXPECT_TRUE(game::GameObjectKinds::isKind(r.kind, r.first)) << r.kind;
        }
    }
    EXPECT_THROW(game::GameObjectKinds::kind("Tower"), NamedException);
}

TEST_F(GameObjectKindsTest, TheTableRegistersWholeAndEveryShippedCodeFindsAConstructor) {
    game::GameObjectKinds::unregisterKinds();
    LogCapture log;
    game::GameObjectKinds::registerKinds();
    game::GameObjectKinds::registerKinds();  // again: nothing changes
    EXPECT_TRUE(log.lines().empty());  // no kind was refused, so no two kinds share a code

    std::string error;
    const std::optional<Value> shipped =
        Value::fromFile(std::string(VANTREL_SOURCE_RESOURCES) + "/gameobject_data.plist", &error);
    ASSERT_TRUE(shipped) << error;
    const std::vector<std::string> codes = (*shipped)["gameobjects"].keys();
    EXPECT_GT(codes.size(), 50u);
    for (const std::string& code : codes) {
        EXPECT_FALSE(GameObjectFactory::kindForType(std::stoll(code)).empty()) << code;
    }
}

}  // namespace
