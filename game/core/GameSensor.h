#pragma once

#include <cstdint>

#include "game/core/PhysicsSystemBinding.h"
#include "platform/foundation/Object.h"

// A named area of the level (the hive's doorway, the hiding places): its fixtures carry a pointer
// to this sensor's binding, and the sensor counts how many of them the bee touches now.
class GameSensor : public Object {
public:
    GameSensor() = default;
    // BindingType::kHiveSensor or kHideSensor.
    explicit GameSensor(BindingType bindingType) { binding_.type = bindingType; }

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
    PhysicsSystemBinding binding_{BindingType::kNone, this, nullptr};
    uint32_t activeSensorCount_ = 0;
};
