#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocket.h"

// A one-shot TCP server from which one phone fetches the image files of the game's layouts, by
// file name, one request after another on one connection:
//   request: the file name in UTF-8, then CR LF (at most InputLimits::kRequestLineBytes bytes in all);
//   reply:   the length L as an unsigned 64-bit little-endian number, then L bytes: the file's
//            bytes and one zero byte.
// Only a file of the list is ever served, found by its exact name; any other request, or a listed
// file that cannot be read, is logged and closes the connection. Only a connection from the
// phone's address is taken; once it is, the listener closes.
//
// Everything, the sockets' own work included, runs on the main thread. An owner that starts a
// server for a new list drops its old server first, so that the old connection and port close.
class JPImageServer : public Object, private JPTcpSocketDelegate {
public:
    // Listens on a free port for the phone at `phoneHost` (numeric, as JPTcpSocket::connectedHost
    // gives it) and serves `images`: names or paths, each requested by its last path component.
    // An absolute path is read from there, anything else from the resource folder. Null, with one
    // log line, when the listener cannot start.
    static RefPtr<JPImageServer> imageServer(const std::vector<std::string>& images, std::string phoneHost);
    ~JPImageServer() override;

    // The listening port (both IPv4 and IPv6) and the names the phone may ask for, in list order.
    uint16_t listeningPort() const { return listeningPort_; }
    const std::vector<std::string>& imageList() const { return imageList_; }

private:
    JPImageServer(const std::vector<std::string>& images, std::string phoneHost);

    uint32_t jpTcpSocketDelegateMethods() const override;
    RefPtr<DispatchQueue> newSocketQueueForConnectionFromAddress(const ByteView& address, JPTcpSocket* sock) override;
    void socketDidAcceptNewSocket(JPTcpSocket* sock, JPTcpSocket* newSocket) override;
    void socketDidReadData(JPTcpSocket* sock, const ByteView& data, int64_t tag) override;
    void socketDidDisconnect(JPTcpSocket* sock, const RefPtr<Error>& error) override;

    // Queues the reply for the listed file `name`; false (logged) when there is none to send.
    bool write(const std::string& name, JPTcpSocket* socket);
    void queueNextFilenameRead();

    std::vector<std::string> imageList_;
    RefPtr<JPTcpSocket> listeningSocket_;  // until the phone connects
    RefPtr<JPTcpSocket> servingSocket_;    // the phone's one connection
    uint16_t listeningPort_ = 0;
    std::map<std::string, std::string> imagesDictionary_;  // requested name -> name or path as listed
    const std::string phoneHost_;
};
