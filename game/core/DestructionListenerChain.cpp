#include "game/core/DestructionListenerChain.h"

#include <algorithm>

DestructionListenerChain::Chains& DestructionListenerChain::chains() {
    static Chains all;
    return all;
}

DestructionListenerChain* DestructionListenerChain::chainOf(const b2World* world) {
    for (auto& [owner, chain] : chains()) {
        if (owner == world) return chain.get();
    }
    return nullptr;
}

void DestructionListenerChain::add(b2World* world, b2DestructionListener* listener) {
    if (!world || !listener) return;
    DestructionListenerChain* chain = chainOf(world);
    if (!chain) {
        chains().emplace_back(world, std::make_unique<DestructionListenerChain>());
        chain = chains().back().second.get();
        chain->world_ = world;
        world->SetDestructionListener(chain);
    }
    if (std::find(chain->listeners_.begin(), chain->listeners_.end(), listener) == chain->listeners_.end()) {
        chain->listeners_.push_back(listener);
    }
}

void DestructionListenerChain::remove(b2World* world, b2DestructionListener* listener) {
    DestructionListenerChain* chain = chainOf(world);
    if (!chain) return;
    // Emptied in place, so that a walk under way skips it; the slot goes after the walk.
    std::replace(chain->listeners_.begin(), chain->listeners_.end(), listener,
                 static_cast<b2DestructionListener*>(nullptr));
    if (chain->walking_ > 0 || listenerCount(world) > 0) return;
    world->SetDestructionListener(nullptr);
    forgetWorld(world);
}

void DestructionListenerChain::forgetWorld(const b2World* world) {
    std::erase_if(chains(), [world](const auto& entry) { return entry.first == world; });
}

size_t DestructionListenerChain::listenerCount(const b2World* world) {
    const DestructionListenerChain* chain = chainOf(world);
    if (!chain) return 0;
    return static_cast<size_t>(std::count_if(chain->listeners_.begin(), chain->listeners_.end(),
                                             [](auto* l) { return l != nullptr; }));
}

template <typename T>
void DestructionListenerChain::tell(T* destroyed) {
    ++walking_;
    // By index: a listener told may add or remove listeners.
    for (size_t i = 0; i < listeners_.size(); ++i) {
        if (listeners_[i]) listeners_[i]->SayGoodbye(destroyed);
    }
    if (--walking_ > 0) return;
    std::erase(listeners_, nullptr);
    if (!listeners_.empty()) return;
    world_->SetDestructionListener(nullptr);
    forgetWorld(world_);  // deletes this chain: nothing after
}

void DestructionListenerChain::SayGoodbye(b2Joint* joint) { tell(joint); }

void DestructionListenerChain::SayGoodbye(b2Fixture* fixture) { tell(fixture); }
