#pragma once

#include <functional>
#include <type_traits>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/Object.h"

// What the TCP and UDP sockets share about their queues. Each socket keeps all its state on its
// socket queue (serial) and sends every callback to its delegate queue; the two differ only in how
// they hold their delegate:
//
// | socket      | delegate     | a callback queued for the delegate                                |
// |-------------|--------------|-------------------------------------------------------------------|
// | JPTcpSocket | not retained | is delivered only if that delegate is still the socket's delegate |
// |             |              | when it runs (a delegate clears itself before it goes away);      |
// |             |              | while the socket is destroyed it still goes, carrying no socket   |
// | JPUdpSocket | retained     | is always delivered (the queued callback retains it too); while   |
// |             |              | the socket is destroyed none is sent                              |

// Runs `body` on a socket's queue and waits for its result: at once when already there (a queue
// never waits for itself), else through a synchronous dispatch.
template <typename Body>
auto syncOnSocketQueue(DispatchQueue& queue, Body&& body) {
    using Result = std::invoke_result_t<Body>;
    if (queue.isCurrent()) return body();
    if constexpr (std::is_void_v<Result>) {
        queue.sync(std::ref(body));
    } else {
        Result result{};
        queue.sync([&] { result = body(); });
        return result;
    }
}

// The socket queue a socket was given, or a serial queue of its own (named `name`) when none; a
// concurrent queue is refused (NamedException "NSInternalInconsistencyException").
RefPtr<DispatchQueue> socketQueueOrOwn(RefPtr<DispatchQueue> given, const char* name);

// Runs `body` on a socket's queue without waiting: at once when already there, else queued with a
// reference to `socket`, which then lives until the body has run.
void asyncOnSocketQueue(Object& socket, DispatchQueue& queue, std::function<void()> body);

// The caller must be on the socket's queue (NamedException "NSInternalInconsistencyException").
void requireOnSocketQueue(const DispatchQueue& queue);
