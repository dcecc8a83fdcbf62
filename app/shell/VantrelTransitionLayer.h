#pragma once

#include <functional>
#include <string>

#include "engine/core/CCLayer.h"

class CCScene;

// The scene between the menu and the play scene: it is shown while the next scene is built, and
// builds that scene by class name from a registry the higher layers fill ("VantrelGameLayer" by
// the game, "VantrelMenuLayer" by the menu, which an empty scene stands for until the menu
// registers). A destination that refuses to build (a level that
// cannot be played) gives way to "VantrelMenuLayer", with a log line.
//
// This is the plain hand-over: the transition shows nothing of its own yet. Engine thread only.
class VantrelTransitionLayer : public CCLayer {
public:
    static constexpr const char* kMenuClassName = "VantrelMenuLayer";

    // Builds a class's scene; answers null when the scene cannot be built.
    using SceneBuilder = std::function<RefPtr<CCScene>()>;

    // Replaces any builder registered under the name; a null builder unregisters.
    static void registerScene(const std::string& className, SceneBuilder builder);
    static bool isSceneRegistered(const std::string& className);

    // When the class is registered, the transition scene replaces the running scene (or starts the
    // director with it) and answers true; otherwise nothing changes, with a log line.
    static bool sceneTransitionTo(const std::string& className);
    // A scene holding a transition layer towards the class.
    static RefPtr<CCScene> sceneWithDestination(const std::string& className);

    explicit VantrelTransitionLayer(std::string destination) : destination_(std::move(destination)) {}

    const std::string& destination() const { return destination_; }
    // The destination's scene, or the menu's when it refuses; null when neither builds.
    RefPtr<CCScene> buildDestinationScene() const;

    // Sets the transition game state and asks for the destination after this frame.
    void onEnter() override;

private:
    // Replaces the transition with the destination's scene.
    void showDestination(float dt);

    std::string destination_;
};
