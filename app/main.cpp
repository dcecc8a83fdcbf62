#include <filesystem>

#include "app/menu/VantrelIntroLayer.h"
#include "shell/Vantrel_OSXAppDelegate.h"
#include "audio/ALWrapper.h"
#include "audio/VantrelAudio.h"
#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCScene.h"
#include "engine/core/CCTextureCache.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/window/GLWindow.h"

// The game's entry: a 1024 x 768 window centred on the screen, the launch, the frame loop until
// the window is closed, the system asks to quit or the quit button is pressed, then the one way
// out: the preferences saved and the director ended.
int main() {
    // Without a display the one logged line says so, and nothing else is printed.
    if (!GLWindow::openDisplay()) return 1;
    // The window and its GL context take tens of milliseconds in which this thread only waits:
    // meanwhile the sound device opens, for the audio front to take when the launch makes it, and
    // the splash picture is decoded, for the intro. A device that cannot be opened there is told
    // when the launch makes the audio front; a broken picture is told once.
    ALWrapper::openDefaultDeviceAhead();
    CCTextureCache::decodeAhead(VantrelIntroLayer::kSplashPicture);
    const RefPtr<CCGLView> view = CCGLView::viewWithFrame(CGRectMake(0, 0, 1024, 768), "Vantrel");
    if (!view) return 1;
    std::error_code error;
    if (const std::string resources = resourceFolder(); std::filesystem::is_directory(resources, error)) {
        logLine("Vantrel: %s, resources in %s", ccEngineVersion(), resources.c_str());
    } else {
        logLine("Vantrel: %s", ccEngineVersion());
    }

    // The level objects' kinds, which the play scene's factory builds by type code.
    game::GameObjectKinds::registerKinds();
    Vantrel_OSXAppDelegate* delegate = Vantrel_OSXAppDelegate::sharedInstance();
    // Going to the background during a game pauses it.
    delegate->setGamePauser([] {
        if (VantrelGameLayer* game = VantrelGameLayer::currentGameLayer()) game->pauseGame();
    });
    delegate->applicationDidFinishLaunching(view, [] { return VantrelIntroLayer::scene(); });
    // sharedDirector makes the frame-loop director.
    auto* director = static_cast<CCDirectorDisplayLink*>(CCDirector::sharedDirector());
    director->mainLoop();
    delegate->applicationWillTerminate();
    director->end();
    // The launch made the audio front; letting it go closes the sound device cleanly.
    VantrelAudio::sharedInstance()->destroyAudio();
    return 0;
}
