#pragma once

// Marks the flowers, which the level keeps in a list of their own.
class FlowerProtocol {
public:
    virtual ~FlowerProtocol() = default;
};
