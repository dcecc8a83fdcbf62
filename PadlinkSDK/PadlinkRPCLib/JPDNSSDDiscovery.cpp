#include "PadlinkSDK/PadlinkRPCLib/JPDNSSDDiscovery.h"

#include <avahi-compat-libdns_sd/dns_sd.h>
#include <fcntl.h>

#include <cstdlib>

#include "platform/dispatch/DispatchSource.h"
#include "platform/foundation/Log.h"

static_assert(JPServiceDiscovery::kFlagsAdd == kDNSServiceFlagsAdd);
static_assert(JPServiceDiscovery::kErrorUnknown == kDNSServiceErr_Unknown);
static_assert(JPServiceDiscovery::kInterfaceIndexAny == kDNSServiceInterfaceIndexAny);
static_assert(JPServiceDiscovery::kRecordTypeA == kDNSServiceType_A);
static_assert(JPServiceDiscovery::kRecordClassIN == kDNSServiceClass_IN);

namespace {

// What an operation shares with its read source's handler. A reply may destroy its own operation,
// while the library is still inside DNSServiceProcessResult for it: the reference is then released
// once that call has returned, and the reply function lives until then too.
struct Session {
    virtual ~Session() = default;
    DNSServiceRef ref = nullptr;
    bool processing = false;  // inside DNSServiceProcessResult
    bool stopped = false;     // the operation is gone: further replies are dropped
};

template <typename Reply>
struct ReplySession : Session {
    std::function<void(const Reply&)> reply;
};

class DNSSDOperation final : public JPServiceDiscoveryOperation {
public:
    explicit DNSSDOperation(std::shared_ptr<Session> session) : session_(std::move(session)) {}

    ~DNSSDOperation() override {
        if (source_) source_->cancel();
        session_->stopped = true;
        if (!session_->processing) DNSServiceRefDeallocate(session_->ref);
    }

    int32_t attach() override {
        const int descriptor = DNSServiceRefSockFD(session_->ref);
        // The library closes its descriptor itself; the source watches a duplicate of its own.
        const int duplicate = descriptor < 0 ? -1 : fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
        if (duplicate >= 0) {
            source_ = DispatchSource::read(std::make_shared<FileDescriptor>(duplicate), DispatchQueue::main());
        }
        if (!source_) return kDNSServiceErr_NoMemory;  // out of descriptors
        source_->setEventHandler([session = session_, source = source_.get()](uint64_t) {
            session->processing = true;
            const DNSServiceErrorType error = DNSServiceProcessResult(session->ref);
            session->processing = false;
            if (session->stopped) {
                DNSServiceRefDeallocate(session->ref);
            } else if (error != kDNSServiceErr_NoError) {
                // The connection to the daemon broke; a readable descriptor would report it again
                // and again, so the operation goes quiet.
                logLine("DNSServiceProcessResult() returned an error! %d", error);
                source->cancel();
            }
        });
        source_->resume();
        return kDNSServiceErr_NoError;
    }

private:
    const std::shared_ptr<Session> session_;
    RefPtr<DispatchSource> source_;
};

std::string text(const char* characters) { return characters ? characters : ""; }

const char* nullWhenEmpty(const std::string& domain) { return domain.empty() ? nullptr : domain.c_str(); }

template <typename Reply>
ReplySession<Reply>* live(void* context, Reply* reply, DNSServiceFlags flags, uint32_t interfaceIndex,
                          DNSServiceErrorType error) {
    auto* session = static_cast<ReplySession<Reply>*>(context);
    reply->flags = flags;
    reply->interfaceIndex = interfaceIndex;
    reply->error = error;
    return session->stopped ? nullptr : session;
}

void DNSSD_API browseReply(DNSServiceRef, DNSServiceFlags flags, uint32_t interfaceIndex, DNSServiceErrorType error,
                           const char* name, const char* type, const char* domain, void* context) {
    JPServiceDiscovery::BrowseReply reply;
    if (auto* session = live(context, &reply, flags, interfaceIndex, error)) {
        reply.name = text(name);
        reply.type = text(type);
        reply.domain = text(domain);
        session->reply(reply);
    }
}

void DNSSD_API resolveReply(DNSServiceRef, DNSServiceFlags flags, uint32_t interfaceIndex, DNSServiceErrorType error,
                            const char*, const char* hostTarget, uint16_t port, uint16_t, const unsigned char*,
                            void* context) {
    JPServiceDiscovery::ResolveReply reply;
    if (auto* session = live(context, &reply, flags, interfaceIndex, error)) {
        reply.hostTarget = text(hostTarget);
        reply.port = port;
        session->reply(reply);
    }
}

void DNSSD_API recordReply(DNSServiceRef, DNSServiceFlags flags, uint32_t interfaceIndex, DNSServiceErrorType error,
                           const char*, uint16_t recordType, uint16_t, uint16_t length, const void* data, uint32_t,
                           void* context) {
    JPServiceDiscovery::RecordReply reply;
    if (auto* session = live(context, &reply, flags, interfaceIndex, error)) {
        reply.recordType = recordType;
        if (data) reply.data.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + length);
        session->reply(reply);
    }
}

// Starts an operation through `call(&ref, context)`.
template <typename Reply, typename Call>
int32_t start(std::function<void(const Reply&)> reply, JPServiceDiscovery::Operation* operation, Call call) {
    operation->reset();
    auto session = std::make_shared<ReplySession<Reply>>();
    session->reply = std::move(reply);
    const DNSServiceErrorType error = call(&session->ref, session.get());
    if (error != kDNSServiceErr_NoError) return error;
    *operation = std::make_unique<DNSSDOperation>(std::move(session));
    return kDNSServiceErr_NoError;
}

// Avahi refuses the peer-to-peer flag outright; its interfaces are never reported anyway.
DNSServiceFlags supported(uint32_t flags) { return flags & ~JPServiceDiscovery::kFlagsIncludeP2P; }

}  // namespace

JPDNSSDDiscovery::JPDNSSDDiscovery() { setenv("AVAHI_COMPAT_NOWARN", "1", 1); }

int32_t JPDNSSDDiscovery::browse(uint32_t flags, uint32_t interfaceIndex, const std::string& type,
                                 const std::string& domain, std::function<void(const BrowseReply&)> reply,
                                 Operation* operation) {
    return start(std::move(reply), operation, [&](DNSServiceRef* ref, void* context) {
        return DNSServiceBrowse(ref, supported(flags), interfaceIndex, type.c_str(), nullWhenEmpty(domain),
                                browseReply, context);
    });
}

int32_t JPDNSSDDiscovery::resolve(uint32_t flags, uint32_t interfaceIndex, const std::string& name,
                                  const std::string& type, const std::string& domain,
                                  std::function<void(const ResolveReply&)> reply, Operation* operation) {
    return start(std::move(reply), operation, [&](DNSServiceRef* ref, void* context) {
        return DNSServiceResolve(ref, supported(flags), interfaceIndex, name.c_str(), type.c_str(),
                                 nullWhenEmpty(domain), resolveReply, context);
    });
}

int32_t JPDNSSDDiscovery::queryRecord(uint32_t flags, uint32_t interfaceIndex, const std::string& fullName,
                                      uint16_t recordType, uint16_t recordClass,
                                      std::function<void(const RecordReply&)> reply, Operation* operation) {
    return start(std::move(reply), operation, [&](DNSServiceRef* ref, void* context) {
        return DNSServiceQueryRecord(ref, supported(flags), interfaceIndex, fullName.c_str(), recordType, recordClass,
                                     recordReply, context);
    });
}
