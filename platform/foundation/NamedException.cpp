#include "platform/foundation/NamedException.h"

#include <cstdarg>

#include "platform/foundation/StringUtils.h"

void throwNamedException(const char* name, const char* reasonFormat, ...) {
    va_list arguments;
    va_start(arguments, reasonFormat);
    std::string reason = stringWithFormatV(reasonFormat, arguments);
    va_end(arguments);
    throw NamedException(name, std::move(reason));
}
