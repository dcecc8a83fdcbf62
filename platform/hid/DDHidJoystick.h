#pragma once

#include <string>
#include <vector>

#include "platform/foundation/Object.h"
#include "platform/hid/DDHidJoystickDelegate.h"

// One game pad or joystick. A joystick reports its sticks, hats and buttons to its delegate while
// it listens; it stops when told to or when the last reference to it goes.
//
// Main thread only: the window's event pump delivers the reports there.
class DDHidJoystick : public Object {
public:
    // The pads and joysticks connected when called, in the system's order, so a pad plugged in
    // later is found by the next call. Empty (logged) when the system's joystick support cannot be
    // opened.
    static std::vector<RefPtr<DDHidJoystick>> allJoysticks();

    // The product name the device gives.
    virtual std::string productName() const = 0;

    // Not retained: it must outlive the listening, or be cleared first. Null reports to nobody.
    DDHidJoystickDelegate* delegate() const { return delegate_; }
    void setDelegate(DDHidJoystickDelegate* delegate) { delegate_ = delegate; }

    virtual void startListening() = 0;
    virtual void stopListening() = 0;
    virtual bool isListening() const = 0;

private:
    DDHidJoystickDelegate* delegate_ = nullptr;
};
