#pragma once

#include "PadlinkSDK/JSONCore/JPJSONDecoder.h"

// Parses JSON bytes (not null) with a decoder of its own, so nothing is cached between calls.
// Forms without options use none; results and errors as JPJSONDecoder's.
class NSDataJSONCoreDeserializing {
public:
    static RefPtr<Object> objectFromJSONDataforNSData(const JPJKData* data) {
        return JPJSONDecoder::decoder()->objectWithData(data);
    }
    static RefPtr<Object> objectFromJSONDataWithParseOptions(uint64_t options, const JPJKData* data) {
        return JPJSONDecoder::decoderWithParseOptions(options)->objectWithData(data);
    }
    static RefPtr<Object> objectFromJSONDataWithParseOptions(uint64_t options, JPJKError* error, const JPJKData* data) {
        return JPJSONDecoder::decoderWithParseOptions(options)->objectWithData(data, error);
    }
    static RefPtr<Object> mutableObjectFromJSONDataforNSData(const JPJKData* data) {
        return JPJSONDecoder::decoder()->mutableObjectWithData(data);
    }
    static RefPtr<Object> mutableObjectFromJSONDataWithParseOptions(uint64_t options, const JPJKData* data) {
        return JPJSONDecoder::decoderWithParseOptions(options)->mutableObjectWithData(data);
    }
    static RefPtr<Object> mutableObjectFromJSONDataWithParseOptions(uint64_t options, JPJKError* error, const JPJKData* data) {
        return JPJSONDecoder::decoderWithParseOptions(options)->mutableObjectWithData(data, error);
    }
};
