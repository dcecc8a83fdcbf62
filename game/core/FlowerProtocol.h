#pragma once

// Marks the flowers, which the level keeps in a list of their own.
class FlowerProtocol {
public:
    virtual ~FlowerProtocol() = default;
    // Whether the bee has drunk from it this game (the level counts them).
    virtual bool hasBeenVisited() const { return false; }
};
