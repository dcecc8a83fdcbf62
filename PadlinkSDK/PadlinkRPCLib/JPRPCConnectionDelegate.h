#pragma once

#include "PadlinkSDK/PadlinkRPCLib/JPMethodCall.h"
#include "PadlinkSDK/PadlinkRPCLib/JPMethodReturn.h"

class JPRPCConnection;

// Receiver of a command channel's reports, on the main thread; every method is optional. The
// connection does not retain its delegate, which may release the connection from inside any of
// these calls.
class JPRPCConnectionDelegate {
public:
    virtual ~JPRPCConnectionDelegate() = default;

    // The phone called a method; answer it with sendMethodReturn (or not at all).
    virtual void rpcConnectionDidReceiveMethodCall(JPRPCConnection* connection, JPMethodCall* call) {
        (void)connection, (void)call;
    }
    // The phone answered `call`, the oldest call sent that awaited an answer.
    virtual void rpcConnectionMethodCallDidReturn(JPRPCConnection* connection, JPMethodCall* call,
                                                  JPMethodReturn* methodReturn) {
        (void)connection, (void)call, (void)methodReturn;
    }
    // A call or a return has been handed to the system.
    virtual void rpcConnectionDidWriteMethodCall(JPRPCConnection* connection, JPMethodCall* call) {
        (void)connection, (void)call;
    }
    virtual void rpcConnectionDidWriteMethodReturn(JPRPCConnection* connection, JPMethodReturn* methodReturn,
                                                   JPMethodCall* call) {
        (void)connection, (void)methodReturn, (void)call;
    }
    // The channel closed (the peer left, a read or write timed out, or disconnect() was asked);
    // the last report.
    virtual void rpcConnectionDidDisconnect(JPRPCConnection* connection) { (void)connection; }
};
