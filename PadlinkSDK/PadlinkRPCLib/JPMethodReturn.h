#pragma once

#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPValue.h"

// A method return on the command channel: one value, nil by default.
class JPMethodReturn : public Object {
public:
    // The value answered.
    const JPValue& retValue() const { return retValue_; }
    void setRetValue(JPValue value) { retValue_ = std::move(value); }

    // The return's XML text.
    std::string encodedRetValue() const;

private:
    JPValue retValue_;
};
