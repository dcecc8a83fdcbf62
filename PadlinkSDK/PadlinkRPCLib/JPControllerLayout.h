#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPInputComponentTemplate.h"

// A controller layout: the input components a phone draws, in the order added, each given the next
// free bits of the 64-bit input word (packed from bit 0 with no gaps). The game builds layouts with
// the operations here and hands them to the manager, which stamps each with a slot 0-3.
//
// This is the public face; layout() makes the one implementation, JPHiddenControllerLayout.
// Frames are origin x, origin y, width, height in the phone's layout points.
class JPControllerLayout : public JPPropertyObject {
public:
    // A new empty layout named "Unnamed Layout".
    static RefPtr<JPControllerLayout> layout();
    // The library's preset layouts: menu navigation, and pads shaped like three classic consoles.
    static RefPtr<JPControllerLayout> navigationLayout();
    static RefPtr<JPControllerLayout> nesLayout();
    static RefPtr<JPControllerLayout> gbaLayout();
    static RefPtr<JPControllerLayout> snesLayout();

    // Appends a component at the next free bits; warns (and still adds) when the layout is the one
    // the manager shows or the identifier is already used. Its image names join imageNames().
    virtual void addInputComponentTemplate(RefPtr<JPInputComponentTemplate> component) = 0;

    // The layout's name, "Unnamed Layout" until set.
    virtual const std::string& name() const = 0;
    virtual void setName(std::string name) = 0;
    // The slot 0-3 the manager gave the layout.
    virtual int32_t layoutNumber() const = 0;
    virtual void setLayoutNumber(int32_t number) = 0;
    // Components in the order added.
    virtual const std::vector<RefPtr<JPInputComponentTemplate>>& inputComponentTemplates() const = 0;
    // Every image name the components use, in the order added; a name may repeat.
    virtual const std::vector<std::string>& imageNames() const = 0;
    // Bits taken so far; beyond 62 the later components never report.
    virtual uint32_t numBitsUsed() const = 0;
    // True when a component has the identifier.
    bool checkForIdentifier(int32_t identifier) const;
    // The same object, or equal names and similar components at every position.
    bool isEqualToControllerLayout(const JPControllerLayout* other) const;

    // Buttons (type 1); without a label, font size, shape and colour they are 0 / none. A button
    // with a null image name is a plain button.
    void addButtonWithFrame(CGRect frame, int32_t identifier);
    void addButtonWithFrame(CGRect frame, std::optional<std::string> label, uint32_t fontSize, uint32_t shape,
                            uint32_t color, int32_t identifier);
    void addButtonWithFrame(CGRect frame, std::optional<std::string> imageName, int32_t identifier);
    // D-pads (type 0), centred on the given point, on the frame's middle, or on the middle of the
    // image frame taken relative to the touch frame.
    void addDpadWithFrame(CGRect frame, CGPoint dpadOrigin, int32_t identifier);
    void addDpadWithFrame(CGRect frame, int32_t identifier);
    void addDpadWithTouchFrame(CGRect touchFrame, CGRect imageFrame, int32_t identifier);
    // The accelerometer (type 3, identifier 4).
    void addAccelerometer();
    // Analog sticks (type 2). The centre is the frame origin plus the relative centre (half the
    // frame by default); the radius in points is the unit of the distances reported (55 unless given).
    void addAnalogStickWithFrame(CGRect frame, std::optional<std::string> baseImageName,
                                 std::optional<std::string> diskImageName, CGPoint relativeCenter, bool recentering,
                                 uint32_t radius, int32_t identifier);
    void addAnalogStickWithFrame(CGRect frame, std::optional<std::string> baseImageName,
                                 std::optional<std::string> diskImageName, bool recentering, uint32_t radius,
                                 int32_t identifier);
    void addAnalogStickWithTouchFrame(CGRect frame, CGPoint relativeCenter, uint32_t radius, int32_t identifier);
    void addAnalogStickWithFrame(CGRect frame, int32_t identifier, bool recentering);
    void addAnalogStickWithFrame(CGRect frame, int32_t identifier);
    // A background image (type 5, identifier -4, no bits).
    void setBackgroundImageName(std::string imageName);
    // The four-button block (type 4, identifier -3).
    void addButtonBlockWithFrame(CGRect frame);
    // Menu navigation: pad (type 6, identifier -5) centred on the given point, select (7, -6) and
    // back (8, -7).
    void addNavPadWithFrame(CGRect frame, CGPoint relativeCenter);
    void addNavSelectWithFrame(CGRect frame);
    void addNavBackWithFrame(CGRect frame);
};
