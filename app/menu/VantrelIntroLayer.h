#pragma once

#include "engine/core/CCLayer.h"

class CCScene;
class CCSprite;

// The splash: "Default.png" over the window for two seconds of scheduler time, then the menu.
// The splash texture leaves the texture cache with the layer.
//
// Engine thread only.
class VantrelIntroLayer : public CCLayer {
public:
    // Scheduler seconds the splash stays.
    static constexpr float kSplashSeconds = 2.0f;
    // The splash picture, a resource file.
    static constexpr const char* kSplashPicture = "Default.png";

    // A scene holding a new intro layer.
    static RefPtr<CCScene> scene();

    // The splash scaled by window width / 1024 and centred; without the picture (logged) the
    // layer is empty and still hands over to the menu.
    bool init();
    void onEnter() override;
    // Replaces the running scene with the menu.
    void loadMenu(float dt);

    CCSprite* background() const { return background_.get(); }

protected:
    ~VantrelIntroLayer() override;

private:
    RefPtr<CCSprite> background_;
};
