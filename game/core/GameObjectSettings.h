#pragma once

#include "platform/foundation/Geometry.h"

// The value records that the game-object base's readers fill from level and object data.

// Placement: position in points, rotation in degrees as given (counter-clockwise), two scales.
struct GameObjectBasicData {
    CGPoint position;
    float rotation = 0;
    float scaleX = 1;
    float scaleY = 1;
};

struct GameObjectPhysicsData {
    float linearDamping = 0.1f;
    float angularDamping = 0.1f;
    float density = 1.0f;
    float friction = 0.2f;
    float restitution = 0;
    float gravityScale = 1.0f;
};

struct GameObjectPhysicsMotorData {
    bool enabled = false;
    float speed = 0;
    float maxTorque = 0;
};

// Translations in metres.
struct GameObjectPhysicsPrismaticJointData {
    float lowerTranslation = 0;
    float upperTranslation = 0;
    bool limitEnabled = false;
    float motorMaxForce = 0;
    float motorSpeed = 0;
    bool motorEnabled = false;
};

// Angles as the data gives them.
struct GameObjectPhysicsRotationJointData {
    float lowerAngle = 0;
    float upperAngle = 0;
    bool limitEnabled = false;
    float motorMaxTorque = 0;
    float motorSpeed = 0;
    bool motorEnabled = false;
};
