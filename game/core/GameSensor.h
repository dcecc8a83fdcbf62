#pragma once

#include <cstdint>

#include "game/core/PhysicsSystemBinding.h"
#include "platform/foundation/Object.h"

// A named area of the level (the hive's doorway, the hiding places): its fixtures carry a pointer
// to this sensor's binding, and the sensor counts how many of them the bee touches now.
class GameSensor : public Object {
public:
    GameSensor() = default;
    // Binding type 2 for the hive sensor, 3 for the hide sensor.
    explicit GameSensor(uint32_t bindingType) { binding_.type = bindingType; }

    // Valid while the sensor lives: fixtures' user data points here.
    PhysicsSystemBinding* physicsSystemBinding() { return &binding_; }

    void activate() { ++activeSensorCount_; }
    // Never below 0.
    void deactivate() {
        if (activeSensorCount_ > 0) --activeSensorCount_;
    }
    void reset() { activeSensorCount_ = 0; }
    bool isActive() const { return activeSensorCount_ != 0; }
    uint32_t activeSensorCount() const { return activeSensorCount_; }

private:
    PhysicsSystemBinding binding_{0, this, nullptr};
    uint32_t activeSensorCount_ = 0;
};
