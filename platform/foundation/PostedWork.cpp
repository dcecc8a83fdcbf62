#include "platform/foundation/PostedWork.h"

#include <exception>

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

void runPostedWork(const char* owner, const std::function<void()>& block) {
    try {
        block();
    } catch (const NamedException&) {
        // Ended from inside the handler, as an uncaught exception would end it: the terminate
        // handler prints the exception's type and message to standard error, then aborts.
        std::terminate();
    } catch (const std::exception& error) {
        logLine("%s: a posted block threw: %s", owner, error.what());
    } catch (...) {
        logLine("%s: a posted block threw a non-standard exception", owner);
    }
}
