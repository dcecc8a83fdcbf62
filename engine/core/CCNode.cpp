#include "engine/core/CCNode.h"

#include <cmath>

#include "engine/actions/CCActionManager.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

namespace {

// Arrival numbers handed to children as they are added or reordered; starts at 1 so that 0 can
// mean "already drawn".
uint64_t ccNodeArrivalCounter = 1;

// A node lives in one place of the tree: added again, it would sit in two children arrays with
// one parent.
void requireAddable(const CCNode* child) {
    CC_REQUIRE(child, "NSInvalidArgumentException", "CCNode: the child must not be null");
    CC_REQUIRE(!child->parent(), "NSInternalInconsistencyException", "CCNode: the child already has a parent");
}

// Degrees to radians as the transform computes it, in single precision.
constexpr float kDegreesToRadians = 0.017453292f;

}  // namespace

RefPtr<CCNode> CCNode::node() { return makeRef<CCNode>(); }

CCNode::CCNode() {
    CCDirector* director = CCDirector::sharedDirector();
    scheduler_ = RefPtr(director->scheduler());
    actionManager_ = RefPtr(director->actionManager());
}

CCNode::~CCNode() {
    if (children_) {
        for (Object* child : *children_) static_cast<CCNode*>(child)->parent_ = nullptr;
    }
}

std::string CCNode::description() const {
    return stringWithFormat("<%s = %p | Tag = %ld>", className(*this).c_str(), static_cast<const void*>(this),
                            static_cast<long>(tag_));
}

// MARK: properties

void CCNode::setRotation(float degrees) {
    rotationX_ = rotationY_ = degrees;
    markTransformsDirty();
}

void CCNode::setRotationX(float degrees) {
    rotationX_ = degrees;
    markTransformsDirty();
}

void CCNode::setRotationY(float degrees) {
    rotationY_ = degrees;
    markTransformsDirty();
}

void CCNode::setScale(float scale) {
    scaleX_ = scaleY_ = scale;
    markTransformsDirty();
}

void CCNode::setScaleX(float scale) {
    scaleX_ = scale;
    markTransformsDirty();
}

void CCNode::setScaleY(float scale) {
    scaleY_ = scale;
    markTransformsDirty();
}

void CCNode::setSkewX(float degrees) {
    skewX_ = degrees;
    markTransformsDirty();
}

void CCNode::setSkewY(float degrees) {
    skewY_ = degrees;
    markTransformsDirty();
}

void CCNode::setPosition(CGPoint position) {
    position_ = position;
    markTransformsDirty();
}

void CCNode::setVertexZ(float vertexZ) { vertexZ_ = vertexZ; }

void CCNode::setAnchorPoint(CGPoint anchorPoint) {
    if (anchorPoint == anchorPoint_) return;
    anchorPoint_ = anchorPoint;
    anchorPointInPoints_ = {contentSize_.width * anchorPoint_.x, contentSize_.height * anchorPoint_.y};
    markTransformsDirty();
}

void CCNode::setContentSize(CGSize contentSize) {
    if (contentSize == contentSize_) return;
    contentSize_ = contentSize;
    anchorPointInPoints_ = {contentSize_.width * anchorPoint_.x, contentSize_.height * anchorPoint_.y};
    markTransformsDirty();
}

void CCNode::setIgnoreAnchorPointForPosition(bool ignore) {
    if (ignore == ignoreAnchorPointForPosition_) return;
    ignoreAnchorPointForPosition_ = ignore;
    markTransformsDirty();
}

void CCNode::setZOrder(int64_t z) {
    _setZOrder(z);
    if (parent_) parent_->reorderChild(this, z);
}

void CCNode::setVisible(bool visible) { visible_ = visible; }

void CCNode::setParent(CCNode* parent) { parent_ = parent; }

void CCNode::setGrid(RefPtr<CCNodeGrid> grid) { grid_ = std::move(grid); }

void CCNode::setUserObject(RefPtr<Object> userObject) { userObject_ = std::move(userObject); }

void CCNode::setShaderProgram(RefPtr<CCGLProgram> program) { shaderProgram_ = std::move(program); }

CCCamera* CCNode::camera() {
    if (!camera_) camera_ = makeRef<CCCamera>();
    return camera_.get();
}

// MARK: children

void CCNode::childrenAlloc() { children_ = CCArray::arrayWithCapacity(4); }

