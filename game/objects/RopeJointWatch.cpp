#include "game/objects/RopeJointWatch.h"

#include <algorithm>
#include <memory>

#include "game/core/PhysicsSystem.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/VRope.h"

namespace game {

namespace {
std::unique_ptr<RopeJointWatch>& installed() {
    static std::unique_ptr<RopeJointWatch> watch;
    return watch;
}
}  // namespace

RopeJointWatch::RopeJointWatch(PhysicsSystem* system, PhysicsSystemDestructionListener* next)
    : system_(system), next_(next) {}

RopeJointWatch* RopeJointWatch::current() { return installed().get(); }

void RopeJointWatch::watch(b2Joint* joint, VRope* rope) {
    PhysicsSystem* system = VantrelGameLayer::currentPhysicsSystem();
    if (!joint || !rope || !system || joint->GetBodyA()->GetWorld() != system->getWorld()) return;
    std::unique_ptr<RopeJointWatch>& watch = installed();
    if (watch && watch->system_ != system) watch.reset();  // left behind by a scene that has gone
    if (!watch) {
        watch.reset(new RopeJointWatch(system, system->getDestructionListener()));
        system->setDestructionListener(watch.get());
    }
    watch->ropes_.emplace_back(joint, rope);
}

void RopeJointWatch::forget(b2Joint* joint) {
    std::unique_ptr<RopeJointWatch>& watch = installed();
    if (!watch) return;
    std::erase_if(watch->ropes_, [joint](const auto& entry) { return entry.first == joint; });
    if (!watch->ropes_.empty()) return;
    if (VantrelGameLayer::currentPhysicsSystem() == watch->system_ &&
        watch->system_->getDestructionListener() == watch.get()) {
        watch->system_->setDestructionListener(watch->next_);
    }
    watch.reset();
}

void RopeJointWatch::SayGoodbye(b2Joint* joint) {
    // The rope may forget the joint while it is told, so the entry is taken out first.
    auto found = std::find_if(ropes_.begin(), ropes_.end(), [joint](const auto& entry) { return entry.first == joint; });
    if (found != ropes_.end()) {
        VRope* rope = found->second;
        ropes_.erase(found);
        rope->jointDestroyed();
    }
    if (next_) next_->SayGoodbye(joint);
}

void RopeJointWatch::SayGoodbye(b2Fixture* fixture) {
    if (next_) next_->SayGoodbye(fixture);
}

void RopeJointWatch::preStep() {
    if (next_) next_->preStep();
}

void RopeJointWatch::postStep() {
    if (next_) next_->postStep();
}

}  // namespace game
