#pragma once

#include "platform/foundation/Object.h"

// Asked by the director for the projection of kind CCProjectionKindCustom.
class CCDirectorDelegate : public Object {
public:
    // Sets up the viewport and the projection and model-view matrices; nothing by default.
    virtual void updateProjection() {}
};
