#include "app/shell/Vantrel_OSXAppDelegate.h"

#include "app/shell/ApplicationPreferences.h"
#include "app/shell/GameKitHelper.h"
#include "engine/core/CCDirectorMac.h"
#include "platform/foundation/Log.h"

Vantrel_OSXAppDelegate* Vantrel_OSXAppDelegate::sharedInstance() {
    static Vantrel_OSXAppDelegate* const instance = [] {
        auto* delegate = new Vantrel_OSXAppDelegate(*ApplicationPreferences::sharedInstance());
        delegate->setGameServiceViewCloser([] {
            GameKitHelper* helper = GameKitHelper::sharedInstance();
            if (helper->isGameCenterViewOpen()) helper->closeGameCenter();
        });
        return delegate;
    }();
    return instance;
}

Vantrel_OSXAppDelegate::Vantrel_OSXAppDelegate(ApplicationPreferences& preferences) : preferences_(preferences) {}

CCDirectorMac* Vantrel_OSXAppDelegate::director() {
    auto* director = dynamic_cast<CCDirectorMac*>(CCDirector::sharedDirector());
    if (!director) logLine("Full screen: the director is not a desktop director");
    return director;
}

void Vantrel_OSXAppDelegate::toggleFullScreen(Object* /*sender*/) {
    if (closeGameServiceView_) closeGameServiceView_();
    CCDirectorMac* const director = Vantrel_OSXAppDelegate::director();
    if (!director) return;
    // The director keeps the view's touch setting across the switch, and the view stays the same
    // window, so nothing else needs restoring.
    const bool fullScreen = !director->isFullScreen();
    director->setFullScreen(fullScreen);
    preferences_.setUseFullscreen(fullScreen);
}

void Vantrel_OSXAppDelegate::saveAndDisableFullScreen() {
    const CCDirectorMac* const director = Vantrel_OSXAppDelegate::director();
    wasFullScreen_ = director && director->isFullScreen();
    if (wasFullScreen_) toggleFullScreen();
}

void Vantrel_OSXAppDelegate::restoreFullScreen() {
    const CCDirectorMac* const director = Vantrel_OSXAppDelegate::director();
    // A second restore without a background spell between must not toggle full screen off again.
    if (wasFullScreen_ && director && !director->isFullScreen()) toggleFullScreen();
}
