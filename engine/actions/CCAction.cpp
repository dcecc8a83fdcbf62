#include "engine/actions/CCAction.h"

#include "platform/foundation/StringUtils.h"

RefPtr<CCAction> CCAction::action() {
    RefPtr<CCAction> action = makeRef<CCAction>();
    action->init();
    return action;
}

bool CCAction::init() {
    originalTarget_ = nullptr;
    target_ = nullptr;
    tag_ = kCCActionTagInvalid;
    return true;
}

std::string CCAction::description() const {
    return stringWithFormat("<%s = %p | Tag = %lld>", className(*this).c_str(), static_cast<const void*>(this),
                            static_cast<long long>(tag_));
}

RefPtr<CCAction> CCAction::copy() const {
    RefPtr<CCAction> copy(makeEmptyCopy());
    copy->init();
    copy->tag_ = tag_;
    return copy;
}

void CCAction::startWithTarget(Object* target) {
    originalTarget_ = target;
    target_ = target;
}

void CCAction::stop() {
    target_ = nullptr;
}

bool CCAction::isDone() const {
    return true;
}

void CCAction::step(float) {}

void CCAction::update(float) {}
