#include "game/core/GameMessage.h"

#include <cmath>
#include <cstdio>

#include "engine/core/support/ccPointMath.h"
#include "game/core/GameMessageDelegate.h"
#include "game/core/GameMessages.h"
#include "game/core/Units.h"
#include "platform/foundation/Random.h"

namespace {

GameMessageDelegate* gGameDelegate = nullptr;

// Line 2's caption of each info, 1 to 18.
constexpr const char* kCaptions[] = {
    "VANTREL\nNECTAR",     "NECTAR\nBONUS!",  "NECTAR\nLOST!",       "HONEY\nBONUS!",    "SUCKING\nSTREAK!",
    "TIME\nBONUS!",        "TIME\nLOST!",     "SECONDS\nLEFT!",      "ALL FLOWERS\nFOUND!", "ALL BUDDIES\nFOUND!",
    "HIVE\nHONEY",         "HONEY\nBONUS!",   "HIVE\nSTREAK!",       "FLOWERS\nVISITED", "BEE BUDDIES\nFOUND",
    "DISTANCE\nTRAVELLED", "NEW HIGH\nSCORE", "BUSY\nTIME!"};

constexpr ccColor3B kModeColours[] = {{255, 255, 255}, {103, 234, 103}, {255, 78, 62}, {254, 255, 104}, {177, 176, 255}};

bool isSelfUpdating(int info) {
    return info == GameMessage::kInfoNectar || info == GameMessage::kInfoSecondsLeft ||
           info == GameMessage::kInfoHiveHoney || info == GameMessage::kInfoDistanceTravelled;
}

// Where a location puts the bubble (in units of the distance) and how its labels align.
struct Placement {
    int dx, dy;
    int32_t alignment;
    double anchorX;
};
Placement placementFor(int location) {
    switch (location) {
        case 1: return {0, 1, CCLabelBMFont::kAlignmentCenter, 0.5};
        case 2: return {1, 1, CCLabelBMFont::kAlignmentLeft, 0};
        case 3: return {1, 0, CCLabelBMFont::kAlignmentLeft, 0};
        case 4: return {1, -1, CCLabelBMFont::kAlignmentLeft, 0};
        case 5: return {0, -1, CCLabelBMFont::kAlignmentCenter, 0.5};
        case 6: return {-1, -1, CCLabelBMFont::kAlignmentRight, 1};
        case 7: return {-1, 0, CCLabelBMFont::kAlignmentRight, 1};
        case 8: return {-1, 1, CCLabelBMFont::kAlignmentRight, 1};
        default: return {0, 0, CCLabelBMFont::kAlignmentCenter, 0.5};
    }
}

}  // namespace

GameMessageDelegate* GameMessage::gameDelegate() { return gGameDelegate; }
void GameMessage::setGameDelegate(GameMessageDelegate* delegate) { gGameDelegate = delegate; }

RefPtr<GameMessage> GameMessage::gameMessageWithType(int type, int info, int mode, int location, float distance) {
    auto message = makeRef<GameMessage>();
    return message->initWithType(type, info, mode, location, distance) ? message : nullptr;
}

bool GameMessage::initWithType(int type, int info, int mode, int location, float distance) {
    setVisible(false);
    line1Text_ = CCLabelBMFont::labelWithString("", kLine1Font, kLabelWidth, CCLabelBMFont::kAlignmentRight);
    line2Text_ = CCLabelBMFont::labelWithString("", kLine2Font, kLabelWidth, CCLabelBMFont::kAlignmentRight);
    if (line1Text_) {
        line1Text_->setPosition({0, -2});
        addChild(line1Text_.get());
    }
    if (line2Text_) addChild(line2Text_.get());
    type_ = type;
    info_ = info;
    // The distance comes before the location, whose offset it scales.
    distance_ = distance;
    setMode(mode);
    setLocation(location);
    respectStacking_ = type == 2;
    setMessageScale(1);
    setMessageOpacity(255);
    setValue(0);
    randomiseMass();
    velocity_ = CGPointZero;
    alwaysSnap_ = positionSnapRequired_ = false;
    isTimed_ = false;
    if (info >= kInfoNectar && info <= kInfoBuddyLine) setText(kCaptions[info - 1]);
    autoUpdateValue_ = isSelfUpdating(info);
    // A number that follows the game shows from the start, 0 included: setValue writes only
    // changes, and 0 is the starting value. A signed one waits for the value it is shown with.
    if (autoUpdateValue_) setValueText("0");
    if (info == kInfoBuddyLine) {
        if (line1Text_) line1Text_->setVisible(false);
        alwaysSnap_ = true;
    }
    return true;
}

