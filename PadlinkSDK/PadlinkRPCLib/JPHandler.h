#pragma once

#include <cstdint>

#include "PadlinkSDK/PadlinkRPCLib/JPManagerDelegate.h"

// One entry of the manager's listener stack.
struct JPHandler {
    JPListener* delegate;  // not retained
    bool capture;          // the walk stops after this listener
    uint16_t flags;        // JPDelegation bits; 0 marks a removed listener, dropped at the next sweep
};
