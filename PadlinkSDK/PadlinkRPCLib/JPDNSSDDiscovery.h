#pragma once

#include "PadlinkSDK/PadlinkRPCLib/JPServiceDiscovery.h"

// Discovery through Avahi's DNS-SD compatibility library. Each operation is driven by a read
// source on its descriptor (DNSServiceRefSockFD) on the main queue. The peer-to-peer flag, which
// Avahi refuses, is dropped. With no daemon running every start fails with kErrorUnknown.
class JPDNSSDDiscovery final : public JPServiceDiscovery {
public:
    // Silences the library's start-up banner for the whole process.
    JPDNSSDDiscovery();

    // JPServiceDiscovery's operations.
    int32_t browse(uint32_t flags, uint32_t interfaceIndex, const std::string& type, const std::string& domain,
                   std::function<void(const BrowseReply&)> reply, Operation* operation) override;
    int32_t resolve(uint32_t flags, uint32_t interfaceIndex, const std::string& name, const std::string& type,
                    const std::string& domain, std::function<void(const ResolveReply&)> reply,
                    Operation* operation) override;
    int32_t queryRecord(uint32_t flags, uint32_t interfaceIndex, const std::string& fullName, uint16_t recordType,
                        uint16_t recordClass, std::function<void(const RecordReply&)> reply,
                        Operation* operation) override;
};
