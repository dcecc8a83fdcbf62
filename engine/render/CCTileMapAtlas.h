#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/core/CCAtlasNode.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/support/ccTGA.h"
#include "engine/render/CCGridBase.h"  // ccGridSize
#include "engine/core/ccTypes.h"

// A grid map whose layout is a TGA image: each pixel is one cell, and its red byte names the tile
// drawn there (0: an empty cell), a cell of the tile picture counted row by row from its top-left.
// One quad per non-empty cell, ordered column by column; cell (0, 0) is at the bottom-left.
//
// The map image must be 24-bit (32-bit images are read without their alpha); any other image,
// or one that does not load, throws NamedException "TileMapAtlasLoadTGA". A cell outside the map
// throws "NSRangeException". After releaseMap the cells can no longer be read (they answer black)
// or changed (nothing happens). A tile picture narrower than one tile draws nothing.
//
// Engine thread only.
class CCTileMapAtlas : public CCAtlasNode {
public:
    // Null when the tile picture cannot be loaded or the map has more non-empty cells than an atlas
    // holds. Tile size in points.
    static RefPtr<CCTileMapAtlas> tileMapAtlasWithTileFile(const std::string& tile, const std::string& mapFile,
                                                           int32_t tileWidth, int32_t tileHeight);

    CCTileMapAtlas() = default;

    bool initWithTileFile(const std::string& tile, const std::string& mapFile, int32_t tileWidth, int32_t tileHeight);

    // Loads the map image, found through file lookup; throws as the class comment says.
    void loadTGAfile(const std::string& file);
    // Counts the non-empty cells.
    void calculateItemsToRender();
    // Writes the quads of all non-empty cells.
    void updateAtlasValues() override;
    // Writes the quad of one cell showing tile value.r into atlas slot `index`.
    void updateAtlasValueAt(ccGridSize position, ccColor3B value, uint64_t index);

    // The cell's pixel.
    ccColor3B tileAt(ccGridSize position) const;
    // A non-empty cell takes the value and shows its tile; an empty cell has no quad and stays as it is.
    void setTile(ccColor3B tile, ccGridSize position);
    // Drops the map image and the cell index.
    void releaseMap();

    const sImageTGA* tgaInfo() const { return tgaInfo_.get(); }
    int32_t itemsToRender() const { return itemsToRender_; }

private:
    // The cell's 3 bytes in the map image, after checking that it lies in the map.
    unsigned char* pixelAt(ccGridSize position) const;

    std::unique_ptr<sImageTGA, void (*)(sImageTGA*)> tgaInfo_{nullptr, tgaFreeImage};  // 24-bit, rows bottom first
    std::unordered_map<uint64_t, uint64_t> posToAtlasIndex_;  // x + y x width -> quad index
    int32_t itemsToRender_ = 0;                               // non-empty cells
};
