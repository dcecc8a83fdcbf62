#include <filesystem>

#include "engine/core/CCDirectorDisplayLink.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCScene.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"

// The game's entry: the engine's window at the design size of 1024 x 768 points, letterboxed when
// it is resized, running a scene until the window is closed.
int main() {
    // Without a display the one logged line says so, and nothing else is printed.
    const RefPtr<CCGLView> view = CCGLView::viewWithFrame(CGRectMake(0, 0, 1024, 768), "Vantrel");
    if (!view) return 1;
    std::error_code error;
    if (const std::string resources = resourceFolder(); std::filesystem::is_directory(resources, error)) {
        logLine("Vantrel: %s, resources in %s", ccEngineVersion(), resources.c_str());
    } else {
        logLine("Vantrel: %s", ccEngineVersion());
    }

    // sharedDirector makes the frame-loop director.
    auto* director = static_cast<CCDirectorDisplayLink*>(CCDirector::sharedDirector());
    director->setView(view);
    director->setProjection(CCProjectionKind2D);
    director->setResizeMode(CCResizeModeKeepDesignSize);
    director->runWithScene(CCScene::node());
    director->mainLoop();
    director->end();
    return 0;
}