void CCNode::addChild(CCNode* child, int64_t z, int64_t tag) {
    requireAddable(child);
    if (!children_) childrenAlloc();
    insertChild(child, z);
    child->setTag(tag);
    child->setParent(this);
    child->setOrderOfArrival(ccNodeArrivalCounter++);
    if (isRunning_) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
}

void CCNode::addChild(CCNode* child, int64_t z) {
    requireAddable(child);
    addChild(child, z, child->tag_);
}

void CCNode::addChild(CCNode* child) {
    requireAddable(child);
    addChild(child, child->zOrder_, child->tag_);
}

void CCNode::insertChild(CCNode* child, int64_t z) {
    isReorderChildDirty_ = true;
    children_->addObject(child);
    child->_setZOrder(z);
}

CCNode* CCNode::getChildByTag(int64_t tag) const {
    if (!children_) return nullptr;
    for (Object* object : *children_) {
        CCNode* child = static_cast<CCNode*>(object);
        if (child->tag_ == tag) return child;
    }
    return nullptr;
}

void CCNode::removeChild(CCNode* child, bool cleanup) {
    if (!child || !children_ || !children_->containsObject(child)) return;
    detachChild(child, cleanup);
}

void CCNode::removeChildByTag(int64_t tag, bool cleanup) {
    if (CCNode* child = getChildByTag(tag)) removeChild(child, cleanup);
}

void CCNode::removeFromParentAndCleanup(bool cleanup) {
    if (parent_) parent_->removeChild(this, cleanup);
}

void CCNode::detachChild(CCNode* child, bool cleanup) {
    // The exit calls may drop other references to the child (a layer leaving the dispatcher).
    const RefPtr<CCNode> keep(child);
    if (isRunning_) {
        child->onExitTransitionDidStart();
        child->onExit();
    }
    if (cleanup) child->cleanup();
    child->setParent(nullptr);
    children_->removeObject(child);
}

void CCNode::removeAllChildrenWithCleanup(bool cleanup) {
    if (!children_) return;
    forEachChild([&](CCNode* child) {
        if (isRunning_) {
            child->onExitTransitionDidStart();
            child->onExit();
        }
        if (cleanup) child->cleanup();
        child->setParent(nullptr);
    });
    children_->removeAllObjects();
}

void CCNode::reorderChild(CCNode* child, int64_t z) {
    isReorderChildDirty_ = true;
    child->setOrderOfArrival(ccNodeArrivalCounter++);
    child->_setZOrder(z);
}

void CCNode::sortAllChildren() {
    if (!isReorderChildDirty_) return;
    // Insertion sort: the arrays are nearly sorted, and equal keys keep their order.
    if (children_) {
        ccArrayInsertionSortBy(children_->data(), [](const Object* earlier, const Object* later) {
            const auto* a = static_cast<const CCNode*>(earlier);
            const auto* b = static_cast<const CCNode*>(later);
            return a->zOrder_ > b->zOrder_ || (a->zOrder_ == b->zOrder_ && a->orderOfArrival_ > b->orderOfArrival_);
        });
    }
    isReorderChildDirty_ = false;
}

template <typename F>
void CCNode::forEachChild(F f) {
    if (!children_) return;
    // A call may add or remove children (a child leaving its parent as it enters, say): by index,
    // re-reading the count, going on after the child's current slot, or at its old slot when it
    // left, which its successor now holds. Children added meanwhile are walked too.
    uint64_t next = 0;
    while (next < children_->count()) {
        const RefPtr<CCNode> child(static_cast<CCNode*>(children_->objectAtIndex(next)));
        f(child.get());
        if (next < children_->count() && children_->objectAtIndex(next) == child.get()) {
            ++next;
        } else if (const uint64_t index = children_->indexOfObject(child.get()); index != ccArrayNotFound) {
            next = index + 1;
        }
    }
}

// MARK: lifecycle

void CCNode::onEnter() {
    forEachChild([](CCNode* child) { child->onEnter(); });
    resumeSchedulerAndActions();
    isRunning_ = true;
}

void CCNode::onEnterTransitionDidFinish() {
    forEachChild([](CCNode* child) { child->onEnterTransitionDidFinish(); });
}

void CCNode::onExitTransitionDidStart() {
    forEachChild([](CCNode* child) { child->onExitTransitionDidStart(); });
}

void CCNode::onExit() {
    pauseSchedulerAndActions();
    isRunning_ = false;
    forEachChild([](CCNode* child) { child->onExit(); });
}

