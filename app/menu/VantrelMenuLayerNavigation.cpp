// The menu camera, screen changes, the background tint and the menu's mouse, key, touch and
// scroll input.

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/menu/CCTintLayerGradientTo.h"
#include "app/menu/VantrelMenuLayer.h"
#include "app/menu/VantrelMenuScreenData.h"
#include "game/core/Units.h"
#include "shell/Vantrel_OSXAppDelegate.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCLayerGradient.h"
#include "game/core/Camera.h"
#include "game/core/SimpleSoundEffect.h"
#include "game/core/VTDualTouchTracker.h"
#include "game/core/VTScrollTracker.h"
#include "platform/window/CursorHider.h"
#include "platform/window/SystemActivity.h"

namespace {

// Camera spring, per second.
constexpr float kCameraStiffness = 3.0f;
constexpr float kCameraDamping = 15.0f;
// The share of a drag's speed that carries on once the drag ends, seconds.
constexpr float kThrowFactor = 0.09f;
constexpr float kColourInstant = units::kEpsilon;

// An angle difference brought into [-180, 180).
float wrapDifference(float degrees) { return degrees - 360.0f * floorf((degrees + 180.0f) / 360.0f); }

// The camera's rotation at a point of its circle: the screen under it stands upright.
float tangentAngle(CGPoint position) {
    return static_cast<float>(std::atan2(position.y, position.x)) * units::kDegreesPerRadian - 90.0f;
}

}  // namespace

// ---- Frame and camera ----

void VantrelMenuLayer::update(float dt) {
    dt = std::min(dt, kMaxFrameTime);
    // A pause in scrolling, counted in the menu's own frame time, ends the scroll drag.
    if (scrollTracker_) scrollTracker_->advance(dt);
    if (isTransitioning_) {
        currentAngle_ += transitionSpeed_ * dt;
        const float remaining = wrapDifference(destinationAngle_ - currentAngle_);
        if ((transitionSpeed_ > 0 && remaining <= kArrivalTolerance) ||
            (transitionSpeed_ < 0 && remaining >= -kArrivalTolerance)) {
            currentAngle_ = destinationAngle_;
            isTransitioning_ = false;
            onTransitionComplete();
        }
    }
    updateCamera(dt);
    updateFlightLog(dt);
}

CGPoint VantrelMenuLayer::circlePoint(float angle) const {
    const float radians = angle * units::kRadiansPerDegree;
    return {cameraRadius_ * std::cos(radians), cameraRadius_ * std::sin(radians)};
}

void VantrelMenuLayer::createCamera() {
    cameraRadius_ = screenRadius_;
    cameraTargetPosition_ = circlePoint(currentAngle_);
    cameraZoom_ = 1.0f;
    cameraTangentAngle_ = tangentAngle(cameraTargetPosition_);
    cameraVelocity_ = CGPointZero;
    camera_ = makeRef<Camera>(cameraTargetPosition_, cameraTangentAngle_, cameraZoom_);
}

void VantrelMenuLayer::destroyCamera() { camera_.reset(); }

void VantrelMenuLayer::updateCamera(float dt) {
    if (!camera_) return;
    cameraTargetPosition_ = circlePoint(currentAngle_);
    const CGPoint p = camera_->position();
    cameraVelocity_.x += dt * (-kCameraStiffness * (p.x - cameraTargetPosition_.x) - kCameraDamping * cameraVelocity_.x);
    cameraVelocity_.y += dt * (-kCameraStiffness * (p.y - cameraTargetPosition_.y) - kCameraDamping * cameraVelocity_.y);
    // The velocity moves the camera once per frame; the camera never leaves its circle.
    CGPoint moved = {p.x + cameraVelocity_.x, p.y + cameraVelocity_.y};
    const double length = std::hypot(moved.x, moved.y);
    if (length > 0) moved = {moved.x / length * cameraRadius_, moved.y / length * cameraRadius_};
    cameraTangentAngle_ = tangentAngle(moved);
    camera_->setPosition(moved, cameraTangentAngle_, cameraZoom_);
    if (worldHolder_) camera_->applyInverseTransformToNode(worldHolder_);
}

// ---- Screen changes ----

