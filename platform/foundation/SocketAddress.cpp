#include "platform/foundation/SocketAddress.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cstddef>
#include <cstring>

namespace SocketAddress {
namespace {

template <typename Native>
ByteView fromStruct(const Native& address) {
    return fromNative(reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

ByteView ipv4(in_addr_t hostOrderAddress, uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(hostOrderAddress);
    return fromStruct(address);
}

ByteView ipv6(const in6_addr& inAddress, uint16_t port) {
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(port);
    address.sin6_addr = inAddress;
    return fromStruct(address);
}

template <typename Call>
ByteView nameOf(int descriptor, Call call) {
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    if (call(descriptor, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return {};
    return fromNative(reinterpret_cast<const sockaddr*>(&storage), std::min<socklen_t>(length, sizeof storage));
}

}  // namespace

ByteView fromNative(const sockaddr* address, socklen_t length) { return ByteView::copyOf(address, length); }

int family(const ByteView& address) {
    if (address.size() < sizeof(sockaddr_in)) return 0;
    sa_family_t value;
    std::memcpy(&value, address.data() + offsetof(sockaddr, sa_family), sizeof value);
    if (value == AF_INET6 && address.size() >= sizeof(sockaddr_in6)) return AF_INET6;
    return value == AF_INET ? AF_INET : 0;
}

bool toNative(const ByteView& address, sockaddr_storage* storage, socklen_t* length) {
    const int kind = family(address);
    if (kind == 0) return false;
    *length = kind == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
    *storage = {};
    std::memcpy(storage, address.data(), *length);
    return true;
}

bool hostAndPort(const ByteView& address, std::string* host, uint16_t* port, int* familyOut) {
    sockaddr_storage storage;
    socklen_t length;
    const bool known = toNative(address, &storage, &length);
    std::string text;
    uint16_t number = 0;
    if (known && storage.ss_family == AF_INET) {
        const auto& native = reinterpret_cast<const sockaddr_in&>(storage);
        text = SocketAddress::host(native);
        number = SocketAddress::port(native);
    } else if (known) {
        const auto& native = reinterpret_cast<const sockaddr_in6&>(storage);
        text = SocketAddress::host(native);
        number = SocketAddress::port(native);
    }
    if (host) *host = std::move(text);
    if (port) *port = number;
    if (familyOut) *familyOut = known ? storage.ss_family : 0;
    return known;
}

std::string host(const ByteView& address) {
    std::string text;
    hostAndPort(address, &text, nullptr, nullptr);
    return text;
}

uint16_t port(const ByteView& address) {
    uint16_t number = 0;
    hostAndPort(address, nullptr, &number, nullptr);
    return number;
}

std::string host(const sockaddr_in& address) {
    char buffer[INET_ADDRSTRLEN];
    return inet_ntop(AF_INET, &address.sin_addr, buffer, sizeof buffer) ? buffer : "";
}

std::string host(const sockaddr_in6& address) {
    char buffer[INET6_ADDRSTRLEN];
    return inet_ntop(AF_INET6, &address.sin6_addr, buffer, sizeof buffer) ? buffer : "";
}

uint16_t port(const sockaddr_in& address) { return ntohs(address.sin_port); }
uint16_t port(const sockaddr_in6& address) { return ntohs(address.sin6_port); }

ByteView withPort(const ByteView& address, uint16_t port) {
    sockaddr_storage storage;
    socklen_t length;
    if (!toNative(address, &storage, &length)) return {};
    // sin_port and sin6_port share their offset.
    reinterpret_cast<sockaddr_in&>(storage).sin_port = htons(port);
    return fromNative(reinterpret_cast<const sockaddr*>(&storage), length);
}

ByteView loopback4(uint16_t port) { return ipv4(INADDR_LOOPBACK, port); }
ByteView loopback6(uint16_t port) { return ipv6(in6addr_loopback, port); }
ByteView any4(uint16_t port) { return ipv4(INADDR_ANY, port); }
ByteView any6(uint16_t port) { return ipv6(in6addr_any, port); }

ByteView localAddress(int descriptor) { return nameOf(descriptor, ::getsockname); }
ByteView peerAddress(int descriptor) { return nameOf(descriptor, ::getpeername); }

InterfaceAddresses interfaceAddresses(const std::string& description, uint16_t port) {
    if (description.empty()) return {any4(port), any6(port)};
    if (description == "localhost" || description == "loopback") return {loopback4(port), loopback6(port)};
    InterfaceAddresses found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr) continue;
        const int kind = entry->ifa_addr->sa_family;
        ByteView* slot = kind == AF_INET ? &found.address4 : kind == AF_INET6 ? &found.address6 : nullptr;
        if (!slot || !slot->empty()) continue;
        const ByteView address =
            fromNative(entry->ifa_addr, kind == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));
        if (description == entry->ifa_name || description == host(address)) *slot = withPort(address, port);
    }
    freeifaddrs(list);
    return found;
}

std::vector<ByteView> lookupHost(const std::string& host, uint16_t port, int socketType, RefPtr<Error>* error) {
    if (host == "localhost" || host == "loopback") return {loopback4(port), loopback6(port)};
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = socketType;
    hints.ai_protocol = socketType == SOCK_DGRAM ? IPPROTO_UDP : IPPROTO_TCP;
    addrinfo* results = nullptr;
    int status = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &results);
    std::vector<ByteView> addresses;
    if (status == 0) {
        for (const addrinfo* entry = results; entry; entry = entry->ai_next) {
            if (entry->ai_family == AF_INET || entry->ai_family == AF_INET6) {
                addresses.push_back(fromNative(entry->ai_addr, entry->ai_addrlen));
            }
        }
        freeaddrinfo(results);
        if (addresses.empty()) status = EAI_FAIL;
    }
    if (status != 0) *error = makeRef<Error>(kResolverErrorDomain, status, gai_strerror(status));
    return addresses;
}

}  // namespace SocketAddress
