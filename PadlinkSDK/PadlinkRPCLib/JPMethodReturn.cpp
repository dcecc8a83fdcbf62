#include "PadlinkSDK/PadlinkRPCLib/JPMethodReturn.h"

#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCEncoder.h"

std::string JPMethodReturn::encodedRetValue() const {
    return JPXMLRPCEncoder::encodeReturn(retValue_);
}
