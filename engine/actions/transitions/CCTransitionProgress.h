#pragma once

#include <cstdint>

#include "engine/actions/transitions/CCTransitionScene.h"
#include "engine/render/CCProgressTimer.h"

class CCRenderTexture;

// The tag of the progress timer the progress transitions lay over the scenes.
inline constexpr int64_t kCCTransitionProgressNodeTag = 0xC001;

// A picture of one scene, shown through a progress timer over the other, is revealed or wiped
// away as the timer's percentage runs. Here the outgoing scene's picture is wiped away (100 to 0
// percent) over the incoming scene, which is shown at once. The shape of the wipe is the
// subclass's progress timer; there are no instances of this class itself.
class CCTransitionProgress : public CCTransitionScene {
public:
    // Outgoing scene on top.
    void sceneOrder() override;
    // Draws the scene to be modified once into a window-sized picture over opaque black, swaps the
    // scenes if it is the outgoing one, and lays the subclass's timer over them (z 2, tag
    // kCCTransitionProgressNodeTag), running from `from` to `to` percent over the duration. Ends
    // at once when no picture can be made.
    void onEnter() override;
    // Removes the timer, then exits.
    void onExit() override;

    // Picks the scene to be modified and the percentages: the outgoing scene, 100 to 0.
    virtual void setupTransition();
    // A timer showing the texture's sprite, in the window's centre.
    virtual RefPtr<CCProgressTimer> progressTimerNodeWithRenderTexture(CCRenderTexture* texture) = 0;

protected:
    // The timers of the subclasses: the texture's sprite flipped upright, shown through a timer at
    // the window's centre with anchor (0.5, 0.5), set to the percentage. A radial timer sweeps
    // clockwise, or anticlockwise when reversed, and starts full.
    static RefPtr<CCProgressTimer> radialTimer(CCRenderTexture* texture, bool reverseDirection);
    static RefPtr<CCProgressTimer> barTimer(CCRenderTexture* texture, CGPoint midpoint, CGPoint barChangeRate,
                                            float percentage);

    float to_ = 0;                          // percent
    float from_ = 0;                        // percent
    CCScene* sceneToBeModified_ = nullptr;  // inScene_ or outScene_; not retained

private:
    static RefPtr<CCProgressTimer> timerForTexture(CCRenderTexture* texture, CCProgressTimerType type);
};
