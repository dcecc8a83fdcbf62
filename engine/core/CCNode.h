#pragma once

#include <cstdint>
#include <string>

#include "engine/core/CCCamera.h"
#include "engine/core/CCScheduler.h"
#include "engine/core/CCSelector.h"
#include "engine/core/support/CCArray.h"
#include "engine/core/math/kmGLMatrix.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCAction;
class CCActionManager;
class CCGLProgram;
class CCNode;

// What a node asks of a grid effect wrapped around its drawing: the grid captures the node's
// drawing between beforeDraw and afterDraw while it is active. The grid classes implement it.
class CCNodeGrid : public Object {
public:
    virtual bool active() const = 0;
    virtual void beforeDraw() = 0;
    virtual void afterDraw(CCNode* target) = 0;
};

// The base of everything drawn or scheduled: a 2D transform (position, anchor point, content size,
// rotation, scale, skew, depth), a z order among its siblings, a tag, and children that it owns and
// draws in z order around its own drawing.
//
// Geometry is in points; rotations and skews in degrees, clockwise positive. The node runs actions
// through the director's action manager and selectors through the director's scheduler, both taken
// when the node is made; they are registered paused while the node is not in the running scene and
// start when it enters.
//
// Engine thread only. Subclasses that override one overload of addChild should bring the others in
// with `using CCNode::addChild;`.
class CCNode : public Object {
public:
    static RefPtr<CCNode> node();

    CCNode();

    // "<CCNode = 0x... | Tag = 5>".
    std::string description() const override;

    // Transform properties; every setter marks the cached transforms dirty.
    float rotation() const { return rotationX_; }
    virtual void setRotation(float degrees);   // both rotationX and rotationY
    float rotationX() const { return rotationX_; }
    virtual void setRotationX(float degrees);
    float rotationY() const { return rotationY_; }
    virtual void setRotationY(float degrees);
    float scale() const { return scaleX_; }
    virtual void setScale(float scale);        // both scale factors
    float scaleX() const { return scaleX_; }
    virtual void setScaleX(float scale);
    float scaleY() const { return scaleY_; }
    virtual void setScaleY(float scale);
    float skewX() const { return skewX_; }
    virtual void setSkewX(float degrees);
    float skewY() const { return skewY_; }
    virtual void setSkewY(float degrees);
    CGPoint position() const { return position_; }
    virtual void setPosition(CGPoint position);
    // Stored only; applied as the z translation when drawing.
    float vertexZ() const { return vertexZ_; }
    virtual void setVertexZ(float vertexZ);
    CGPoint anchorPoint() const { return anchorPoint_; }
    // Acts only on a change; also recomputes anchorPointInPoints.
    virtual void setAnchorPoint(CGPoint anchorPoint);
    CGPoint anchorPointInPoints() const { return anchorPointInPoints_; }
    CGSize contentSize() const { return contentSize_; }
    // Acts only on a change; also recomputes anchorPointInPoints.
    virtual void setContentSize(CGSize contentSize);
    bool ignoreAnchorPointForPosition() const { return ignoreAnchorPointForPosition_; }
    void setIgnoreAnchorPointForPosition(bool ignore);

    int64_t zOrder() const { return zOrder_; }
    // Stores the z order and, with a parent, has the parent reorder this node.
    void setZOrder(int64_t z);
    // Stores the z order only.
    void _setZOrder(int64_t z) { zOrder_ = z; }
    int64_t tag() const { return tag_; }
    void setTag(int64_t tag) { tag_ = tag; }
    bool visible() const { return visible_; }
    virtual void setVisible(bool visible);
    CCNode* parent() const { return parent_; }
    virtual void setParent(CCNode* parent);
    // Null until the first addChild.
    CCArray* children() const { return children_.get(); }
    bool isRunning() const { return isRunning_; }
    CCNodeGrid* grid() const { return grid_.get(); }
    void setGrid(RefPtr<CCNodeGrid> grid);
    Object* userObject() const { return userObject_.get(); }
    void setUserObject(RefPtr<Object> userObject);
    void* userData() const { return userData_; }
    void setUserData(void* userData) { userData_ = userData; }
    uint64_t orderOfArrival() const { return orderOfArrival_; }
    void setOrderOfArrival(uint64_t order) { orderOfArrival_ = order; }
    // The program drawing subclasses draw with; null for nodes that draw nothing.
    CCGLProgram* shaderProgram() const { return shaderProgram_.get(); }
    void setShaderProgram(RefPtr<CCGLProgram> program);
    int glServerState() const { return glServerState_; }
    void setGlServerState(int flags) { glServerState_ = flags; }
    // The node's camera, made on first use.
    virtual CCCamera* camera();

