#include "app/shell/VantrelTransitionLayer.h"

#include <unordered_map>

#include "app/shell/VantrelGlobal.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCScene.h"
#include "platform/foundation/Log.h"

namespace {

// Until the menu registers itself, its place is held by an empty scene.
std::unordered_map<std::string, VantrelTransitionLayer::SceneBuilder>& builders() {
    static std::unordered_map<std::string, VantrelTransitionLayer::SceneBuilder> registry{
        {VantrelTransitionLayer::kMenuClassName, [] { return CCScene::node(); }}};
    return registry;
}

RefPtr<CCScene> buildScene(const std::string& className) {
    const auto found = builders().find(className);
    return found == builders().end() ? nullptr : found->second();
}

}  // namespace

void VantrelTransitionLayer::registerScene(const std::string& className, SceneBuilder builder) {
    if (builder) {
        builders()[className] = std::move(builder);
    } else {
        builders().erase(className);
    }
}

bool VantrelTransitionLayer::isSceneRegistered(const std::string& className) {
    return builders().count(className) != 0;
}

bool VantrelTransitionLayer::sceneTransitionTo(const std::string& className) {
    if (!isSceneRegistered(className)) {
        logLine("Transition: no scene is registered as \"%s\"; staying", className.c_str());
        return false;
    }
    CCDirector* director = CCDirector::sharedDirector();
    RefPtr<CCScene> scene = sceneWithDestination(className);
    if (director->runningScene() || director->nextScene()) {
        director->replaceScene(scene);
    } else {
        director->runWithScene(scene);
    }
    return true;
}

RefPtr<CCScene> VantrelTransitionLayer::sceneWithDestination(const std::string& className) {
    RefPtr<CCScene> scene = CCScene::node();
    scene->addChild(makeRef<VantrelTransitionLayer>(className).get());
    return scene;
}

RefPtr<CCScene> VantrelTransitionLayer::buildDestinationScene() const {
    if (RefPtr<CCScene> scene = buildScene(destination_)) return scene;
    if (destination_ == kMenuClassName) {
        logLine("Transition: the menu could not be built");
        return nullptr;
    }
    logLine("Transition: \"%s\" could not be built; back to \"%s\"", destination_.c_str(), kMenuClassName);
    RefPtr<CCScene> menu = buildScene(kMenuClassName);
    if (!menu) logLine("Transition: the menu could not be built");
    return menu;
}

void VantrelTransitionLayer::onEnter() {
    CCLayer::onEnter();
    VantrelGlobal::sharedInstance()->setGameState(VantrelGlobal::kStateTransition);
    scheduleOnce(ccSelector(&VantrelTransitionLayer::showDestination), 0);
}

void VantrelTransitionLayer::showDestination(float) {
    if (RefPtr<CCScene> scene = buildDestinationScene()) CCDirector::sharedDirector()->replaceScene(scene);
}
