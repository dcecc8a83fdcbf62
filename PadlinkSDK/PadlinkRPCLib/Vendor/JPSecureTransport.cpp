#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPSecureTransport.h"

#include <cstring>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/OpenSSLFunctions.h"

// The BIO that carries records through the owner's callbacks; its data pointer is the transport.
struct JPSecureTransportBio {
    static JPSecureTransport* owner(BIO* bio) { return static_cast<JPSecureTransport*>(BIO_get_data(bio)); }

    static int read(BIO* bio, char* data, size_t length, size_t* done) {
        BIO_clear_retry_flags(bio);
        JPSecureTransport* transport = owner(bio);
        *done = length;
        transport->transportStatus_ = transport->read_(data, done);
        if (*done > 0) return 1;
        if (transport->transportStatus_ == JPSecureTransport::kWouldBlock) BIO_set_retry_read(bio);
        return 0;
    }

    static int write(BIO* bio, const char* data, size_t length, size_t* done) {
        BIO_clear_retry_flags(bio);
        JPSecureTransport* transport = owner(bio);
        *done = length;
        transport->transportStatus_ = transport->write_(data, done);
        if (*done > 0) return 1;
        if (transport->transportStatus_ == JPSecureTransport::kWouldBlock) BIO_set_retry_write(bio);
        return 0;
    }

    static long control(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

    static int create(BIO* bio) {
        BIO_set_init(bio, 1);
        return 1;
    }

    // Made once, shared by every connection, never freed.
    static const BIO_METHOD* method() {
        static BIO_METHOD* const made = [] {
            BIO_METHOD* method = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "JPTcpSocket transport");
            if (method) {
                BIO_meth_set_read_ex(method, read);
                BIO_meth_set_write_ex(method, write);
                BIO_meth_set_ctrl(method, control);
                BIO_meth_set_create(method, create);
            }
            return method;
        }();
        return made;
    }
};