    // Children. The child must not be null (NamedException "NSInvalidArgumentException") and must
    // have no parent ("NSInternalInconsistencyException").
    virtual void addChild(CCNode* child, int64_t z, int64_t tag);
    void addChild(CCNode* child, int64_t z);  // keeps the child's tag
    void addChild(CCNode* child);             // keeps the child's z order and tag
    // The first child in children order with the tag, or null.
    CCNode* getChildByTag(int64_t tag) const;
    // Null or a node that is not a child: nothing.
    virtual void removeChild(CCNode* child, bool cleanup);
    void removeChildByTag(int64_t tag, bool cleanup);
    void removeFromParentAndCleanup(bool cleanup);
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    // Gives the child a fresh arrival number and the z order; the order changes at the next sort.
    virtual void reorderChild(CCNode* child, int64_t z);
    // Stable sort by z order, then arrival, only when something was added or reordered. visit
    // calls it only while the reorder flag is set.
    virtual void sortAllChildren();

    // Lifecycle, sent by the director to the scene and by each node to its children.
    virtual void onEnter();
    virtual void onEnterTransitionDidFinish();
    virtual void onExitTransitionDidStart();
    virtual void onExit();
    // Stops the actions and unschedules everything of this node and its subtree.
    virtual void cleanup();

    // Drawing: visit pushes the model-view matrix, applies transform(), draws the negative-z
    // children, draw(), the others, and pops.
    virtual void visit();
    virtual void draw() {}
    virtual void transform();
    // Applies the ancestors' transforms, root first, without this node's own.
    void transformAncestors();

    // Transforms and conversions; world space is the root's space.
    virtual const CGAffineTransform& nodeToParentTransform();
    const CGAffineTransform& parentToNodeTransform();
    CGAffineTransform nodeToWorldTransform();
    CGAffineTransform worldToNodeTransform();
    virtual CGPoint convertToNodeSpace(CGPoint worldPoint);
    CGPoint convertToWorldSpace(CGPoint nodePoint);
    // Relative to the anchor point rather than the node's (0, 0) corner.
    CGPoint convertToNodeSpaceAR(CGPoint worldPoint);
    CGPoint convertToWorldSpaceAR(CGPoint nodePoint);
    // Window space has no meaning on this platform: (0, 0).
    CGPoint convertToWindowSpace(CGPoint nodePoint);
    // The content rectangle's image in the parent's space.
    CGRect boundingBox();

    // Actions, forwarded to the action manager with this node as target.
    CCActionManager* actionManager() const { return actionManager_.get(); }
    // A different manager first loses this node's actions on the old one.
    void setActionManager(RefPtr<CCActionManager> actionManager);
    CCAction* runAction(CCAction* action);
    void stopAllActions();
    void stopAction(CCAction* action);
    void stopActionByTag(int64_t tag);
    CCAction* getActionByTag(int64_t tag);
    uint64_t numberOfRunningActions();

    // Scheduling, forwarded to the scheduler with this node as target.
    CCScheduler* scheduler() const { return scheduler_.get(); }
    // A different scheduler first loses this node's selectors on the old one.
    void setScheduler(RefPtr<CCScheduler> scheduler);
    // Calls update(dt) every frame.
    void scheduleUpdate();
    void scheduleUpdateWithPriority(int64_t priority);
    void unscheduleUpdate();
    // Every frame, for ever.
    void schedule(SEL_SCHEDULE selector);
    // Every `interval` seconds, for ever.
    void schedule(SEL_SCHEDULE selector, float interval);
    void schedule(SEL_SCHEDULE selector, float interval, uint32_t repeat, float delay);
    // Once, after `delay` seconds.
    void scheduleOnce(SEL_SCHEDULE selector, float delay);
    void unschedule(SEL_SCHEDULE selector);
    // Timers and the per-frame update.
    void unscheduleAllSelectors();
    void pauseSchedulerAndActions();
    void resumeSchedulerAndActions();
    // The per-frame update; nothing here.
    virtual void update(float dt);

protected:
    ~CCNode() override;

