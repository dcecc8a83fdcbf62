#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "engine/core/CCLayerColor.h"
#include "platform/foundation/Geometry.h"
#include "shell/InterfaceSound.h"

class CCAnimation;
class CCLabelBMFont;
class CCScene;
class CCSprite;

// The scene between the menu and a game, and between one game and the next. It empties the
// engine's caches, slides a bee with a random bee fact over a dark picture, builds the next scene
// while the picture stands still (a level loads here), then slides the bee out and gives way to
// that scene.
//
// Destinations are named by class and built through a registry the higher layers fill
// ("VantrelGameLayer" by the game, "VantrelMenuLayer" by the menu, which an empty scene stands for
// until the menu registers). A destination that refuses to build (a level that cannot be played)
// gives way to the menu, with a log line, and the level asked for is forgotten (nextLevelId
// cleared), so that the menu does not start it again.
//
// Timeline: entered; set up on the next frame; the bee slides in (0.5 s); a hold of 2.0 s of
// wall-clock time, then the destination is built; 0.1 s; the bee slides out (0.5 s); replaced.
// The hold runs on the engine thread's run loop, everything else on scheduler time. Heading into
// a game (nextLevelId set) the bee flies from left to right; towards the menu it flies from right
// to left, mirrored.
//
// Engine thread only; making one needs the view's GL context.
class VantrelTransitionLayer : public CCLayerColor {
public:
    static constexpr const char* kMenuClassName = "VantrelMenuLayer";
    static constexpr ccColor4B kColour = {36, 22, 15, 255};
    static constexpr float kSlideSeconds = 0.5f;
    static constexpr double kHoldSeconds = 2.0;  // wall clock
    static constexpr float kWaitSeconds = 0.1f;
    static constexpr int64_t kBeeAnimationTag = 1234;
    static constexpr size_t kFactCount = 54;

    // Builds a class's scene; answers null when the scene cannot be built.
    using SceneBuilder = std::function<RefPtr<CCScene>()>;
    // Runs `block` once after `seconds` of wall-clock time on the engine thread; calling the
    // answer before then cancels it.
    using WallClockDelay = std::function<std::function<void()>(double seconds, std::function<void()> block)>;

    // Replaces any builder registered under the name; a null builder unregisters.
    static void registerScene(const std::string& className, SceneBuilder builder);
    static bool isSceneRegistered(const std::string& className);

    // When the class is registered, the transition scene replaces the running scene (or starts the
    // director with it) and answers true; otherwise nothing changes, with a log line.
    static bool sceneTransitionTo(const std::string& className);
    // A scene holding a transition layer towards the class.
    static RefPtr<CCScene> sceneWithDestination(const std::string& className);

    // The hold's clock: a timer on the engine thread's run loop unless a test installs its own;
    // null puts the run loop back.
    static void setWallClockDelay(WallClockDelay delay);

    // The facts and tips shown under the bee, upper case, lines broken by '\n'; index below
    // kFactCount.
    static const char* fact(size_t index);

    // Sets the transition game state.
    explicit VantrelTransitionLayer(std::string destination);

    const std::string& destination() const { return destination_; }
    // The destination's scene, or the menu's when it refuses (nextLevelId is then cleared); null
    // when neither builds.
    RefPtr<CCScene> buildDestinationScene() const;

    // Sets the scene up on the next frame.
    void onEnter() override;
    // Cancels a hold under way.
    void onExit() override;

    // The interface click, for whoever shows something over this scene: initAudio loads it
    // ("interface.wav") and takes the audio front's interface channel; the plays are silent
    // before that or when the sound could not be loaded. The scene's own flow plays nothing.
    void initAudio() { interfaceSound_.load(); }
    void playInterfaceSound() { interfaceSound_.play(0.0f); }
    // pan: -1 left to 1 right.
    void playInterfaceSoundPanned(float pan) { interfaceSound_.play(pan); }
    void cleanupAudio() {}
    const InterfaceSound& interfaceSound() const { return interfaceSound_; }

    // Null before the set-up.
    CCNode* beeHolder() const { return beeHolder_.get(); }
    CCSprite* bee() const { return bee_.get(); }
    CCSprite* beeShadow() const { return beeShadow_.get(); }
    CCSprite* background() const { return background_.get(); }
    CCLabelBMFont* factLabel() const { return fact_.get(); }
    CCLabelBMFont* factShadow() const { return factShadow_.get(); }
    // The destination once built.
    CCScene* nextScene() const { return nextScene_.get(); }
    bool leftToRight() const { return leftToRight_; }

protected:
    // Gives back its pictures: the bee frames, the background and the font page leave the
    // texture cache.
    ~VantrelTransitionLayer() override;

private:
    // Set-up, on the first frame after entering.
    void onEnterDelayed(float dt);
    void emptyCaches();
    void setupAssetLoader();
    // The resource suffix stays as set up: nothing to restore.
    void restoreAssetLoader() {}
    void createBeeAnimation();
    void destroyBeeAnimation();
    std::string generateFact() const;
    void placeNodes(const std::string& text);

    // Slide in, hold, build, wait, slide out, replace.
    void transitionIn();
    void onTransitionInComplete();
    void loadNextScene();
    void transitionOutAfterDelay();
    void transitionOut(float dt);
    void onTransitionOutComplete();
    void runNextScene();
    void slideBeeHolderTo(double x, bool easeOut, void (VantrelTransitionLayer::*then)());

    void animateBee();
    void stopAnimatingBee();

    std::string destination_;  // class name of the destination's layer
    RefPtr<CCScene> nextScene_;
    CGSize screenSize_;
    CGSize halfScreenSize_;
    bool leftToRight_ = false;  // heading into a game
    RefPtr<CCSprite> background_;
    RefPtr<CCNode> beeHolder_;  // carries the bee and its shadow; the node that slides
    RefPtr<CCSprite> bee_;
    RefPtr<CCSprite> beeShadow_;
    RefPtr<CCAnimation> beeAnimation_;  // wing beat: frames 1, 2, 3, 2
    RefPtr<CCLabelBMFont> fact_;
    RefPtr<CCLabelBMFont> factShadow_;
    std::function<void()> cancelHold_;  // set while the hold runs
    InterfaceSound interfaceSound_;  // loaded by initAudio only
};
