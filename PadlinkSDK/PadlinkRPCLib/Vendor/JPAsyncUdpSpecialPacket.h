#pragma once

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncUdpPacket.h"

// A connect request waiting in a JPUdpSocket's send queue: datagrams queued before it go out
// first, those queued after it wait until it has succeeded or failed. Its addresses are the given
// one or the lookup's.
class JPAsyncUdpSpecialPacket : public JPAsyncUdpPacket {};
