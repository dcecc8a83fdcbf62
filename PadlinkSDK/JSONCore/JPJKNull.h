#pragma once

#include "PadlinkSDK/JSONCore/JPJKObject.h"

// JSON's null: one shared object.
class JPJKNull : public JPJKObject {
public:
    // The shared null object.
    static RefPtr<JPJKNull> null();

    // Kind Null; the one object equals only itself.
    Kind kind() const override { return Kind::Null; }
    uint64_t hash() const override { return 0; }
    bool isEqualTo(const JPJKObject&) const override { return true; }

private:
    JPJKNull() = default;
};
