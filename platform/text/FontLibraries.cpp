// The loader sees the table's entries under their own names, not the calls they stand for.
#define VANTREL_FONT_TABLE_ONLY
#include "platform/text/FontLibraries.h"

#include <memory>

#include "platform/foundation/Log.h"
#include "platform/foundation/SharedLibrary.h"

const FontFunctions* fontLibraries() {
    static const std::unique_ptr<const FontFunctions> functions = []() -> std::unique_ptr<const FontFunctions> {
        auto table = std::make_unique<FontFunctions>();
        SharedLibrary freetype("libfreetype.so.6");
        SharedLibrary fontconfig("libfontconfig.so.1");
#define VANTREL_FREETYPE_RESOLVE(name) freetype.resolve(#name, table->name);
#define VANTREL_FONTCONFIG_RESOLVE(name) fontconfig.resolve(#name, table->name);
        VANTREL_FREETYPE_FUNCTIONS(VANTREL_FREETYPE_RESOLVE)
        VANTREL_FONTCONFIG_FUNCTIONS(VANTREL_FONTCONFIG_RESOLVE)
#undef VANTREL_FREETYPE_RESOLVE
#undef VANTREL_FONTCONFIG_RESOLVE
        if (freetype.loaded() && fontconfig.loaded()) return table;
        logLine("text cannot be drawn: %s",
                (freetype.loaded() ? fontconfig.failure() : freetype.failure()).c_str());
        return nullptr;
    }();
    return functions.get();
}
