#pragma once

#include "engine/actions/transitions/CCTransitionScene.h"

// The outgoing scene dissolves into the incoming one. Both are drawn once, when the transition
// starts, into pictures that are blended; the scenes do not animate meanwhile.
class CCTransitionCrossFade : public CCTransitionScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionCrossFade> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // Draws both scenes into window-sized render textures and lays them over the scenes in a
    // layer (z 2, tag kCCTransitionFadeLayerTag), the outgoing picture on top fading out. Ends at
    // once when no render texture can be made.
    void onEnter() override;
    // Removes the layer, then exits.
    void onExit() override;
    // Nothing: only the pictures show.
    void draw() override;
};
