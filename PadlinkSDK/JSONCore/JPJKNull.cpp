#include "PadlinkSDK/JSONCore/JPJKNull.h"

RefPtr<JPJKNull> JPJKNull::null() {
    static JPJKNull* const shared = [] {
        auto* null = new JPJKNull;
        null->retain();  // lives for the whole run
        return null;
    }();
    return RefPtr<JPJKNull>(shared);
}