void CCNode::cleanup() {
    stopAllActions();
    unscheduleAllSelectors();
    forEachChild([](CCNode* child) { child->cleanup(); });
}

// MARK: drawing

void CCNode::visit() {
    if (!visible_) return;
    kmGLPush();
    if (grid_) [[unlikely]] {
        if (grid_->active()) grid_->beforeDraw();
    }
    transform();
    const ccArray* array = children_ ? children_->data() : nullptr;
    if (array && array->num > 0) {
        drawWithChildren(array);
    } else {
        draw();
    }
    orderOfArrival_ = 0;
    if (grid_) [[unlikely]] {
        if (grid_->active()) grid_->afterDraw(this);
    }
    kmGLPop();
}

void CCNode::drawWithChildren(const ccArray* array) {
    // The overrides sort only when the flag is set too, so the call is spared when it is clear.
    if (isReorderChildDirty_) sortAllChildren();
    // The children's first lines are fetched together rather than one subtree at a time.
    for (uint64_t i = 0; i < array->num; ++i) __builtin_prefetch(array->arr[i]);
    uint64_t i = 0;
    for (; i < array->num; ++i) {
        CCNode* child = static_cast<CCNode*>(array->arr[i]);
        if (child->zOrder_ >= 0) break;
        child->visit();
    }
    draw();
    for (; i < array->num; ++i) static_cast<CCNode*>(array->arr[i])->visit();
}

void CCNode::transform() { applyTransform(); }

void CCNode::applyCamera() {
    // With an active grid the grid places the camera itself.
    if (grid_ && grid_->active()) return;
    const CGPoint anchor = anchorPointInPoints_;
    if (anchor == CGPointZero) {
        camera_->locate();
    } else {
        kmGLTranslate(static_cast<float>(anchor.x), static_cast<float>(anchor.y), 0);
        camera_->locate();
        kmGLTranslate(static_cast<float>(-anchor.x), static_cast<float>(-anchor.y), 0);
    }
}

void CCNode::transformAncestors() {
    if (!parent_) return;
    parent_->transformAncestors();
    parent_->transform();
}

// MARK: transforms

const CGAffineTransform& CCNode::nodeToParentTransform() {
    if (isTransformDirty_) [[unlikely]] recomputeTransform();
    return transform_;
}

void CCNode::recomputeTransform() {
    // Single precision throughout, as the drawing matrices are.
    float x = static_cast<float>(position_.x);
    float y = static_cast<float>(position_.y);
    const float ax = static_cast<float>(anchorPointInPoints_.x);
    const float ay = static_cast<float>(anchorPointInPoints_.y);
    if (ignoreAnchorPointForPosition_) {
        x += ax;
        y += ay;
    }

    float cx = 1, sx = 0, cy = 1, sy = 0;
    if (rotationX_ != 0 || rotationY_ != 0) {
        const float radiansX = rotationX_ * kDegreesToRadians;
        const float radiansY = rotationY_ * kDegreesToRadians;
        cx = std::cos(radiansX);
        sx = std::sin(-radiansX);
        cy = std::cos(radiansY);
        sy = std::sin(-radiansY);
    }
    const bool needsSkew = skewX_ != 0 || skewY_ != 0;
    const bool hasAnchor = ax != 0 || ay != 0;

    // Without skew the anchor offset folds into the translation.
    if (!needsSkew && hasAnchor) {
        x += cy * -ax * scaleX_ + -sx * -ay * scaleY_;
        y += sy * -ax * scaleX_ + cx * -ay * scaleY_;
    }
    transform_ = {cy * scaleX_, sy * scaleX_, -sx * scaleY_, cx * scaleY_, x, y};

    if (needsSkew) {
        const CGAffineTransform skew = {1, std::tan(skewY_ * kDegreesToRadians), std::tan(skewX_ * kDegreesToRadians),
                                        1, 0, 0};
        transform_ = CGAffineTransformConcat(skew, transform_);
        if (hasAnchor) transform_ = CGAffineTransformTranslate(transform_, -ax, -ay);
    }
    const double values[] = {transform_.a, transform_.b, transform_.c, transform_.d, transform_.tx, transform_.ty};
    for (int i = 0; i < 6; ++i) drawTransform_[i] = static_cast<float>(values[i]);
    isTransformDirty_ = false;
}

const CGAffineTransform& CCNode::parentToNodeTransform() {
    if (isInverseDirty_) {
        inverse_ = CGAffineTransformInvert(nodeToParentTransform());
        isInverseDirty_ = false;
    }
    return inverse_;
}

