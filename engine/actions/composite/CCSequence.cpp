#include "engine/actions/composite/CCSequence.h"

#include <algorithm>
#include <cfloat>

#include "platform/foundation/NamedException.h"

bool CCSequence::initOne(RefPtr<CCFiniteTimeAction> one, RefPtr<CCFiniteTimeAction> two) {
    CC_REQUIRE(one && two, "NSInvalidArgumentException", "a sequence needs two actions");
    initWithDuration(one->duration() + two->duration());
    parts_[0] = std::move(one);
    parts_[1] = std::move(two);
    return true;
}

RefPtr<CCFiniteTimeAction> CCSequence::reverse() const {
    return makeLike(parts_[1]->reverse(), parts_[0]->reverse());
}

void CCSequence::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    split_ = parts_[0]->duration() / std::max(duration_, FLT_EPSILON);
    last_ = -1;
}

void CCSequence::stop() {
    if (last_ != -1) parts_[last_]->stop();
    CCActionInterval::stop();
}

void CCSequence::update(float t) {
    // Progress outside 0..1 (from an ease that overshoots) still picks a part and a finite local
    // progress: each division below is guarded against its zero case.
    int32_t found = 0;
    float local = 1;
    if (t < split_) {
        if (split_ != 0) local = t / split_;
    } else {
        found = 1;
        if (split_ != 1) local = (t - split_) / (1 - split_);
    }
    CCFiniteTimeAction* first = parts_[0].get();
    if (found == 1 && last_ != 1) {
        if (last_ == -1) first->startWithTarget(target_);  // one step jumped over the whole first part
        first->update(1);
        first->stop();
    }
    CCFiniteTimeAction* part = parts_[found].get();
    if (found == last_ && part->isDone()) return;
    if (found != last_) part->startWithTarget(target_);
    part->update(local);
    last_ = found;
}
