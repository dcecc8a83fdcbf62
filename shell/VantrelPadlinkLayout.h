#pragma once

#include "PadlinkSDK/PadlinkRPCLib/JPControllerLayout.h"

// The game's controller layouts for phones: each a new layout named "Vantrel" on the background
// "padlink_bg.png". Frames are in the phone's layout points.
//
// Identifiers the game listens for: 14 and 15 the left and right arrows of the menus (and the
// first and second choice of the pause and summary screens), 6 to 8 the screen's own buttons (6
// also the pause button in play), 2 the analog stick, 0 the d-pad.
class VantrelPadlinkLayout {
public:
    VantrelPadlinkLayout() = delete;

    static RefPtr<JPControllerLayout> empty();
    // The arrows only: title, credits and flight log.
    static RefPtr<JPControllerLayout> menu();
    static RefPtr<JPControllerLayout> menuSettings();
    static RefPtr<JPControllerLayout> menuInstructions();
    // The arrows and one, two or three hive buttons (identifiers from 6) of a level group's screen.
    static RefPtr<JPControllerLayout> menuHiveA();
    static RefPtr<JPControllerLayout> menuHiveAB();
    static RefPtr<JPControllerLayout> menuHiveABC();
    // Play: the pause button and the steering.
    static RefPtr<JPControllerLayout> joystickLeft();
    static RefPtr<JPControllerLayout> joystickRight();
    static RefPtr<JPControllerLayout> joystickRelative();
    static RefPtr<JPControllerLayout> accelerometer();
    static RefPtr<JPControllerLayout> dpad();
    // Keep playing (14) or quit (15); play again (14) or back to the menu (15).
    static RefPtr<JPControllerLayout> gamePaused();
    static RefPtr<JPControllerLayout> gameSummaryComplete();

private:
    static RefPtr<JPControllerLayout> layout();
    static void addMenuNav(JPControllerLayout& layout);
    static void addPauseNav(JPControllerLayout& layout);
};
