#include "PadlinkSDK/PadlinkRPCLib/JPImageServer.h"

#include "platform/foundation/Folders.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr int64_t kRequestTag = 0;
constexpr int64_t kReplyTag = -1;

// "c.png" for "/a/b/c.png", "b/c.png" and "c.png"; trailing slashes do not count.
std::string lastPathComponent(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos || path.size() == 1 ? path : path.substr(slash + 1);
}

}  // namespace

RefPtr<JPImageServer> JPImageServer::imageServer(const std::vector<std::string>& images, std::string phoneHost) {
    CC_REQUIRE(RunLoop::main().isCurrent(), "JPImageServerException", "an image server starts on the main thread");
    CC_REQUIRE(!phoneHost.empty(), "JPImageServerException", "an image server needs the phone's address");
    RefPtr<JPImageServer> server(new JPImageServer(images, std::move(phoneHost)));
    RefPtr<Error> error;
    if (!server->listeningSocket_->acceptOnPort(0, &error)) {
        logLine("Padlink: Could not start the image server: %s", error ? error->description().c_str() : "");
        return nullptr;
    }
    server->listeningPort_ = server->listeningSocket_->localPort();
    return server;
}

JPImageServer::JPImageServer(const std::vector<std::string>& images, std::string phoneHost)
    : listeningSocket_(makeRef<JPTcpSocket>(static_cast<JPTcpSocketDelegate*>(this), DispatchQueue::main(),
                                             DispatchQueue::main())),
      phoneHost_(std::move(phoneHost)) {
    for (const std::string& image : images) {
        imageList_.push_back(lastPathComponent(image));
        imagesDictionary_[imageList_.back()] = image;
    }
}

JPImageServer::~JPImageServer() {
    for (const RefPtr<JPTcpSocket>& socket : {listeningSocket_, servingSocket_}) {
        if (!socket) continue;
        socket->synchronouslySetDelegate(nullptr);
        socket->disconnect();
    }
}

uint32_t JPImageServer::jpTcpSocketDelegateMethods() const {
    return kNewSocketQueueForConnection | kDidAcceptNewSocket | kDidReadData | kDidDisconnect;
}

RefPtr<DispatchQueue> JPImageServer::newSocketQueueForConnectionFromAddress(const ByteView&, JPTcpSocket*) {
    return DispatchQueue::main();
}

void JPImageServer::socketDidAcceptNewSocket(JPTcpSocket* sock, JPTcpSocket* newSocket) {
    if (sock != listeningSocket_.get()) return;
    const std::string host = newSocket->connectedHost();
    if (host != phoneHost_) {
        logLine("Padlink: Refused an image connection from %s, which is not the phone", host.c_str());
        newSocket->synchronouslySetDelegate(nullptr);
        newSocket->disconnect();
        return;
    }
    servingSocket_ = RefPtr(newSocket);
    queueNextFilenameRead();
    listeningSocket_->synchronouslySetDelegate(nullptr);
    listeningSocket_->disconnect();
    listeningSocket_.reset();
}

void JPImageServer::queueNextFilenameRead() {
    servingSocket_->readDataToData(JPTcpSocket::CRLFData(), -1, InputLimits::kRequestLineBytes, kRequestTag);
}

void JPImageServer::socketDidReadData(JPTcpSocket* sock, const ByteView& data, int64_t tag) {
    if (tag != kRequestTag || sock != servingSocket_.get()) return;
    const std::string name(data.text().substr(0, data.size() - 2));
    if (!write(name, sock)) {
        // The replies already queued still go out; the phone then sees the connection end.
        sock->disconnectAfterWriting();
        return;
    }
    queueNextFilenameRead();
}

void JPImageServer::socketDidDisconnect(JPTcpSocket* sock, const RefPtr<Error>& error) {
    if (sock && sock == servingSocket_.get() && error && error->domain() == JPTcpSocket::kErrorDomain &&
        error->code() == JPTcpSocket::kReadMaxedOutError) {
        logLine("Padlink: Closed the image connection: a request line reached %llu bytes without its end",
                static_cast<unsigned long long>(InputLimits::kRequestLineBytes));
    }
}

bool JPImageServer::write(const std::string& name, JPTcpSocket* socket) {
    const auto entry = imagesDictionary_.find(name);
    if (entry == imagesDictionary_.end()) {
        logLine("Padlink: File not found, %.200s", name.c_str());
        return false;
    }
    const std::string& listed = entry->second;
    const std::string path = listed.starts_with('/') ? listed : resourceFolder() + "/" + listed;
    std::vector<uint8_t> bytes;
    std::string why;
    if (!readRegularFile(path, InputLimits::kFileBytes, &bytes, &why)) {
        logLine("Padlink: Can not find '%s', please make sure all images passed to -[JPManager setImageNames:] "
                "exist. (%s)",
                path.c_str(), why.c_str());
        return false;
    }
    const uint64_t length = bytes.size() + 1;  // the zero byte after the file counts
    const auto reply = makeRef<ByteBuffer>(8 + length);
    for (int i = 0; i < 8; ++i) reply->data()[i] = static_cast<uint8_t>(length >> (8 * i));
    std::copy(bytes.begin(), bytes.end(), reply->data() + 8);
    socket->writeData(ByteView(reply), -1, kReplyTag);
    return true;
}
