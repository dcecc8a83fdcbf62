#pragma once

#include "engine/core/CCNode.h"

// The root of a displayed tree: a node the size of the logical window, placed by its lower-left
// corner at the origin, with the anchor point at its centre.
class CCScene : public CCNode {
public:
    static RefPtr<CCScene> node();

    CCScene();

    // True for the scene transitions, which make the enter and exit calls of the scenes they link
    // themselves; the director then leaves those calls out when it switches scenes.
    virtual bool isTransition() const { return false; }
    // The scene a transition brings in; null for every other scene. The director asks it when it
    // switches scenes, so that it need not know the transition classes.
    virtual CCScene* inScene() const { return nullptr; }
};
