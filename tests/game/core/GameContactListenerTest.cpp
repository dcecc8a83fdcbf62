#include "game/core/GameContactListener.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/core/DestructableProtocol.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/GameContactDelegate.h"
#include "game/core/GameObject.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsSystemBinding.h"
#include "game/core/PickupProtocol.h"
#include "game/core/ProjectileProtocol.h"

namespace {

class FakeFlower : public GameObject, public FlowerProtocol {};

class FakeEnemy : public GameObject, public EnemyProtocol {
public:
    uint32_t contactPlayer() override { return 0; }
    uint32_t sensorContactPlayer() override { return 0; }
};

// A pickup or destructable: damage accumulates; applyDamage may destroy it and drop the only
// other reference, as a level removing it from its list would.
class FakePickup : public GameObject, public PickupProtocol {
public:
    bool canBeConsumed() override { return consumable; }
    void consume() override {}
    bool canBeDamaged() override { return damageable; }
    float accumulatedImpulse() override { return impulse; }
    void setAccumulatedImpulse(float value) override { impulse = value; }
    void applyDamage() override {
        ++damageCalls;
        if (destroyOnDamage) destroy();
    }
    void destroy() override {
        markGone();
        if (owner) owner->reset();
    }

    bool consumable = true;
    bool damageable = true;
    bool destroyOnDamage = false;
    float impulse = 0;
    int damageCalls = 0;
    RefPtr<FakePickup>* owner = nullptr;
};

class FakeProjectile : public GameObject, public ProjectileProtocol {
public:
    uint32_t contactPlayer() override { return 0; }
    uint32_t sensorContactPlayer() override { return 0; }
    bool canHit() override { return true; }
    void contactGameObject(GameObject*) override { ++objectHits; }
    void destroy() override { markGone(); }
    int objectHits = 0;
};

class RecordingDelegate : public GameContactDelegate {
public:
    explicit RecordingDelegate(GameContactListener** listener) : listener_(listener) {}
    void beginPlayerFlowerContact(GameObject* f) override { begun.push_back(f); }
    void endPlayerFlowerContact(GameObject* f) override { ended.push_back(f); }
    void setPlayerHasSolidContact(bool solid) override { solidContacts += solid; }
    void handlePickupContacts() override { pickupsSeen = (*listener_)->pickups().size(); }
    void handleEnemyContacts() override { enemiesSeen = (*listener_)->enemies().size(); }
    void handleProjectileContacts() override { projectilesSeen = (*listener_)->projectilesHittingPlayer().size(); }
    GameSensor* hiveSensor() override { return hive.get(); }
    GameSensor* hideSensor() override { return hide.get(); }

    std::vector<GameObject*> begun, ended;
    int solidContacts = 0;
    size_t pickupsSeen = 0, enemiesSeen = 0, projectilesSeen = 0;
    RefPtr<GameSensor> hive = makeRef<GameSensor>(BindingType::kHiveSensor);
    RefPtr<GameSensor> hide = makeRef<GameSensor>(BindingType::kHideSensor);

private:
    GameContactListener** listener_;
};

// Bodies all overlap at the origin; contacts are made by a zero-length world step without the
// listener installed, and the listener's callbacks are then driven by hand, so that each case
// chooses exactly which contacts begin and end within one step.
class GameContactListenerTest : public ::testing::Test {
protected:
    b2Body* body(b2BodyType type, PhysicsSystemBinding* binding = nullptr) {
        b2BodyDef definition;
        definition.type = type;
        b2Body* made = world.CreateBody(&definition);
        if (binding) setBinding(made, binding);
        return made;
    }

    b2Fixture* fixture(b2Body* owner, uint16 category, int16 group = 0, bool sensor = false,
                       PhysicsSystemBinding* binding = nullptr, bool box = false) {
        b2CircleShape circle;
        circle.m_radius = 1;
        b2PolygonShape square;
        square.SetAsBox(1, 1);
        b2FixtureDef definition;
        definition.shape = box ? static_cast<b2Shape*>(&square) : &circle;
        definition.density = 1;
        definition.isSensor = sensor;
        definition.filter.categoryBits = category;
        definition.filter.groupIndex = group;
        if (binding) setBinding(&definition, binding);
        return owner->CreateFixture(&definition);
    }

    b2Contact* contact(b2Fixture* a, b2Fixture* b) {
        world.Step(0, 4, 2);
        for (b2Contact* c = world.GetContactList(); c; c = c->GetNext()) {
            if ((c->GetFixtureA() == a && c->GetFixtureB() == b) || (c->GetFixtureA() == b && c->GetFixtureB() == a)) {
                return c;
            }
        }
        ADD_FAILURE() << "no contact between the fixtures";
        return nullptr;
    }