    // Set when a child was added or reordered: the next sortAllChildren sorts. Sprites and batch
    // nodes also set it to have their atlas renumbered.
    bool isReorderChildDirty() const { return isReorderChildDirty_; }
    void setReorderChildDirty(bool dirty) { isReorderChildDirty_ = dirty; }

private:
    void markTransformsDirty() { isTransformDirty_ = isInverseDirty_ = true; }
    // The camera's part of transform(), for a node that has a camera; out of line so that the
    // common case stays small.
    [[gnu::noinline]] void applyCamera();
    // The body of CCNode::transform(), inline so that the compiler can inline visit's call of
    // transform() behind its check that the node does not override it (one node in 2000 then costs
    // no call).
    void applyTransform() {
        // The node-to-parent transform as a 4x4 matrix with the depth as z translation,
        // multiplied in without building that matrix. Our own transform comes with its single
        // precision copy (in the inline clean case the address test is decided at compile time);
        // an override's is converted here.
        const CGAffineTransform& t = nodeToParentTransform();
        if (&t == &transform_) {
            const float* f = drawTransform_;
            kmGLMultiplyAffine(f[0], f[1], f[2], f[3], f[4], f[5], vertexZ_);
        } else {
            kmGLMultiplyAffine(float(t.a), float(t.b), float(t.c), float(t.d), float(t.tx), float(t.ty), vertexZ_);
        }
        if (camera_) [[unlikely]] applyCamera();
    }
    // visit's drawing of a node with children: sorted, the negative-z children, draw(), the
    // others. Out of line so that a leaf's visit saves fewer registers.
    [[gnu::noinline]] void drawWithChildren(const ccArray* array);
    // Computes transform_ and its single precision copy from the properties; clears the dirty flag.
    [[gnu::noinline]] void recomputeTransform();
    void childrenAlloc();
    void insertChild(CCNode* child, int64_t z);
    // The child is known to be a child.
    void detachChild(CCNode* child, bool cleanup);
    // Calls f on each child in children order; each child is kept alive across its call.
    template <typename F>
    void forEachChild(F f);

    // The fields a drawing visit reads come first, within the first two cache lines of the node;
    // those the parent's walk reads (with the table pointer) first of all.
    bool visible_ = true;
    bool isTransformDirty_ = true;
    bool isReorderChildDirty_ = false;
    float vertexZ_ = 0;             // GL z of the node, applied when drawing
    int64_t zOrder_ = 0;            // negative: drawn behind the parent
    float drawTransform_[6] = {1, 0, 0, 1, 0, 0};  // transform_'s a, b, c, d, tx, ty as drawing uses them
    RefPtr<CCCamera> camera_;
    RefPtr<CCNodeGrid> grid_;
    RefPtr<CCArray> children_;      // of CCNode; null until the first addChild
    uint64_t orderOfArrival_ = 0;   // tie-breaker among equal z orders; 0 once drawn

    float rotationX_ = 0;           // degrees, clockwise; turns the local y axis
    float rotationY_ = 0;           // degrees, clockwise; turns the local x axis
    float scaleX_ = 1;
    float scaleY_ = 1;
    CGPoint position_;              // points, in the parent's space
    float skewX_ = 0;               // degrees
    float skewY_ = 0;               // degrees
    CGPoint anchorPointInPoints_;   // anchorPoint_ x contentSize_
    CGPoint anchorPoint_;           // 0..1 per axis
    CGSize contentSize_;            // points, untransformed
    CGAffineTransform transform_;   // node to parent, valid when !isTransformDirty_
    CGAffineTransform inverse_;     // parent to node, valid when !isInverseDirty_
    CCNode* parent_ = nullptr;      // not owned
    int64_t tag_ = -1;              // -1: none
    void* userData_ = nullptr;      // not owned
    RefPtr<Object> userObject_;
    RefPtr<CCGLProgram> shaderProgram_;
    int glServerState_ = 0;         // flags handed to the GL state cache by drawing subclasses
    RefPtr<CCScheduler> scheduler_;
    RefPtr<CCActionManager> actionManager_;
    bool isRunning_ = false;        // between onEnter and onExit
    bool isInverseDirty_ = true;
    bool ignoreAnchorPointForPosition_ = false;  // position places the (0, 0) corner
};
