#include "engine/actions/interval/CCFollow.h"

#include "engine/core/CCDirector.h"
#include "engine/core/CCNode.h"
#include "engine/core/support/ccPointMath.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCFollow> CCFollow::actionWithTarget(RefPtr<CCNode> followedNode) {
    RefPtr<CCFollow> action = makeRef<CCFollow>();
    action->initWithTarget(std::move(followedNode));
    return action;
}

RefPtr<CCFollow> CCFollow::actionWithTarget(RefPtr<CCNode> followedNode, CGRect worldBoundary) {
    RefPtr<CCFollow> action = makeRef<CCFollow>();
    action->initWithTarget(std::move(followedNode), worldBoundary);
    return action;
}

bool CCFollow::initWithTarget(RefPtr<CCNode> followedNode) {
    CC_REQUIRE(followedNode, "NSInvalidArgumentException", "a follow action needs a node to follow");
    CCAction::init();
    followedNode_ = std::move(followedNode);
    const CGSize window = CCDirector::sharedDirector()->winSize();
    limits_ = Limits{};
    limits_.halfScreenSize = {window.width * 0.5, window.height * 0.5};
    return true;
}

bool CCFollow::initWithTarget(RefPtr<CCNode> followedNode, CGRect worldBoundary) {
    initWithTarget(std::move(followedNode));
    const CGSize window = CCDirector::sharedDirector()->winSize();
    const CGPoint origin = worldBoundary.origin;
    const CGSize size = worldBoundary.size;
    limits_.boundarySet = true;
    limits_.leftBoundary = static_cast<float>(-((origin.x + size.width) - window.width));
    limits_.rightBoundary = static_cast<float>(-origin.x);
    limits_.topBoundary = static_cast<float>(-origin.y);
    limits_.bottomBoundary = static_cast<float>(-((origin.y + size.height) - window.height));
    // A world narrower (or lower) than the window stays centred on that axis.
    if (limits_.rightBoundary < limits_.leftBoundary) {
        limits_.rightBoundary = limits_.leftBoundary = (limits_.leftBoundary + limits_.rightBoundary) / 2;
    }
    if (limits_.topBoundary < limits_.bottomBoundary) {
        limits_.topBoundary = limits_.bottomBoundary = (limits_.topBoundary + limits_.bottomBoundary) / 2;
    }
    limits_.boundaryFullyCovered =
        limits_.topBoundary == limits_.bottomBoundary && limits_.leftBoundary == limits_.rightBoundary;
    return true;
}

RefPtr<CCAction> CCFollow::copy() const {
    RefPtr<CCAction> copy = CCAction::copy();
    auto* follow = static_cast<CCFollow*>(copy.get());
    follow->followedNode_ = followedNode_;
    follow->limits_ = limits_;
    return copy;
}

void CCFollow::startWithTarget(Object* target) {
    CCAction::startWithTarget(target);
    node_ = dynamic_cast<CCNode*>(target);
}

void CCFollow::step(float) {
    if (!node_ || !followedNode_ || (limits_.boundarySet && limits_.boundaryFullyCovered)) return;
    const CGPoint followed = followedNode_->position();
    const CGPoint centred{limits_.halfScreenSize.x - followed.x, limits_.halfScreenSize.y - followed.y};
    if (!limits_.boundarySet) {
        node_->setPosition(centred);
        return;
    }
    node_->setPosition({ccClampFloat(static_cast<float>(centred.x), limits_.leftBoundary, limits_.rightBoundary),
                        ccClampFloat(static_cast<float>(centred.y), limits_.bottomBoundary, limits_.topBoundary)});
}

bool CCFollow::isDone() const { return !followedNode_ || !followedNode_->isRunning(); }
