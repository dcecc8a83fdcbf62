#pragma once

#include <string>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPValue.h"

// A method call on the command channel: a name and its parameters in order.
class JPMethodCall : public Object {
public:
    // A call of the method with no parameters.
    static RefPtr<JPMethodCall> methodCallWithMethodName(std::string name);

    // The method's name and its parameters in order.
    const std::string& methodName() const { return methodName_; }
    void setMethodName(std::string name) { methodName_ = std::move(name); }
    const std::vector<JPValue>& params() const { return params_; }
    std::vector<JPValue>& params() { return params_; }
    void setParams(std::vector<JPValue> params) { params_ = std::move(params); }

    // The call's XML text.
    std::string body() const;

private:
    std::string methodName_;
    std::vector<JPValue> params_;
};
