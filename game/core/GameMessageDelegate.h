#pragma once

class CCNode;

// What speech bubbles ask of the running game; the play scene implements it and hands it to
// GameMessage::setGameDelegate for the length of a level.
class GameMessageDelegate {
public:
    virtual ~GameMessageDelegate() = default;

    // The node that queued bubbles are drawn in, or null.
    virtual CCNode* messagesHolder() const = 0;
    // The values that self-updating bubbles show: the bee's nectar and the hive's honey in whole
    // units, metres flown, and seconds left in the day.
    virtual float playerNectar() const = 0;
    virtual float playerHiveHoney() const = 0;
    virtual float playerDistanceTravelled() const = 0;
    virtual float dayTimeRemaining() const = 0;
};
