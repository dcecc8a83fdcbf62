#pragma once

#include <utility>

#include "engine/core/CCScene.h"

class CCAction;
class CCEventDispatcher;
class CCFiniteTimeAction;
class CCRenderTexture;
struct ccGridSize;

// A scene that stands in for the running scene while it animates the change to another: handed
// to the director's replaceScene or pushScene instead of the new scene, it draws the outgoing
// scene (the director's running scene when the transition was made) and the incoming one, runs
// its actions on them, and at the end of its animation (finish) has the director switch to the
// incoming scene.
//
// While a transition exists and has not ended, the director's event dispatcher delivers nothing,
// so no click starts a second change half way through. Events come back when the transition
// switches to its incoming scene, when it leaves the screen for any other scene (the incoming
// scene was replaced again meanwhile, or the engine ended), or when it is dropped unused.
//
// The director makes the lifecycle calls of the linked scenes through the transition: the
// outgoing scene gets onExitTransitionDidStart when the transition enters and onExit when it
// leaves; the incoming scene gets onEnter when the transition enters and
// onEnterTransitionDidFinish when it leaves, once each (see CCDirector::setNextScene).
//
// Subclasses override onEnter, call this onEnter first, then start their actions through
// runOnOutScene, runOnInScene or on their own overlay children; one of those actions ends with a
// call of finish. Engine thread only.
class CCTransitionScene : public CCScene {
public:
    // A new transition through the initialiser of the same parameters; null when it refuses.
    static RefPtr<CCTransitionScene> transitionWithDuration(float duration, RefPtr<CCScene> scene);

    CCTransitionScene();

    // Duration in seconds, the incoming scene (retained) and the director's running scene as the
    // outgoing one (retained); turns event delivery off and calls sceneOrder. Subclasses whose
    // sceneOrder reads their own settings store them first. False with one log line when no scene
    // runs, the scene is null, or it is the running scene itself.
    bool initWithDuration(float duration, RefPtr<CCScene> scene);

    // True: the director leaves the linked scenes' lifecycle calls to this transition.
    bool isTransition() const override { return true; }

    // Visits both scenes: the outgoing one first when the incoming one is on top, else the reverse.
    void draw() override;
    // Enters itself, then the outgoing scene's onExitTransitionDidStart and the incoming scene's
    // onEnter.
    void onEnter() override;
    // Exits itself and the outgoing scene. When the director switches to the incoming scene, that
    // scene gets onEnterTransitionDidFinish; otherwise it is exited too, the actions this
    // transition ran on the scenes are stopped, and both scenes are reset and shown. Event
    // delivery comes back either way.
    void onExit() override;
    // Cleans itself up, the outgoing scene when the transition replaced it (rather than being
    // pushed over it), and the incoming scene when it never took over.
    void cleanup() override;

    // Sets the drawing order; here the incoming scene on top.
    virtual void sceneOrder();
    // Ends the animation: the incoming scene shown and the outgoing one hidden, both at (0, 0),
    // scale 1, rotation 0, camera restored; the switch (setNewScene) follows at the next scheduler
    // pass, outside the action that called this.
    void finish();
    // Incoming scene visible, outgoing hidden: the midpoint of fades and splits.
    void hideOutShowIn();
    // Has the director replace this transition by the incoming scene, turns event delivery back on
    // and shows the outgoing scene again. Does nothing more than unschedule itself when this
    // transition is no longer the running scene (a newer transition stands in for it).
    void setNewScene(float dt);

    // The scene being shown; never null once initialised.
    CCScene* inScene() const override { return inScene_.get(); }
    // The scene being left; never null once initialised.
    CCScene* outScene() const { return outScene_.get(); }
    // Seconds.
    float duration() const { return duration_; }
    // Drawing order: true draws the incoming scene over the outgoing one.
    bool inSceneOnTop() const { return inSceneOnTop_; }

protected:
    ~CCTransitionScene() override;

    // A new transition of class T through its initialiser; null when that fails.
    template <class T, class... Settings>
    static RefPtr<T> makeTransition(float duration, RefPtr<CCScene> scene, Settings... settings) {
        RefPtr<T> transition = makeRef<T>();
        return transition->initWithDuration(duration, std::move(scene), settings...) ? transition : nullptr;
    }

    // A window-sized render texture centred in the window (its sprite's anchor at the centre too)
    // holding the scene drawn once over opaque or transparent black. Null when no render texture
    // can be made (it logs why).
    static RefPtr<CCRenderTexture> snapshot(CCScene* scene, bool opaque);
    // The grid of the tile transitions: 12 rows, and as many columns as the window's aspect ratio
    // gives (16 for 4:3, 9 for 3:4).
    static ccGridSize tileGridSize();
    // Calls of finish and of hideOutShowIn on this transition (retained by the action), for
    // action sequences.
    RefPtr<CCFiniteTimeAction> finishAction();
    RefPtr<CCFiniteTimeAction> hideOutShowInAction();
    // Run the transition's action on the outgoing or incoming scene. The transition keeps it until
    // it leaves the screen, so that an interrupted transition can stop it.
    void runOnOutScene(RefPtr<CCFiniteTimeAction> action);
    void runOnInScene(RefPtr<CCFiniteTimeAction> action);

    RefPtr<CCScene> inScene_;
    RefPtr<CCScene> outScene_;
    float duration_ = 0;  // seconds
    bool inSceneOnTop_ = true;
    bool sendCleanupToScene_ = false;  // the outgoing scene was replaced, not pushed over

private:
    // Back to position (0, 0), scale 1, rotation 0 with a restored camera.
    static void resetScene(CCScene* scene);
    // Back to the state before the transition touched it: reset, shown, drawn without a grid
    // effect.
    static void restoreScene(CCScene* scene);
    void restoreEvents();

    RefPtr<CCAction> outSceneAction_;              // run on outScene_; held while on screen
    RefPtr<CCAction> inSceneAction_;               // run on inScene_; held while on screen
    bool inSceneTookOver_ = false;                 // the director switched to inScene_ when this one left
    RefPtr<CCEventDispatcher> blockedDispatcher_;  // turned off by this transition; null once back on
};
