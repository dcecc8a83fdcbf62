#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

// printf-style formatting into a std::string.
std::string stringWithFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string stringWithFormatV(const char* format, va_list arguments);

bool hasPrefix(std::string_view text, std::string_view prefix);
bool hasSuffix(std::string_view text, std::string_view suffix);
bool hasSuffixIgnoringCase(std::string_view text, std::string_view suffix);
std::string lowercaseString(std::string_view text);
// Bytes of the well-formed UTF-8 sequence that starts at `text[at]` (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when none starts there.
size_t utf8SequenceLength(std::string_view text, size_t at);
// True when the whole text is well-formed UTF-8.
bool isValidUTF8(std::string_view text);
// Every occurrence of `target` replaced by `replacement`; an empty target changes nothing.
std::string stringByReplacingOccurrences(std::string_view text, std::string_view target,
                                         std::string_view replacement);

// Path helpers with the platform's rules: "/" separates components, trailing slashes are ignored
// (except for the root "/"), and an extension is what follows the last "." of the last component
// when that dot is not its first character.
std::string lastPathComponent(std::string_view path);
std::string pathExtension(std::string_view path);
std::string stringByDeletingPathExtension(std::string_view path);
std::string stringByDeletingLastPathComponent(std::string_view path);
std::string stringByAppendingPathComponent(std::string_view path, std::string_view component);
// `extension` without its dot; an empty extension returns the path unchanged.
std::string stringByAppendingPathExtension(std::string_view path, std::string_view extension);
bool isAbsolutePath(std::string_view path);

// Numeric readings of text as property-list readers expect them: leading white space is skipped,
// then the longest decimal prefix is read and the rest ignored; text with no number gives 0.
// Integers saturate at their type's limits.
int32_t stringIntValue(std::string_view text);
int64_t stringIntegerValue(std::string_view text);
float stringFloatValue(std::string_view text);
double stringDoubleValue(std::string_view text);
// True when, after white space, an optional sign and leading zeros, the text starts with
// 'Y', 'y', 'T', 't' or a digit 1-9.
bool stringBoolValue(std::string_view text);
