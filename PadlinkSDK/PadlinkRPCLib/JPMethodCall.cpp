#include "PadlinkSDK/PadlinkRPCLib/JPMethodCall.h"

#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCRequest.h"

RefPtr<JPMethodCall> JPMethodCall::methodCallWithMethodName(std::string name) {
    auto call = makeRef<JPMethodCall>();
    call->methodName_ = std::move(name);
    return call;
}

std::string JPMethodCall::body() const {
    JPXMLRPCRequest request;
    request.setMethod(methodName_, params_);
    return request.body();
}
