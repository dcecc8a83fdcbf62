#include "platform/foundation/Error.h"

#include <cstring>

Error::Error(std::string domain, int64_t code, std::string description, std::string failureReason, Value userInfo)
    : domain_(std::move(domain)),
      code_(code),
      description_(std::move(description)),
      failureReason_(std::move(failureReason)),
      userInfo_(std::move(userInfo)) {}

RefPtr<Error> Error::posix(int errorNumber, std::string failureReason) {
    char text[128];  // GNU strerror_r: thread-safe, answers a static text or one written into `text`
    return makeRef<Error>(kPOSIXDomain, errorNumber, strerror_r(errorNumber, text, sizeof text),
                          std::move(failureReason));
}

std::string Error::description() const {
    std::string text = "Error Domain=" + domain_ + " Code=" + std::to_string(code_) + " \"" + description_ + "\"";
    if (!failureReason_.empty()) text += " (" + failureReason_ + ")";
    return text;
}
