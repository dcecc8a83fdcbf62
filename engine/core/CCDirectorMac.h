#pragma once

#include "engine/core/CCDirector.h"

// Resize modes: the logical window size follows the view, or stays the design size with the
// picture letterboxed into the view.
inline constexpr int CCResizeModeFollowView = 0;
inline constexpr int CCResizeModeKeepDesignSize = 1;

// The desktop director: the GL view in a window that may go full screen, the resize modes with
// their letterboxing, the projection matrices, the logical window size and the event dispatcher.
//
// A view of zero width or height has no projection: setProjection only records the kind until the
// view has a size, and logical coordinates pass through unchanged.
class CCDirectorMac : public CCDirector {
public:
    CCDirectorMac();

    // A new view also fixes the design size when none is known yet (outside full screen).
    void setView(RefPtr<CCGLView> view) override;

    int resizeMode() const { return resizeMode_; }
    // A change re-applies the projection.
    void setResizeMode(int mode);

    // The viewport (letterboxed in resize mode 1) and the matrices of the kind: 2D orthographic or
    // 3D perspective over the design size, or the delegate's for the custom kind.
    void setProjection(int kind) override;

    // The design size in resize mode 1, else the view's size.
    CGSize winSize() const override;
    CGSize winSizeInPixels() const override;

    // View pixels to design coordinates: a point on the letterboxed picture maps into 0 .. design
    // size, points on the bars fall outside. Unchanged in resize mode 0.
    CGPoint convertToLogicalCoordinates(CGPoint point) const override;

    // Switches the view's window to and from full screen; the view keeps its GL context, so
    // textures survive, and the resize that follows reaches the projection through the view.
    void setFullScreen(bool fullScreen);
    bool isFullScreen() const { return isFullScreen_; }

    CGSize originalWinSize() const { return originalWinSize_; }
    void setOriginalWinSize(CGSize size) { originalWinSize_ = size; }
    // Offset of the letterboxed viewport in the view, pixels.
    CGPoint winOffset() const { return winOffset_; }

    CCEventDispatcher* eventDispatcher() const override;
    void setEventDispatcher(RefPtr<CCEventDispatcher> dispatcher) override;

protected:
    ~CCDirectorMac() override;

    bool isFullScreen_ = false;
    int resizeMode_ = CCResizeModeKeepDesignSize;
    CGPoint winOffset_;        // letterbox offset of the viewport, pixels (resize mode 1)
    CGSize originalWinSize_;   // design size: pixel size of the first view set outside full screen
    RefPtr<CCEventDispatcher> eventDispatcher_;
};
