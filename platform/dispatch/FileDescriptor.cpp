#include "platform/dispatch/FileDescriptor.h"

#include <unistd.h>

FileDescriptor::~FileDescriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
}
