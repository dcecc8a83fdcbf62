#pragma once

// OpenSSL, opened the first time a connection asks for TLS or an identifier is made, so that the
// program's start does not load it (platform/foundation/SharedLibrary.h says why that matters).
//
// Use: include this header, and no OpenSSL header, in a .cpp file; check openSSL() before the
// first OpenSSL call of an operation. After this header each function below is a macro naming its
// entry in the loaded table, so the code, and OpenSSL's own function-like macros (SSL_set_mode
// and its kind, which expand to SSL_ctrl), read as plain OpenSSL. A call made while openSSL() is
// null dereferences null: the check is what keeps it safe.
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

// The OpenSSL functions the library calls; a call of one more needs its name here.
#define PADLINK_OPENSSL_FUNCTIONS(F) \
    F(BIO_clear_flags) F(BIO_free) F(BIO_get_data) F(BIO_get_new_index) F(BIO_meth_new) F(BIO_meth_set_create) \
    F(BIO_meth_set_ctrl) F(BIO_meth_set_read_ex) F(BIO_meth_set_write_ex) F(BIO_new) F(BIO_new_mem_buf) \
    F(BIO_set_data) F(BIO_set_flags) F(BIO_set_init) F(CRYPTO_get_ex_new_index) F(ERR_clear_error) \
    F(ERR_error_string_n) F(ERR_peek_last_error) F(EVP_Digest) F(EVP_md5) F(EVP_PKEY_free) \
    F(PEM_read_bio_Parameters) F(PEM_read_bio_PrivateKey) F(PEM_read_bio_X509) F(SSL_CIPHER_find) \
    F(SSL_CIPHER_get_name) F(SSL_CTX_ctrl) F(SSL_CTX_free) F(SSL_CTX_new) F(SSL_CTX_set_default_verify_paths) \
    F(SSL_check_private_key) F(SSL_ctrl) F(SSL_do_handshake) F(SSL_free) F(SSL_get_error) F(SSL_get_ex_data) \
    F(SSL_get_ex_data_X509_STORE_CTX_idx) F(SSL_get_verify_result) F(SSL_is_server) F(SSL_new) F(SSL_pending) \
    F(SSL_read_ex) F(SSL_set0_tmp_dh_pkey) F(SSL_set1_host) F(SSL_set_accept_state) F(SSL_set_bio) \
    F(SSL_set_cipher_list) F(SSL_set_ciphersuites) F(SSL_set_connect_state) F(SSL_set_ex_data) \
    F(SSL_set_verify) F(SSL_shutdown) F(SSL_use_PrivateKey) F(SSL_use_certificate) F(SSL_write_ex) \
    F(TLS_client_method) F(TLS_server_method) F(X509_STORE_CTX_get_error) F(X509_STORE_CTX_get_error_depth) \
    F(X509_STORE_CTX_get_ex_data) F(X509_STORE_CTX_set_error) F(X509_free) F(d2i_KeyParams_bio) \
    F(d2i_X509_bio)

struct OpenSSLFunctions {
#define PADLINK_OPENSSL_DECLARE(name) decltype(&::name) name = nullptr;
    PADLINK_OPENSSL_FUNCTIONS(PADLINK_OPENSSL_DECLARE)
#undef PADLINK_OPENSSL_DECLARE
};

// The table, loaded on the first call (thread-safe); null, after one logged line, when libssl
// cannot be opened or lacks a function.
const OpenSSLFunctions* openSSL();

// For tests: while one lives, openSSL() answers null, as on a machine without libssl.so.3.
class HiddenOpenSSL {
public:
    HiddenOpenSSL();
    ~HiddenOpenSSL();
    HiddenOpenSSL(const HiddenOpenSSL&) = delete;
    HiddenOpenSSL& operator=(const HiddenOpenSSL&) = delete;
};

