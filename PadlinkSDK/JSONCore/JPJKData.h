#pragma once

#include <string>

#include "PadlinkSDK/JSONCore/JPJKObject.h"

// An immutable run of bytes: encoded JSON text, or input for the decoder. Not itself a JSON value:
// the encoder writes data only through an unsupported-object formatter.
class JPJKData : public JPJKObject {
public:
    // An object holding these bytes.
    static RefPtr<JPJKData> dataWithBytes(std::string bytes);
    // The bytes.
    const std::string& bytes() const { return bytes_; }

    // Kind Data; equal when the bytes are.
    Kind kind() const override { return Kind::Data; }
    uint64_t hash() const override;
    bool isEqualTo(const JPJKObject& other) const override;

private:
    explicit JPJKData(std::string bytes) : bytes_(std::move(bytes)) {}

    std::string bytes_;
};
