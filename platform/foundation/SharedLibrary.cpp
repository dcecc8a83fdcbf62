#include "platform/foundation/SharedLibrary.h"

#include <dlfcn.h>

SharedLibrary::SharedLibrary(const char* fileName) : handle_(dlopen(fileName, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) failure_ = dlerror();
}

void* SharedLibrary::address(const char* name) {
    if (!handle_) return nullptr;
    dlerror();
    void* const found = dlsym(handle_, name);
    if (!found && failure_.empty()) {
        const char* why = dlerror();
        failure_ = why ? why : std::string(name) + " is null";
    }
    return found;
}
