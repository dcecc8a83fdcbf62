#include "platform/gameservice/GameService.h"

#include <chrono>

namespace {
constexpr double kReferenceDateSince1970 = 978307200;
}

double GameService::currentDate() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count() - kReferenceDateSince1970;
}

RefPtr<Error> GameService::error(ErrorCode code, std::string description) {
    return makeRef<Error>(kErrorDomain, code, std::move(description));
}