void VantrelMenuLayer::showScreen(int32_t index, bool force) {
    const VantrelMenuScreenData* screen = getScreenData(index);
    if (!screen || (index == currentScreenIndex_ && !force)) return;
    currentScreenIndex_ = index;
    destinationAngle_ = screen->angle;
    const float difference = wrapDifference(destinationAngle_ - currentAngle_);
    transitionSpeed_ = isInitialTransition_ ? kInitialScreenChangeSpeed : kScreenChangeSpeed;
    if (difference < 0) transitionSpeed_ = -transitionSpeed_;
    isTransitioning_ = true;
    isInitialTransition_ = false;
    tintGradientBackground(screen->bgGradientTop, screen->bgGradientBottom, kTintTime);
    drainHives();
    updateNetworkControl();
}

void VantrelMenuLayer::onTransitionComplete() {
    fillHives();
    if (playBonusSoundEffect_) {
        playBonusSoundEffect_ = false;
        if (bonusSoundEffect_) bonusSoundEffect_->play();
    }
}

void VantrelMenuLayer::prevScreen() {
    if (isBusy() || screenCount_ <= 0) return;
    SystemActivity::current().keepAwake();
    showScreen(currentScreenIndex_ == 0 ? static_cast<int32_t>(screenData_.size()) - 1 : currentScreenIndex_ - 1,
               false);
}

void VantrelMenuLayer::nextScreen() {
    if (isBusy() || screenCount_ <= 0) return;
    SystemActivity::current().keepAwake();
    showScreen(currentScreenIndex_ + 1 >= static_cast<int32_t>(screenData_.size()) ? 0 : currentScreenIndex_ + 1,
               false);
}

void VantrelMenuLayer::onLeftPressed(Object* /*sender*/) {
    cancelTracking();
    if (isBusy()) return;
    playInterfaceSoundPanned(-0.5f);
    prevScreen();
}

void VantrelMenuLayer::onRightPressed(Object* /*sender*/) {
    cancelTracking();
    if (isBusy()) return;
    playInterfaceSoundPanned(0.5f);
    nextScreen();
}

// ---- Background ----

void VantrelMenuLayer::tintGradientBackground(ccColor4B top, ccColor4B bottom, float fadeTime) {
    stopTintGradientBackground();
    if (!gradientBackground_) return;
    // The gradient's start colour is its bottom one.
    if (fadeTime <= kColourInstant) {
        gradientBackground_->setStartColor({bottom.r, bottom.g, bottom.b});
        gradientBackground_->setEndColor({top.r, top.g, top.b});
        return;
    }
    gradientBackground_->runAction(
        CCTintLayerGradientTo::actionWithDuration(fadeTime, bottom.r, bottom.g, bottom.b, top.r, top.g, top.b).get());
}

void VantrelMenuLayer::stopTintGradientBackground() {
    if (gradientBackground_) gradientBackground_->stopAllActions();
}

// ---- Drags ----

CGPoint VantrelMenuLayer::dragLocation(const Event* event, VTInputTracker* tracker) const {
    if (tracker) return tracker->dragLocation();
    return event ? CCDirector::sharedDirector()->convertEventToGL(*event) : prevDragLocation_;
}

void VantrelMenuLayer::startDrag(const Event* event, VTInputTracker* tracker) {
    if (isDragging_) return;
    isDragging_ = true;
    prevDragLocation_ = dragLocation(event, tracker);
    dragVelocity_ = 0;
}

void VantrelMenuLayer::updateDrag(const Event* event, VTInputTracker* tracker) {
    if (!isDragging_) return;
    const CGPoint location = dragLocation(event, tracker);
    const float dx = static_cast<float>(location.x - prevDragLocation_.x);
    // The mouse and fingers move about once a frame, so their last step gives the speed; scrolling
    // comes in bursts, and its tracker measures the speed itself.
    const std::optional<double> measured = tracker ? tracker->measuredDragSpeed() : std::nullopt;
    dragVelocity_ = measured ? static_cast<float>(*measured) : dx * 60.0f;
    currentAngle_ += dx / worldCircumference_ * 360.0f;
    prevDragLocation_ = location;
}

void VantrelMenuLayer::endDrag(const Event* /*event*/, VTInputTracker* /*tracker*/) {
    if (!isDragging_) return;
    isDragging_ = false;
    float thrown = fmodf(dragVelocity_ * kThrowFactor / worldCircumference_ * 360.0f + currentAngle_, 360.0f);
    if (thrown < 0) thrown += 360.0f;
    showScreen(getScreenIndexAt(thrown), true);
}

