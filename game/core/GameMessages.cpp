#include "game/core/GameMessages.h"

#include <algorithm>

#include "engine/core/CCNode.h"
#include "game/core/GameMessage.h"
#include "game/core/GameMessageDelegate.h"

CGPoint GameMessages::NodePosition::position() const { return node_ ? node_->position() : CGPointZero; }

bool GameMessages::initWithTargetObject(CCNode* target) {
    followedNode_ = NodePosition(target);
    return initWithTargetObject(target ? &followedNode_ : nullptr);
}

bool GameMessages::initWithTargetObject(const GameMessagePositionProtocol* target) {
    setTarget(target);
    return true;
}

void GameMessages::setTarget(const GameMessagePositionProtocol* target) {
    target_ = target;
    if (queue_) queue_->setTarget(target);
}

GameMessages::~GameMessages() { clearQueue(); }

void GameMessages::addMessageToFrontOfQueue(GameMessage* message, float seconds) {
    if (!message) return;
    message->showForTime(seconds);
    addMessageToQueue(message, true);
}

void GameMessages::addMessageToFrontOfQueue(GameMessage* message, float seconds, int value) {
    if (!message) return;
    message->showForTime(seconds, value);
    addMessageToQueue(message, true);
}

void GameMessages::addMessageToFrontOfQueue(GameMessage* message, float seconds, std::string_view valueText) {
    if (!message) return;
    message->showForTime(seconds, valueText);
    addMessageToQueue(message, true);
}

void GameMessages::addMessageToEndOfQueue(GameMessage* message, float seconds) {
    if (!message) return;
    message->showForTime(seconds);
    addMessageToQueue(message, false);
}

void GameMessages::addMessageToEndOfQueue(GameMessage* message, float seconds, int value) {
    if (!message) return;
    message->showForTime(seconds, value);
    addMessageToQueue(message, false);
}

void GameMessages::addMessageToEndOfQueue(GameMessage* message, float seconds, std::string_view valueText) {
    if (!message) return;
    message->showForTime(seconds, valueText);
    addMessageToQueue(message, false);
}

void GameMessages::addMessageToQueue(GameMessage* message, bool atFront) {
    if (!message) return;
    if (message->owner() == this) {
        if (message != queue_) moveMessageToFrontOfQueue(message);
        return;
    }
    if (messages_.size() >= kCapacity) removeMessage(queueEnd_);
    messages_.emplace_back(message);
    if (GameMessages* previous = message->owner()) previous->removeMessage(message);
    message->setOwner(this);
    message->setVisible(true);
    message->setTarget(target_);
    if (!message->parent()) {
        GameMessageDelegate* game = GameMessage::gameDelegate();
        if (CCNode* holder = game ? game->messagesHolder() : nullptr) holder->addChild(message);
    }
    if (!queue_) {
        queue_ = queueEnd_ = message;
    } else if (atFront) {
        message->setChildMessage(queue_);
        queue_->setParentMessage(message);
        queue_ = message;
    } else {
        queueEnd_->setChildMessage(message);
        message->setParentMessage(queueEnd_);
        queueEnd_ = message;
    }
}

void GameMessages::unlink(GameMessage* message) {
    GameMessage* parent = message->parentMessage();
    GameMessage* child = message->childMessage();
    if (message == queueEnd_) queueEnd_ = parent;
    if (message == queue_) {
        queue_ = child;
    } else if (parent) {
        parent->setChildMessage(child);
    }
    if (child) {
        child->setParentMessage(parent);
        message->setChildMessage(nullptr);
    }
    message->setParentMessage(nullptr);
}

void GameMessages::forget(GameMessage* message) {
    auto found = std::find_if(messages_.begin(), messages_.end(),
                              [message](const RefPtr<GameMessage>& held) { return held.get() == message; });
    if (found != messages_.end()) messages_.erase(found);
}

void GameMessages::removeMessage(GameMessage* message) {
    if (!message || message->owner() != this) return;
    const RefPtr<GameMessage> keep(message);
    unlink(message);
    message->setOwner(nullptr);
    message->setVisible(false);
    message->removeFromParentAndCleanup(false);
    forget(message);
}

void GameMessages::moveMessageToFrontOfQueue(GameMessage* message) {
    if (!message || message == queue_) return;
    if (message->owner() != this) {
        addMessageToFrontOfQueue(message);
        return;
    }
    unlink(message);
    // Not first, so the queue still has a first bubble.
    message->setChildMessage(queue_);
    queue_->setParentMessage(message);
    queue_ = message;
}

void GameMessages::clearQueue() {
    for (GameMessage* message = queue_; message;) {
        const RefPtr<GameMessage> keep(message);
        GameMessage* next = message->childMessage();
        message->setChildMessage(nullptr);
        message->setParentMessage(nullptr);
        message->setOwner(nullptr);
        message->removeFromParentAndCleanup(false);
        forget(message);
        message = next;
    }
    queue_ = queueEnd_ = nullptr;
}

void GameMessages::update(float dt, float rotation) {
    for (GameMessage* message = queue_; message;) {
        GameMessage* next = message->childMessage();
        message->update(dt, rotation);
        if (!message->visible()) removeMessage(message);
        message = next;
    }
}
