#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPMethodContainer.h"
#include "PadlinkSDK/PadlinkRPCLib/JPRPCConnectionDelegate.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocket.h"
#include "platform/foundation/RunLoopTimer.h"

// The command channel to one phone: a TCP connection carrying messages framed as an unsigned 64-bit
// little-endian body length followed by the body, XML-RPC text (a call, a return or a keep-alive).
// Incoming calls and returns go to the delegate, each return matched with the oldest call sent that
// awaits one; a keep-alive goes out every keepAliveInterval() seconds while connected.
//
// The phone is outside data: a body longer than InputLimits::kMessageBytes is refused before anything is
// allocated for it (logged; the connection closes), an empty body is read as nothing, and a return
// that answers no call, or a body that is neither a call nor a return, is dropped.
//
// Main thread only: the socket reports on the main queue and the keep-alive timer runs there.
class JPRPCConnection : public Object, private JPTcpSocketDelegate {
public:
    // Adopts the socket (setSocket).
    explicit JPRPCConnection(RefPtr<JPTcpSocket> socket);
    // Stops the keep-alive and disconnects the socket without a report.
    ~JPRPCConnection() override;

    // Starts connecting the socket to the address (socket address data). False, logged, when the
    // attempt cannot start; its outcome otherwise arrives as reads or as a disconnection.
    bool connectToAddress(const ByteView& address);
    // Starts the read loop and the keep-alive; call once the connection has been asked for.
    void prime();
    // Closes the socket; the delegate hears rpcConnectionDidDisconnect.
    void disconnect();
    // Adopts another socket (null: none): the connection becomes its delegate on the main queue.
    // The one it replaces is let go and closed without a report, and with it the calls awaiting a
    // return and the writes not yet done, which its peer will never answer or receive. Connect
    // and prime again to use the new one.
    void setSocket(RefPtr<JPTcpSocket> socket);

    // Queues a call; unless void, the next unmatched return from the phone answers it.
    void sendMethodCall(RefPtr<JPMethodCall> call, bool isVoid);
    // Queues the answer to a call the phone made.
    void sendMethodReturn(RefPtr<JPMethodReturn> methodReturn, RefPtr<JPMethodCall> call);

    // The peer's numeric host and socket address; "" and empty once the socket is gone.
    std::string connectedHost() const;
    ByteView connectedAddress() const;

    // The delegate (not retained).
    JPRPCConnectionDelegate* delegate() const { return delegate_; }
    void setDelegate(JPRPCConnectionDelegate* delegate) { delegate_ = delegate; }

    // Seconds between keep-alives (15), allowed for each header or body read (45) and for each write
    // (120), for every connection made afterwards; tests shorten them.
    struct Durations {
        double keepAliveInterval = 15;
        double readTimeout = 45;
        double writeTimeout = 120;
    };
    static Durations durations();
    static void setDurations(const Durations& durations);

private:
    // Socket tags: every length field; the bodies of a keep-alive, a return and a call; the two reads.
    enum Tag : int64_t {
        kTagLength = -1,
        kTagKeepAlive = 3,
        kTagReturnBody = 4,
        kTagCallBody = 5,
        kTagReadLength = 0,
        kTagReadBody = 1,
    };

    uint32_t jpTcpSocketDelegateMethods() const override;
    void socketDidReadData(JPTcpSocket* sock, const ByteView& data, int64_t tag) override;
    void socketDidWriteDataWithTag(JPTcpSocket* sock, int64_t tag) override;
    void socketDidDisconnect(JPTcpSocket* sock, const RefPtr<Error>& error) override;

    void readLength();
    void readBody(uint64_t length);
    void handleBody(std::string_view body);
    void sendXML(const std::string& text, Tag tag);
    void sendKeepAlive();
    void stopKeepAlive();
    // Clears the socket's delegate and closes it; the socket is gone afterwards.
    void dropSocket();

    RefPtr<JPTcpSocket> socket_;              // null once the connection has ended
    std::deque<RefPtr<JPMethodCall>> requestFIFO_;         // sent, awaiting a return; oldest first
    std::deque<RefPtr<JPMethodCall>> methCallWriteFIFO_;   // queued for writing
    std::deque<RefPtr<JPMethodContainer>> methReturnWriteFIFO_;
    RefPtr<RunLoopTimer> keepAliveTimer_;
    JPRPCConnectionDelegate* delegate_ = nullptr;  // not retained
    const Durations durations_;                    // as they were when the connection was made
};
