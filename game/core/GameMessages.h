#pragma once

#include <string_view>
#include <vector>

#include "game/core/GameMessagePositionProtocol.h"
#include "platform/foundation/Object.h"

class CCNode;
class GameMessage;

// The bubbles of one followed object, chained one behind the other: the first follows the target,
// each later one the bubble before it, smaller and fainter. At most kCapacity bubbles; a new one
// beyond that drops the last. Queued bubbles are drawn in the game's messages holder and are
// dropped from the queue once their timer hides them. Bubbles outlive their membership: their
// users keep them and show them again.
//
// Engine thread only.
class GameMessages : public Object {
public:
    static constexpr size_t kCapacity = 6;

    GameMessages() { messages_.reserve(kCapacity); }
    // `target` (not retained) is what the first bubble follows: a node by its position, or an
    // object that answers a point of its own (the hive: the top of its honey).
    bool initWithTargetObject(CCNode* target);
    bool initWithTargetObject(const GameMessagePositionProtocol* target);

    // A bubble already in this queue moves to the front (wherever it was asked to go); one from
    // another queue leaves that one first.
    void addMessageToQueue(GameMessage* message, bool atFront);
    void addMessageToFrontOfQueue(GameMessage* message) { addMessageToQueue(message, true); }
    void addMessageToEndOfQueue(GameMessage* message) { addMessageToQueue(message, false); }
    // The bubble's showForTime first (seconds, with its value or value text), then the add.
    void addMessageToFrontOfQueue(GameMessage* message, float seconds);
    void addMessageToFrontOfQueue(GameMessage* message, float seconds, int value);
    void addMessageToFrontOfQueue(GameMessage* message, float seconds, std::string_view valueText);
    void addMessageToEndOfQueue(GameMessage* message, float seconds);
    void addMessageToEndOfQueue(GameMessage* message, float seconds, int value);
    void addMessageToEndOfQueue(GameMessage* message, float seconds, std::string_view valueText);

    // Unlinks the bubble (its neighbours join up), hides it and takes it out of its node; nothing
    // for a bubble of another queue.
    void removeMessage(GameMessage* message);
    void moveMessageToFrontOfQueue(GameMessage* message);
    // Lets every bubble go, unlinked and out of its node.
    void clearQueue();

    // Updates the bubbles first to last (dt seconds, rotation degrees) and drops the hidden ones.
    void update(float dt, float rotation);

    const GameMessagePositionProtocol* target() const { return target_; }
    // Follows `target` (not retained) from now on: the first queued bubble turns to it at once, so
    // that none keeps following the old one, and bubbles queued later take it.
    void setTarget(const GameMessagePositionProtocol* target);
    GameMessage* queue() const { return queue_; }
    GameMessage* queueEnd() const { return queueEnd_; }
    size_t count() const { return messages_.size(); }

protected:
    // Lets the bubbles go, so that none names a queue that is gone.
    ~GameMessages() override;

private:
    // A node followed by its position.
    class NodePosition final : public GameMessagePositionProtocol {
    public:
        explicit NodePosition(CCNode* node = nullptr) : node_(node) {}
        CGPoint position() const override;

    private:
        CCNode* node_;  // not retained
    };

    // Takes the bubble out of the chain, keeping it in the queue.
    void unlink(GameMessage* message);
    void forget(GameMessage* message);

    NodePosition followedNode_;         // the target when it is a node
    const GameMessagePositionProtocol* target_ = nullptr;  // not retained
    std::vector<RefPtr<GameMessage>> messages_;  // room for kCapacity, reserved once
    GameMessage* queue_ = nullptr;      // first
    GameMessage* queueEnd_ = nullptr;   // last
};
