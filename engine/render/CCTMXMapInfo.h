#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/render/CCTMXLayerInfo.h"
#include "engine/render/CCTMXObjectGroup.h"
#include "engine/render/CCTMXTilesetInfo.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/Value.h"

// Map orientations.
inline constexpr int32_t CCTMXOrientationOrtho = 0;
inline constexpr int32_t CCTMXOrientationHex = 1;
inline constexpr int32_t CCTMXOrientationIso = 2;

// Most tiles one layer may hold (width x height): as many 32-bit GIDs as the decoding budget
// holds. A layer beyond it stops the parse.
inline constexpr uint64_t kCCTMXMaxLayerTiles = InputLimits::kDecodedBytes / sizeof(uint32_t);

// A TMX document read into plain records: the map's orientation and sizes, its tilesets, layers,
// object groups and properties. Read with a SAX parser, so a malformed document keeps the records
// read before the error (which is logged). A document type line is accepted, its external DTD
// never read; a document that declares an entity is refused at the declaration (logged). Layer
// opacity 0..1 reads as 0..255, clamped.
//
// Elements are honoured only below the element they belong to: a tile or image before any tileset,
// a layer's data before any layer, an object before any group, a polygon before any object are
// ignored. Layer data is read when its encoding is "base64", with no compression or with "gzip" or
// "zlib", each data element on its own terms; anything else leaves the layer without tiles (logged).
// A tileset's "source" document is read from the map's folder (absolute paths and ".." refused)
// and only from the map itself, never from another tileset document.
class CCTMXMapInfo : public Object {
public:
    // Null when the file cannot be read (logged).
    static RefPtr<CCTMXMapInfo> formatWithTMXFile(const std::string& tmxFile);
    // Image and tileset paths resolve against `resourcePath`.
    static RefPtr<CCTMXMapInfo> formatWithXML(std::string_view xml, const std::string& resourcePath);

    // The file found through file lookup; false when it cannot be read (logged).
    bool initWithTMXFile(const std::string& tmxFile);
    void initWithXML(std::string_view xml, const std::string& resourcePath);

    // Read a document into this record, adding to what it holds; a malformed document keeps what
    // was read before the fault (logged), and a record whose map was refused takes nothing more.
    // parseXMLFile finds the file through file lookup and answers false, reading nothing, when it
    // cannot be read (logged).
    bool parseXMLFile(const std::string& xmlFilename);
    void parseXMLString(std::string_view xml);

    // The record's fields, as the parser fills them; a document read afterwards adds to what they
    // hold. The record lists take no null entry (NamedException "NSInvalidArgumentException").
    int32_t orientation() const { return orientation_; }
    void setOrientation(int32_t orientation) { orientation_ = orientation; }
    // Tiles.
    CGSize mapSize() const { return mapSize_; }
    void setMapSize(CGSize mapSize) { mapSize_ = mapSize; }
    // Pixels.
    CGSize tileSize() const { return tileSize_; }
    void setTileSize(CGSize tileSize) { tileSize_ = tileSize; }
    // Records in document order.
    const std::vector<RefPtr<CCTMXLayerInfo>>& layers() const { return layers_; }
    void setLayers(std::vector<RefPtr<CCTMXLayerInfo>> layers);
    const std::vector<RefPtr<CCTMXTilesetInfo>>& tilesets() const { return tilesets_; }
    void setTilesets(std::vector<RefPtr<CCTMXTilesetInfo>> tilesets);
    const std::vector<RefPtr<CCTMXObjectGroup>>& objectGroups() const { return objectGroups_; }
    void setObjectGroups(std::vector<RefPtr<CCTMXObjectGroup>> objectGroups);
    // Name -> string value.
    const Value& properties() const { return properties_; }
    void setProperties(Value properties) { properties_ = std::move(properties); }
    // GID (as a signed 32-bit number) -> dictionary of name -> string value.
    const std::map<int32_t, Value>& tileProperties() const { return tileProperties_; }
    void setTileProperties(std::map<int32_t, Value> tileProperties) { tileProperties_ = std::move(tileProperties); }
    // The file name given, or empty when read from text; with none, image and tileset paths
    // resolve against resources().
    const std::string& filename() const { return filename_; }
    void setFilename(std::string filename) { filename_ = std::move(filename); }
    const std::string& resources() const { return resources_; }
    void setResources(std::string resources) { resources_ = std::move(resources); }

    // Expat callbacks; public for the C trampolines only.
    void startElement(std::string_view name, const char** attributes);
    void endElement(std::string_view name);
    void characters(std::string_view text);
    // Stops the map being read, logging why; the records read so far stay.
    void refuseDocument(const char* why);

private:
    // Who receives the properties met next.
    enum class Parent { None, Map, Layer, ObjectGroup, Object, Tile };

    // Parses a whole document; `what` names it in log lines. An external tileset document is
    // parsed into this same record.
    void parseXMLData(std::string_view bytes, const std::string& what);
    // Handlers of the elements that add records; `attributes` as expat gives them.
    void startTileset(const char** attributes);
    void startLayer(const char** attributes);
    void startObject(const char** attributes);
    // Decodes the collected text into the last layer's tiles.
    void endData();
    // The directory that relative paths in the document resolve against.
    std::string baseDirectory() const;

    std::string currentString_;      // character data of the data element being collected
    bool storingCharacters_ = false;
    bool compressed_ = false;        // the data element being collected is gzip or zlib
    Parent parentElement_ = Parent::None;
    uint32_t parentGID_ = 0;         // GID of the tile element being read
    bool inExternalTileset_ = false; // a tileset "source" document is being parsed
    bool refused_ = false;           // the rest of the map is ignored
    void* parser_ = nullptr;         // the running XML_Parser, while parsing
    std::string filename_;
    std::string resources_;
    int32_t orientation_ = CCTMXOrientationOrtho;
    CGSize mapSize_;
    CGSize tileSize_;
    std::vector<RefPtr<CCTMXLayerInfo>> layers_;
    std::vector<RefPtr<CCTMXTilesetInfo>> tilesets_;
    std::vector<RefPtr<CCTMXObjectGroup>> objectGroups_;
    Value properties_ = Value::dictionary();
    std::map<int32_t, Value> tileProperties_;
};
