#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/ByteView.h"
#include "platform/foundation/Error.h"

// Socket addresses as the sockets hand them around: the bytes of a complete native IPv4
// (sockaddr_in, 16 bytes) or IPv6 (sockaddr_in6, 28 bytes) address, port and address in network
// byte order. The family is the native sa_family field (16 bits at offset 0 on Linux), never a
// length byte. The bytes may sit anywhere in a buffer: they are copied out, never cast in place.
namespace SocketAddress {

// Domain of resolver failures; the code is the resolver's (EAI_*) code.
inline constexpr const char* kResolverErrorDomain = "kCFStreamErrorDomainNetDB";

// The first `length` bytes at `address` as address data.
ByteView fromNative(const sockaddr* address, socklen_t length);
// Copies address data into native storage when it holds an IPv4 or IPv6 address (see family());
// false otherwise. `length` receives the native size of that family.
bool toNative(const ByteView& address, sockaddr_storage* storage, socklen_t* length);

// AF_INET when the data holds at least 16 bytes with family AF_INET, AF_INET6 when it holds at
// least 28 with AF_INET6, otherwise 0.
int family(const ByteView& address);
// Numeric host text ("127.0.0.1", "::1"), port in host order and family of address data; false
// with "", 0 and 0 when family() is 0. Any out-parameter may be null.
bool hostAndPort(const ByteView& address, std::string* host, uint16_t* port, int* family);
// The host text or port alone; "" and 0 when family() is 0.
std::string host(const ByteView& address);
uint16_t port(const ByteView& address);
// Numeric host text of a native address ("" when the system cannot convert it) and its port in
// host order.
std::string host(const sockaddr_in& address);
std::string host(const sockaddr_in6& address);
uint16_t port(const sockaddr_in& address);
uint16_t port(const sockaddr_in6& address);
// The same address with another port; empty for data that is not an address.
ByteView withPort(const ByteView& address, uint16_t port);

// 127.0.0.1 / ::1 and the wildcard addresses 0.0.0.0 / ::, with the port.
ByteView loopback4(uint16_t port);
ByteView loopback6(uint16_t port);
ByteView any4(uint16_t port);
ByteView any6(uint16_t port);

// The local or peer address of a socket descriptor; empty when the call fails.
ByteView localAddress(int descriptor);
ByteView peerAddress(int descriptor);

// What an interface description names, each address with `port`; either may be empty.
struct InterfaceAddresses {
    ByteView address4;
    ByteView address6;
};
// An empty description: both wildcards. "localhost" or "loopback": both loopback addresses.
// Otherwise the first IPv4 and the first IPv6 entry of the system's interface list whose interface
// name or numeric address text equals the description.
InterfaceAddresses interfaceAddresses(const std::string& description, uint16_t port);

// Blocking name lookup for sockets of `socketType` (SOCK_STREAM, SOCK_DGRAM): every IPv4 and IPv6
// address in the resolver's order. "localhost" and "loopback" give 127.0.0.1 then ::1 without asking
// the resolver. A resolver failure, or no address of either family, gives an empty list and sets
// `*error` (domain kResolverErrorDomain; EAI_FAIL when nothing was found).
std::vector<ByteView> lookupHost(const std::string& host, uint16_t port, int socketType, RefPtr<Error>* error);

}  // namespace SocketAddress
