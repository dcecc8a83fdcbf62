// Bitmap-font ".fnt" files, read as a label's font is: through the file, within the file budget.
#include <cstdint>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "engine/render/CCBMFontConfiguration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A readable file of any content gives a configuration: no line is rejected.
    if (!CCBMFontConfiguration::configurationWithFNTFile(FuzzInputFile::write(data, size))) std::abort();
    return 0;
}
