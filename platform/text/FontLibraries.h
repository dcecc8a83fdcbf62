#pragma once

// FreeType and fontconfig, opened the first time text is drawn, so that the program's start does
// not load them (platform/foundation/SharedLibrary.h says why that matters).
//
// Use: include this header, and no FreeType or fontconfig header, in a .cpp file; check
// fontLibraries() before the first call of an operation. After this header each function below is
// a macro naming its entry in the loaded table, so the code reads as plain FreeType and
// fontconfig. A call made while fontLibraries() is null dereferences null: the check is what keeps
// it safe.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

// The functions the text renderer calls; a call of one more needs its name here.
#define VANTREL_FREETYPE_FUNCTIONS(F) \
    F(FT_Done_Face) F(FT_Done_FreeType) F(FT_Get_Advance) F(FT_Get_Char_Index) F(FT_Get_Kerning) \
    F(FT_Init_FreeType) F(FT_Load_Glyph) F(FT_New_Face) F(FT_Set_Char_Size)
#define VANTREL_FONTCONFIG_FUNCTIONS(F) \
    F(FcConfigAppFontAddFile) F(FcConfigSubstitute) F(FcDefaultSubstitute) F(FcFontMatch) \
    F(FcPatternAddString) F(FcPatternCreate) F(FcPatternDestroy) F(FcPatternGetInteger) F(FcPatternGetString)

struct FontFunctions {
#define VANTREL_FONT_DECLARE(name) decltype(&::name) name = nullptr;
    VANTREL_FREETYPE_FUNCTIONS(VANTREL_FONT_DECLARE)
    VANTREL_FONTCONFIG_FUNCTIONS(VANTREL_FONT_DECLARE)
#undef VANTREL_FONT_DECLARE
};

// The table, loaded on the first call (thread-safe); null, after one logged line, when either
// library cannot be opened or lacks a function.
const FontFunctions* fontLibraries();

#ifndef VANTREL_FONT_TABLE_ONLY
#define FT_Done_Face (fontLibraries()->FT_Done_Face)
#define FT_Done_FreeType (fontLibraries()->FT_Done_FreeType)
#define FT_Get_Advance (fontLibraries()->FT_Get_Advance)
#define FT_Get_Char_Index (fontLibraries()->FT_Get_Char_Index)
#define FT_Get_Kerning (fontLibraries()->FT_Get_Kerning)
#define FT_Init_FreeType (fontLibraries()->FT_Init_FreeType)
#define FT_Load_Glyph (fontLibraries()->FT_Load_Glyph)
#define FT_New_Face (fontLibraries()->FT_New_Face)
#define FT_Set_Char_Size (fontLibraries()->FT_Set_Char_Size)
#define FcConfigAppFontAddFile (fontLibraries()->FcConfigAppFontAddFile)
#define FcConfigSubstitute (fontLibraries()->FcConfigSubstitute)
#define FcDefaultSubstitute (fontLibraries()->FcDefaultSubstitute)
#define FcFontMatch (fontLibraries()->FcFontMatch)
#define FcPatternAddString (fontLibraries()->FcPatternAddString)
#define FcPatternCreate (fontLibraries()->FcPatternCreate)
#define FcPatternDestroy (fontLibraries()->FcPatternDestroy)
#define FcPatternGetInteger (fontLibraries()->FcPatternGetInteger)
#define FcPatternGetString (fontLibraries()->FcPatternGetString)
#endif
