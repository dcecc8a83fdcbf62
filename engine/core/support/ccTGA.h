#pragma once

#include <cstdint>
#include <cstdio>

// Reading of TGA images (true-colour, greyscale and run-length-encoded true-colour), as used for
// tile-map atlases.

// Values of sImageTGA::status.
enum : int32_t {
    kTGAStatusOK = 0,
    kTGAStatusCannotOpen = 1,     // not a regular file of at most InputLimits::kFileBytes
    kTGAStatusReadError = 2,      // a stream error or a file too short for its pixels
    kTGAStatusColourMapped = 3,   // image type 1, not supported
    kTGAStatusOutOfMemory = 4,    // also: the rows could not be flipped
    // another image type or colour-map type, a size of 0, more than InputLimits::kImagePixels
    // pixels, or a depth other than 8/16/24/32
    kTGAStatusUnsupported = 5,
};

// A loaded TGA image; made by tgaLoadFromFile and freed with tgaFreeImage.
struct sImageTGA {
    int32_t status = kTGAStatusOK;
    uint8_t type = 0;        // 2 true-colour, 3 greyscale, 10 run-length-encoded true-colour
    uint8_t pixelDepth = 0;  // bits per pixel: 8, 16, 24 or 32
    uint16_t width = 0;      // pixels, above 0 once the header is accepted
    uint16_t height = 0;     // pixels, above 0 once the header is accepted
    // width x height x pixelDepth/8 bytes (malloc'ed), rows bottom to top, 24- and 32-bit pixels as
    // R, G, B(, A); null unless pixel data was allocated. After a read error it holds what was
    // read and zeros after it.
    unsigned char* imageData = nullptr;
    int32_t flipped = 0;     // 1 while the rows are stored top to bottom; 0 after a successful load
};

// Loads an image; returns null only when the record cannot be allocated. Check `status` before
// using the pixels. The file is read whole with readRegularFile and parsed in memory, so the steps
// below see a stream over its bytes.
sImageTGA* tgaLoadFromFile(const char* path);
// Frees the record and its pixels; null is ignored.
void tgaFreeImage(sImageTGA* image);
// Replaces 24- and 32-bit pixels by one grey byte each (0.30 R + 0.59 G + 0.11 B, truncated) and
// makes the image 8-bit type 3; other depths, and a failed allocation, leave the image unchanged.
void tgaConvertToGreyscale(sImageTGA* image);

// Steps of tgaLoadFromFile. tgaReadHeader reads the 18-byte header into the record (type, size,
// depth, flipped) and skips the image-ID and colour-map fields so that the file is positioned at
// the pixels. The readers fill the allocated `imageData`. Each returns false on a short read.
bool tgaReadHeader(FILE* file, sImageTGA* image);
bool tgaReadRawData(FILE* file, sImageTGA* image);
bool tgaReadRLEData(FILE* file, sImageTGA* image);
// Reverses the row order and clears `flipped`; when the row buffer cannot be allocated nothing changes.
void tgaFlipImage(sImageTGA* image);
