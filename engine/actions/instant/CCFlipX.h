#pragma once

#include "engine/actions/CCActionInstant.h"

class CCSprite;

// Sets its target sprite's flipX flag; it reverses to the opposite flag. A target that is not a
// sprite is left alone.
class CCFlipX : public CCActionInstant {
public:
    static RefPtr<CCFlipX> actionWithFlipX(bool flipX);
    bool initWithFlipX(bool flipX);

    // The same flag.
    RefPtr<CCAction> copy() const override;
    // A CCFlipX with the opposite flag.
    RefPtr<CCFiniteTimeAction> reverse() const override;
    // The target is taken as a sprite at the start; the update sets the flag.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCFlipX* makeEmptyCopy() const override { return new CCFlipX; }

private:
    bool flipX_ = false;
    CCSprite* sprite_ = nullptr;  // the target as a sprite while running; not retained
};
