#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

struct ssl_st;

// One TLS connection (OpenSSL 3) whose records travel through two callbacks instead of a
// descriptor: the socket that owns it does the transport, non-blocking. Calls answer a status:
// 0, or one of the numbers below, which the socket's TLS errors carry as their code.
//
// The handshake and every read and write may answer kWouldBlock: the callbacks could not move
// the bytes yet; call again once the socket can. A write answering kWouldBlock has taken its
// bytes all the same (they wait in here): write(nullptr, 0) sends them on, and its success counts
// them as written.
//
// Protocol levels below TLS 1.2 are never enabled: a settings dictionary asking for one is refused
// rather than weakening the connection.
class JPSecureTransport {
public:
    // Statuses.
    static constexpr int32_t kProtocolError = -9800;          // the peer broke the protocol, or no common version or cipher
    static constexpr int32_t kWouldBlock = -9803;
    static constexpr int32_t kClosedGraceful = -9805;         // the peer closed the TLS connection properly
    static constexpr int32_t kClosedAbort = -9806;            // the connection ended without a TLS close
    static constexpr int32_t kCertificateChainInvalid = -9807;  // the peer's certificate did not verify

    // Keys of the settings dictionary, all optional.
    static constexpr const char* kIsServer = "kCFStreamSSLIsServer";                    // bool
    static constexpr const char* kPeerName = "kCFStreamSSLPeerName";                    // string: expected host name
    static constexpr const char* kAllowsAnyRoot = "kCFStreamSSLAllowsAnyRoot";          // bool
    static constexpr const char* kAllowsExpiredRoots = "kCFStreamSSLAllowsExpiredRoots";  // bool
    static constexpr const char* kValidatesCertificateChain = "kCFStreamSSLValidatesCertificateChain";  // bool
    static constexpr const char* kAllowsExpiredCertificates = "kCFStreamSSLAllowsExpiredCertificates";  // bool
    // Array of data: first the identity (PEM with the private key and its certificate), then the
    // chain's certificates (PEM or DER).
    static constexpr const char* kCertificates = "kCFStreamSSLCertificates";
    static constexpr const char* kLevel = "kCFStreamSSLLevel";  // one of the level strings below
    static constexpr const char* kCipherSuites = "JPTcpSocketSSLCipherSuites";  // array of 16-bit suite numbers
    static constexpr const char* kDiffieHellmanParameters = "JPTcpSocketSSLDiffieHellmanParameters";  // data, PEM or DER
    // Levels: the first three are refused; negotiated means TLS 1.2 or later; any other string
    // changes nothing.
    static constexpr const char* kLevelSSLv2 = "kCFStreamSocketSecurityLevelSSLv2";
    static constexpr const char* kLevelSSLv3 = "kCFStreamSocketSecurityLevelSSLv3";
    static constexpr const char* kLevelTLSv1 = "kCFStreamSocketSecurityLevelTLSv1";
    static constexpr const char* kLevelNegotiatedSSL = "kCFStreamSocketSecurityLevelNegotiatedSSL";

    // Moves bytes between TLS and the transport: `*length` holds the bytes asked for and receives
    // the bytes moved; the status is 0 when all moved, kWouldBlock when fewer (maybe none) could,
    // kClosedAbort when the transport is gone.
    using ReadFunction = std::function<int32_t(void* data, size_t* length)>;
    using WriteFunction = std::function<int32_t(const void* data, size_t* length)>;

    // A connection for the server or the client side. Null when the library refuses, with
    // `*failedCall` naming the step that failed ("SSLNewContext", "SSLSetIOFuncs").
    static std::unique_ptr<JPSecureTransport> make(bool server, ReadFunction read, WriteFunction write,
                                                   const char** failedCall);
    ~JPSecureTransport();
    JPSecureTransport(const JPSecureTransport&) = delete;
    JPSecureTransport& operator=(const JPSecureTransport&) = delete;

    // Applies a settings dictionary in the order of the keys above. Null when all took; else the
    // name of the step that failed ("SSLSetPeerDomainName", "SSLSetCertificate",
    // "SSLSetProtocolVersionEnabled", "SSLSetEnabledCiphers", "SSLSetDiffieHellmanParams").
    const char* applySettings(const Value& settings);

    // One step of the handshake: 0 once it has completed.
    int32_t handshake();
    // Decrypted bytes into `data`: `*processed` receives how many (maybe fewer than `length`).
    int32_t read(void* data, size_t length, size_t* processed);
    // Encrypts and sends `length` bytes (all of them on 0); see the class comment for kWouldBlock.
    int32_t write(const void* data, size_t length, size_t* processed);
    // Decrypted bytes held, ready for read().
    size_t bufferedReadSize() const;
    // Sends the TLS close, as far as the transport takes it now.
    void close();
    // What the library said about the last failure ("" when nothing).
    const std::string& failureText() const { return failureText_; }

private:
    friend struct JPSecureTransportBio;

    JPSecureTransport(ReadFunction read, WriteFunction write) : read_(std::move(read)), write_(std::move(write)) {}
    // The status of a failed library call that answered `result`.
    int32_t status(int result);
    static int verify(int preverified, struct x509_store_ctx_st* store);

    ssl_st* ssl_ = nullptr;
    const ReadFunction read_;
    const WriteFunction write_;
    int32_t transportStatus_ = 0;  // what the last transport call answered
    std::vector<uint8_t> pendingWrite_;  // bytes a write took while the transport could not send them
    bool verifyPeer_ = true;
    bool allowsAnyRoot_ = false, allowsExpiredRoots_ = false, allowsExpiredCertificates_ = false;
    std::string failureText_;
};
