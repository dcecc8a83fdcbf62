#pragma once

#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>

// What the decoder and the encoder report about input they refuse. An empty description means
// no error.
struct JPJKError {
    std::string domain;                  // "JPJKErrorDomain"
    int64_t code = 0;                    // -1
    std::string localizedDescription;    // the message
    std::optional<uint64_t> atIndex;     // decoder: byte index in the input where it was found
    std::optional<uint64_t> lineNumber;  // decoder: line of that byte, from 1

    explicit operator bool() const { return !localizedDescription.empty(); }

    // Makes this the error with the printf-style message unless there is one already (the first
    // error of a call wins); answers whether it did.
    bool recordFirst(const char* format, va_list arguments);
};
