#pragma once

#include "PadlinkSDK/PadlinkRPCLib/JPMethodCall.h"
#include "PadlinkSDK/PadlinkRPCLib/JPMethodReturn.h"

// A return paired with the call it answers, while it waits to be written.
class JPMethodContainer : public Object {
public:
    // Keeps both.
    JPMethodContainer(RefPtr<JPMethodCall> methodCall, RefPtr<JPMethodReturn> methodReturn)
        : methodCall_(std::move(methodCall)), methodReturn_(std::move(methodReturn)) {}

    // The call answered and its answer.
    const RefPtr<JPMethodCall>& methodCall() const { return methodCall_; }
    const RefPtr<JPMethodReturn>& methodReturn() const { return methodReturn_; }

private:
    RefPtr<JPMethodCall> methodCall_;
    RefPtr<JPMethodReturn> methodReturn_;
};
