#pragma once

#include <cstdint>

#include "engine/core/CCDirectorMac.h"

// The director that sharedDirector makes: it runs the frame loop on the main thread, which is the
// engine thread. One pass of the loop pumps the window's events (input is posted to the engine
// thread's run loop), draws a frame (getFrameForTime: drawScene, then one run-loop pass that
// delivers those events and runs the other posted work), then paces: the buffer swap waits for
// vertical sync where the driver has it, otherwise the loop sleeps to the next animation interval,
// running any work posted meanwhile.
class CCDirectorDisplayLink : public CCDirectorMac {
public:
    CCDirectorDisplayLink() = default;

    // Frame times count from now; the loop may run.
    void startAnimation() override;
    // The loop stops after the frame under way; safe from inside a frame.
    void stopAnimation() override;
    // One frame: frame time, scheduler tick unless paused, scene switch, drawing, buffer swap,
    // with the GL context locked from the tick to the swap.
    void drawScene() override;
    // Also (even for the same view): the event dispatcher becomes the view's event delegate with
    // delivery on, trackpad touches off, swap interval 1.
    void setView(RefPtr<CCGLView> view) override;

    // The frame: records the engine thread on the first one, draws, then runs one pass of the
    // engine thread's run loop. Returns 0 (success).
    int getFrameForTime();

    // Runs the loop until the window is closed or the animation stops (the engine ended).
    void mainLoop();
    // Runs at most `count` passes of the loop; fewer when it stops first. Returns the frames run.
    uint64_t runFrames(uint64_t count);

protected:
    ~CCDirectorDisplayLink() override;

private:
    // One pass of the loop; false, drawing nothing, when the loop has to stop.
    bool runFrame();
    // Sleeps to the next frame time, running work posted meanwhile.
    void waitForNextFrame();

    bool vsync_ = false;         // the view's swap waits for vertical sync
    double nextFrameTime_ = 0;   // monotonic seconds at which the next frame is due (without vsync)
};
