#include "engine/render/CGPointObject.h"

RefPtr<CGPointObject> CGPointObject::pointWithCGPoint(CGPoint ratio, CGPoint offset) {
    RefPtr<CGPointObject> entry = makeRef<CGPointObject>();
    entry->initWithCGPoint(ratio, offset);
    return entry;
}

bool CGPointObject::initWithCGPoint(CGPoint ratio, CGPoint offset) {
    ratio_ = ratio;
    offset_ = offset;
    child_ = nullptr;
    return true;
}
