// The play scene's steering: six input sources, one chosen per frame, applied to the bee's head.

#include <algorithm>
#include <cmath>

#include "PadlinkSDK/PadlinkRPCLib/JPDevice.h"
#include "game/core/Units.h"
#include "shell/ApplicationPreferences.h"
#include "shell/VantrelNetworkControl.h"
#include "shell/Vantrel_OSXAppDelegate.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCGLView.h"
#include "game/core/Hud.h"
#include "game/core/Level.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Player.h"
#include "game/core/VTHidMapper.h"
#include "game/core/VantrelGameLayer.h"
#include "platform/foundation/StringUtils.h"
#include "platform/window/Event.h"

namespace {

constexpr float kHidAxisRange = 61440.0f;  // 65536 minus the dead zone
constexpr float kTiltRotationRadians = 45.0f * units::kRadiansPerDegree;
constexpr float kTargetMinimumForceSQ = 100.0f;  // input length 1/12 at force 120

// Preference "game_controls_preference".
constexpr int kControlsTilt = 1;
constexpr int kControlsDPad = 2;

// Keyboard d-pad slots and their directions.
enum KeySlot { kLeft, kRight, kUp, kDown, kUpLeft, kUpRight, kDownLeft, kDownRight, kKeySlots };
constexpr vector2d<float> kKeyDirections[kKeySlots] = {{-1, 0}, {1, 0}, {0, 1}, {0, -1},
                                                        {-1, 1}, {1, 1}, {-1, -1}, {1, -1}};

// The keyboard slot a keypad or arrow key steers, or -1. Only keys with the numeric-pad flag and
// one character.
int keySlotOf(const Event& event) {
    if (!(event.modifierFlags & kModifierNumericPad)) return -1;
    const std::string& characters = event.charactersIgnoringModifiers;
    if (characters.empty() || utf8SequenceLength(characters, 0) != characters.size()) return -1;
    if (characters == kUpArrowCharacters) return kUp;
    if (characters == kDownArrowCharacters) return kDown;
    if (characters == kLeftArrowCharacters) return kLeft;
    if (characters == kRightArrowCharacters) return kRight;
    switch (event.keyCode) {
        case kKeyCodeKeypad1: return kDownLeft;
        case kKeyCodeKeypad2: return kDown;
        case kKeyCodeKeypad3: return kDownRight;
        case kKeyCodeKeypad4: return kLeft;
        case kKeyCodeKeypad6: return kRight;
        case kKeyCodeKeypad7: return kUpLeft;
        case kKeyCodeKeypad8: return kUp;
        case kKeyCodeKeypad9: return kUpRight;
        default: return -1;
    }
}

// Phone input is network data: a component that is not finite reads 0 and the vector is at most 1
// long.
CGPoint sanitisedPhoneVector(float x, float y) {
    vector2d<float> v{std::isfinite(x) ? x : 0.0f, std::isfinite(y) ? y : 0.0f};
    v.limitToUnitLength();
    return {v.X, v.Y};
}

vector2d<float> clampedUnit(vector2d<float> v) {
    return {std::clamp(v.X, -1.0f, 1.0f), std::clamp(v.Y, -1.0f, 1.0f)};
}

}  // namespace

vector2d<float> VantrelGameLayer::DPad::sum() const {
    vector2d<float> v{static_cast<float>(right - left), static_cast<float>(up - down)};
    v.limitToUnitLength();
    return v;
}

// ---- Button tables ----

VantrelGameLayer::ButtonAction VantrelGameLayer::hidButtonAction(uint32_t logicalButton, bool day, bool night,
                                                                 bool paused) {
    switch (logicalButton) {
        case 104: return ButtonAction::dpadUp;
        case 105: return ButtonAction::dpadRight;
        case 106: return ButtonAction::dpadDown;
        case 107: return ButtonAction::dpadLeft;
        case 116: return ButtonAction::fullScreen;
        default: break;
    }
    if (!day && !night) return ButtonAction::none;
    switch (logicalButton) {
        case 0:
            if (night) return ButtonAction::mainMenu;
            return paused ? ButtonAction::quit : ButtonAction::pause;
        case 1:
        case 2:
        case 3:
            if (night) return ButtonAction::playAgain;
            return paused ? ButtonAction::resume : ButtonAction::none;
        case 8:
        case 9:
            if (night) return ButtonAction::playAgain;
            return paused ? ButtonAction::resume : ButtonAction::pause;
        default: return ButtonAction::none;
    }
}

