#pragma once

#include <cstdint>

class DDHidJoystick;

// What a game pad or joystick reports while it is listening, on the main thread. Axis values run
// from -65536 to 65536 (0 centred; x grows to the right, y downwards); hat values are hundredths of
// degrees clockwise from up (0 ... 31500), -1 when centred; buttons are numbered from 0. Every
// callback does nothing unless overridden.
class DDHidJoystickDelegate {
public:
    virtual ~DDHidJoystickDelegate() = default;

    virtual void ddhidJoystickStickXChanged(DDHidJoystick*, uint32_t /*stick*/, int32_t /*value*/) {}
    virtual void ddhidJoystickStickYChanged(DDHidJoystick*, uint32_t /*stick*/, int32_t /*value*/) {}
    virtual void ddhidJoystickStickOtherAxisValueChanged(DDHidJoystick*, uint32_t /*stick*/, uint32_t /*otherAxis*/,
                                                         int32_t /*value*/) {}
    virtual void ddhidJoystickStickPovNumberValueChanged(DDHidJoystick*, uint32_t /*stick*/, uint32_t /*povNumber*/,
                                                         int32_t /*value*/) {}
    virtual void ddhidJoystickButtonDown(DDHidJoystick*, uint32_t /*buttonNumber*/) {}
    virtual void ddhidJoystickButtonUp(DDHidJoystick*, uint32_t /*buttonNumber*/) {}
};
