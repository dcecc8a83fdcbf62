#pragma once

class GameContactListener;
class GameSensor;
class PhysicsSystem;

// What the bee asks of the running play scene, which implements it.
class PlayerGameDelegate {
public:
    virtual ~PlayerGameDelegate() = default;

    virtual PhysicsSystem* physicsSystem() const = 0;
    virtual GameContactListener* gameContactListener() const = 0;
    // The sensors of the hive's doorway and of the hiding places, or null.
    virtual GameSensor* hiveSensor() = 0;
    virtual GameSensor* hideSensor() = 0;
    // How hard the bee is steered this frame, 0 to 1.
    virtual float beeAccelerationPerc() const = 0;
    // The camera's turn about the planet's centre, degrees: bubbles are turned back by it.
    virtual float cameraTangentAngle() const { return 0; }
    // The end-of-day delivery is finished: the game may end.
    virtual void onGameSummaryComplete() = 0;
};
