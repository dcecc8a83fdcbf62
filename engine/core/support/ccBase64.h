#pragma once

#include <cstdint>

// Decoding of base64 text (standard alphabet A-Z a-z 0-9 + /, "=" padding), as embedded in
// particle definitions (textures) and tile maps (tile data).

// Decodes `inLength` bytes of text into `out`, which must hold at least inLength * 3 / 4 bytes,
// and stores the number of bytes written in `*outLength`. Characters outside the alphabet (line
// breaks, blanks) are skipped; the first "=" ends the text; a trailing group of 1-3 characters
// without padding is dropped. Returns 0 on success, 1 when the padding comes after a single
// character of a group (at least 2 bits missing), which is logged.
int32_t base64DecodeInto(const unsigned char* in, uint32_t inLength, unsigned char* out, uint32_t* outLength);

// Decodes into a new malloc'ed buffer handed to the caller through `*out` (freed with free) and
// returns the decoded length. A decoding error is logged and gives 0 with `*out` null; so does a
// failed allocation. Empty text gives 0 with a (1-byte) buffer.
uint32_t base64DecodeAlloc(const unsigned char* in, uint32_t inLength, unsigned char** out);
