#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/render/CCSpriteBatchNode.h"
#include "engine/render/CCTMXLayerInfo.h"
#include "engine/render/CCTMXMapInfo.h"
#include "engine/render/CCTMXTilesetInfo.h"

class CCSprite;

// One tile layer of a TMX map: a sprite batch whose quads are the layer's non-empty tiles, cut
// from its one tileset's picture and placed by the map's orientation. A tile becomes a sprite
// child only when asked for with tileAt; tiles can be changed and removed at run time.
//
// Tile coordinates are whole numbers, x to the right and y downwards from the top row; a
// coordinate outside the layer throws NamedException "NSRangeException". After releaseMap the
// tiles can only be drawn: reads answer 0 or null and changes do nothing, until setTiles.
//
// Invariant: atlasIndexArray_[i] is the position (x + y x width) of the tile of atlas quad i, in
// ascending order, and holds exactly the positions whose stored value is non-zero.
//
// Engine thread only.
class CCTMXLayer : public CCSpriteBatchNode {
public:
    // Null when the layer cannot be made (see initWithTilesetInfo).
    static RefPtr<CCTMXLayer> layerWithTilesetInfo(RefPtr<CCTMXTilesetInfo> tileset, CCTMXLayerInfo* layerInfo,
                                                   const CCTMXMapInfo* mapInfo);

    CCTMXLayer() = default;

    // Takes over the record's tiles (padded with empty tiles to width x height; a GID of 0 with flag
    // bits counts as empty) and draws from the tileset's picture; a null tileset gives a layer
    // without texture whose tiles have zero rectangles. False when the atlas refuses the capacity.
    bool initWithTilesetInfo(RefPtr<CCTMXTilesetInfo> tileset, CCTMXLayerInfo* layerInfo, const CCTMXMapInfo* mapInfo);
    // Writes the quads of all tiles (called once, by the map). False, logged, when the layer has more
    // tiles than an atlas holds.
    bool setupTiles();
    // Frees the tiles and the atlas index list; the quads stay.
    void releaseMap();

    // The GID without flag bits, and the flag bits through `flags` when given.
    uint32_t tileGIDAt(CGPoint position) const;
    uint32_t tileGIDAt(CGPoint position, uint32_t* flags) const;
    // The tile as a sprite child (the same one on every call), made on first request; it shows the
    // tile unmirrored and unrotated. Null for an empty tile.
    CCSprite* tileAt(CGPoint position);
    // GID 0 removes the tile; `gid` is without flags, `flags` the flag bits.
    void setTileGID(uint32_t gid, CGPoint position);
    void setTileGID(uint32_t gid, CGPoint position, uint32_t flags);
    void removeTileAt(CGPoint position);
    // The tile's bottom-left corner in the layer, points.
    CGPoint positionAt(CGPoint position) const;
    // The layer's property, or none.
    const Value& propertyNamed(std::string_view name) const { return properties_[name]; }

    // Tile sprites are only added by the layer itself: this does nothing.
    void addChild(CCNode* child, int64_t z, int64_t tag) override;
    // A tile sprite child takes its tile with it.
    void removeChild(CCNode* child, bool cleanup) override;

    const std::string& layerName() const { return layerName_; }
    void setLayerName(std::string layerName) { layerName_ = std::move(layerName); }
    CCTMXTilesetInfo* tileset() const { return tileset_.get(); }
    void setTileset(RefPtr<CCTMXTilesetInfo> tileset) { tileset_ = std::move(tileset); }
    // Name -> string value.
    Value& properties() { return properties_; }
    // Tiles. A size is refused (logged) unless both sides are whole numbers, their product is at
    // most kCCTMXMaxLayerTiles and, while the layer holds tiles, equals their count: to give a
    // layer another number of tiles, releaseMap, setLayerSize, then setTiles. The tiles drawn
    // stay where they are until the tiles are set again.
    CGSize layerSize() const { return layerSize_; }
    void setLayerSize(CGSize layerSize);
    // The map's tile size, pixels: the placement grid of tiles placed from now on.
    CGSize mapTileSize() const { return mapTileSize_; }
    void setMapTileSize(CGSize mapTileSize) { mapTileSize_ = mapTileSize; }
    // width x height stored values with flag bits, row by row from the top; empty after releaseMap.
    const std::vector<uint32_t>& tiles() const { return tiles_; }
    // Replaces every tile: the tile sprites are removed and the quads written anew. Refused
    // (logged) when the count is not width x height or more tiles than an atlas holds are set.
    void setTiles(std::vector<uint32_t> tiles);
    // CCTMXOrientation*, for tiles placed from now on.
    int32_t layerOrientation() const { return layerOrientation_; }
    void setLayerOrientation(int32_t orientation) { layerOrientation_ = orientation; }
    // Smallest and largest stored value setupTiles and setTiles met (flag bits included).
    uint32_t minGID() const { return minGID_; }
    uint32_t maxGID() const { return maxGID_; }

private:
    // Width x height.
    size_t tileCount() const;
    // False, logged, when the tiles with a GID are more than an atlas holds.
    bool fitInTheAtlas(const std::vector<uint32_t>& tiles) const;
    // Writes the quads of tiles_ in position order, in place of every tile sprite and quad.
    void writeTileQuads();
    // Index of the position in tiles_, after checking that it lies in the layer.
    size_t indexOf(CGPoint position) const;
    // The tile's rectangle in the picture, points.
    CGRect rectForTile(uint32_t gid) const;
    // The layer's sprite for writing one tile's quad, showing `rect` and joined to the layer.
    CCSprite* reusedTileWithRect(CGRect rect);
    // Places, mirrors and turns the sprite for the stored value `gid`.
    void setupTileSprite(CCSprite* sprite, CGPoint position, uint32_t gid);
    // Quad writers for a stored value: at the end of the atlas (in ascending position order only),
    // inserted in position order, or over the tile's existing quad.
    void appendTileForGID(uint32_t gid, CGPoint position);
    void insertTileForGID(uint32_t gid, CGPoint position);
    void updateTileForGID(uint32_t gid, CGPoint position);
    // The list index of a position that has a quad (NamedException otherwise); the list index a
    // new position takes.
    uint64_t atlasIndexForExistantZ(uint32_t z) const;
    uint64_t atlasIndexForNewZ(uint32_t z) const;
    // Moves the atlas index of every tile sprite at or after `index` by `delta`.
    void shiftTileSprites(uint64_t index, int64_t delta);
    // The layer's position for its offset in tiles, points.
    CGPoint calculateLayerOffset(CGPoint offset) const;
    int64_t vertexZForPos(CGPoint position) const;
    void parseInternalProperties();

    RefPtr<CCTMXTilesetInfo> tileset_;          // null when no tile reaches a tileset
    std::string layerName_;
    CGSize layerSize_;                          // tiles
    CGSize mapTileSize_;                        // pixels
    std::vector<uint32_t> tiles_;               // see tiles()
    int32_t layerOrientation_ = CCTMXOrientationOrtho;
    Value properties_ = Value::dictionary();
    uint8_t opacity_ = 255;                     // given to every tile
    uint32_t minGID_ = 100000;
    uint32_t maxGID_ = 0;
    int64_t vertexZvalue_ = 0;                  // tiles' vertex z without automatic vertex z
    bool useAutomaticVertexZ_ = false;          // vertex z from the tile's row (and column)
    RefPtr<CCSprite> reusedTile_;
    std::vector<uint32_t> atlasIndexArray_;     // see the class comment
};
