#include "audio/OALSuspendHandler.h"

#include <algorithm>

OALSuspendHandler::OALSuspendHandler(std::function<void(bool)> statusChange) : statusChange_(std::move(statusChange)) {
    children_.reserve(10);
}

void OALSuspendHandler::addSuspendListener(OALSuspendListener* listener) {
    std::lock_guard lock(mutex_);
    children_.push_back({listener, manualSuspendLock_ && listener->manuallySuspended()});
}

void OALSuspendHandler::removeSuspendListener(OALSuspendListener* listener) {
    std::lock_guard lock(mutex_);
    const auto child = std::find_if(children_.begin(), children_.end(), [&](const Child& c) { return c.listener == listener; });
    if (child != children_.end()) children_.erase(child);
}

bool OALSuspendHandler::manuallySuspended() const {
    std::lock_guard lock(mutex_);
    return manualSuspendLock_;
}

void OALSuspendHandler::setManuallySuspended(bool manuallySuspended) {
    std::lock_guard lock(mutex_);
    // A second suspension must not take the children it suspended itself for ones suspended by hand.
    if (manuallySuspended && !manualSuspendLock_) {
        for (Child& child : children_) {
            const bool childSuspended = child.listener->manuallySuspended();
            child.wasManuallySuspended = childSuspended;
            if (!childSuspended) child.listener->setManuallySuspended(true);
        }
    }
    if (manuallySuspended != manualSuspendLock_) {
        manualSuspendLock_ = manuallySuspended;
        if (!interruptLock_ && statusChange_) statusChange_(manuallySuspended);
    }
    if (!manuallySuspended) {
        for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
            if (!child->wasManuallySuspended && child->listener->manuallySuspended()) child->listener->setManuallySuspended(false);
        }
    }
}

bool OALSuspendHandler::interrupted() const {
    std::lock_guard lock(mutex_);
    return interruptLock_;
}

void OALSuspendHandler::setInterrupted(bool interrupted) {
    std::lock_guard lock(mutex_);
    if (interrupted) {
        for (const Child& child : children_) {
            if (!child.listener->interrupted()) child.listener->setInterrupted(true);
        }
    }
    if (interrupted != interruptLock_) {
        interruptLock_ = interrupted;
        if (!manualSuspendLock_ && statusChange_) statusChange_(interrupted);
    }
    if (!interrupted) {
        for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
            if (child->listener->interrupted()) child->listener->setInterrupted(false);
        }
    }
}

bool OALSuspendHandler::suspended() const {
    return manualSuspendLock_ || interruptLock_;
}

std::function<void(bool)> OALSuspendHandler::suspendStatusChangeTarget() const {
    std::lock_guard lock(mutex_);
    return statusChange_;
}

void OALSuspendHandler::setSuspendStatusChangeTarget(std::function<void(bool)> statusChange) {
    std::lock_guard lock(mutex_);
    statusChange_ = std::move(statusChange);
}
