// Bitmap-font ".fnt" files, read as a label's font is: through the file, within the file budget.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzInputFile.h"
#include "engine/render/CCBMFontConfiguration.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const LogCapture quiet;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (hasPrefix(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    const bool isText = isValidUTF8(text) && text.find('\0') == std::string_view::npos;
    // A readable file of UTF-8 text gives a configuration (no line is rejected); anything else is refused.
    if (!CCBMFontConfiguration::configurationWithFNTFile(FuzzInputFile::write(data, size)) == isText) std::abort();
    return 0;
}
