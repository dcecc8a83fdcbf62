#pragma once

namespace game {

// Hands the machines and composites (rotators, wheels, rafts, carts, cranes, balloons, structures
// and the clock tower) to the game-object factory by class name. Called with the other kinds'
// registration, before a level is loaded; calling it again changes nothing.
class MachineKinds {
public:
    static void registerKinds();
    // Takes them away again.
    static void unregisterKinds();
};

}  // namespace game
