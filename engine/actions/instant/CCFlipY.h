#pragma once

#include "engine/actions/CCActionInstant.h"

class CCSprite;

// Sets its target sprite's flipY flag; it reverses to the opposite flag. A target that is not a
// sprite is left alone.
class CCFlipY : public CCActionInstant {
public:
    static RefPtr<CCFlipY> actionWithFlipY(bool flipY);
    bool initWithFlipY(bool flipY);

    // The same flag.
    RefPtr<CCAction> copy() const override;
    // A CCFlipY with the opposite flag.
    RefPtr<CCFiniteTimeAction> reverse() const override;
    // The target is taken as a sprite at the start; the update sets the flag.
    void startWithTarget(Object* target) override;
    void update(float t) override;

protected:
    CCFlipY* makeEmptyCopy() const override { return new CCFlipY; }

private:
    bool flipY_ = false;
    CCSprite* sprite_ = nullptr;  // the target as a sprite while running; not retained
};