namespace {

// The certificate errors each relaxing setting forgives.
bool isUntrustedRoot(int error) {
    return error == X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT || error == X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN ||
           error == X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY || error == X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT ||
           error == X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE;
}

bool isExpiry(int error) { return error == X509_V_ERR_CERT_HAS_EXPIRED || error == X509_V_ERR_CERT_NOT_YET_VALID; }

// A memory BIO over a data value's bytes (read-only, not copied).
struct MemoryBio {
    explicit MemoryBio(const Value& data) : bio(BIO_new_mem_buf(data.bytes().data(), static_cast<int>(data.bytes().size()))) {}
    ~MemoryBio() { BIO_free(bio); }
    BIO* const bio;
};

X509* readCertificate(const Value& data) {
    X509* certificate = PEM_read_bio_X509(MemoryBio(data).bio, nullptr, nullptr, nullptr);
    return certificate ? certificate : d2i_X509_bio(MemoryBio(data).bio, nullptr);
}

bool useCertificates(SSL* ssl, const Value& list) {
    if (!list.isArray() || list.count() == 0 || !list.at(0).isData()) return false;
    X509* certificate = PEM_read_bio_X509(MemoryBio(list.at(0)).bio, nullptr, nullptr, nullptr);
    EVP_PKEY* key = PEM_read_bio_PrivateKey(MemoryBio(list.at(0)).bio, nullptr, nullptr, nullptr);
    bool ok = certificate && key && SSL_use_certificate(ssl, certificate) == 1 && SSL_use_PrivateKey(ssl, key) == 1 &&
              SSL_check_private_key(ssl) == 1;
    X509_free(certificate);
    EVP_PKEY_free(key);
    for (size_t i = 1; ok && i < list.count(); ++i) {
        X509* link = list.at(i).isData() ? readCertificate(list.at(i)) : nullptr;
        ok = link && SSL_add0_chain_cert(ssl, link) == 1;
        if (!ok) X509_free(link);
    }
    return ok;
}

bool useCipherSuites(SSL* ssl, const Value& list) {
    if (!list.isArray()) return false;
    std::string suites12, suites13;
    for (const Value& number : list.elements()) {
        const auto value = static_cast<uint16_t>(number.integerValue());
        const unsigned char bytes[2] = {static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
        const SSL_CIPHER* cipher = number.isNumber() ? SSL_CIPHER_find(ssl, bytes) : nullptr;
        if (!cipher) return false;
        std::string& suites = (value >> 8) == 0x13 ? suites13 : suites12;  // 0x13xx: the TLS 1.3 suites
        if (!suites.empty()) suites += ':';
        suites += SSL_CIPHER_get_name(cipher);
    }
    if (SSL_set_ciphersuites(ssl, suites13.c_str()) != 1) return false;
    // Only TLS 1.3 suites: no TLS 1.2 cipher is left, so TLS 1.3 it is.
    return suites12.empty() ? SSL_set_min_proto_version(ssl, TLS1_3_VERSION) == 1
                            : SSL_set_cipher_list(ssl, suites12.c_str()) == 1;
}

bool useDiffieHellmanParameters(SSL* ssl, const Value& data) {
    if (!data.isData()) return false;
    EVP_PKEY* parameters = PEM_read_bio_Parameters(MemoryBio(data).bio, nullptr);
    if (!parameters) parameters = d2i_KeyParams_bio(EVP_PKEY_DH, nullptr, MemoryBio(data).bio);
    if (parameters && SSL_set0_tmp_dh_pkey(ssl, parameters) == 1) return true;
    EVP_PKEY_free(parameters);
    return false;
}

// Index of the SSL object's slot for its JPSecureTransport.
int ownerIndex() {
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

}  // namespace

std::unique_ptr<JPSecureTransport> JPSecureTransport::make(bool server, ReadFunction read, WriteFunction write,
                                                           const char** failedCall) {
    // Without OpenSSL there is no context to make: every later call needs the table.
    if (!openSSL()) {
        *failedCall = "SSLNewContext";
        return nullptr;
    }
    std::unique_ptr<JPSecureTransport> transport(new JPSecureTransport(std::move(read), std::move(write)));
    SSL_CTX* context = SSL_CTX_new(server ? TLS_server_method() : TLS_client_method());
    if (context) {
        SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
        SSL_CTX_set_default_verify_paths(context);
        transport->ssl_ = SSL_new(context);
        SSL_CTX_free(context);  // the connection holds its own reference
    }
    SSL* ssl = transport->ssl_;
    if (!ssl || SSL_set_ex_data(ssl, ownerIndex(), transport.get()) != 1) {
        *failedCall = "SSLNewContext";
        return nullptr;
    }
    BIO* bio = JPSecureTransportBio::method() ? BIO_new(JPSecureTransportBio::method()) : nullptr;
    if (!bio) {
        *failedCall = "SSLSetIOFuncs";
        return nullptr;
    }
    BIO_set_data(bio, transport.get());
    SSL_set_bio(ssl, bio, bio);
    SSL_set_mode(ssl, SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    if (server) {
        SSL_set_accept_state(ssl);
    } else {
        SSL_set_connect_state(ssl);
    }
    // A server asks for client certificates only when told to verify them.
    transport->verifyPeer_ = !server;
    return transport;
}

JPSecureTransport::~JPSecureTransport() { SSL_free(ssl_); }

const char* JPSecureTransport::applySettings(const Value& settings) {
    const Value& peerName = settings[kPeerName];
    if (peerName.isString()) {
        const std::string& name = peerName.stringValue();
        if (SSL_set1_host(ssl_, name.c_str()) != 1 || (!SSL_is_server(ssl_) && SSL_set_tlsext_host_name(ssl_, name.c_str()) != 1)) {
            return "SSLSetPeerDomainName";
        }
    }
    if (!settings[kAllowsAnyRoot].isNone()) allowsAnyRoot_ = settings[kAllowsAnyRoot].boolValue();
    if (!settings[kAllowsExpiredRoots].isNone()) allowsExpiredRoots_ = settings[kAllowsExpiredRoots].boolValue();
    if (!settings[kValidatesCertificateChain].isNone()) verifyPeer_ = settings[kValidatesCertificateChain].boolValue();
    if (!settings[kAllowsExpiredCertificates].isNone()) {
        allowsExpiredCertificates_ = settings[kAllowsExpiredCertificates].boolValue();
    }
    SSL_set_verify(ssl_, verifyPeer_ ? SSL_VERIFY_PEER : SSL_VERIFY_NONE, verify);
    if (!settings[kCertificates].isNone() && !useCertificates(ssl_, settings[kCertificates])) return "SSLSetCertificate";
    const std::string level = settings[kLevel].stringValue();
    if (level == kLevelSSLv2 || level == kLevelSSLv3 || level == kLevelTLSv1) return "SSLSetProtocolVersionEnabled";
    if (!settings[kCipherSuites].isNone() && !useCipherSuites(ssl_, settings[kCipherSuites])) return "SSLSetEnabledCiphers";
    if (!settings[kDiffieHellmanParameters].isNone() && !useDiffieHellmanParameters(ssl_, settings[kDiffieHellmanParameters])) {
        return "SSLSetDiffieHellmanParams";
    }
    return nullptr;
}

int JPSecureTransport::verify(int preverified, X509_STORE_CTX* store) {
    if (preverified) return 1;
    auto* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    const auto* transport = static_cast<const JPSecureTransport*>(SSL_get_ex_data(ssl, ownerIndex()));
    const int error = X509_STORE_CTX_get_error(store);
    const bool root = X509_STORE_CTX_get_error_depth(store) > 0;
    if ((transport->allowsAnyRoot_ && isUntrustedRoot(error)) ||
        (isExpiry(error) && (root ? transport->allowsExpiredRoots_ : transport->allowsExpiredCertificates_))) {
        X509_STORE_CTX_set_error(store, X509_V_OK);
        return 1;
    }
    return 0;
}

int32_t JPSecureTransport::status(int result) {
    const int error = SSL_get_error(ssl_, result);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) return kWouldBlock;
    if (error == SSL_ERROR_ZERO_RETURN) return kClosedGraceful;
    char text[256] = "";
    ERR_error_string_n(ERR_peek_last_error(), text, sizeof text);
    failureText_ = text;
    const bool unexpectedEnd = ERR_GET_REASON(ERR_peek_last_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
    ERR_clear_error();
    if (transportStatus_ == kClosedAbort || error == SSL_ERROR_SYSCALL || unexpectedEnd) return kClosedAbort;
    if (SSL_get_verify_result(ssl_) != X509_V_OK) return kCertificateChainInvalid;
    return kProtocolError;
}

int32_t JPSecureTransport::handshake() {
    ERR_clear_error();
    const int result = SSL_do_handshake(ssl_);
    return result == 1 ? 0 : status(result);
}

int32_t JPSecureTransport::read(void* data, size_t length, size_t* processed) {
    ERR_clear_error();
    *processed = 0;
    const int result = SSL_read_ex(ssl_, data, length, processed);
    return result == 1 ? 0 : status(result);
}

int32_t JPSecureTransport::write(const void* data, size_t length, size_t* processed) {
    ERR_clear_error();
    *processed = 0;
    size_t done = 0;
    // A write that could not go out must be repeated with the same bytes before anything else.
    if (!pendingWrite_.empty()) {
        const int result = SSL_write_ex(ssl_, pendingWrite_.data(), pendingWrite_.size(), &done);
        if (result != 1) return status(result);
        pendingWrite_.clear();
    }
    if (length == 0) return 0;
    const int result = SSL_write_ex(ssl_, data, length, processed);
    if (result == 1) return 0;
    const int32_t answer = status(result);
    if (answer == kWouldBlock) pendingWrite_.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + length);
    return answer;
}

size_t JPSecureTransport::bufferedReadSize() const { return static_cast<size_t>(SSL_pending(ssl_)); }

void JPSecureTransport::close() {
    ERR_clear_error();
    SSL_shutdown(ssl_);
    ERR_clear_error();
}
