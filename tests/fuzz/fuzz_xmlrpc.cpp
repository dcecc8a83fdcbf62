// The command channel's message reader on arbitrary bytes: it either refuses the text or gives a
// call, a return or nothing (a keep-alive); a call or return it gives writes back to text that
// reads again as the same kind of message with the same name and parameter count.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "PadlinkSDK/PadlinkRPCLib/JPXMLMapper.h"
#include "PadlinkSDK/PadlinkRPCLib/JPXMLRPCEncoder.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {
// XML reads every line break as "\n", and the writer keeps a CR of a name as it is.
std::string withLineFeeds(std::string text) {
    text = stringByReplacingOccurrences(text, "\r\n", "\n");
    return stringByReplacingOccurrences(text, "\r", "\n");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    auto mapper = JPXMLMapper::mapperWithData(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!mapper || !mapper->outputObject()) return 0;
    if (auto call = refCast<JPMethodCall>(mapper->outputObject())) {
        auto again = JPXMLMapper::mapperWithData(call->body());
        auto reread = again ? refCast<JPMethodCall>(again->outputObject()) : nullptr;
        if (!reread || reread->methodName() != withLineFeeds(call->methodName()) || reread->params().size() != call->params().size()) {
            std::abort();
        }
    } else if (auto answer = refCast<JPMethodReturn>(mapper->outputObject())) {
        auto again = JPXMLMapper::mapperWithData(answer->encodedRetValue());
        if (!again || !refCast<JPMethodReturn>(again->outputObject())) std::abort();
    } else {
        std::abort();
    }
    return 0;
}
