#include "engine/actions/CCFiniteTimeAction.h"

RefPtr<CCFiniteTimeAction> CCFiniteTimeAction::reverse() const {
    return nullptr;
}
