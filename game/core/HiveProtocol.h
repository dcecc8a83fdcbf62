#pragma once

#include "engine/core/ccTypes.h"
#include "game/core/GameMessagePositionProtocol.h"
#include "platform/foundation/Geometry.h"

class CCParticleSystem;

// What the level and the play scene ask of the hive (type 1000): where its honey fill tops out,
// and a tint for its sprites. The hive's bubbles hang from that top too.
//
// While the bee pours, the hive holds the level's transfer stream (not retained), the droplets
// flying from the bee's mouth into it; the level attaches and detaches it, and a hive that goes
// lets go of it, stopped and free for the level's pool again.
class HiveProtocol : public GameMessagePositionProtocol {
public:
    ~HiveProtocol() override;
    // The top of the honey fill, world points: the transfer stream aims here, the hive's bubbles
    // follow it, and so does the night flight in a level whose geometry has no hive sensor.
    CGPoint position() const override = 0;
    // Colours the hive's inner, honey and outer sprites.
    virtual void setTint(ccColor3B colour) = 0;

    CCParticleSystem* particlesVantrelTransferNectar() const { return particlesVantrelTransferNectar_; }
    void setParticlesVantrelTransferNectar(CCParticleSystem* particles) { particlesVantrelTransferNectar_ = particles; }

private:
    CCParticleSystem* particlesVantrelTransferNectar_ = nullptr;  // the level's, not retained
};
