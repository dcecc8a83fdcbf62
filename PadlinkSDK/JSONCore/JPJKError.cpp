#include "PadlinkSDK/JSONCore/JPJKError.h"

#include "platform/foundation/StringUtils.h"

bool JPJKError::recordFirst(const char* format, va_list arguments) {
    if (*this) return false;
    localizedDescription = stringWithFormatV(format, arguments);
    domain = "JPJKErrorDomain";
    code = -1;
    return true;
}