VantrelGameLayer::ButtonAction VantrelGameLayer::phoneButtonAction(int button, bool day, bool night, bool paused) {
    if (button == static_cast<int>(kPhonePauseButton)) return day ? ButtonAction::pause : ButtonAction::none;
    if (button == static_cast<int>(kPhoneContinueButton)) {
        if (day && paused) return ButtonAction::resume;
        return night ? ButtonAction::playAgain : ButtonAction::none;
    }
    if (button == static_cast<int>(kPhoneQuitButton)) {
        if (day && paused) return ButtonAction::quit;
        return night ? ButtonAction::mainMenu : ButtonAction::none;
    }
    return ButtonAction::none;
}

void VantrelGameLayer::performButtonAction(ButtonAction action) {
    switch (action) {
        case ButtonAction::pause:
            if (hud_) hud_->onGamePausePressed(this);
            break;
        case ButtonAction::resume:
            if (hud_) hud_->onGameContinuePressed(this);
            break;
        case ButtonAction::quit:
            if (hud_) hud_->onGameQuitPressed(this);
            break;
        case ButtonAction::playAgain:
            if (hud_) hud_->onPlayAgainPressed(this);
            break;
        case ButtonAction::mainMenu:
            if (hud_) hud_->onMainMenuPressed(this);
            break;
        case ButtonAction::fullScreen:
            if (Vantrel_OSXAppDelegate* application = Vantrel_OSXAppDelegate::sharedInstance()) {
                application->toggleFullScreen(this);
            }
            break;
        case ButtonAction::dpadUp:
        case ButtonAction::dpadRight:
        case ButtonAction::dpadDown:
        case ButtonAction::dpadLeft: setHidDPadDirection(action, 1); break;
        case ButtonAction::none: break;
    }
}

void VantrelGameLayer::setHidDPadDirection(ButtonAction action, int held) {
    switch (action) {
        case ButtonAction::dpadUp: hidDPADData_.up = held; break;
        case ButtonAction::dpadRight: hidDPADData_.right = held; break;
        case ButtonAction::dpadDown: hidDPADData_.down = held; break;
        case ButtonAction::dpadLeft: hidDPADData_.left = held; break;
        default: break;
    }
}

// ---- Set-up and state ----

void VantrelGameLayer::initGameControlPrefs() {
    useTilt_ = invertTilt_ = useJoystick_ = useTouch_ = useMouse_ = useKeyboard_ = useDPad_ = false;
    updateGameControlsOrientation();
    ApplicationPreferences* preferences = ApplicationPreferences::sharedInstance();
    gameControlType_ = static_cast<int>(preferences->gameControls());
    useMouse_ = useKeyboard_ = useTouch_ = true;
    if (gameControlType_ == kControlsDPad) {
        useDPad_ = true;
    } else if (gameControlType_ == kControlsTilt) {
        useTilt_ = true;
        gameControlsTiltRotation_ = 45.0;
    } else {
        useJoystick_ = true;
    }
    gameControlsSensitivity_ = static_cast<int>(preferences->gameControlsSensitivity());
}

void VantrelGameLayer::createGameControls() {
    destroyGameControls();
    initGameControlPrefs();
    setIsMouseEnabled(true);
    setIsKeyboardEnabled(true);
    setIsTouchEnabled(true);
    // The view forwards trackpad touches only to layers that ask for them.
    if (CCGLView* view = CCDirector::sharedDirector()->view()) view->setAcceptsTouchEvents(true);
    setCursorHiddenUntilMouseMoves(true);
    if (useJoystick_) createJoystick();
    useNetworkJoystick_ = VantrelNetworkControl::sharedInstance()->padlinkConnected();
    gameControlsExist_ = true;
}

