#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/CCLayer.h"

class CCLabelTTF;
class CCLayerColor;
class CCMenu;

// The game-service view drawn inside the window: a dimmed backdrop over everything, and a panel
// with the heading, the page's title, its rows (a name on the left, a value on the right; in up
// to four columns when one would make them too small to read), a line saying the results stay
// on this computer, and a DONE button. Made of the engine's own layers,
// labels and menus, so that it can be the director's notification node and be drawn while the
// director is paused.
//
// While running it takes all mouse, keyboard and touch input ahead of everything else: the DONE
// menu at kMenuPriority, the layer itself right behind it. DONE, Escape or a press outside the
// panel call `finish` once; every other event is swallowed, so nothing behind the view reacts.
//
// Engine thread only, with the view's GL context current.
class GameKitOverlayLayer : public CCLayer {
public:
    static constexpr int64_t kMenuPriority = std::numeric_limits<int64_t>::min();
    static constexpr int64_t kInputPriority = kMenuPriority + 1;
    // The family of every text.
    static constexpr const char* kFontName = "DejaVu Sans";

    using Rows = std::vector<std::pair<std::string, std::string>>;

    // A view of the window's size titled `title`, showing `status` until rows come.
    static RefPtr<GameKitOverlayLayer> layerWithTitle(const std::string& title, const std::string& status,
                                                      std::function<void()> finish);

    // Replaces the status line or the rows shown so far by the rows, or by `status` when there
    // are none.
    void showRows(const Rows& rows, const std::string& status);

    // The panel in window points; presses inside it are swallowed, presses outside finish.
    CGRect panelRect() const;

    int64_t mouseDelegatePriority() const override { return kInputPriority; }
    int64_t keyboardDelegatePriority() const override { return kInputPriority; }
    int64_t touchDelegatePriority() const override { return kInputPriority; }
    // Registers the layer, then moves the DONE menu ahead of it.
    void onEnter() override;

    bool ccMouseDown(const Event& event) override;
    bool ccMouseDragged(const Event&) override { return true; }
    bool ccMouseMoved(const Event&) override { return true; }
    bool ccMouseUp(const Event&) override { return true; }
    bool ccRightMouseDown(const Event&) override { return true; }
    bool ccRightMouseDragged(const Event&) override { return true; }
    bool ccRightMouseUp(const Event&) override { return true; }
    bool ccOtherMouseDown(const Event&) override { return true; }
    bool ccOtherMouseDragged(const Event&) override { return true; }
    bool ccOtherMouseUp(const Event&) override { return true; }
    bool ccScrollWheel(const Event&) override { return true; }
    bool ccMouseEntered(const Event&) override { return true; }
    bool ccMouseExited(const Event&) override { return true; }
    bool ccKeyDown(const Event& event) override;
    bool ccKeyUp(const Event&) override { return true; }
    bool ccFlagsChanged(const Event&) override { return true; }
    bool ccTouchesBeganWithEvent(const Event&) override { return true; }
    bool ccTouchesMovedWithEvent(const Event&) override { return true; }
    bool ccTouchesEndedWithEvent(const Event&) override { return true; }
    bool ccTouchesCancelledWithEvent(const Event&) override { return true; }

private:
    bool initWithTitle(const std::string& title, const std::string& status, std::function<void()> finish);
    // A label of `text` at `position` in the panel, anchored at `anchor`; null (logged by the
    // label) when the font cannot be opened.
    CCLabelTTF* addLabel(const std::string& text, float fontSize, CGPoint position, CGPoint anchor);
    // Calls `finish` the first time only.
    void finishOnce();

    std::function<void()> finish_;
    RefPtr<CCLayerColor> panel_;
    RefPtr<CCMenu> menu_;
    RefPtr<CCNode> rows_;   // the rows or the status line, replaced as a whole
    float rowsTop_ = 0;     // panel points: where the first row starts
    float rowsBottom_ = 0;  // and where the last must end
};
