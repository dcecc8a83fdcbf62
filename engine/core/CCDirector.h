#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCActionManager;
class CCDirectorDelegate;
class CCEventDispatcher;
class CCGLView;
class CCLabelAtlas;
class CCNode;
class CCScene;
class CCScheduler;
class RunLoop;
struct Event;

// Projection kinds.
inline constexpr int CCProjectionKind2D = 0;
inline constexpr int CCProjectionKind3D = 1;
inline constexpr int CCProjectionKindCustom = 2;

// Draw calls issued since the statistics last reset it; every drawing node adds its own.
extern uint64_t ccDrawCallCounter;

// "Lumora v2.1-beta2".
const char* ccEngineVersion();

// Posted by the director (as the sender) on the default NotificationCenter just before and just
// after isPaused changes, so that watchers see the value on both sides of the change.
inline constexpr const char* kCCDirectorIsPausedWillChangeNotification = "CCDirectorIsPausedWillChange";
inline constexpr const char* kCCDirectorIsPausedDidChangeNotification = "CCDirectorIsPausedDidChange";

// A frame-time clock reading: whole seconds and the microseconds past them (0..999999).
struct ccTimeval {
    int64_t seconds = 0;
    int32_t microseconds = 0;
};

// The one process-wide object that runs the engine: it owns the scene stack and switches scenes at
// the start of a frame, measures frame times, owns the scheduler and the action manager that every
// node uses, keeps the window sizes and the projection kind and sets the GL defaults.
//
// This class is the platform-independent part; CCDirectorMac adds the view handling, resize modes
// and projections, CCDirectorDisplayLink the frame loop. Everything runs on the engine thread,
// which on this platform is the main thread.
//
// Scene operations only record the next scene; the switch happens at the start of the next frame
// (setNextScene). A scene passed to them must not be null (NamedException
// "NSInvalidArgumentException").
class CCDirector : public Object {
public:
    // The shared director, made on first use as a CCDirectorDisplayLink unless one was installed.
    static CCDirector* sharedDirector();
    // Installs the shared director, the way a program picks its own director class before first
    // use; tests install a fresh one per test. Null drops the shared director, and the next
    // sharedDirector() makes a new one. Call end() on a director before dropping it.
    static void setSharedDirector(RefPtr<CCDirector> director);

    CCDirector();

    // "<CCDirectorDisplayLink = 0x... | Size: 1024 x 768, view = <CCGLView = 0x...>>".
    std::string description() const override;

    // MARK: view and projection

    CCGLView* view() const { return view_.get(); }
    // Nothing for the current view; else keeps the view, takes its size as the window size and,
    // for a view, applies the GL defaults.
    virtual void setView(RefPtr<CCGLView> view);
    // Alpha blending on, depth test as the view's depth format asks, the current projection, clear
    // colour opaque black. Needs the view.
    void setGLDefaultValues();
    // (GL_ONE, GL_ONE_MINUS_SRC_ALPHA) or blending off.
    void setAlphaBlending(bool on);
    void setDepthTest(bool on);
    int projection() const { return projection_; }
    // Builds the viewport and matrices of the kind (CCDirectorMac); nothing here.
    virtual void setProjection(int kind);
    // Eye distance of the 3D projection: the pixel height / 1.1566 / content scale factor.
    float getZEye() const;
    // Takes the new view size as both window sizes and re-applies the projection.
    void reshapeProjection(CGSize size);
    // The logical window size all layout works in; here the stored sizes.
    virtual CGSize winSize() const;
    virtual CGSize winSizeInPixels() const;
    // Window coordinates have no meaning on this platform: (0, 0).
    CGPoint convertToGL(CGPoint point) const;
    CGPoint convertToUI(CGPoint point) const;

    // MARK: scene stack

    // pushScene, then startAnimation.
    void runWithScene(RefPtr<CCScene> scene);
    // Replaces the top of the stack. An empty stack throws NamedException "NSRangeException": start
    // with runWithScene.
    void replaceScene(RefPtr<CCScene> scene);
    void pushScene(RefPtr<CCScene> scene);
    // Drops the top scene; the last one ends the engine. An empty stack throws "NSRangeException".
    void popScene();
    // Leaves only the root scene (exit and cleanup of the others at once); with one scene, end.
    void popToRootScene();
    // Shuts the engine down: the running scene exits and is cleaned up, the stack is emptied, the
    // frame loop stops, the view goes and the caches are purged.
    void end();
    // The switch to nextScene, at the start of a frame. A transition (CCTransitionScene) makes the
    // lifecycle calls of the scenes it links: the running scene gets no exit calls when the next
    // scene is a transition, and the next scene gets no enter calls when it is the incoming scene
    // of the transition that ran (which entered it already). Any other scene after a transition is
    // entered as usual.
    void setNextScene();

    // Stops ticking the scheduler (drawing goes on); resume starts it again with a zero frame time.
    void pause();
    void resume();

    // MARK: frame bookkeeping

    // dt of this frame from the clock; 0 after setNextDeltaTimeZero(true) or a failed reading.
    void calculateDeltaTime();
    // secondsPerFrame = time since this frame's calculateDeltaTime.
    void calculateMPF();
    // Counts the frame and, every 0.1 s of frame time, measures the frame rate and shows it, the
    // seconds per frame and the draw calls in the statistics labels; draws the labels in the
    // current model-view matrix (window space) and resets ccDrawCallCounter.
    void showStats();
    // (Re)builds the three statistics labels from the character map "fps_images.png" (12 x 32
    // point cells from '.', RGBA4444): draw calls at (0, 34), seconds per frame at (0, 17), frames
    // per second at (0, 0). Without a view there are none; when the map cannot be loaded there
    // are none either, and one line is logged.
    void createStatsLabel();
    // Drops what the caches hold that nobody uses.
    void purgeCachedData();

