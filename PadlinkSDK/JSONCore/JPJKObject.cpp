#include "PadlinkSDK/JSONCore/JPJKObject.h"

RefPtr<JPJKObject> JPJKObject::copy() const { return RefPtr<JPJKObject>(const_cast<JPJKObject*>(this)); }

bool JPJKObject::isEqual(const Object* a, const Object* b) {
    if (a == b) return true;
    const auto* first = dynamic_cast<const JPJKObject*>(a);
    const auto* second = dynamic_cast<const JPJKObject*>(b);
    return first && second && first->kind() == second->kind() && first->isEqualTo(*second);
}
