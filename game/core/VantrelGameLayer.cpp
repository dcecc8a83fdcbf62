#include "game/core/VantrelGameLayer.h"

namespace {
// One play scene at a time; not retained.
VantrelGameLayer* currentLayer = nullptr;
PhysicsSystem* currentSystem = nullptr;
b2World* currentWorld = nullptr;
}  // namespace

VantrelGameLayer* VantrelGameLayer::currentGameLayer() { return currentLayer; }
PhysicsSystem* VantrelGameLayer::currentPhysicsSystem() { return currentSystem; }
b2World* VantrelGameLayer::currentPhysicsWorld() { return currentWorld; }

void VantrelGameLayer::setCurrentGameLayer(VantrelGameLayer* layer) { currentLayer = layer; }

void VantrelGameLayer::setCurrentPhysics(PhysicsSystem* system, b2World* world) {
    currentSystem = system;
    currentWorld = world;
}
