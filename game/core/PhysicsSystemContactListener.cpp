#include "game/core/PhysicsSystemContactListener.h"

void PhysicsSystemContactListener::BeginContact(b2Contact*) {}
void PhysicsSystemContactListener::EndContact(b2Contact*) {}
void PhysicsSystemContactListener::PreSolve(b2Contact*, const b2Manifold*) {}
void PhysicsSystemContactListener::PostSolve(b2Contact*, const b2ContactImpulse*) {}
void PhysicsSystemContactListener::preStep() { bodies_.clear(); }
void PhysicsSystemContactListener::postStep() {}