void VantrelGameLayer::destroyGameControls() {
    destroyJoystick();
    useNetworkJoystick_ = hasNetworkJoystickData_ = false;
    networkDPADData_ = {};
    setIsMouseEnabled(false);
    setIsKeyboardEnabled(false);
    setIsTouchEnabled(false);
    clearGameControlsInput();
    gameControlsExist_ = false;
    disableGameControls(false);
}

void VantrelGameLayer::enableGameControls() {
    allowGameControls_ = gameControlsExist_;
    showJoystick();
}

void VantrelGameLayer::disableGameControls(bool clearInput) {
    if (clearInput) clearGameControlsInput();
    hideJoystick();
    allowGameControls_ = false;
}

// The phone's last input stays: it is the phone's state, not an event.
void VantrelGameLayer::clearGameControlsInput() {
    tiltAcceleration_ = beeAcceleration_ = mousePosition_ = {};
    beeAccelerationPerc_ = 0;
    isMouseActive_ = false;
    std::fill(std::begin(keyboardDPADData_), std::end(keyboardDPADData_), 0);
    keyboardDPADAcceleration_ = {};
    isKeyboardDPADActive_ = false;
    clearTouches();
    hidDPADData_ = {};
    hidDPADAcceleration_ = hidJoystickAcceleration_ = {};
    isHidDPADActive_ = isHidJoystickActive_ = false;
    hidActiveJoystick_.reset();
    hidActiveStick_ = hidActiveAxis_ = 0;
}

void VantrelGameLayer::hideCursorWhileSteering() {
    if (!gamePaused_ && !isMouseActive_) setCursorHiddenUntilMouseMoves(true);
}

// ---- Per frame ----

float VantrelGameLayer::localFrameAngle() const {
    const CGPoint head = player_ ? player_->position() : CGPointZero;
    return std::atan2(static_cast<float>(head.y), static_cast<float>(head.x)) - units::kPi / 2;
}

void VantrelGameLayer::handleInput() {
    if (useNetworkJoystick_) {
        beeAcceleration_ = {static_cast<float>(networkJoystickData_.x), static_cast<float>(networkJoystickData_.y)};
    } else if (isHidDPADActive_) {
        beeAcceleration_ = hidDPADAcceleration_;
    } else if (isHidJoystickActive_) {
        beeAcceleration_ = hidJoystickAcceleration_;
    } else if (isMouseActive_) {
        beeAcceleration_ = mousePosition_;
        beeAcceleration_.limitToUnitLength();
    } else if (isKeyboardDPADActive_) {
        beeAcceleration_ = keyboardDPADAcceleration_;
    } else {
        beeAcceleration_ = {};
        if (touchCount_ >= 1) {
            for (const TouchBinding& binding : touchBindings_) {
                beeAcceleration_.X += binding.position.X;
                beeAcceleration_.Y += binding.position.Y;
            }
            beeAcceleration_.X /= static_cast<float>(touchCount_);
            beeAcceleration_.Y /= static_cast<float>(touchCount_);
            beeAcceleration_.limitToUnitLength();
        }
    }
    // Back inside the height band: above it the bee is pushed down, below it up.
    const float p = level_ ? level_->percOfAllowedLimitsAtPosition(player_ ? player_->position() : CGPointZero) : 0.5f;
    if (p > 1.0f) {
        beeAcceleration_.Y = -0.5f * p;
    } else if (p < 0.0f) {
        beeAcceleration_.Y = 0.5f * (1.0f - p);
    }
    beeAcceleration_.limitToUnitLength();
    beeAccelerationPerc_ = beeAcceleration_.getLength();
}

void VantrelGameLayer::autoInput() {
    const CGPoint automatic = level_ ? level_->playerAutoAcceleration() : CGPointZero;
    beeAcceleration_ = {static_cast<float>(automatic.x), static_cast<float>(automatic.y)};
}

