#include "engine/actions/interval/CCActionTween.h"

#include "engine/core/CCNode.h"
#include "platform/foundation/Log.h"

RefPtr<CCActionTween> CCActionTween::actionWithDuration(float duration, const std::string& key, float from,
                                                        float to) {
    RefPtr<CCActionTween> action(makeRef<CCActionTween>());
    action->initWithDuration(duration, key, from, to);
    return action;
}

bool CCActionTween::initWithDuration(float duration, const std::string& key, float from, float to) {
    CCActionInterval::initWithDuration(duration);
    key_ = key;
    from_ = from;
    to_ = to;
    return true;
}

RefPtr<CCAction> CCActionTween::copy() const {
    RefPtr<CCActionTween> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, key_, from_, to_);
    return copy;
}

void CCActionTween::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    delta_ = to_ - from_;
    node_ = dynamic_cast<CCNode*>(target);
    if (!node_ && target) logLine("Lumora: a tween of \"%s\" needs a node to change", key_.c_str());
}

void CCActionTween::update(float t) {
    // A refused key is logged once, then left alone.
    if (node_ && !node_->setValueForKey(key_, to_ - delta_ * (1 - t))) node_ = nullptr;
}

RefPtr<CCFiniteTimeAction> CCActionTween::reverse() const {
    RefPtr<CCActionTween> reversed(makeEmptyCopy());
    reversed->initWithDuration(duration_, key_, to_, from_);
    return reversed;
}