CGAffineTransform CCNode::nodeToWorldTransform() {
    CGAffineTransform t = nodeToParentTransform();
    for (CCNode* ancestor = parent_; ancestor; ancestor = ancestor->parent_) {
        t = CGAffineTransformConcat(t, ancestor->nodeToParentTransform());
    }
    return t;
}

CGAffineTransform CCNode::worldToNodeTransform() { return CGAffineTransformInvert(nodeToWorldTransform()); }

CGPoint CCNode::convertToNodeSpace(CGPoint worldPoint) { return CGPointApplyAffineTransform(worldPoint, worldToNodeTransform()); }

CGPoint CCNode::convertToWorldSpace(CGPoint nodePoint) { return CGPointApplyAffineTransform(nodePoint, nodeToWorldTransform()); }

CGPoint CCNode::convertToNodeSpaceAR(CGPoint worldPoint) {
    const CGPoint p = convertToNodeSpace(worldPoint);
    return {p.x - anchorPointInPoints_.x, p.y - anchorPointInPoints_.y};
}

CGPoint CCNode::convertToWorldSpaceAR(CGPoint nodePoint) {
    return convertToWorldSpace({nodePoint.x + anchorPointInPoints_.x, nodePoint.y + anchorPointInPoints_.y});
}

CGPoint CCNode::convertToWindowSpace(CGPoint nodePoint) {
    return CCDirector::sharedDirector()->convertToUI(convertToWorldSpace(nodePoint));
}

CGRect CCNode::boundingBox() {
    return CGRectApplyAffineTransform(CGRectMake(0, 0, contentSize_.width, contentSize_.height), nodeToParentTransform());
}

// MARK: actions

void CCNode::setActionManager(RefPtr<CCActionManager> actionManager) {
    if (actionManager == actionManager_) return;
    stopAllActions();
    actionManager_ = std::move(actionManager);
}

CCAction* CCNode::runAction(CCAction* action) {
    actionManager_->addAction(action, this, !isRunning_);
    return action;
}

void CCNode::stopAllActions() { actionManager_->removeAllActionsFromTarget(this); }

void CCNode::stopAction(CCAction* action) { actionManager_->removeAction(action); }

void CCNode::stopActionByTag(int64_t tag) { actionManager_->removeActionByTag(tag, this); }

CCAction* CCNode::getActionByTag(int64_t tag) { return actionManager_->getActionByTag(tag, this); }

uint64_t CCNode::numberOfRunningActions() { return actionManager_->numberOfRunningActionsInTarget(this); }

// MARK: scheduling

void CCNode::setScheduler(RefPtr<CCScheduler> scheduler) {
    if (scheduler == scheduler_) return;
    unscheduleAllSelectors();
    scheduler_ = std::move(scheduler);
}

void CCNode::scheduleUpdate() { scheduleUpdateWithPriority(0); }

void CCNode::scheduleUpdateWithPriority(int64_t priority) {
    // Through CCNode::update, which dispatches to the subclass's override.
    scheduler_->scheduleUpdateForTarget(this, priority, !isRunning_);
}

void CCNode::unscheduleUpdate() { scheduler_->unscheduleUpdateForTarget(this); }

void CCNode::schedule(SEL_SCHEDULE selector) { schedule(selector, 0, CCTimerRepeatForever, 0); }

void CCNode::schedule(SEL_SCHEDULE selector, float interval) { schedule(selector, interval, CCTimerRepeatForever, 0); }

void CCNode::schedule(SEL_SCHEDULE selector, float interval, uint32_t repeat, float delay) {
    scheduler_->scheduleSelector(selector, this, interval, !isRunning_, repeat, delay);
}

void CCNode::scheduleOnce(SEL_SCHEDULE selector, float delay) { schedule(selector, 0, 0, delay); }

void CCNode::unschedule(SEL_SCHEDULE selector) {
    if (!selector) return;
    scheduler_->unscheduleSelector(selector, this);
}

void CCNode::unscheduleAllSelectors() { scheduler_->unscheduleAllSelectorsForTarget(this); }

void CCNode::pauseSchedulerAndActions() {
    scheduler_->pauseTarget(this);
    actionManager_->pauseTarget(this);
}

void CCNode::resumeSchedulerAndActions() {
    scheduler_->resumeTarget(this);
    actionManager_->resumeTarget(this);
}

void CCNode::update(float) {}
