// The loader sees the table's entries under their own names, not the calls they stand for.
#define PADLINK_OPENSSL_TABLE_ONLY
#include "PadlinkSDK/PadlinkRPCLib/Vendor/OpenSSLFunctions.h"

#include <atomic>
#include <memory>

#include "platform/foundation/Log.h"
#include "platform/foundation/SharedLibrary.h"

namespace {
std::atomic<int> hidingCount{0};  // live HiddenOpenSSL objects
}  // namespace

const OpenSSLFunctions* openSSL() {
    static const std::unique_ptr<const OpenSSLFunctions> functions = []() -> std::unique_ptr<const OpenSSLFunctions> {
        auto table = std::make_unique<OpenSSLFunctions>();
        // libssl's handle also finds the libcrypto functions: libssl depends on libcrypto.
        SharedLibrary library("libssl.so.3");
#define PADLINK_OPENSSL_RESOLVE(name) library.resolve(#name, table->name);
        PADLINK_OPENSSL_FUNCTIONS(PADLINK_OPENSSL_RESOLVE)
#undef PADLINK_OPENSSL_RESOLVE
        if (library.loaded()) return table;
        logLine("Padlink: OpenSSL cannot be loaded, so phones cannot connect securely and no new device identifier "
                "can be made: %s", library.failure().c_str());
        return nullptr;
    }();
    return hidingCount.load(std::memory_order_relaxed) > 0 ? nullptr : functions.get();
}

HiddenOpenSSL::HiddenOpenSSL() { ++hidingCount; }

HiddenOpenSSL::~HiddenOpenSSL() { --hidingCount; }
