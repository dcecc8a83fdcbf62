#pragma once

namespace game {

// Hands the shots and the enemy kinds built so far to the game-object factory, by class name.
// Calling it again changes nothing.
class EnemyKinds {
public:
    static void registerKinds();
};

}  // namespace game
