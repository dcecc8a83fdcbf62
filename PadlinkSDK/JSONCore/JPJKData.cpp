#include "PadlinkSDK/JSONCore/JPJKData.h"

#include <functional>
#include <string_view>

RefPtr<JPJKData> JPJKData::dataWithBytes(std::string bytes) {
    return RefPtr<JPJKData>(new JPJKData(std::move(bytes)));
}

uint64_t JPJKData::hash() const { return std::hash<std::string_view>{}(bytes_); }

bool JPJKData::isEqualTo(const JPJKObject& other) const {
    return bytes_ == static_cast<const JPJKData&>(other).bytes_;
}
