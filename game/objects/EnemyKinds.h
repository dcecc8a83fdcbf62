#pragma once

namespace game {

// Hands the shots, the enemy kinds, steam clouds, emitters and roosters to the game-object
// factory, by class name.
// Calling it again changes nothing.
class EnemyKinds {
public:
    static void registerKinds();
};

}  // namespace game
