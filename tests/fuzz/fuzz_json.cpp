// JSON decoding: any bytes either fail with an error or give a tree that the encoder writes
// (compact or pretty, with or without escapes) and the decoder reads back equal. The first byte
// chooses the options.
#include <cstdint>
#include <cstdlib>

#include "PadlinkSDK/JSONCore/JPJKSerializer.h"
#include "PadlinkSDK/JSONCore/JPJKString.h"
#include "PadlinkSDK/JSONCore/JPJSONDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint64_t parseOptions = data[0] & 15;
    const uint64_t serializeOptions = (data[0] >> 4) & (JPJKSerializeOptionPretty | JPJKSerializeOptionUnicodeEscapes);
    const auto decoder = JPJSONDecoder::decoderWithParseOptions(parseOptions);
    JPJKError error;
    const auto tree = decoder->objectWithUTF8String(reinterpret_cast<const char*>(data + 1), size - 1, &error);
    if (!tree) {
        if (!error || !error.atIndex || *error.atIndex > size - 1) std::abort();
        return 0;
    }
    const auto text = refCast<JPJKString>(
        JPJKSerializer::serializeObject(tree.get(), serializeOptions, JPJKEncodeOptionAsString, nullptr, &error));
    if (!text) std::abort();
    const std::string& bytes = text->UTF8String();
    const auto reread = JPJSONDecoder::decoder()->objectWithUTF8String(bytes.data(), bytes.size(), &error);
    if (!JPJKObject::isEqual(reread.get(), tree.get())) std::abort();
    return 0;
}