    void step(const std::function<void()>& during) {
        listener->preStep();
        during();
        listener->postStep();
    }

    b2World world{b2Vec2(0, 0)};
    GameContactListener* listenerPointer = nullptr;
    RecordingDelegate delegate{&listenerPointer};
    std::unique_ptr<GameContactListener> listener = std::make_unique<GameContactListener>(&delegate);
    b2Body* player = body(b2_dynamicBody);
    b2Fixture* head = fixture(player, 0x0002, -1);
    b2Fixture* sensing = fixture(player, 0x0008, -1, true);

    void SetUp() override { listenerPointer = listener.get(); }
};

}  // namespace

TEST_F(GameContactListenerTest, FlowerContactsKeepTheirRepeatsAndABeginEndedInTheSameStepIsOnlyAnEnd) {
    RefPtr<FakeFlower> flower = makeRef<FakeFlower>();
    PhysicsSystemBinding binding{BindingType::kFlower, flower.get(), nullptr};
    b2Body* flowerBody = body(b2_staticBody, &binding);
    b2Contact* first = contact(sensing, fixture(flowerBody, 1));
    b2Contact* second = contact(sensing, fixture(flowerBody, 1));

    step([&] {
        listener->BeginContact(first);
        listener->BeginContact(second);
    });
    EXPECT_EQ(delegate.begun.size(), 2u);  // not deduplicated
    EXPECT_EQ(listener->flowersInContact().size(), 2u);

    delegate.begun.clear();
    listener->flowersInContact().clear();
    step([&] {
        listener->BeginContact(first);
        listener->EndContact(first);
    });
    EXPECT_TRUE(delegate.begun.empty());
    EXPECT_EQ(delegate.ended, std::vector<GameObject*>{flower.get()});
    EXPECT_TRUE(listener->flowersInContact().empty());
    EXPECT_EQ(delegate.solidContacts, 0);
}

TEST_F(GameContactListenerTest, SolidAndSensorContactsAreSortedByBinding) {
    RefPtr<FakeEnemy> enemy = makeRef<FakeEnemy>();
    RefPtr<FakeEnemy> watcher = makeRef<FakeEnemy>();
    PhysicsSystemBinding enemyBinding{BindingType::kEnemy, enemy.get(), nullptr};
    PhysicsSystemBinding visionBinding{BindingType::kEnemyVision, watcher.get(), nullptr};
    b2Body* enemyBody = body(b2_staticBody, &enemyBinding);
    b2Contact* enemyHit1 = contact(head, fixture(enemyBody, 1));
    b2Contact* enemyHit2 = contact(head, fixture(enemyBody, 1));
    b2Contact* enemySensor = contact(head, fixture(enemyBody, 1, 0, true, &enemyBinding));
    b2Contact* vision = contact(head, fixture(body(b2_staticBody), 1, 0, true, &visionBinding));
    b2Contact* hive = contact(head, fixture(body(b2_staticBody), 0x20, 0, true, delegate.hive->physicsSystemBinding()));
    b2Contact* unboundSensor = contact(head, fixture(body(b2_staticBody), 0x20, 0, true));

    step([&] {
        for (b2Contact* c : {enemyHit1, enemyHit2, enemySensor, vision, hive, hive, unboundSensor}) {
            listener->BeginContact(c);
        }
    });
    EXPECT_EQ(delegate.enemiesSeen, 1u);            // two fixtures, one enemy
    EXPECT_EQ(delegate.solidContacts, 3);           // two enemy fixtures and the unbound sensor
    EXPECT_EQ(listener->contactSensors().size(), 1u);
    EXPECT_EQ(listener->visionSensors().size(), 1u);
    EXPECT_EQ(delegate.hive->activeSensorCount(), 2u);

    // Sensor lists persist across steps; ends remove and deactivate.
    step([&] {
        listener->EndContact(hive);
        listener->EndContact(vision);
    });
    EXPECT_TRUE(listener->enemies().empty());
    EXPECT_EQ(listener->contactSensors().size(), 1u);
    EXPECT_TRUE(listener->visionSensors().empty());
    EXPECT_TRUE(delegate.hive->isActive());
    listener->forgetObject(enemy.get());
    EXPECT_TRUE(listener->contactSensors().empty());
}