void VantrelGameLayer::applyInput(bool rotateToWorld) {
    const float a = localFrameAngle();
    if (rotateToWorld) {
        const double radians = a;
        const double c = std::cos(radians);
        const double s = std::sin(radians);
        const double x = beeAcceleration_.X;
        const double y = beeAcceleration_.Y;
        beeAcceleration_ = {static_cast<float>(c * x - s * y), static_cast<float>(s * x + c * y)};
    }
    beeAcceleration_.X *= kInputForce;
    beeAcceleration_.Y *= kInputForce;

    b2Body* head = player_ ? player_->vantrelBody() : nullptr;
    if (!head || head->GetType() != b2_dynamicBody) return;
    const b2Vec2 force(beeAcceleration_.X, beeAcceleration_.Y);
    // The checked calls wake the body and refuse what is not finite.
    applyForceChecked(head, force, head->GetWorldCenter());
    float target;
    if (force.LengthSquared() >= kTargetMinimumForceSQ) {
        target = std::atan2(force.y, force.x);
    } else {
        target = player_->vantrelFacingRight() ? a : a + units::kPi;
    }
    applyTorqueChecked(head, PhysicsSystem::torqueToReachAngle(head, target, kInputTorque));
}

// ---- Pointer positions ----

vector2d<float> VantrelGameLayer::inputFromScreenPoint(CGPoint point) const {
    if (!worldHolder_ || !player_) return {};
    const CGPoint inWorld = worldHolder_->convertToNodeSpace(point);
    const CGPoint head = player_->position();
    const double a = -localFrameAngle();
    const double dx = inWorld.x - head.x;
    const double dy = inWorld.y - head.y;
    const double x = dx * std::cos(a) - dy * std::sin(a);
    const double y = dx * std::sin(a) + dy * std::cos(a);
    return clampedUnit({static_cast<float>(x / (halfScreenSize_.width / cameraZoom_)),
                        static_cast<float>(y / (halfScreenSize_.height / cameraZoom_))});
}

// ---- Trackpad ----

int VantrelGameLayer::getTouchBindingIndex(int64_t identity) const {
    for (int i = 0; i < kMaxTouches; ++i) {
        if (touchBindings_[i].bound && touchBindings_[i].identity == identity) return i;
    }
    return -1;
}

int VantrelGameLayer::getFreeTouchBindingIndex() const {
    for (int i = 0; i < kMaxTouches; ++i) {
        if (!touchBindings_[i].bound) return i;
    }
    return -1;
}

void VantrelGameLayer::clearTouches() {
    for (TouchBinding& binding : touchBindings_) binding = {};
    touchCount_ = 0;
}

bool VantrelGameLayer::ccTouchesBeganWithEvent(const Event& event) {
    if (!allowGameControls_) return true;
    setCursorHiddenUntilMouseMoves(true);
    for (const Touch& touch : event.touches) {
        if (!(touch.phase & kTouchPhaseBegan) || getTouchBindingIndex(touch.identity) >= 0) continue;
        const int slot = getFreeTouchBindingIndex();
        if (slot < 0) continue;
        ++touchCount_;
        touchBindings_[slot] = {true, touch.identity,
                                inputFromScreenPoint({touch.normalizedPosition.x * screenSize_.width,
                                                      touch.normalizedPosition.y * screenSize_.height})};
    }
    // Fingers the event no longer shows touching have gone without an end.
    for (TouchBinding& binding : touchBindings_) {
        if (!binding.bound) continue;
        const bool touching = std::any_of(event.touches.begin(), event.touches.end(), [&](const Touch& touch) {
            return touch.identity == binding.identity && (touch.phase & kTouchPhaseTouching);
        });
        if (!touching) {
            binding = {};
            touchCount_ = std::max(touchCount_ - 1, 0);
        }
    }
    return true;
}

bool VantrelGameLayer::ccTouchesMovedWithEvent(const Event& event) {
    if (!allowGameControls_) return true;
    setCursorHiddenUntilMouseMoves(true);
    for (const Touch& touch : event.touches) {
        if (!(touch.phase & kTouchPhaseMoved)) continue;
        const int slot = getTouchBindingIndex(touch.identity);
        if (slot < 0) continue;
        touchBindings_[slot].position = inputFromScreenPoint(
            {touch.normalizedPosition.x * screenSize_.width, touch.normalizedPosition.y * screenSize_.height});
    }
    return true;
}

bool VantrelGameLayer::ccTouchesEndedWithEvent(const Event& event) {
    releaseTouches(event, kTouchPhaseEnded);
    return true;
}

