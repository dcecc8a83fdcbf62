#pragma once

#include <box2d/box2d.h>

#include "game/core/CollisionBits.h"

class Value;

// Builds Box2D fixtures from fixture dictionaries, the one shape format of level geometry, game
// objects and the player:
//
//   "type"        0 circle, 1 edge, 2 polygon, 3 chain, 4 box (default 0; others build nothing)
//   "centre"      point string, circle and box centre (default {0, 0})
//   "radius"      circle radius; "width", "height" full box sides; "rotation" box angle, degrees
//                 counter-clockwise
//   "vertices"    point strings: edge 2 (3 or more make a chain), polygon 3 to 8 counter-
//                 clockwise, chain 2 or more
//   "loop"        close the chain (also when its last point repeats the first within 0.01 m)
//   "density", "friction", "restitution"  replace the caller's value when present and >= 0
//   "is_sensor"   replaces the definition's sensor flag
//
// Lengths are points; a point becomes (x scaleX, y scaleY) / 32 metres, then goes through the
// transform (null: identity). The caller gives the body (null: build the shape and definition
// only and return null), an optional fixture definition whose user data is kept (everything
// else is overwritten; null: a fresh one), an optional shape object to fill, and the material and
// collision filter (group, category, mask replace the definition's filter).
//
// Every operation comes in four families, as overloads: short (transform; scale 1, density 1,
// friction 0.2, restitution 0, group 0, the scenery meeting everything), scaled (transform, scales),
// material (transform, material and filter; scale 1) and full.
//
// Degenerate input never reaches Box2D, whose build here aborts on it: numbers that are not
// finite, coordinates or sizes beyond 100 km, a circle radius below 0, a box side of 0 or less, an
// edge or chain segment of 0.005 m or less, a polygon outside 3 to 8 points or with no area, a
// chain of fewer than 2 points (a loop 3), a negative material value, or a world inside its step:
// nothing is built, the result is null and one line is logged. A polygon reaches Box2D as its
// convex hull, counter-clockwise, without corners that are nearly straight (their points add
// nothing to the shape and make Box2D's own hull building loop). Chains collide from one side only
// in this Box2D, so each chain also gets its reversed twin, built from the same definition
// (binding, filter, sensor flag); the first fixture is returned.
class PhysicsUtils {
public:
    static void parseFixturesForBody(b2Body* body, const Value& fixtures, const b2Transform* transform) {
        parseFixturesForBody(body, fixtures, transform, 1.0f, 1.0f, 1.0f, 0.2f, 0.0f, 0, CollisionCategory::kScenery,
                             CollisionMask::all());
    }
    static void parseFixturesForBody(b2Body* body, const Value& fixtures, const b2Transform* transform, float scaleX,
                                     float scaleY) {
        parseFixturesForBody(body, fixtures, transform, scaleX, scaleY, 1.0f, 0.2f, 0.0f, 0,
                             CollisionCategory::kScenery, CollisionMask::all());
    }
    static void parseFixturesForBody(b2Body* body, const Value& fixtures, const b2Transform* transform, float density,
                                     float friction, float restitution, int16 group, CollisionCategory category,
                                     CollisionMask mask) {
        parseFixturesForBody(body, fixtures, transform, 1.0f, 1.0f, density, friction, restitution, group, category,
                             mask);
    }
    static void parseFixturesForBody(b2Body* body, const Value& fixtures, const b2Transform* transform, float scaleX,
                                     float scaleY, float density, float friction, float restitution, int16 group,
                                     CollisionCategory category, CollisionMask mask);

