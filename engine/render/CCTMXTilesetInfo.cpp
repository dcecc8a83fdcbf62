#include "engine/render/CCTMXTilesetInfo.h"

#include <cmath>

CGRect CCTMXTilesetInfo::rectForGID(uint32_t gid) const {
    const uint32_t g = (gid & kCCFlippedMask) - firstGid_;
    const double pitchX = tileSize_.width + spacing_, pitchY = tileSize_.height + spacing_;
    const double across = std::floor((imageSize_.width - 2.0 * margin_ + spacing_) / pitchX);
    if (!(pitchX > 0) || !(pitchY > 0) || !(across >= 1)) return CGRectZero;
    const auto tilesPerRow = static_cast<uint64_t>(across);
    return CGRectMake(static_cast<double>(g % tilesPerRow) * pitchX + margin_,
                      static_cast<double>(g / tilesPerRow) * pitchY + margin_, tileSize_.width, tileSize_.height);
}