bool VantrelGameLayer::ccTouchesCancelledWithEvent(const Event& event) {
    releaseTouches(event, kTouchPhaseCancelled);
    return true;
}

void VantrelGameLayer::releaseTouches(const Event& event, uint64_t phase) {
    for (const Touch& touch : event.touches) {
        if (!(touch.phase & phase)) continue;
        const int slot = getTouchBindingIndex(touch.identity);
        if (slot < 0) continue;
        touchBindings_[slot] = {};
        touchCount_ = std::max(touchCount_ - 1, 0);
    }
}

// ---- Mouse ----

bool VantrelGameLayer::ccMouseDown(const Event& event) {
    updateMousePosition(event);
    return true;
}

bool VantrelGameLayer::ccMouseDragged(const Event& event) {
    updateMousePosition(event);
    return true;
}

bool VantrelGameLayer::ccMouseUp(const Event&) {
    isMouseActive_ = false;
    mousePosition_ = {};
    return true;
}

void VantrelGameLayer::updateMousePosition(const Event& event) {
    clearTouches();
    isMouseActive_ = true;
    mousePosition_ = inputFromScreenPoint(CCDirector::sharedDirector()->convertEventToGL(event));
}

// ---- Keyboard ----

bool VantrelGameLayer::ccKeyDown(const Event& event) {
    clearTouches();
    if (!level_ || !level_->isDay()) return false;
    hideCursorWhileSteering();
    if (!(event.modifierFlags & kModifierNumericPad)) {
        if (event.keyCode != kKeyCodeEscape) return false;
        if (!event.isARepeat) {
            if (hud_) hud_->playInterfaceSound();
            togglePauseGame();
        }
        return true;
    }
    const int slot = keySlotOf(event);
    if (slot < 0) return false;
    keyboardDPADData_[slot] = 1;
    updateKeyboardDPAD();
    return true;
}

bool VantrelGameLayer::ccKeyUp(const Event& event) {
    if (!level_ || !level_->isDay()) return false;
    const int slot = keySlotOf(event);
    if (slot < 0) return false;
    keyboardDPADData_[slot] = 0;
    updateKeyboardDPAD();
    return true;
}

void VantrelGameLayer::updateKeyboardDPAD() {
    keyboardDPADAcceleration_ = {};
    isKeyboardDPADActive_ = false;
    for (int slot = 0; slot < kKeySlots; ++slot) {
        if (!keyboardDPADData_[slot]) continue;
        isKeyboardDPADActive_ = true;
        keyboardDPADAcceleration_.X += kKeyDirections[slot].X;
        keyboardDPADAcceleration_.Y += kKeyDirections[slot].Y;
    }
    keyboardDPADAcceleration_.limitToUnitLength();
}

// ---- Phone ----

void VantrelGameLayer::initNetworkControl() {
    VantrelNetworkControl* network = VantrelNetworkControl::sharedInstance();
    network->inGame();
    network->setPadlinkManagerDelegate(this);
    network->setPadlinkDeviceDelegate(this);
    network->useGameConfiguration(gameControlType_);
}

void VantrelGameLayer::cleanupNetworkControl() {
    VantrelNetworkControl* network = VantrelNetworkControl::sharedInstance();
    network->useEmptyConfiguration();
    if (network->padlinkManagerDelegate() == this) network->setPadlinkManagerDelegate(nullptr);
    if (network->padlinkDeviceDelegate() == this) network->setPadlinkDeviceDelegate(nullptr);
    network->inMenu();
}

uint16_t VantrelGameLayer::padlinkDelegations() const {
    return kJPDelegationDidAccelerate | kJPDelegationDPadButtonUp | kJPDelegationDPadButtonDown |
           kJPDelegationButtonDown | kJPDelegationAnalogStickDidMove | kJPDelegationDeviceDidConnect |
           kJPDelegationDeviceDidDisconnect;
}

void VantrelGameLayer::padlinkManagerDeviceDidConnect(JPManager*, JPDevice*) {
    if (!level_ || !level_->isDay()) return;
    createGameControls();
    enableGameControls();
}