void GameMessage::setValue(int value) {
    if (value == value_) return;
    value_ = value;
    char text[16];
    std::snprintf(text, sizeof(text), isSelfUpdating(info_) ? "%i" : "%+i", value);
    setValueText(text);
}

std::string GameMessage::valueText() const { return line1Text_ ? line1Text_->string() : std::string(); }

void GameMessage::setValueText(std::string_view text) {
    if (line1Text_ && line1Text_->string() != text) line1Text_->setString(text);
}

std::string GameMessage::text() const { return line2Text_ ? line2Text_->string() : std::string(); }

void GameMessage::setText(std::string_view text) {
    if (line2Text_ && line2Text_->string() != text) line2Text_->setString(text);
}

void GameMessage::setMode(int mode) {
    if (mode == mode_) return;
    mode_ = mode;
    const ccColor3B colour = mode >= kModeWhite && mode <= kModeLavender ? kModeColours[mode] : kModeColours[0];
    setLine1Colour(colour);
    if (info_ == kInfoBuddyLine) setLine2Colour(colour);
}

void GameMessage::setLocation(int location) {
    if (location == location_) return;
    location_ = location;
    updateAlignment();
}

void GameMessage::setDistance(float distance) {
    if (distance == distance_) return;
    distance_ = distance;
    const int location = location_;
    location_ = -1;
    setLocation(location);
}

void GameMessage::setLine1Colour(ccColor3B colour) {
    if (colour == line1Colour_) return;
    line1Colour_ = colour;
    if (line1Text_) line1Text_->setColor(colour);
}

void GameMessage::setLine2Colour(ccColor3B colour) {
    if (colour == line2Colour_) return;
    line2Colour_ = colour;
    if (line2Text_) line2Text_->setColor(colour);
}

void GameMessage::setParentMessage(GameMessage* parent) {
    if (parent == parentMessage_) return;
    parentMessage_ = parent;
    if (parent) {
        target_ = parent;
        setMessageScale(respectStacking_ ? parent->messageScale() * kStackScale : parent->messageScale());
        setMessageOpacity(static_cast<uint8_t>(messageScale_ * 255));
    } else {
        target_ = owner_ ? owner_->target() : nullptr;
        setMessageScale(1);
        setMessageOpacity(255);
    }
    updateAlignment();
}

void GameMessage::setMessageScale(float scale) {
    if (scale != messageScale_) {
        messageScale_ = scale;
        setScale(scale);
    }
    if (childMessage_) childMessage_->setMessageScale(childMessage_->respectStacking() ? scale * kStackScale : scale);
}

void GameMessage::setMessageOpacity(uint8_t opacity) {
    if (opacity != messageOpacity_) {
        messageOpacity_ = opacity;
        if (line1Text_) line1Text_->setOpacity(opacity);
        if (line2Text_) line2Text_->setOpacity(opacity);
    }
    if (childMessage_) childMessage_->setMessageOpacity(static_cast<uint8_t>(childMessage_->messageScale() * 255));
}

void GameMessage::updateAlignment() {
    if (parentMessage_) {
        CCLabelBMFont* parentLine1 = parentMessage_->line1Text();
        CCLabelBMFont* parentLine2 = parentMessage_->line2Text();
        if (line1Text_ && parentLine1) {
            line1Text_->setAnchorPoint(parentLine1->anchorPoint());
            line1Text_->setAlignment(parentLine1->alignment());
        }
        if (line2Text_ && parentLine2) {
            line2Text_->setAnchorPoint(parentLine2->anchorPoint());
            line2Text_->setAlignment(parentLine2->alignment());
        }
    } else {
        const Placement placement = placementFor(location_);
        if (location_ >= 1 && location_ <= 8) positionOffset_ = {placement.dx * distance_, placement.dy * distance_};
        if (line1Text_) {
            line1Text_->setAnchorPoint({placement.anchorX, 0});
            line1Text_->setAlignment(placement.alignment);
        }
        if (line2Text_) {
            line2Text_->setAnchorPoint({placement.anchorX, 1});
            line2Text_->setAlignment(placement.alignment);
        }
    }
    if (childMessage_) childMessage_->updateAlignment();
}

