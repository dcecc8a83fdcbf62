#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPSocketQueue.h"

#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/NamedException.h"

namespace {
constexpr const char* kAssertion = "NSInternalInconsistencyException";
}  // namespace

RefPtr<DispatchQueue> socketQueueOrOwn(RefPtr<DispatchQueue> given, const char* name) {
    RefPtr<DispatchQueue> queue = given ? std::move(given) : RefPtr<DispatchQueue>(makeRef<SerialQueue>(name));
    CC_REQUIRE(!queue->isConcurrent(), kAssertion, "The given socketQueue parameter must not be a concurrent queue.");
    return queue;
}

void asyncOnSocketQueue(Object& socket, DispatchQueue& queue, std::function<void()> body) {
    if (queue.isCurrent()) {
        body();
    } else {
        queue.async([owner = RefPtr(&socket), body = std::move(body)] { body(); });
    }
}

void requireOnSocketQueue(const DispatchQueue& queue) {
    CC_REQUIRE(queue.isCurrent(), kAssertion, "Must be dispatched on socketQueue");
}
