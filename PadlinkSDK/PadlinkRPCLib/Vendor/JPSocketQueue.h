#pragma once

#include <functional>
#include <type_traits>

#include "platform/dispatch/DispatchQueue.h"

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