#ifndef PADLINK_OPENSSL_TABLE_ONLY
#define BIO_clear_flags (openSSL()->BIO_clear_flags)
#define BIO_free (openSSL()->BIO_free)
#define BIO_get_data (openSSL()->BIO_get_data)
#define BIO_get_new_index (openSSL()->BIO_get_new_index)
#define BIO_meth_new (openSSL()->BIO_meth_new)
#define BIO_meth_set_create (openSSL()->BIO_meth_set_create)
#define BIO_meth_set_ctrl (openSSL()->BIO_meth_set_ctrl)
#define BIO_meth_set_read_ex (openSSL()->BIO_meth_set_read_ex)
#define BIO_meth_set_write_ex (openSSL()->BIO_meth_set_write_ex)
#define BIO_new (openSSL()->BIO_new)
#define BIO_new_mem_buf (openSSL()->BIO_new_mem_buf)
#define BIO_set_data (openSSL()->BIO_set_data)
#define BIO_set_flags (openSSL()->BIO_set_flags)
#define BIO_set_init (openSSL()->BIO_set_init)
#define CRYPTO_get_ex_new_index (openSSL()->CRYPTO_get_ex_new_index)
#define ERR_clear_error (openSSL()->ERR_clear_error)
#define ERR_error_string_n (openSSL()->ERR_error_string_n)
#define ERR_peek_last_error (openSSL()->ERR_peek_last_error)
#define EVP_Digest (openSSL()->EVP_Digest)
#define EVP_md5 (openSSL()->EVP_md5)
#define EVP_PKEY_free (openSSL()->EVP_PKEY_free)
#define PEM_read_bio_Parameters (openSSL()->PEM_read_bio_Parameters)
#define PEM_read_bio_PrivateKey (openSSL()->PEM_read_bio_PrivateKey)
#define PEM_read_bio_X509 (openSSL()->PEM_read_bio_X509)
#define SSL_CIPHER_find (openSSL()->SSL_CIPHER_find)
#define SSL_CIPHER_get_name (openSSL()->SSL_CIPHER_get_name)
#define SSL_CTX_ctrl (openSSL()->SSL_CTX_ctrl)
#define SSL_CTX_free (openSSL()->SSL_CTX_free)
#define SSL_CTX_new (openSSL()->SSL_CTX_new)
#define SSL_CTX_set_default_verify_paths (openSSL()->SSL_CTX_set_default_verify_paths)
#define SSL_check_private_key (openSSL()->SSL_check_private_key)
#define SSL_ctrl (openSSL()->SSL_ctrl)
#define SSL_do_handshake (openSSL()->SSL_do_handshake)
#define SSL_free (openSSL()->SSL_free)
#define SSL_get_error (openSSL()->SSL_get_error)
#define SSL_get_ex_data (openSSL()->SSL_get_ex_data)
#define SSL_get_ex_data_X509_STORE_CTX_idx (openSSL()->SSL_get_ex_data_X509_STORE_CTX_idx)
#define SSL_get_verify_result (openSSL()->SSL_get_verify_result)
#define SSL_is_server (openSSL()->SSL_is_server)
#define SSL_new (openSSL()->SSL_new)
#define SSL_pending (openSSL()->SSL_pending)
#define SSL_read_ex (openSSL()->SSL_read_ex)
#define SSL_set0_tmp_dh_pkey (openSSL()->SSL_set0_tmp_dh_pkey)
#define SSL_set1_host (openSSL()->SSL_set1_host)
#define SSL_set_accept_state (openSSL()->SSL_set_accept_state)
#define SSL_set_bio (openSSL()->SSL_set_bio)
#define SSL_set_cipher_list (openSSL()->SSL_set_cipher_list)
#define SSL_set_ciphersuites (openSSL()->SSL_set_ciphersuites)
#define SSL_set_connect_state (openSSL()->SSL_set_connect_state)
#define SSL_set_ex_data (openSSL()->SSL_set_ex_data)
#define SSL_set_verify (openSSL()->SSL_set_verify)
#define SSL_shutdown (openSSL()->SSL_shutdown)
#define SSL_use_PrivateKey (openSSL()->SSL_use_PrivateKey)
#define SSL_use_certificate (openSSL()->SSL_use_certificate)
#define SSL_write_ex (openSSL()->SSL_write_ex)
#define TLS_client_method (openSSL()->TLS_client_method)
#define TLS_server_method (openSSL()->TLS_server_method)
#define X509_STORE_CTX_get_error (openSSL()->X509_STORE_CTX_get_error)
#define X509_STORE_CTX_get_error_depth (openSSL()->X509_STORE_CTX_get_error_depth)
#define X509_STORE_CTX_get_ex_data (openSSL()->X509_STORE_CTX_get_ex_data)
#define X509_STORE_CTX_set_error (openSSL()->X509_STORE_CTX_set_error)
#define X509_free (openSSL()->X509_free)
#define d2i_KeyParams_bio (openSSL()->d2i_KeyParams_bio)
#define d2i_X509_bio (openSSL()->d2i_X509_bio)
#endif
