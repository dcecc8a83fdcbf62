#include "engine/render/CCParallaxNode.h"

#include "engine/render/CGPointObject.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCParallaxNode> CCParallaxNode::node() { return makeRef<CCParallaxNode>(); }

CCParallaxNode::CCParallaxNode() : parallaxArray_(ccArrayCreate(5)) {}

CCParallaxNode::~CCParallaxNode() { ccArrayDestroy(parallaxArray_); }

void CCParallaxNode::addChild(CCNode* child, int64_t z, CGPoint ratio, CGPoint offset) {
    CC_REQUIRE(child, "NSInvalidArgumentException", "addChild: a null child");
    RefPtr<CGPointObject> entry = CGPointObject::pointWithCGPoint(ratio, offset);
    entry->setChild(child);
    ccArrayAppend(parallaxArray_, entry.get());
    const CGPoint p = position();
    child->setPosition({p.x * ratio.x + offset.x, p.y * ratio.y + offset.y});
    CCNode::addChild(child, z, child->tag());
}

void CCParallaxNode::addChild(CCNode*, int64_t, int64_t) {}

void CCParallaxNode::removeChild(CCNode* child, bool cleanup) {
    for (uint64_t i = 0; i < parallaxArray_->num; ++i) {
        if (static_cast<CGPointObject*>(parallaxArray_->arr[i])->child() == child) {
            ccArrayRemoveAt(parallaxArray_, i);
            break;
        }
    }
    CCNode::removeChild(child, cleanup);
}

void CCParallaxNode::removeAllChildrenWithCleanup(bool cleanup) {
    ccArrayRemoveAll(parallaxArray_);
    CCNode::removeAllChildrenWithCleanup(cleanup);
}

CGPoint CCParallaxNode::absolutePosition_() const {
    CGPoint sum = position();
    for (const CCNode* ancestor = parent(); ancestor; ancestor = ancestor->parent()) {
        sum.x += ancestor->position().x;
        sum.y += ancestor->position().y;
    }
    return sum;
}

void CCParallaxNode::visit() {
    const CGPoint p = absolutePosition_();
    if (p.x != lastPosition_.x || p.y != lastPosition_.y) {
        for (uint64_t i = 0; i < parallaxArray_->num; ++i) {
            const auto* entry = static_cast<const CGPointObject*>(parallaxArray_->arr[i]);
            const CGPoint ratio = entry->ratio(), offset = entry->offset();
            entry->child()->setPosition({static_cast<float>(p.x * ratio.x - p.x + offset.x),
                                         static_cast<float>(p.y * ratio.y - p.y + offset.y)});
        }
        lastPosition_ = p;
    }
    CCNode::visit();
}
