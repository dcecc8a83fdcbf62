#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/ioctl.h>

#include <future>

#include "TcpSocketFixture.h"

namespace {

using Tls = TcpSocketTest;

// A fresh self-signed certificate for "localhost" with its P-256 key, as one PEM text.
std::string makeIdentity() {
    EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -60);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
    X509_set_issuer_name(certificate, name);
    X509_sign(certificate, key, EVP_sha256());
    BIO* out = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr);
    PEM_write_bio_X509(out, certificate);
    char* text = nullptr;
    const long length = BIO_get_mem_data(out, &text);
    std::string pem(text, static_cast<size_t>(length));
    BIO_free(out);
    X509_free(certificate);
    EVP_PKEY_free(key);
    return pem;
}

// The far end as a TLS client on its own thread: sends `plain` in the clear, handshakes (at most
// `maxVersion` when given), sends "ping\r\n" and answers with the 6 bytes it reads back.
std::future<std::string> runClient(int fd, std::string plain, int maxVersion = 0) {
    return std::async(std::launch::async, [fd, plain, maxVersion] {
        SSL_CTX* context = SSL_CTX_new(TLS_client_method());
        if (maxVersion != 0) {
            SSL_CTX_set_security_level(context, 0);
            SSL_CTX_set_min_proto_version(context, TLS1_VERSION);
            SSL_CTX_set_max_proto_version(context, maxVersion);
        }
        SSL* ssl = SSL_new(context);
        SSL_set_fd(ssl, fd);
        std::string answer;
        if (send(fd, plain.data(), plain.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(plain.size()) && SSL_connect(ssl) == 1 &&
            SSL_write(ssl, "ping\r\n", 6) == 6) {
            char bytes[6];
            const int got = SSL_read(ssl, bytes, sizeof bytes);
            answer.assign(bytes, static_cast<size_t>(std::max(got, 0)));
        }
        SSL_free(ssl);
        SSL_CTX_free(context);
        return answer;
    });
}

Value serverSettings() {
    Value settings = Value::dictionary();
    settings.set(JPSecureTransport::kIsServer, true);
    Value certificates = Value::array();
    certificates.append(Value::data(makeIdentity()));
    settings.set(JPSecureTransport::kCertificates, certificates);
    return settings;
}

// The socket's TLS object as seen on the socket queue.
JPSecureTransport* contextOnQueue(JPTcpSocket& sock) {
    JPSecureTransport* context = nullptr;
    sock.performBlock([&] { context = sock.sslContext(); });
    return context;
}

TEST_F(Tls, HandshakeAfterTheClearBytesThenEchoThroughTLS) {
    const int far = connectPair();
    EXPECT_EQ(contextOnQueue(*socket_), nullptr) << "a plain socket has a TLS object";
    std::future<std::string> client = runClient(far, "hello\r\n");
    // Wait until the client's first TLS record sits behind the clear line, so that the clear read
    // takes both into the pre-buffer and the handshake must start from what it left there.
    for (int unread = 0; unread <= 7;) socket_->performBlock([&] { ioctl(socket_->socketFD(), FIONREAD, &unread); });
    socket_->readDataToData(JPTcpSocket::CRLFData(), -1, 1);
    socket_->startTLS(serverSettings());
    socket_->startTLS(Value());  // a second request on one connection is dropped
    socket_->readDataToData(JPTcpSocket::CRLFData(), -1, 2);
    socket_->writeData(ByteView::copyOf("pong\r\n"), -1, 3);
    EXPECT_EQ(client.get(), "pong\r\n");
    ASSERT_TRUE(recorder_.waitFor("wrote 3"));
    ASSERT_TRUE(recorder_.waitFor("read 2 ping\r\n"));
    settle();
    std::vector<std::string> lines = recorder_.lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"connect 127.0.0.1", "read 1 hello\r\n", "secure"}));
    EXPECT_TRUE(socket_->isSecure());
    EXPECT_TRUE(socket_->usingSecureTransportForTLS() && !socket_->usingCFStreamForTLS());
    ASSERT_NE(contextOnQueue(*socket_), nullptr);
    EXPECT_EQ(socket_->sslContext(), nullptr) << "the TLS object was handed out off the socket queue";
    socket_->disconnect();
    EXPECT_EQ(contextOnQueue(*socket_), nullptr) << "closing kept the TLS object";
}

// Settings the socket refuses, and a peer that offers only a level below TLS 1.2.
struct TlsRefusal {
    const char* name;
    const char* key;
    Value value;
    int peerMaxVersion;  // 0: no peer handshake takes place
    const char* domain;
    int64_t code;
    const char* text;  // "" when the library's text stands
};

void PrintTo(const TlsRefusal& r, std::ostream* out) { *out << r.name; }

class TlsRefusals : public TcpSocketTest, public ::testing::WithParamInterface<TlsRefusal> {};

TEST_P(TlsRefusals, CloseTheSocketWithTheError) {
    const TlsRefusal& r = GetParam();
    const int far = connectPair();
    std::future<std::string> client;
    if (r.peerMaxVersion != 0) client = runClient(far, "", r.peerMaxVersion);
    Value settings = serverSettings();
    if (r.key) settings.set(r.key, r.value);
    socket_->startTLS(settings);
    ASSERT_TRUE(recorder_.waitFor("disconnect " + std::to_string(r.code)));
    if (client.valid()) {
        EXPECT_EQ(client.get(), "");
    }
    settle();
    EXPECT_EQ(recorder_.lastError->domain(), r.domain);
    if (*r.text) {
        EXPECT_EQ(recorder_.lastError->localizedDescription(), r.text);
    }
    EXPECT_EQ(recorder_.count("secure"), 0);
}

Value junk() { return Value::data("not a PEM or DER object"); }
Value list(Value element) {
    Value array = Value::array();
    array.append(std::move(element));
    return array;
}

INSTANTIATE_TEST_SUITE_P(
    TcpSocket, TlsRefusals,
    ::testing::Values(
        TlsRefusal{"SSLv3Level", JPSecureTransport::kLevel, JPSecureTransport::kLevelSSLv3, 0, JPTcpSocket::kErrorDomain, 8,
                   "Error in SSLSetProtocolVersionEnabled"},
        TlsRefusal{"TLSv1Level", JPSecureTransport::kLevel, JPSecureTransport::kLevelTLSv1, 0, JPTcpSocket::kErrorDomain, 8,
                   "Error in SSLSetProtocolVersionEnabled"},
        TlsRefusal{"UnknownCipherSuite", JPSecureTransport::kCipherSuites, list(0xFFFF), 0, JPTcpSocket::kErrorDomain, 8,
                   "Error in SSLSetEnabledCiphers"},
        TlsRefusal{"BrokenIdentity", JPSecureTransport::kCertificates, list(junk()), 0, JPTcpSocket::kErrorDomain, 8,
                   "Error in SSLSetCertificate"},
        TlsRefusal{"BrokenDiffieHellmanParameters", JPSecureTransport::kDiffieHellmanParameters, junk(), 0,
                   JPTcpSocket::kErrorDomain, 8, "Error in SSLSetDiffieHellmanParams"},
        TlsRefusal{"PeerBelowTLS12", nullptr, Value(), TLS1_1_VERSION, JPTcpSocket::kTLSErrorDomain,
                   JPSecureTransport::kProtocolError, ""}),
    [](const ::testing::TestParamInfo<TlsRefusal>& info) { return std::string(info.param.name); });

}  // namespace
