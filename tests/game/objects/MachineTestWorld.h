#pragma once

// The object test level, whose kinds include the machines and composites, with helpers to read
// their bodies.

#include <cmath>

#include "tests/game/objects/ObjectTestWorld.h"

class MachineTestWorld : public ObjectTestWorld {
protected:
    // A fresh level with the object data (the old level lets go of the shared data first).
    Level* reload(const Value& gameObjectData) {
        level_.reset();
        return load(gameObjectData);
    }

    // The object data with one key of a type (or of one part of the type) replaced.
    static Value withKey(const Value& data, const char* type, const char* key, const Value& value,
                         const char* part = nullptr) {
        Value types = data["gameobjects"];
        Value entry = types[type];
        if (part) {
            Value partData = entry[part];
            partData.set(key, value);
            entry.set(part, partData);
        } else {
            entry.set(key, value);
        }
        types.set(type, entry);
        Value changed = data;
        changed.set("gameobjects", types);
        return changed;
    }

    // Distance from the planet's centre, metres.
    static float radius(const b2Body* body) { return body->GetPosition().Length(); }
    // Polar angle of the body's position, radians.
    static float polar(const b2Body* body) { return std::atan2(body->GetPosition().y, body->GetPosition().x); }

    static int fixtureCount(const b2Body* body) {
        int count = 0;
        for (const b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) ++count;
        return count;
    }

    // A frame for every name, each 40 x 40 points unless given.
    void addFramesNamed(std::initializer_list<const char*> names, CGSize size = CGSizeMake(40, 40)) {
        std::vector<std::pair<std::string, CGSize>> frames;
        for (const char* name : names) frames.push_back({name, size});
        addFrames(frames);
    }
};
