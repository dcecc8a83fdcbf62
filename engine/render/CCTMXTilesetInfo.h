#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

// Flag bits of a stored tile GID; the low 29 bits are the GID itself.
inline constexpr uint32_t kCCTMXTileHorizontalFlag = 0x80000000;  // mirrored left to right
inline constexpr uint32_t kCCTMXTileVerticalFlag = 0x40000000;    // mirrored top to bottom
inline constexpr uint32_t kCCTMXTileDiagonalFlag = 0x20000000;    // mirrored along the diagonal
inline constexpr uint32_t kCCFlipedAll = kCCTMXTileHorizontalFlag | kCCTMXTileVerticalFlag | kCCTMXTileDiagonalFlag;
inline constexpr uint32_t kCCFlippedMask = ~kCCFlipedAll;

// One tileset of a TMX map: tiles of one size cut from one picture, row by row from its top-left,
// numbered by global GIDs from firstGid upwards. Lengths in pixels.
class CCTMXTilesetInfo : public Object {
public:
    // The tile's rectangle in the picture, origin at its top-left; flag bits are ignored. A zero
    // rectangle when the picture is narrower than one tile plus the margins or the tile pitch is 0.
    CGRect rectForGID(uint32_t gid) const;

    // Name, first GID, tile size, spacing between tiles, margin round the picture, picture path,
    // and picture size (set by the tile layer from its texture).
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    uint32_t firstGid() const { return firstGid_; }
    void setFirstGid(uint32_t firstGid) { firstGid_ = firstGid; }
    CGSize tileSize() const { return tileSize_; }
    void setTileSize(CGSize tileSize) { tileSize_ = tileSize; }
    uint32_t spacing() const { return spacing_; }
    void setSpacing(uint32_t spacing) { spacing_ = spacing; }
    uint32_t margin() const { return margin_; }
    void setMargin(uint32_t margin) { margin_ = margin; }
    const std::string& sourceImage() const { return sourceImage_; }
    void setSourceImage(std::string sourceImage) { sourceImage_ = std::move(sourceImage); }
    CGSize imageSize() const { return imageSize_; }
    void setImageSize(CGSize imageSize) { imageSize_ = imageSize; }

private:
    std::string name_;
    uint32_t firstGid_ = 0;
    CGSize tileSize_;
    uint32_t spacing_ = 0;
    uint32_t margin_ = 0;
    std::string sourceImage_;
    CGSize imageSize_;
};
