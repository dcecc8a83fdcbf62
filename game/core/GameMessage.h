#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/core/CCNode.h"
#include "engine/core/ccTypes.h"
#include "engine/render/CCLabelBMFont.h"
#include "game/core/GameMessagePositionProtocol.h"

class GameMessageDelegate;
class GameMessages;

// A two-line speech bubble that floats beside the object it follows: a big number or word over a
// small caption. Its kind (info) fixes the caption and where the number comes from, its mode the
// first line's colour, its location the side of the target it sits on. A timer hides it; a damped
// spring lets the first bubble of a queue trail its target, while stacked bubbles ease after the
// one before them, never nearer to it than their offset, smaller and fainter when they respect
// stacking.
//
// Positions in points in the messages holder's space (the target's parent's); rotations in
// degrees, clockwise. The velocity is in points per frame. Engine thread only.
class GameMessage : public CCNode, public GameMessagePositionProtocol {
public:
    // Info codes.
    enum Info : int {
        kInfoNectar = 1, kInfoNectarBonus, kInfoNectarLost, kInfoHoneyBonus, kInfoSuckingStreak, kInfoTimeBonus,
        kInfoTimeLost, kInfoSecondsLeft, kInfoAllFlowersFound, kInfoAllBuddiesFound, kInfoHiveHoney,
        kInfoHiveHoneyBonus, kInfoHiveStreak, kInfoFlowersVisited, kInfoBuddiesFound, kInfoDistanceTravelled,
        kInfoNewHighScore, kInfoBuddyLine
    };
    // Modes: the first line's colour.
    enum Mode : int { kModeWhite = 0, kModeGreen, kModeRed, kModeYellow, kModeLavender };
    static constexpr const char* kLine1Font = "FuturaBeeLarge_osx.fnt";
    static constexpr const char* kLine2Font = "FuturaBee_osx.fnt";
    static constexpr float kLabelWidth = 240;     // points
    static constexpr float kDefaultDistance = 50;  // points
    static constexpr float kStackScale = 0.8f;

    // Hidden bubbles. Location 0 leaves the offset at zero.
    static RefPtr<GameMessage> gameMessageWithType(int type, int info, int mode, int location = 0,
                                                   float distance = kDefaultDistance);

    // The running game's delegate (not retained), or null outside a game: without one, bubbles
    // are queued into no holder and self-updating ones keep their value.
    static GameMessageDelegate* gameDelegate();
    static void setGameDelegate(GameMessageDelegate* delegate);

    GameMessage() = default;
    // Invisible, white, unscaled, with the info's caption; a label whose font cannot be loaded is
    // left out (its loader logs why) and the bubble shows nothing on that line.
    bool initWithType(int type, int info, int mode, int location = 0, float distance = kDefaultDistance);

    // Line 1: the number in the info's format ("%+i", or "%i" for the self-updating infos), set
    // only when it changes; or a text of its own.
    int value() const { return value_; }
    void setValue(int value);
    std::string valueText() const;
    void setValueText(std::string_view text);
    // Line 2.
    std::string text() const;
    void setText(std::string_view text);

    int type() const { return type_; }
    void setType(int type) { type_ = type; }
    int info() const { return info_; }
    void setInfo(int info) { info_ = info; }
    int mode() const { return mode_; }
    void setMode(int mode);
    int location() const { return location_; }
    void setLocation(int location);
    float distance() const { return distance_; }
    void setDistance(float distance);
    ccColor3B line1Colour() const { return line1Colour_; }
    void setLine1Colour(ccColor3B colour);
    ccColor3B line2Colour() const { return line2Colour_; }
    void setLine2Colour(ccColor3B colour);
    bool alwaysSnap() const { return alwaysSnap_; }
    void setAlwaysSnap(bool snap) { alwaysSnap_ = snap; }
    bool autoUpdateValue() const { return autoUpdateValue_; }
    void setAutoUpdateValue(bool autoUpdate) { autoUpdateValue_ = autoUpdate; }
    bool respectStacking() const { return respectStacking_; }
    void setRespectStacking(bool respect) { respectStacking_ = respect; }
    CCLabelBMFont* line1Text() const { return line1Text_.get(); }
    CCLabelBMFont* line2Text() const { return line2Text_.get(); }
    CGPoint positionOffset() const { return positionOffset_; }
    CGPoint velocity() const { return velocity_; }
    float mass() const { return mass_; }
    bool isTimed() const { return isTimed_; }
    float delay() const { return delay_; }