    static b2Fixture* parseFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                          const b2Transform* transform) {
        return parseFixtureForBody(body, fixture, fixtureDef, transform, 1.0f, 1.0f, 1.0f, 0.2f, 0.0f, 0,
                                   CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                          const b2Transform* transform, float scaleX, float scaleY) {
        return parseFixtureForBody(body, fixture, fixtureDef, transform, scaleX, scaleY, 1.0f, 0.2f, 0.0f, 0,
                                   CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                          const b2Transform* transform, float density, float friction,
                                          float restitution, int16 group, CollisionCategory category,
                                          CollisionMask mask) {
        return parseFixtureForBody(body, fixture, fixtureDef, transform, 1.0f, 1.0f, density, friction, restitution,
                                   group, category, mask);
    }
    static b2Fixture* parseFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                          const b2Transform* transform, float scaleX, float scaleY, float density,
                                          float friction, float restitution, int16 group, CollisionCategory category,
                                          CollisionMask mask);

    static b2Fixture* parseCircleFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                b2CircleShape* circleShape, const b2Transform* transform) {
        return parseCircleFixtureForBody(body, fixture, fixtureDef, circleShape, transform, 1.0f, 1.0f, 1.0f, 0.2f,
                                         0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseCircleFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                b2CircleShape* circleShape, const b2Transform* transform, float scaleX,
                                                float scaleY) {
        return parseCircleFixtureForBody(body, fixture, fixtureDef, circleShape, transform, scaleX, scaleY, 1.0f, 0.2f,
                                         0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseCircleFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                b2CircleShape* circleShape, const b2Transform* transform, float density,
                                                float friction, float restitution, int16 group,
                                                CollisionCategory category, CollisionMask mask) {
        return parseCircleFixtureForBody(body, fixture, fixtureDef, circleShape, transform, 1.0f, 1.0f, density,
                                         friction, restitution, group, category, mask);
    }
    static b2Fixture* parseCircleFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                b2CircleShape* circleShape, const b2Transform* transform, float scaleX,
                                                float scaleY, float density, float friction, float restitution,
                                                int16 group, CollisionCategory category, CollisionMask mask);

    static b2Fixture* parseEdgeShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                   b2EdgeShape* edgeShape, const b2Transform* transform) {
        return parseEdgeShapeFixtureForBody(body, fixture, fixtureDef, edgeShape, transform, 1.0f, 1.0f, 1.0f, 0.2f,
                                            0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseEdgeShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                   b2EdgeShape* edgeShape, const b2Transform* transform, float scaleX,
                                                   float scaleY) {
        return parseEdgeShapeFixtureForBody(body, fixture, fixtureDef, edgeShape, transform, scaleX, scaleY, 1.0f, 0.2f,
                                            0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseEdgeShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                   b2EdgeShape* edgeShape, const b2Transform* transform, float density,
                                                   float friction, float restitution, int16 group,
                                                   CollisionCategory category, CollisionMask mask) {
        return parseEdgeShapeFixtureForBody(body, fixture, fixtureDef, edgeShape, transform, 1.0f, 1.0f, density,
                                            friction, restitution, group, category, mask);
    }
    static b2Fixture* parseEdgeShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                   b2EdgeShape* edgeShape, const b2Transform* transform, float scaleX,
                                                   float scaleY, float density, float friction, float restitution,
                                                   int16 group, CollisionCategory category, CollisionMask mask);

    static b2Fixture* parsePolygonShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                      b2PolygonShape* polygonShape, const b2Transform* transform) {
        return parsePolygonShapeFixtureForBody(body, fixture, fixtureDef, polygonShape, transform, 1.0f, 1.0f, 1.0f,
                                               0.2f, 0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parsePolygonShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                      b2PolygonShape* polygonShape, const b2Transform* transform,
                                                      float scaleX, float scaleY) {
        return parsePolygonShapeFixtureForBody(body, fixture, fixtureDef, polygonShape, transform, scaleX, scaleY, 1.0f,
                                               0.2f, 0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parsePolygonShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                      b2PolygonShape* polygonShape, const b2Transform* transform,
                                                      float density, float friction, float restitution, int16 group,
                                                      CollisionCategory category, CollisionMask mask) {
        return parsePolygonShapeFixtureForBody(body, fixture, fixtureDef, polygonShape, transform, 1.0f, 1.0f, density,
                                               friction, restitution, group, category, mask);
    }
    static b2Fixture* parsePolygonShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                      b2PolygonShape* polygonShape, const b2Transform* transform,
                                                      float scaleX, float scaleY, float density, float friction,
                                                      float restitution, int16 group, CollisionCategory category,
                                                      CollisionMask mask);

    static b2Fixture* parseChainShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                    b2ChainShape* chainShape, const b2Transform* transform) {
        return parseChainShapeFixtureForBody(body, fixture, fixtureDef, chainShape, transform, 1.0f, 1.0f, 1.0f, 0.2f,
                                             0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseChainShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                    b2ChainShape* chainShape, const b2Transform* transform,
                                                    float scaleX, float scaleY) {
        return parseChainShapeFixtureForBody(body, fixture, fixtureDef, chainShape, transform, scaleX, scaleY, 1.0f,
                                             0.2f, 0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseChainShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                    b2ChainShape* chainShape, const b2Transform* transform,
                                                    float density, float friction, float restitution, int16 group,
                                                    CollisionCategory category, CollisionMask mask) {
        return parseChainShapeFixtureForBody(body, fixture, fixtureDef, chainShape, transform, 1.0f, 1.0f, density,
                                             friction, restitution, group, category, mask);
    }
    static b2Fixture* parseChainShapeFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                                    b2ChainShape* chainShape, const b2Transform* transform,
                                                    float scaleX, float scaleY, float density, float friction,
                                                    float restitution, int16 group, CollisionCategory category,
                                                    CollisionMask mask);

    static b2Fixture* parseBoxFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                             b2PolygonShape* polygonShape, const b2Transform* transform) {
        return parseBoxFixtureForBody(body, fixture, fixtureDef, polygonShape, transform, 1.0f, 1.0f, 1.0f, 0.2f, 0.0f,
                                      0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseBoxFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                             b2PolygonShape* polygonShape, const b2Transform* transform, float scaleX,
                                             float scaleY) {
        return parseBoxFixtureForBody(body, fixture, fixtureDef, polygonShape, transform, scaleX, scaleY, 1.0f, 0.2f,
                                      0.0f, 0, CollisionCategory::kScenery, CollisionMask::all());
    }
    static b2Fixture* parseBoxFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                             b2PolygonShape* polygonShape, const b2Transform* transform, float density,
                                             float friction, float restitution, int16 group, CollisionCategory category,
                                             CollisionMask mask) {
        return parseBoxFixtureForBody(body, fixture, fixtureDef, polygonShape, transform, 1.0f, 1.0f, density, friction,
                                      restitution, group, category, mask);
    }
    static b2Fixture* parseBoxFixtureForBody(b2Body* body, const Value& fixture, b2FixtureDef* fixtureDef,
                                             b2PolygonShape* polygonShape, const b2Transform* transform, float scaleX,
                                             float scaleY, float density, float friction, float restitution,
                                             int16 group, CollisionCategory category, CollisionMask mask);
};
