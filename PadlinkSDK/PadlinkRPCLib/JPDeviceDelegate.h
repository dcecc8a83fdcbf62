#pragma once

#include <cstdint>

class JPDevice;

// Capability bits of the controller library's delegates, listeners included: which optional
// callbacks an object implements. Asked once, when the object is registered.
enum JPDelegation : uint16_t {
    kJPDelegationDidAccelerate = 0x0001,
    kJPDelegationDPadButtonUp = 0x0002,
    kJPDelegationDPadButtonDown = 0x0004,
    kJPDelegationButtonUp = 0x0008,
    kJPDelegationButtonDown = 0x0010,
    kJPDelegationAnalogStickDidMove = 0x0020,
    kJPDelegationDidNavigate = 0x0040,
    kJPDelegationDeviceShouldConnect = 0x0080,
    kJPDelegationDeviceFailedToConnect = 0x0100,
    kJPDelegationDeviceDidConnect = 0x0200,
    kJPDelegationDeviceDidDisconnect = 0x0400,
    kJPDelegationWillLaunchConsole = 0x0800,
    kJPDelegationChangedGameState = 0x1000,
    kJPDelegationDeviceDidConnectPlayer = 0x2000,     // older form, with the player number
    kJPDelegationDeviceDidDisconnectPlayer = 0x4000,  // older form, with the player number
};

// Input of a phone, as events on the main thread; every method is optional and reported in
// padlinkDelegations(). Values:
//   d-pad direction 0 up, 1 right, 2 down, 3 left;
//   acceleration x, y, z each in [-1, 0.9921875];
//   stick angle in radians [0, 2π), distance 0-255 over the stick's radius in points (0 for a
//   radius of 0);
//   navigation 0 up, 1 right, 2 down, 3 left, 4 back, 5 select.
// Identifiers are those of the layout's components. The library does not retain its delegates; a
// delegate may unregister from inside a callback.
class JPDeviceDelegate {
public:
    virtual ~JPDeviceDelegate() = default;

    // The JPDelegation bits of the callbacks this object implements.
    virtual uint16_t padlinkDelegations() const = 0;

    virtual void padlinkDeviceDidAccelerate(JPDevice* device, float x, float y, float z) {
        (void)device, (void)x, (void)y, (void)z;
    }
    virtual void padlinkDeviceDPadButtonUp(JPDevice* device, int dpad, int direction) {
        (void)device, (void)dpad, (void)direction;
    }
    virtual void padlinkDeviceDPadButtonDown(JPDevice* device, int dpad, int direction) {
        (void)device, (void)dpad, (void)direction;
    }
    virtual void padlinkDeviceButtonUp(JPDevice* device, int button) { (void)device, (void)button; }
    virtual void padlinkDeviceButtonDown(JPDevice* device, int button) { (void)device, (void)button; }
    virtual void padlinkDeviceAnalogStickDidMove(JPDevice* device, int stick, float angle, float distance) {
        (void)device, (void)stick, (void)angle, (void)distance;
    }
    virtual void padlinkDeviceDidNavigate(JPDevice* device, int navigation) { (void)device, (void)navigation; }
};

// One input event on its way to listeners and the device's delegate: the JPDelegation bit of its
// callback and the callback's arguments (unused ones 0).
struct JPDeviceEvent {
    JPDelegation kind;
    int identifier = 0;  // d-pad, button or stick identifier
    int value = 0;       // d-pad direction or navigation code
    float x = 0, y = 0, z = 0;  // acceleration; angle and distance of a stick in x and y

    // Calls the delegate's callback for this event.
    void deliver(JPDeviceDelegate& delegate, JPDevice* device) const;
};