void VantrelGameLayer::padlinkManagerDeviceDidDisconnect(JPManager*, JPDevice*) {
    if (!level_ || !level_->isDay()) return;
    createGameControls();
    enableGameControls();
    pauseGame();
}

void VantrelGameLayer::padlinkDeviceDidAccelerate(JPDevice*, float x, float y, float z) {
    const float vx = std::isfinite(y) ? -y : 0.0f;
    const float vy = std::isfinite(x) ? x : 0.0f;
    const float vz = std::isfinite(z) ? z : 0.0f;
    // Tilted towards the player by 45 degrees about the X axis: a phone held at that angle rests.
    const float tiltedY = std::cos(kTiltRotationRadians) * vy - std::sin(kTiltRotationRadians) * vz;
    networkJoystickData_ = sanitisedPhoneVector(std::clamp(vx, -0.5f, 0.5f) * 2, std::clamp(tiltedY, -0.5f, 0.5f) * 2);
    hasNetworkJoystickData_ = true;
}

void VantrelGameLayer::padlinkDeviceDPadButtonUp(JPDevice*, int, int direction) { setPhoneDPad(direction, 0); }

void VantrelGameLayer::padlinkDeviceDPadButtonDown(JPDevice*, int, int direction) { setPhoneDPad(direction, 1); }

// Directions 0 up, 1 right, 2 down, 3 left; others are ignored.
void VantrelGameLayer::setPhoneDPad(int direction, int held) {
    int* slots[4] = {&networkDPADData_.up, &networkDPADData_.right, &networkDPADData_.down, &networkDPADData_.left};
    if (direction < 0 || direction > 3) return;
    *slots[direction] = held;
    const vector2d<float> v = networkDPADData_.sum();
    networkJoystickData_ = {v.X, v.Y};
    hasNetworkJoystickData_ = true;
}

void VantrelGameLayer::padlinkDeviceButtonDown(JPDevice*, int button) {
    if (!level_) return;
    performButtonAction(phoneButtonAction(button, level_->isDay(), level_->isNight(), gamePaused_));
}

void VantrelGameLayer::padlinkDeviceAnalogStickDidMove(JPDevice*, int, float angle, float distance) {
    if (!std::isfinite(angle) || !std::isfinite(distance)) {
        networkJoystickData_ = CGPointZero;
    } else {
        const float capped = std::min(distance, 1.0f);
        networkJoystickData_ = sanitisedPhoneVector(capped * std::cos(angle), capped * std::sin(angle));
    }
    hasNetworkJoystickData_ = true;
}

// ---- HID pads and joysticks ----

void VantrelGameLayer::initHidJoystickControl() {
    hidJoysticks_ = DDHidJoystick::allJoysticks();
    for (const RefPtr<DDHidJoystick>& joystick : hidJoysticks_) {
        joystick->setDelegate(this);
        joystick->startListening();
    }
}

void VantrelGameLayer::cleanupHidJoystickControl() {
    for (const RefPtr<DDHidJoystick>& joystick : hidJoysticks_) {
        joystick->stopListening();
        joystick->setDelegate(nullptr);
    }
    hidJoysticks_.clear();
}

void VantrelGameLayer::ddhidJoystickStickXChanged(DDHidJoystick* joystick, uint32_t stick, int32_t value) {
    ddhidJoystickStickAxisXChanged(joystick, stick, 0, value);
}

void VantrelGameLayer::ddhidJoystickStickYChanged(DDHidJoystick* joystick, uint32_t stick, int32_t value) {
    ddhidJoystickStickAxisYChanged(joystick, stick, 0, value);
}

void VantrelGameLayer::ddhidJoystickStickOtherAxisValueChanged(DDHidJoystick* joystick, uint32_t stick,
                                                               uint32_t otherAxis, int32_t value) {
    if (otherAxis == 0) ddhidJoystickStickAxisXChanged(joystick, stick, 1, value);
    else if (otherAxis == 1) ddhidJoystickStickAxisYChanged(joystick, stick, 1, value);
}

void VantrelGameLayer::ddhidJoystickStickAxisXChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t axis,
                                                      int32_t value) {
    hidAxisChanged(joystick, stick, axis, value, false);
}

