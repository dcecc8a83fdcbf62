#pragma once

#include "engine/actions/transitions/CCTransitionSplitCols.h"

// As CCTransitionSplitCols with three rows that slide apart horizontally.
class CCTransitionSplitRows : public CCTransitionSplitCols {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionSplitRows> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    // The split over half the duration: 3 rows.
    RefPtr<CCActionInterval> action() override;
};
