#include "engine/actions/composite/CCSpawn.h"

#include <algorithm>

#include "engine/actions/CCActionInstant.h"
#include "engine/actions/composite/CCDelayTime.h"
#include "engine/actions/composite/CCSequence.h"
#include "platform/foundation/NamedException.h"

namespace {

// `action` followed by a wait of `seconds`.
RefPtr<CCFiniteTimeAction> padded(RefPtr<CCFiniteTimeAction> action, float seconds) {
    return CCSequence::actionOne(std::move(action), CCDelayTime::actionWithDuration(seconds));
}

bool isInstant(const CCFiniteTimeAction& action) {
    return dynamic_cast<const CCActionInstant*>(&action) != nullptr;
}

}  // namespace

bool CCSpawn::initOne(RefPtr<CCFiniteTimeAction> one, RefPtr<CCFiniteTimeAction> two) {
    CC_REQUIRE(one && two, "NSInvalidArgumentException", "a spawn needs two actions");
    const float d1 = one->duration();
    const float d2 = two->duration();
    initWithDuration(std::max(d1, d2));
    // An instant part is applied by every update it gets. Next to a longer part the sequence made
    // by padding gives it exactly one; two instant parts would each get the spawn's two updates.
    const bool bothInstant = isInstant(*one) && isInstant(*two);
    parts_[0] = d2 > d1 || bothInstant ? padded(std::move(one), d2 - d1) : std::move(one);
    parts_[1] = d1 > d2 || bothInstant ? padded(std::move(two), d1 - d2) : std::move(two);
    return true;
}

RefPtr<CCFiniteTimeAction> CCSpawn::reverse() const {
    return makeLike(parts_[0]->reverse(), parts_[1]->reverse());
}

void CCSpawn::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    parts_[0]->startWithTarget(target);
    parts_[1]->startWithTarget(target);
}

void CCSpawn::stop() {
    parts_[0]->stop();
    parts_[1]->stop();
    CCActionInterval::stop();
}

void CCSpawn::update(float t) {
    parts_[0]->update(t);
    parts_[1]->update(t);
}
