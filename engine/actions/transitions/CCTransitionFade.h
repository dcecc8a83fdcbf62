#pragma once

#include <cstdint>

#include "engine/actions/transitions/CCTransitionScene.h"
#include "engine/core/ccTypes.h"

// The tag of the overlay layer of the fade and cross-fade transitions.
inline constexpr int64_t kCCTransitionFadeLayerTag = 0xFADEFADE;

// The screen fades from the outgoing scene to a solid colour in the first half and from that
// colour to the incoming scene in the second.
class CCTransitionFade : public CCTransitionScene {
public:
    // Through black.
    static RefPtr<CCTransitionFade> transitionWithDuration(float duration, RefPtr<CCScene> scene);
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionFade> transitionWithDuration(float duration, RefPtr<CCScene> scene, ccColor3B color);

    // Through black.
    bool initWithDuration(float duration, RefPtr<CCScene> scene);
    // The base initialiser, then the colour (with alpha 0).
    bool initWithDuration(float duration, RefPtr<CCScene> scene, ccColor3B color);

    // Hides the incoming scene and lays a layer of the colour over both (z 2, tag
    // kCCTransitionFadeLayerTag) that fades in, swaps the scenes and fades out.
    void onEnter() override;
    // Exits, then removes the layer.
    void onExit() override;

    // The colour faded through; alpha 0.
    ccColor4B color() const { return color_; }

private:
    ccColor4B color_{0, 0, 0, 0};
};
