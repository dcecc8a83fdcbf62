#include "game/objects/RopeJointWatch.h"

#include <algorithm>
#include <memory>

#include "game/core/DestructionListenerChain.h"
#include "game/objects/VRope.h"

namespace game {

namespace {
std::vector<std::unique_ptr<RopeJointWatch>>& watches() {
    static std::vector<std::unique_ptr<RopeJointWatch>> all;
    return all;
}

template <typename Test>
RopeJointWatch* findWatch(Test test) {
    for (const auto& watch : watches()) {
        if (test(watch.get())) return watch.get();
    }
    return nullptr;
}
}  // namespace

void RopeJointWatch::watch(b2Joint* joint, VRope* rope) {
    if (!joint || !rope) return;
    b2World* world = joint->GetBodyA()->GetWorld();
    RopeJointWatch* watch = findWatch([world](RopeJointWatch* w) { return w->world_ == world; });
    if (!watch) {
        watches().push_back(std::unique_ptr<RopeJointWatch>(new RopeJointWatch(world)));
        watch = watches().back().get();
    }
    DestructionListenerChain::add(world, watch);
    watch->ropes_.emplace_back(joint, rope);
}

void RopeJointWatch::forget(b2Joint* joint) {
    RopeJointWatch* watch = findWatch([joint](RopeJointWatch* w) {
        return std::any_of(w->ropes_.begin(), w->ropes_.end(), [joint](const auto& e) { return e.first == joint; });
    });
    if (!watch) return;
    std::erase_if(watch->ropes_, [joint](const auto& entry) { return entry.first == joint; });
    watch->dropIfIdle();
}

size_t RopeJointWatch::watchedCount(const b2World* world) {
    const RopeJointWatch* watch = findWatch([world](RopeJointWatch* w) { return w->world_ == world; });
    return watch ? watch->ropes_.size() : 0;
}

void RopeJointWatch::SayGoodbye(b2Joint* joint) {
    const auto found =
        std::find_if(ropes_.begin(), ropes_.end(), [joint](const auto& entry) { return entry.first == joint; });
    if (found == ropes_.end()) return;
    VRope* rope = found->second;
    ropes_.erase(found);  // first: the rope no longer forgets it
    rope->jointDestroyed();
    dropIfIdle();  // may delete this watch: nothing after
}

void RopeJointWatch::dropIfIdle() {
    if (!ropes_.empty()) return;
    DestructionListenerChain::remove(world_, this);
    std::erase_if(watches(), [this](const auto& watch) { return watch.get() == this; });
}

}  // namespace game