void VantrelMenuLayer::dualTouchesBegan(Object* tracker) { startDrag(nullptr, dynamic_cast<VTInputTracker*>(tracker)); }

void VantrelMenuLayer::dualTouchesUpdated(Object* tracker) {
    updateDrag(nullptr, dynamic_cast<VTInputTracker*>(tracker));
}

void VantrelMenuLayer::dualTouchesEnded(Object* tracker) { endDrag(nullptr, dynamic_cast<VTInputTracker*>(tracker)); }

void VantrelMenuLayer::attachTracker(VTInputTracker* tracker) {
    tracker->setDelegate(this);
    tracker->setBeginTrackingAction(static_cast<SEL_TrackerAction>(&VantrelMenuLayer::dualTouchesBegan));
    tracker->setUpdateTrackingAction(static_cast<SEL_TrackerAction>(&VantrelMenuLayer::dualTouchesUpdated));
    tracker->setEndTrackingAction(static_cast<SEL_TrackerAction>(&VantrelMenuLayer::dualTouchesEnded));
    tracker->setIsEnabled(true);
}

void VantrelMenuLayer::cancelTracking() {
    if (touchTracker_) touchTracker_->cancelTracking();
    if (scrollTracker_) scrollTracker_->cancelTracking();
}

void VantrelMenuLayer::setTrackersEnabled(bool enabled) {
    if (touchTracker_) touchTracker_->setIsEnabled(enabled);
    if (scrollTracker_) scrollTracker_->setIsEnabled(enabled);
}

// ---- Input ----

bool VantrelMenuLayer::ccMouseDown(const Event& event) {
    // A two-finger or scroll drag ends with its throw, and neither starts until the button is up.
    setTrackersEnabled(false);
    if (isBusy()) return false;
    startDrag(&event, nullptr);
    return true;
}

bool VantrelMenuLayer::ccMouseDragged(const Event& event) {
    if (!isDragging_) return false;
    updateDrag(&event, nullptr);
    return true;
}

bool VantrelMenuLayer::ccMouseUp(const Event& event) {
    setTrackersEnabled(true);
    if (!isDragging_) return false;
    endDrag(&event, nullptr);
    return true;
}

bool VantrelMenuLayer::ccKeyDown(const Event& event) {
    CursorHider::current().hideUntilMouseMoves();
    if (event.charactersIgnoringModifiers.empty()) return false;
    if (!(event.modifierFlags & kModifierNumericPad) || event.isARepeat) return false;
    if (event.charactersIgnoringModifiers == kLeftArrowCharacters) {
        onLeftPressed(nullptr);
        return true;
    }
    if (event.charactersIgnoringModifiers == kRightArrowCharacters) {
        onRightPressed(nullptr);
        return true;
    }
    return false;
}

bool VantrelMenuLayer::ccKeyUp(const Event& /*event*/) { return false; }

bool VantrelMenuLayer::ccScrollWheel(const Event& event) {
    if (!scrollTracker_ || (!scrollTracker_->isTracking() && isBusy())) return false;
    return scrollTracker_->scrollWheel(event);
}

bool VantrelMenuLayer::ccTouchesBeganWithEvent(const Event& event) {
    if (isBusy() || !touchTracker_) return false;
    return touchTracker_->ccTouchesBeganWithEvent(event);
}

bool VantrelMenuLayer::ccTouchesMovedWithEvent(const Event& event) {
    return touchTracker_ && touchTracker_->ccTouchesMovedWithEvent(event);
}

bool VantrelMenuLayer::ccTouchesEndedWithEvent(const Event& event) {
    return touchTracker_ && touchTracker_->ccTouchesEndedWithEvent(event);
}

bool VantrelMenuLayer::ccTouchesCancelledWithEvent(const Event& event) {
    return touchTracker_ && touchTracker_->ccTouchesCancelledWithEvent(event);
}

// ---- Application buttons ----

void VantrelMenuLayer::onQuitPressed(Object* sender) { Vantrel_OSXAppDelegate::sharedInstance()->terminate(sender); }

void VantrelMenuLayer::onFullscreenPressed(Object* /*sender*/) {
    Vantrel_OSXAppDelegate::sharedInstance()->toggleFullScreen(nullptr);
}
