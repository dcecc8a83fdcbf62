#include "engine/render/CCTMXTiledMap.h"

#include <algorithm>

RefPtr<CCTMXTiledMap> CCTMXTiledMap::tiledMapWithTMXFile(const std::string& tmxFile) {
    auto map = makeRef<CCTMXTiledMap>();
    return map->initWithTMXFile(tmxFile) ? map : nullptr;
}

RefPtr<CCTMXTiledMap> CCTMXTiledMap::tiledMapWithXML(std::string_view xml, const std::string& resourcePath) {
    auto map = makeRef<CCTMXTiledMap>();
    return map->initWithXML(xml, resourcePath) ? map : nullptr;
}

bool CCTMXTiledMap::initWithTMXFile(const std::string& tmxFile) {
    setContentSize(CGSizeZero);
    const RefPtr<CCTMXMapInfo> mapInfo = CCTMXMapInfo::formatWithTMXFile(tmxFile);
    return mapInfo && buildWithMapInfo(mapInfo.get());
}

bool CCTMXTiledMap::initWithXML(std::string_view xml, const std::string& resourcePath) {
    setContentSize(CGSizeZero);
    return buildWithMapInfo(CCTMXMapInfo::formatWithXML(xml, resourcePath).get());
}

bool CCTMXTiledMap::buildWithMapInfo(CCTMXMapInfo* mapInfo) {
    mapSize_ = mapInfo->mapSize();
    tileSize_ = mapInfo->tileSize();
    mapOrientation_ = mapInfo->orientation();
    objectGroups_ = mapInfo->objectGroups();
    properties_ = mapInfo->properties();
    tileProperties_ = mapInfo->tileProperties();
    int64_t index = 0;
    for (const RefPtr<CCTMXLayerInfo>& layerInfo : mapInfo->layers()) {
        if (!layerInfo->visible()) continue;
        const RefPtr<CCTMXLayer> layer = parseLayer(layerInfo.get(), mapInfo);
        if (!layer) return false;
        addChild(layer.get(), index, index);
        const CGSize size = contentSize(), layerSize = layer->contentSize();
        setContentSize(CGSizeMake(std::max(size.width, layerSize.width), std::max(size.height, layerSize.height)));
        ++index;
    }
    return true;
}

RefPtr<CCTMXLayer> CCTMXTiledMap::parseLayer(CCTMXLayerInfo* layerInfo, const CCTMXMapInfo* mapInfo) const {
    RefPtr<CCTMXLayer> layer =
        CCTMXLayer::layerWithTilesetInfo(tilesetForLayer(layerInfo, mapInfo), layerInfo, mapInfo);
    return layer && layer->setupTiles() ? layer : nullptr;
}

RefPtr<CCTMXTilesetInfo> CCTMXTiledMap::tilesetForLayer(const CCTMXLayerInfo* layerInfo,
                                                        const CCTMXMapInfo* mapInfo) const {
    // A tileset is reached when some non-empty tile's GID is at least its first GID, so the largest
    // GID decides: one pass over the tiles whatever the number of tilesets.
    bool anyTile = false;
    uint32_t largest = 0;
    for (uint32_t value : layerInfo->tiles()) {
        anyTile = anyTile || value != 0;
        if (value) largest = std::max(largest, value & kCCFlippedMask);
    }
    if (!anyTile) return nullptr;
    const std::vector<RefPtr<CCTMXTilesetInfo>>& tilesets = mapInfo->tilesets();
    for (auto tileset = tilesets.rbegin(); tileset != tilesets.rend(); ++tileset) {
        if (largest >= (*tileset)->firstGid()) return *tileset;
    }
    return nullptr;
}

CCTMXLayer* CCTMXTiledMap::layerNamed(std::string_view layerName) const {
    if (!children()) return nullptr;
    for (Object* child : *children()) {
        auto* layer = dynamic_cast<CCTMXLayer*>(child);
        if (layer && layer->layerName() == layerName) return layer;
    }
    return nullptr;
}

CCTMXObjectGroup* CCTMXTiledMap::objectGroupNamed(std::string_view groupName) const {
    for (const RefPtr<CCTMXObjectGroup>& group : objectGroups_) {
        if (group->groupName() == groupName) return group.get();
    }
    return nullptr;
}

const Value* CCTMXTiledMap::propertiesForGID(uint32_t gid) const {
    const auto found = tileProperties_.find(static_cast<int32_t>(gid));
    return found == tileProperties_.end() ? nullptr : &found->second;
}
