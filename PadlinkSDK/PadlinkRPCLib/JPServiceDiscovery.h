#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Error.h"

// One DNS-SD operation in progress (a browse, a resolve or a record query). Its replies reach the
// callback given at its start, on the main thread, once attach() has run. Destroying the operation
// stops it: no reply arrives afterwards, also when it is destroyed from inside one of its replies.
class JPServiceDiscoveryOperation {
public:
    virtual ~JPServiceDiscoveryOperation() = default;
    // Starts delivering replies on the main queue: 0, or the DNS-SD error code that prevents it.
    virtual int32_t attach() = 0;
};

// The DNS-SD client calls that discovery makes, behind an interface so that tests can stand in for
// the system's daemon. Codes, flags and interface indexes are DNS-SD's own numbers.
class JPServiceDiscovery : public Object {
public:
    // Flags: a browse reply that adds a service; browse peer-to-peer interfaces too (a backend
    // drops what its daemon does not support).
    static constexpr uint32_t kFlagsAdd = 0x2;
    static constexpr uint32_t kFlagsIncludeP2P = 0x20000;
    // Interface indexes: all interfaces, this machine only, peer-to-peer interfaces.
    static constexpr uint32_t kInterfaceIndexAny = 0;
    static constexpr uint32_t kInterfaceIndexLocalOnly = 0xFFFFFFFF;
    static constexpr uint32_t kInterfaceIndexP2P = 0xFFFFFFFD;
    // Error codes: no daemon or another unexplained failure; a resolve that took too long.
    static constexpr int32_t kErrorUnknown = -65537;
    static constexpr int32_t kErrorTimeout = -65568;
    // Host address records: type A, class IN.
    static constexpr uint16_t kRecordTypeA = 1;
    static constexpr uint16_t kRecordClassIN = 1;
    // Domain of the errors that discovery reports; the code is the DNS-SD code.
    static constexpr const char* kErrorDomain = "NSNetServicesErrorDomain";

    // What every reply carries; `error` is 0 or a DNS-SD code (the other fields are then unset).
    struct Reply {
        uint32_t flags = 0;
        uint32_t interfaceIndex = 0;
        int32_t error = 0;
    };
    struct BrowseReply : Reply {
        std::string name, type, domain;
    };
    struct ResolveReply : Reply {
        std::string hostTarget;  // "host.local."
        uint16_t port = 0;       // network byte order, as DNS-SD gives it
    };
    struct RecordReply : Reply {
        uint16_t recordType = 0;
        std::vector<uint8_t> data;  // the record's data: 4 address bytes for type A
    };
    using Operation = std::unique_ptr<JPServiceDiscoveryOperation>;

    // Each starts an operation and returns 0 with `*operation` set, or a DNS-SD code with
    // `*operation` null.
    virtual int32_t browse(uint32_t flags, uint32_t interfaceIndex, const std::string& type, const std::string& domain,
                           std::function<void(const BrowseReply&)> reply, Operation* operation) = 0;
    virtual int32_t resolve(uint32_t flags, uint32_t interfaceIndex, const std::string& name, const std::string& type,
                            const std::string& domain, std::function<void(const ResolveReply&)> reply,
                            Operation* operation) = 0;
    virtual int32_t queryRecord(uint32_t flags, uint32_t interfaceIndex, const std::string& fullName,
                                uint16_t recordType, uint16_t recordClass, std::function<void(const RecordReply&)> reply,
                                Operation* operation) = 0;

    // The backend that discovery uses: the system's DNS-SD library unless replaced; null restores it.
    static RefPtr<JPServiceDiscovery> shared();
    static void setShared(RefPtr<JPServiceDiscovery> backend);

    // An error of kErrorDomain for a DNS-SD code.
    static RefPtr<Error> error(int32_t code);
};
