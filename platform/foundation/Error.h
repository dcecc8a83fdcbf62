#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

// A recoverable failure reported to a caller: which family of codes it belongs to (the domain), the
// code within it, a readable description and, optionally, why it happened and further details.
// Immutable once made; shared by reference between threads.
class Error : public Object {
public:
    // Domain of operating-system failures: the code is an errno value.
    static constexpr const char* kPOSIXDomain = "NSPOSIXErrorDomain";
    // Key of userInfo for advice on what to do about the failure.
    static constexpr const char* kRecoverySuggestionKey = "NSLocalizedRecoverySuggestion";

    // `userInfo` is a dictionary or none.
    Error(std::string domain, int64_t code, std::string description, std::string failureReason = {},
          Value userInfo = {});

    // A failed system call: errno `errorNumber`, the system's text for it as description, and
    // `failureReason` naming the call ("Error in bind() function").
    static RefPtr<Error> posix(int errorNumber, std::string failureReason);

    const std::string& domain() const { return domain_; }
    int64_t code() const { return code_; }
    const std::string& localizedDescription() const { return description_; }
    // Empty when none was given.
    const std::string& failureReason() const { return failureReason_; }
    // A dictionary of further details, or none.
    const Value& userInfo() const { return userInfo_; }

    // "Error Domain=<domain> Code=<code> "<description>"", plus the failure reason when there is one.
    std::string description() const override;

private:
    const std::string domain_;
    const int64_t code_;
    const std::string description_;
    const std::string failureReason_;
    const Value userInfo_;
};
