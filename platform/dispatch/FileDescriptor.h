#pragma once

// An open file descriptor that closes when its last owner lets go. A socket and the dispatch sources
// watching its descriptor share one through std::shared_ptr, so the descriptor closes only after
// the socket has let go and every source's cancel handler has run: no source can ever watch a
// number the system has already handed to another file.
class FileDescriptor {
public:
    // Takes ownership of `descriptor` (which may be -1: nothing to close).
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    // The descriptor number (valid while this object lives).
    int get() const { return descriptor_; }

private:
    const int descriptor_;
};
