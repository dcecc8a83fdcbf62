#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

// One tile layer as read from a TMX document.
class CCTMXLayerInfo : public Object {
public:
    // Layer name.
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // Size in tiles; width x height never exceeds kCCTMXMaxLayerTiles (CCTMXMapInfo.h).
    CGSize layerSize() const { return layerSize_; }
    void setLayerSize(CGSize layerSize) { layerSize_ = layerSize; }
    // The decoded GIDs with flag bits, row by row from the top row: at most width x height of them,
    // fewer when the data was short, none when it was missing or could not be decoded. The tile
    // layer takes them over and pads them with empty tiles.
    const std::vector<uint32_t>& tiles() const { return tiles_; }
    void setTiles(std::vector<uint32_t> tiles) { tiles_ = std::move(tiles); }
    std::vector<uint32_t> takeTiles() { return std::exchange(tiles_, {}); }
    // False only for visible="0".
    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    uint8_t opacity() const { return opacity_; }
    void setOpacity(uint8_t opacity) { opacity_ = opacity; }
    // Smallest and largest GID the tile layer has seen; 100000 and 0 until then.
    uint32_t minGID() const { return minGID_; }
    void setMinGID(uint32_t minGID) { minGID_ = minGID; }
    uint32_t maxGID() const { return maxGID_; }
    void setMaxGID(uint32_t maxGID) { maxGID_ = maxGID; }
    // Name -> string value.
    Value& properties() { return properties_; }
    const Value& properties() const { return properties_; }
    // Offset in tiles, from the "x" and "y" attributes.
    CGPoint offset() const { return offset_; }
    void setOffset(CGPoint offset) { offset_ = offset; }

private:
    std::string name_;
    CGSize layerSize_;
    std::vector<uint32_t> tiles_;
    bool visible_ = true;
    uint8_t opacity_ = 255;
    uint32_t minGID_ = 100000;
    uint32_t maxGID_ = 0;
    Value properties_ = Value::dictionary();
    CGPoint offset_;
};
