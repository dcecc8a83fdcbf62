#pragma once

#include <cstdint>

// An object that costs the bee nectar when it touches it: through its body (contactPlayer), its
// contact-sensor fixtures (sensorContactPlayer) or, when it can see, its vision sensor.
class EnemyProtocol {
public:
    virtual ~EnemyProtocol() = default;
    // Each shows its own effect and returns the nectar penalty in droplets (0 for none).
    virtual uint32_t contactPlayer() = 0;
    virtual uint32_t sensorContactPlayer() = 0;
    // The bee is inside the vision sensor (every frame while it is).
    virtual void visionContactPlayer() {}
    virtual void destroy() {}
};