TEST_F(GameContactListenerTest, PickupsOnlyWhileConsumableAndProjectilesThatHitTheBeeHitNothingElse) {
    RefPtr<FakePickup> taken = makeRef<FakePickup>();
    RefPtr<FakePickup> spent = makeRef<FakePickup>();
    spent->consumable = false;
    RefPtr<FakeProjectile> both = makeRef<FakeProjectile>();
    RefPtr<FakeProjectile> missed = makeRef<FakeProjectile>();
    PhysicsSystemBinding takenBinding{BindingType::kPickup, taken.get(), nullptr},
        spentBinding{BindingType::kPickup, spent.get(), nullptr};
    PhysicsSystemBinding bothBinding{BindingType::kProjectile, both.get(), nullptr},
        missedBinding{BindingType::kProjectile, missed.get(), nullptr};
    b2Fixture* wall = fixture(body(b2_staticBody), 1);
    b2Fixture* bothShot = fixture(body(b2_dynamicBody, &bothBinding), 0x2000);
    b2Fixture* missedShot = fixture(body(b2_dynamicBody, &missedBinding), 0x2000);
    b2Contact* contacts[] = {
        contact(head, fixture(body(b2_staticBody, &takenBinding), 1)),
        contact(head, fixture(body(b2_staticBody, &spentBinding), 1)),
        contact(head, bothShot),
        contact(bothShot, wall),
        contact(missedShot, wall),
        contact(missedShot, wall),
    };
    step([&] {
        for (b2Contact* c : contacts) listener->BeginContact(c);
    });
    EXPECT_EQ(delegate.pickupsSeen, 1u);
    EXPECT_EQ(listener->pickups(), std::vector<PickupProtocol*>{taken.get()});
    EXPECT_EQ(delegate.projectilesSeen, 1u);
    EXPECT_EQ(both->objectHits, 0);
    EXPECT_EQ(missed->objectHits, 1);
}

TEST_F(GameContactListenerTest, ImpulsesAddUpOnEveryDamageableBodyOnlyWhileEnabled) {
    RefPtr<FakePickup> a = makeRef<FakePickup>();
    RefPtr<FakePickup> b = makeRef<FakePickup>();
    PhysicsSystemBinding aBinding{BindingType::kPickup, a.get(), nullptr},
        bBinding{BindingType::kDestructable, b.get(), nullptr};
    b2Contact* impact = contact(fixture(body(b2_dynamicBody, &aBinding), 1, 0, false, nullptr, true),
                                fixture(body(b2_staticBody, &bBinding), 1, 0, false, nullptr, true));
    ASSERT_EQ(impact->GetManifold()->pointCount, 2);
    b2ContactImpulse impulse{};
    impulse.normalImpulses[0] = 0.5f;
    impulse.normalImpulses[1] = 0.25f;
    impulse.count = 2;

    listener->setPostSolveEnabled(false);
    step([&] { listener->PostSolve(impact, &impulse); });
    EXPECT_EQ(a->impulse + b->impulse, 0.0f);

    listener->setPostSolveEnabled(true);
    step([&] {
        listener->PostSolve(impact, &impulse);
        listener->PostSolve(impact, &impulse);
    });
    EXPECT_FLOAT_EQ(a->impulse, 1.5f);
    EXPECT_FLOAT_EQ(b->impulse, 1.5f);
    EXPECT_EQ(a->damageCalls, 1);  // deduplicated
    EXPECT_EQ(b->damageCalls, 1);
}

TEST_F(GameContactListenerTest, AnObjectDestroyedEarlierInTheDispatchIsNotCalledAgain) {
    // The level's list holds the only reference; the damage removes the pickup from it.
    RefPtr<FakePickup> levelReference = makeRef<FakePickup>();
    FakePickup* pickup = levelReference.get();
    pickup->destroyOnDamage = true;
    pickup->owner = &levelReference;
    PhysicsSystemBinding binding{BindingType::kPickup, pickup, nullptr};
    b2Fixture* pickupFixture = fixture(body(b2_dynamicBody, &binding), 1, 0, false, nullptr, true);
    b2Contact* touch = contact(head, pickupFixture);
    b2Contact* impact = contact(pickupFixture, fixture(body(b2_staticBody), 1, 0, false, nullptr, true));
    b2ContactImpulse impulse{};
    impulse.normalImpulses[0] = 1;
    impulse.count = 1;
    delegate.pickupsSeen = 99;
    step([&] {
        listener->BeginContact(touch);
        listener->PostSolve(impact, &impulse);
    });
    EXPECT_EQ(levelReference, nullptr);
    EXPECT_EQ(delegate.pickupsSeen, 99u);  // the player was not asked about a destroyed pickup
    EXPECT_TRUE(listener->pickups().empty());
}