void GameMessage::randomiseMass() {
    mass_ = Random::unitFloat() + 0.5f;
    invMass_ = 1.0f / mass_;
}

void GameMessage::showForTime(float seconds) {
    isTimed_ = true;
    delay_ = seconds;
    if (visible()) return;
    setVisible(true);
    positionSnapRequired_ = true;
    randomiseMass();
}

void GameMessage::showForTime(float seconds, int value) {
    isTimed_ = true;
    delay_ = seconds;
    setValue(value);
    showForTime(seconds);
}

void GameMessage::showForTime(float seconds, std::string_view valueText) {
    isTimed_ = true;
    delay_ = seconds;
    setValueText(valueText);
    showForTime(seconds);
}

bool GameMessage::autoValue(int* value) const {
    if (!gGameDelegate) return false;
    switch (info_) {
        case kInfoNectar: *value = static_cast<int>(gGameDelegate->playerNectar()); return true;
        case kInfoSecondsLeft: *value = static_cast<int>(std::ceil(gGameDelegate->dayTimeRemaining())); return true;
        case kInfoHiveHoney: *value = static_cast<int>(gGameDelegate->playerHiveHoney()); return true;
        case kInfoDistanceTravelled: *value = static_cast<int>(gGameDelegate->playerDistanceTravelled()); return true;
        default: return false;
    }
}

void GameMessage::update(float dt, float rotation) {
    if (visible() && isTimed_) {
        delay_ -= dt;
        if (delay_ <= 0) {
            isTimed_ = false;
            delay_ = 0;
            setVisible(false);
            velocity_ = CGPointZero;
        }
    }
    if (!visible()) return;
    int value = 0;
    if (autoUpdateValue_ && autoValue(&value)) setValue(value);
    setRotation(rotation);
    if (!target_) return;

    const float k = respectStacking_ ? messageScale_ : 1.0f;
    const CGPoint offset = ccPointRotateAround({positionOffset_.x * k, positionOffset_.y * k}, CGPointZero,
                                               -rotation * units::kRadiansPerDegree);
    const CGPoint targetPosition = target_->position();
    const CGPoint place{targetPosition.x + offset.x, targetPosition.y + offset.y};
    const CGPoint at = position();
    if (alwaysSnap_ || positionSnapRequired_) {
        setPosition(place);
        positionSnapRequired_ = false;
    } else if (!parentMessage_) {
        // A damped spring, damping 4.0, stiffness 0.75; the velocity is in points per frame.
        velocity_.x += dt * invMass_ * ((at.x - place.x) * -0.75 - velocity_.x * 4.0);
        velocity_.y += dt * invMass_ * ((at.y - place.y) * -0.75 - velocity_.y * 4.0);
        setPosition({at.x + velocity_.x, at.y + velocity_.y});
    } else {
        // A stacked bubble eases 15% of the way to its place each frame, so it trails the bubble
        // before it; trailing may widen their gap but never close it: measured along the offset,
        // it stays at least the offset's length from that bubble, whose caption it would otherwise
        // run into while that one springs back.
        CGPoint next{at.x + (place.x - at.x) * 0.15, at.y + (place.y - at.y) * 0.15};
        const double reach = offset.x * offset.x + offset.y * offset.y;
        const double along =
            reach > 0 ? ((next.x - targetPosition.x) * offset.x + (next.y - targetPosition.y) * offset.y) / reach : 1;
        if (along < 1) next = {next.x + (1 - along) * offset.x, next.y + (1 - along) * offset.y};
        setPosition(next);
    }
}

void GameMessage::reset() {
    setVisible(false);
    isTimed_ = false;
    delay_ = 0;
}