    // Queue links, none retained: the queue, the bubbles before and after this one, and what it
    // follows (its parent bubble or the queue's target).
    GameMessages* owner() const { return owner_; }
    void setOwner(GameMessages* owner) { owner_ = owner; }
    GameMessage* parentMessage() const { return parentMessage_; }
    // Stacks this bubble behind `parent` (scaled by kStackScale from it when respecting
    // stacking, opacity following the scale), or makes it the first again.
    void setParentMessage(GameMessage* parent);
    GameMessage* childMessage() const { return childMessage_; }
    void setChildMessage(GameMessage* child) { childMessage_ = child; }
    const GameMessagePositionProtocol* target() const { return target_; }
    void setTarget(const GameMessagePositionProtocol* target) { target_ = target; }
    // The node's position: the point the next bubble of the queue follows.
    CGPoint position() const override { return CCNode::position(); }

    // Each passes on to the child: its scale (x kStackScale when it respects stacking), and an
    // opacity of its own scale x 255.
    float messageScale() const { return messageScale_; }
    void setMessageScale(float scale);
    uint8_t messageOpacity() const { return messageOpacity_; }
    void setMessageOpacity(uint8_t opacity);
    // Places the labels for the location (or as the parent bubble has them), and the child's.
    void updateAlignment();
    // A new spring mass, 0.5 to 1.5.
    void randomiseMass();

    // Starts the timer (seconds); a hidden bubble also shows, jumps to its place at the next
    // update and takes a new mass. A visible one keeps its place and spring.
    void showForTime(float seconds);
    void showForTime(float seconds, int value);
    void showForTime(float seconds, std::string_view valueText);

    // Once per frame through its queue: the timer, the self-updating value, the rotation
    // (degrees) and the move towards the target. The node's own scheduled update stays as it is.
    using CCNode::update;
    void update(float dt, float rotation);

    // Hidden and untimed; resetQuick only hides.
    void reset();
    void resetQuick() { setVisible(false); }

protected:
    ~GameMessage() override = default;

private:
    // The current value of a self-updating info, from the game delegate.
    bool autoValue(int* value) const;

    GameMessages* owner_ = nullptr;
    GameMessage* parentMessage_ = nullptr;
    GameMessage* childMessage_ = nullptr;
    const GameMessagePositionProtocol* target_ = nullptr;
    int type_ = 0;                // 1 or 2; type 2 respects stacking
    int info_ = 0;                // 1..18
    int mode_ = -1;               // 0..4; -1 until the first setMode
    int location_ = -1;           // 0..8; -1 until the first setLocation
    float distance_ = 0;          // points from the target
    CGPoint positionOffset_;      // the location's offset at scale 1, points
    CGPoint velocity_;            // points per frame
    bool alwaysSnap_ = false;
    bool positionSnapRequired_ = false;
    float mass_ = 1;              // 0.5..1.5
    float invMass_ = 1;
    int value_ = 0;
    bool autoUpdateValue_ = false;
    RefPtr<CCLabelBMFont> line1Text_;
    RefPtr<CCLabelBMFont> line2Text_;
    ccColor3B line1Colour_{255, 255, 255};
    ccColor3B line2Colour_{255, 255, 255};
    bool isTimed_ = false;
    float delay_ = 0;             // seconds left
    bool respectStacking_ = false;
    float messageScale_ = 1;
    uint8_t messageOpacity_ = 255;
};