void VantrelGameLayer::ddhidJoystickStickAxisYChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t axis,
                                                      int32_t value) {
    hidAxisChanged(joystick, stick, axis, value, true);
}

void VantrelGameLayer::makeHidJoystickActive(DDHidJoystick* joystick) {
    if (hidActiveJoystick_.get() == joystick) return;
    hidActiveJoystick_ = RefPtr<DDHidJoystick>(joystick);
    if (joystick) VTHidMapper::sharedInstance().setDeviceName(joystick->productName());
}

void VantrelGameLayer::hidAxisChanged(DDHidJoystick* joystick, uint32_t stick, uint32_t axis, int32_t value,
                                      bool yAxis) {
    if (!allowGameControls_) return;
    clearTouches();
    hideCursorWhileSteering();
    float& component = yAxis ? hidJoystickAcceleration_.Y : hidJoystickAcceleration_.X;
    const bool outsideDeadZone = value >= kHidDeadZone || value <= -kHidDeadZone;
    const auto fromActive = [&] {
        return hidActiveJoystick_.get() == joystick && hidActiveStick_ == stick && hidActiveAxis_ == axis;
    };
    if (outsideDeadZone) {
        const float shifted = static_cast<float>(value > 0 ? value - kHidDeadZone : value + kHidDeadZone);
        makeHidJoystickActive(joystick);
        hidActiveStick_ = stick;
        hidActiveAxis_ = axis;
        component = shifted / (yAxis ? -kHidAxisRange : kHidAxisRange);
    } else if (fromActive()) {
        component = 0;
    }
    if (!fromActive()) return;
    if (hidJoystickAcceleration_.getLengthSQ() > 1) {
        hidJoystickAcceleration_.limitToUnitLength();
        isHidJoystickActive_ = true;
    } else {
        isHidJoystickActive_ = hidJoystickAcceleration_.getLengthSQ() > units::kEpsilon;
    }
    if (isHidJoystickActive_) clearTouches();
}

void VantrelGameLayer::ddhidJoystickStickPovNumberValueChanged(DDHidJoystick*, uint32_t, uint32_t, int32_t value) {
    if (!allowGameControls_) return;
    clearTouches();
    hideCursorWhileSteering();
    hidDPADData_ = {};
    switch (value) {
        case 0: hidDPADData_.up = 1; break;
        case 4500: hidDPADData_.up = hidDPADData_.right = 1; break;
        case 9000: hidDPADData_.right = 1; break;
        case 13500: hidDPADData_.right = hidDPADData_.down = 1; break;
        case 18000: hidDPADData_.down = 1; break;
        case 22500: hidDPADData_.down = hidDPADData_.left = 1; break;
        case 27000: hidDPADData_.left = 1; break;
        case 31500: hidDPADData_.left = hidDPADData_.up = 1; break;
        default: break;
    }
    updateHidDPAD();
}

void VantrelGameLayer::ddhidJoystickButtonDown(DDHidJoystick* joystick, uint32_t buttonNumber) {
    makeHidJoystickActive(joystick);
    clearTouches();
    hideCursorWhileSteering();
    const uint32_t logical = VTHidMapper::sharedInstance().map(buttonNumber);
    const bool day = level_ && level_->isDay();
    const bool night = level_ && level_->isNight();
    performButtonAction(hidButtonAction(logical, day, night, gamePaused_));
    updateHidDPAD();
}

void VantrelGameLayer::ddhidJoystickButtonUp(DDHidJoystick* joystick, uint32_t buttonNumber) {
    makeHidJoystickActive(joystick);
    clearTouches();
    hideCursorWhileSteering();
    const ButtonAction action = hidButtonAction(VTHidMapper::sharedInstance().map(buttonNumber), false, false, false);
    setHidDPadDirection(action, 0);
    updateHidDPAD();
}

void VantrelGameLayer::updateHidDPAD() {
    isHidDPADActive_ = hidDPADData_.left || hidDPADData_.right || hidDPADData_.up || hidDPADData_.down;
    hidDPADAcceleration_ = hidDPADData_.sum();
}
