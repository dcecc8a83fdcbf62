#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/CCNode.h"
#include "engine/render/CCTMXLayer.h"
#include "engine/render/CCTMXMapInfo.h"
#include "engine/render/CCTMXObjectGroup.h"

// A node showing a TMX map: one CCTMXLayer child per visible layer, in document order, each with
// z order and tag counting the visible layers from 0; the content size covers every layer. The map
// keeps the object groups and properties for look-up.
//
// Engine thread only.
class CCTMXTiledMap : public CCNode {
public:
    // Null when the file cannot be read or a layer cannot be made (logged).
    static RefPtr<CCTMXTiledMap> tiledMapWithTMXFile(const std::string& tmxFile);
    static RefPtr<CCTMXTiledMap> tiledMapWithXML(std::string_view xml, const std::string& resourcePath);

    bool initWithTMXFile(const std::string& tmxFile);
    bool initWithXML(std::string_view xml, const std::string& resourcePath);

    // The first layer child of that name, the first object group of that name; null if none.
    CCTMXLayer* layerNamed(std::string_view layerName) const;
    CCTMXObjectGroup* objectGroupNamed(std::string_view groupName) const;
    // The map's property, or none.
    const Value& propertyNamed(std::string_view propertyName) const { return properties_[propertyName]; }
    // The tile's properties (a dictionary), or null.
    const Value* propertiesForGID(uint32_t gid) const;

    // Tiles.
    CGSize mapSize() const { return mapSize_; }
    // Pixels.
    CGSize tileSize() const { return tileSize_; }
    int32_t mapOrientation() const { return mapOrientation_; }
    const std::vector<RefPtr<CCTMXObjectGroup>>& objectGroups() const { return objectGroups_; }
    void setObjectGroups(std::vector<RefPtr<CCTMXObjectGroup>> objectGroups) { objectGroups_ = std::move(objectGroups); }
    // Name -> string value.
    const Value& properties() const { return properties_; }
    void setProperties(Value properties) { properties_ = std::move(properties); }

private:
    bool buildWithMapInfo(CCTMXMapInfo* mapInfo);
    // The layer with its tiles set up; null when it cannot be made.
    RefPtr<CCTMXLayer> parseLayer(CCTMXLayerInfo* layerInfo, const CCTMXMapInfo* mapInfo) const;
    // The tileset with the highest first GID that some tile of the layer reaches, or null.
    RefPtr<CCTMXTilesetInfo> tilesetForLayer(const CCTMXLayerInfo* layerInfo, const CCTMXMapInfo* mapInfo) const;

    CGSize mapSize_;
    CGSize tileSize_;
    int32_t mapOrientation_ = CCTMXOrientationOrtho;
    std::vector<RefPtr<CCTMXObjectGroup>> objectGroups_;
    Value properties_ = Value::dictionary();
    std::map<int32_t, Value> tileProperties_;  // GID as a signed number -> dictionary
};
