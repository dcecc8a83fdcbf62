#include "shell/VantrelPadlinkLayout.h"

namespace {
constexpr const char* kHiveImage = "padlink_hive.png";
// The left and right arrows of the menus, and the left and right buttons of the pause and summary
// screens.
constexpr int32_t kLeftChoice = 14;
constexpr int32_t kRightChoice = 15;
constexpr int32_t kFirstScreenButton = 6;
constexpr uint32_t kStickRadius = 120;  // points
constexpr CGRect kStickFrame(double x) { return CGRectMake(x, 40, 380, 240); }
}  // namespace

RefPtr<JPControllerLayout> VantrelPadlinkLayout::layout() {
    RefPtr<JPControllerLayout> layout = JPControllerLayout::layout();
    layout->setName("Vantrel");
    layout->setBackgroundImageName("padlink_bg.png");
    return layout;
}

void VantrelPadlinkLayout::addMenuNav(JPControllerLayout& layout) {
    layout.addButtonWithFrame(CGRectMake(0, 112, 96, 96), std::string("padlink_arrow_left.png"), kLeftChoice);
    layout.addButtonWithFrame(CGRectMake(384, 112, 96, 96), std::string("padlink_arrow_right.png"), kRightChoice);
}

void VantrelPadlinkLayout::addPauseNav(JPControllerLayout& layout) {
    layout.addButtonWithFrame(CGRectMake(390, 7, 80, 40), std::string("padlink_pause.png"), kFirstScreenButton);
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::empty() { return layout(); }

RefPtr<JPControllerLayout> VantrelPadlinkLayout::menu() {
    RefPtr<JPControllerLayout> menu = layout();
    addMenuNav(*menu);
    return menu;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::menuSettings() {
    RefPtr<JPControllerLayout> settings = menu();
    settings->addButtonWithFrame(CGRectMake(94, 129, 292, 60), std::string("padlink_gamecontrols.png"), kFirstScreenButton);
    return settings;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::menuInstructions() {
    RefPtr<JPControllerLayout> instructions = menu();
    instructions->addButtonWithFrame(CGRectMake(109, 129, 262, 60), std::string("padlink_instructions.png"),
                                     kFirstScreenButton);
    return instructions;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::menuHiveA() {
    RefPtr<JPControllerLayout> hives = menu();
    hives->addButtonWithFrame(CGRectMake(192, 112, 96, 96), std::string(kHiveImage), kFirstScreenButton);
    return hives;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::menuHiveAB() {
    RefPtr<JPControllerLayout> hives = menu();
    hives->addButtonWithFrame(CGRectMake(144, 112, 96, 96), std::string(kHiveImage), kFirstScreenButton);
    hives->addButtonWithFrame(CGRectMake(240, 112, 96, 96), std::string(kHiveImage), kFirstScreenButton + 1);
    return hives;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::menuHiveABC() {
    RefPtr<JPControllerLayout> hives = menu();
    for (int32_t hive = 0; hive < 3; ++hive) {
        hives->addButtonWithFrame(CGRectMake(96 + 96 * hive, 112, 96, 96), std::string(kHiveImage),
                                  kFirstScreenButton + hive);
    }
    return hives;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::joystickLeft() {
    RefPtr<JPControllerLayout> joystick = layout();
    addPauseNav(*joystick);
    joystick->addAnalogStickWithTouchFrame(kStickFrame(0), CGPointMake(140, 120), kStickRadius, 2);
    return joystick;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::joystickRight() {
    RefPtr<JPControllerLayout> joystick = layout();
    addPauseNav(*joystick);
    joystick->addAnalogStickWithTouchFrame(kStickFrame(100), CGPointMake(240, 120), kStickRadius, 2);
    return joystick;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::joystickRelative() {
    RefPtr<JPControllerLayout> joystick = layout();
    addPauseNav(*joystick);
    joystick->addAnalogStickWithTouchFrame(kStickFrame(50), CGPointMake(190, 120), kStickRadius, 2);
    return joystick;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::accelerometer() {
    RefPtr<JPControllerLayout> tilt = layout();
    addPauseNav(*tilt);
    tilt->addAccelerometer();
    return tilt;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::dpad() {
    RefPtr<JPControllerLayout> pad = layout();
    addPauseNav(*pad);
    pad->addDpadWithTouchFrame(kStickFrame(50), CGRectMake(100, 30, 180, 180), 0);
    return pad;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::gamePaused() {
    RefPtr<JPControllerLayout> paused = layout();
    paused->addButtonWithFrame(CGRectMake(27, 129, 230, 60), std::string("padlink_keepplaying.png"), kLeftChoice);
    paused->addButtonWithFrame(CGRectMake(262, 129, 190, 60), std::string("padlink_quitgame.png"), kRightChoice);
    return paused;
}

RefPtr<JPControllerLayout> VantrelPadlinkLayout::gameSummaryComplete() {
    RefPtr<JPControllerLayout> summary = layout();
    summary->addButtonWithFrame(CGRectMake(35, 129, 200, 60), std::string("padlink_playagain.png"), kLeftChoice);
    summary->addButtonWithFrame(CGRectMake(239, 129, 205, 60), std::string("padlink_mainmenu.png"), kRightChoice);
    return summary;
}
