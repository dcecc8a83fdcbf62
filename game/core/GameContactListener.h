#pragma once

#include <vector>

#include "game/core/PhysicsSystemContactListener.h"
#include "platform/foundation/Object.h"

class DestructableProtocol;
class EnemyProtocol;
class GameContactDelegate;
class GameObject;
class PickupProtocol;
class ProjectileProtocol;

// Box2D reports contacts from inside the step, where no body may change. This listener only sorts
// each contact, by the bindings in the bodies' and fixtures' user data, into lists of game
// objects, and hands them to the level, the player and the objects after the step (postStep),
// through the delegate the play scene implements.
//
// The bee's fixtures are those of collision::kBeeGroup; its sensing fixture has the category
// kBeeSensing; shots that hit other objects have kShot. Lists hold objects without owning them; during the
// dispatch the listener holds a reference to every listed object and skips one that has been
// destroyed earlier in the same dispatch. flowersInContact, contactSensors and visionSensors
// persist from step to step; the other lists are emptied before each step. An object that goes
// away calls forgetObject. Engine thread only.
class GameContactListener : public PhysicsSystemContactListener {
public:
    // The delegate is not retained; null sends nothing.
    explicit GameContactListener(GameContactDelegate* gameLayer);
    ~GameContactListener() override;

    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;
    // Adds the contact's normal impulses to the damageable objects in it, while enabled.
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;
    void preStep() override;
    void postStep() override;

    // Off during the first seconds of a game, so that objects settling do no damage.
    bool postSolveEnabled() const { return postSolveEnabled_; }
    void setPostSolveEnabled(bool enabled) { postSolveEnabled_ = enabled; }

    // Removes every occurrence of the object from every list.
    void forgetObject(GameObject* object);

    std::vector<GameObject*>& flowersInContact() { return flowersInContact_; }
    std::vector<GameObject*>& flowersBegun() { return flowersBegun_; }
    std::vector<GameObject*>& flowersEnded() { return flowersEnded_; }
    std::vector<PickupProtocol*>& pickups() { return pickups_; }
    std::vector<DestructableProtocol*>& damaged() { return damaged_; }
    std::vector<EnemyProtocol*>& enemies() { return enemies_; }
    std::vector<EnemyProtocol*>& contactSensors() { return contactSensors_; }
    std::vector<EnemyProtocol*>& visionSensors() { return visionSensors_; }
    std::vector<ProjectileProtocol*>& projectilesHittingPlayer() { return projectilesHittingPlayer_; }
    std::vector<ProjectileProtocol*>& projectilesHittingObjects() { return projectilesHittingObjects_; }

private:
    // Takes a reference to every listed object for the length of the dispatch.
    void holdListedObjects();

    std::vector<GameObject*> flowersInContact_;
    std::vector<GameObject*> flowersBegun_;
    std::vector<GameObject*> flowersEnded_;
    std::vector<PickupProtocol*> pickups_;
    std::vector<DestructableProtocol*> damaged_;
    std::vector<EnemyProtocol*> enemies_;
    std::vector<EnemyProtocol*> contactSensors_;
    std::vector<EnemyProtocol*> visionSensors_;
    std::vector<ProjectileProtocol*> projectilesHittingPlayer_;
    std::vector<ProjectileProtocol*> projectilesHittingObjects_;
    bool postSolveEnabled_ = true;
    GameContactDelegate* gameLayer_;  // not retained

    // Reused by every dispatch, so that a running game allocates nothing here.
    std::vector<RefPtr<GameObject>> held_;
    std::vector<GameObject*> flowerSnapshot_;
    std::vector<DestructableProtocol*> damagedSnapshot_;
    std::vector<ProjectileProtocol*> projectileSnapshot_;
};
