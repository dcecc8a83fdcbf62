#include "game/objects/GameObjectKinds.h"

#include <gtest/gtest.h>

#include "engine/core/CCNode.h"
#include "engine/core/support/CCFileUtils.h"
#include "game/core/GameObject.h"
#include "game/core/GameObjectFactory.h"
#include "game/objects/Dynamic.h"
#include "game/objects/MovementLinearPath.h"
#include "game/objects/MovementOrbit.h"
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
    EXPECT_NEAR(orbit->orbitSpeed(), game::MovementOrbit::kTwoPi / 10, 1e-6);
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

}  // namespace
