#pragma once

class GameObject;
class GameSensor;

// What the contact listener tells the running game after each step: the level's flower contacts,
// the player's contacts, and the two sensors it switches. The play scene implements it and
// forwards to its level and player; every operation does nothing until overridden.
class GameContactDelegate {
public:
    virtual ~GameContactDelegate() = default;

    // The bee's sensing fixture began or ended touching a flower.
    virtual void beginPlayerFlowerContact(GameObject*) {}
    virtual void endPlayerFlowerContact(GameObject*) {}
    // The bee touched something solid during the step.
    virtual void setPlayerHasSolidContact(bool) {}
    // The player reads the listener's pickups, enemies and projectilesHittingPlayer lists.
    virtual void handlePickupContacts() {}
    virtual void handleEnemyContacts() {}
    virtual void handleProjectileContacts() {}

    // The play scene's sensors (BindingType::kHiveSensor and kHideSensor), or null.
    virtual GameSensor* hiveSensor() { return nullptr; }
    virtual GameSensor* hideSensor() { return nullptr; }
};