    // Frame-loop operations of the platform director; nothing here.
    virtual void drawScene();
    virtual void startAnimation();
    virtual void stopAnimation();
    // Nothing: the frame loop keeps its own pace, and animationInterval stays 1/60.
    virtual void setAnimationInterval(double interval);

    // MARK: properties

    double animationInterval() const { return animationInterval_; }
    bool displayStats() const { return displayStats_; }
    void setDisplayStats(bool display) { displayStats_ = display; }
    bool nextDeltaTimeZero() const { return nextDeltaTimeZero_; }
    void setNextDeltaTimeZero(bool zero) { nextDeltaTimeZero_ = zero; }
    bool isPaused() const { return isPaused_; }
    bool isAnimating() const { return isAnimating_; }
    bool sendCleanupToScene() const { return sendCleanupToScene_; }
    CCScene* runningScene() const { return runningScene_.get(); }
    // The scene the next switch installs; null when none is due. During the switch it is still set
    // while the outgoing scene exits, so that a transition can tell whether its incoming scene
    // takes over.
    CCScene* nextScene() const { return nextScene_; }
    // The engine thread's loop, where work for the engine thread is posted; null before the first
    // frame.
    RunLoop* runningThread() const { return runningThread_; }
    uint64_t totalFrames() const { return totalFrames_; }
    float secondsPerFrame() const { return secondsPerFrame_; }
    // Frames per second measured by the statistics.
    float frameRate() const { return frameRate_; }
    float dt() const { return dt_; }
    CCNode* notificationNode() const { return notificationNode_.get(); }
    void setNotificationNode(RefPtr<CCNode> node);
    CCDirectorDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(RefPtr<CCDirectorDelegate> delegate);
    CCScheduler* scheduler() const { return scheduler_.get(); }
    void setScheduler(RefPtr<CCScheduler> scheduler);
    CCActionManager* actionManager() const { return actionManager_.get(); }
    void setActionManager(RefPtr<CCActionManager> actionManager);

    // MARK: platform additions shared by every director

    // The event's window location (points, origin bottom-left) in logical coordinates.
    CGPoint convertEventToGL(const Event& event) const;
    // View pixels to logical coordinates; unchanged here (CCDirectorMac letterboxes).
    virtual CGPoint convertToLogicalCoordinates(CGPoint point) const;
    // Points times the factor are pixels; 1 at start, 2 in high resolution. Process-wide.
    double contentScaleFactor() const;
    // A different factor is stored and the projection rebuilt.
    void setContentScaleFactor(double factor);
    // Switches the factor to 2 (on) or 1 (off). True when already so; false when the GL maximum
    // texture size is below 4096 or there is no view to ask.
    bool enableHighResolutionDisplay(bool enable);
    // The event dispatcher (CCDirectorMac); none here, and setting one does nothing.
    virtual CCEventDispatcher* eventDispatcher() const;
    virtual void setEventDispatcher(RefPtr<CCEventDispatcher> dispatcher);

protected:
    ~CCDirector() override;

    // Reads the frame-time clock: the monotonic clock, so that changing the wall clock never makes
    // a frame time jump. False when it cannot be read. Tests replace it.
    virtual bool readClock(ccTimeval* now);
    // The view's GL maximum texture size, pixels a side; 0 without a view. Tests replace it.
    virtual int32_t maxTextureSize() const;

    double animationInterval_ = 1.0 / 60;     // seconds; requested frame interval
    double oldAnimationInterval_ = 1.0 / 60;  // kept by pause, restored by resume
    bool displayStats_ = false;
    uint64_t frames_ = 0;        // frames since the last statistics update
    uint64_t totalFrames_ = 0;   // frames drawn since start
    float secondsPerFrame_ = 0;  // cost of the last frame, seconds
    float accumDt_ = 0;          // frame time since the last statistics update, seconds
    float frameRate_ = 0;        // last measured frames per second
    RefPtr<CCLabelAtlas> FPSLabel_;    // the statistics labels; all or none
    RefPtr<CCLabelAtlas> SPFLabel_;
    RefPtr<CCLabelAtlas> drawsLabel_;
    bool isPaused_ = false;
    bool isAnimating_ = false;   // the frame loop runs
    RefPtr<CCScene> runningScene_;
    RefPtr<CCNode> notificationNode_;  // visited after the running scene every frame
    CCScene* nextScene_ = nullptr;     // the scene to switch to; owned by the stack
    bool sendCleanupToScene_ = false;  // the outgoing scene gets cleanup at the switch
    std::vector<RefPtr<CCScene>> scenesStack_;
    ccTimeval lastUpdate_;             // clock reading at the start of the current frame
    float dt_ = 0;                     // seconds; duration of the current frame
    bool nextDeltaTimeZero_ = false;
    int projection_ = CCProjectionKind3D;
    RefPtr<CCDirectorDelegate> delegate_;
    CGSize winSizeInPoints_;           // the view's size
    CGSize winSizeInPixels_;           // the same, in pixels (equal on this platform)
    RunLoop* runningThread_ = nullptr;  // the engine thread's loop; set by the first frame
    RefPtr<CCScheduler> scheduler_;
    RefPtr<CCActionManager> actionManager_;
    RefPtr<CCGLView> view_;
};
