// TMX documents from memory, read into map records as the tiled map reads them. Tileset "source"
// documents resolve against a folder holding one small tileset, "t.tsx".
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "engine/render/CCTMXMapInfo.h"
#include "platform/foundation/Log.h"

namespace {
const std::string& tilesetFolder() {
    static const std::string folder = [] {
        const std::filesystem::path path = std::filesystem::temp_directory_path() / "vantrel-fuzz-tmx";
        std::filesystem::create_directories(path);
        std::ofstream(path / "t.tsx") << R"(<tileset name="t" firstgid="1" tilewidth="8" tileheight="8">)"
                                         R"(<image source="t.png"/><tile id="1"><property name="a" value="b"/></tile>)"
                                         R"(<tileset source="t.tsx"/></tileset>)";
        return path.string();
    }();
    return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const LogCapture quiet;
    const RefPtr<CCTMXMapInfo> info =
        CCTMXMapInfo::formatWithXML(std::string_view(reinterpret_cast<const char*>(data), size), tilesetFolder());
    for (const RefPtr<CCTMXLayerInfo>& layer : info->layers()) {
        const CGSize tiles = layer->layerSize();
        if (tiles.width < 0 || tiles.height < 0 || tiles.width * tiles.height > double(kCCTMXMaxLayerTiles) ||
            double(layer->tiles().size()) > tiles.width * tiles.height) {
            std::abort();
        }
    }
    for (const RefPtr<CCTMXTilesetInfo>& tileset : info->tilesets()) {
        tileset->setImageSize(CGSizeMake(64, 64));
        (void)tileset->rectForGID(0xFFFFFFFF);
    }
    return 0;
}
