// TGA map images read by the tile-map atlas, without a tile picture (so without GL): loading,
// counting and indexing the non-empty cells, then reading and changing every cell.
#include <cstdint>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "engine/render/CCTileMapAtlas.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const LogCapture quiet;
    const RefPtr<CCTileMapAtlas> atlas = makeRef<CCTileMapAtlas>();
    try {
        atlas->loadTGAfile(FuzzInputFile::write(data, size));
    } catch (const NamedException&) {
        return 0;
    }
    atlas->calculateItemsToRender();
    atlas->updateAtlasValues();
    const sImageTGA* image = atlas->tgaInfo();
    if (!image || image->pixelDepth != 24 || !image->imageData) std::abort();
    int64_t nonEmpty = 0;
    for (int64_t y = 0; y < image->height; ++y) {
        for (int64_t x = 0; x < image->width; ++x) {
            const ccColor3B cell = atlas->tileAt({x, y});
            if (cell.r == 0) continue;
            ++nonEmpty;
            atlas->setTile({cell.r, cell.b, cell.g}, {x, y});
        }
    }
    if (nonEmpty != atlas->itemsToRender()) std::abort();
    atlas->releaseMap();
    return 0;
}
