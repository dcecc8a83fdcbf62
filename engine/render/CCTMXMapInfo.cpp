#include "engine/render/CCTMXMapInfo.h"

// Debian's expat is built with DTD support; its header declares the entity-amplification guards
// only under this name.
#define XML_DTD 1
#include <expat.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

#include "engine/core/support/CCFileUtils.h"
#include "engine/core/support/ccBase64.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

namespace {
constexpr int kZlibOrGzipWindowBits = 15 + 32;
constexpr size_t kFirstInflateBytes = 64 * 1024;
// Expat's own guard against entity expansion, behind the refusal of every entity declaration:
// output may be at most this many times the input once a document has produced this many bytes.
constexpr float kMaximumAmplification = 100.0f;
constexpr unsigned long long kAmplificationThresholdBytes = 1 << 20;

// The attribute's value, or null when the element does not have it.
const char* attribute(const char** attributes, std::string_view name) {
    for (; attributes[0]; attributes += 2) {
        if (name == attributes[0]) return attributes[1];
    }
    return nullptr;
}

std::string_view text(const char** attributes, std::string_view name) {
    const char* value = attribute(attributes, name);
    return value ? std::string_view(value) : std::string_view();
}

int32_t intAttribute(const char** attributes, std::string_view name) {
    return stringIntValue(text(attributes, name));
}

// The integer part, saturated at the limits of int64_t; NaN gives 0.
int64_t truncated(double value) {
    if (!(value == value)) return 0;
    constexpr double kLimit = 9.2233720368547748e18;  // 2^63
    if (value >= kLimit) return std::numeric_limits<int64_t>::max();
    if (value <= -kLimit) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

// Inflates a zlib or gzip stream into at most `limit` bytes: output beyond the limit is never
// produced, so a layer's data cannot inflate past its tiles. False when the stream is corrupt or
// ends early.
bool inflateAtMost(const std::vector<uint8_t>& in, size_t limit, std::vector<uint8_t>* out) {
    z_stream stream{};
    if (inflateInit2(&stream, kZlibOrGzipWindowBits) != Z_OK) return false;
    stream.next_in = const_cast<Bytef*>(in.data());  // zlib never writes its input
    stream.avail_in = static_cast<uInt>(in.size());
    out->resize(std::min(limit, kFirstInflateBytes));
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.total_out == out->size()) {
            if (out->size() == limit) break;
            out->resize(std::min(limit, out->size() * 2));
        }
        stream.next_out = out->data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(out->size() - stream.total_out);
        status = inflate(&stream, Z_NO_FLUSH);
    }
    out->resize(stream.total_out);
    inflateEnd(&stream);
    return status == Z_STREAM_END || (status == Z_OK && out->size() == limit);
}

// A relative path that stays inside the folder it is joined to.
bool staysInFolder(std::string_view path) {
    if (path.empty() || isAbsolutePath(path)) return false;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        if (path.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

void XMLCALL onStart(void* info, const XML_Char* name, const XML_Char** attributes) {
    static_cast<CCTMXMapInfo*>(info)->startElement(name, attributes);
}
void XMLCALL onEnd(void* info, const XML_Char* name) { static_cast<CCTMXMapInfo*>(info)->endElement(name); }
void XMLCALL onCharacters(void* info, const XML_Char* text, int length) {
    static_cast<CCTMXMapInfo*>(info)->characters(std::string_view(text, static_cast<size_t>(length)));
}
// Entities are how a document multiplies itself or reaches outside files; maps have no use for
// them. A document type line that declares none is harmless, as its external DTD is never read.
void XMLCALL onEntityDeclaration(void* info, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                 const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<CCTMXMapInfo*>(info)->refuseDocument("it declares an entity");
}

template <typename T>
void requireNoNull(const std::vector<RefPtr<T>>& records, const char* what) {
    CC_REQUIRE(std::ranges::none_of(records, [](const RefPtr<T>& record) { return !record; }),
               "NSInvalidArgumentException", "CCTMXMapInfo: a null entry among the %s", what);
}
}  // namespace

RefPtr<CCTMXMapInfo> CCTMXMapInfo::formatWithTMXFile(const std::string& tmxFile) {
    auto info = makeRef<CCTMXMapInfo>();
    return info->initWithTMXFile(tmxFile) ? info : nullptr;
}

RefPtr<CCTMXMapInfo> CCTMXMapInfo::formatWithXML(std::string_view xml, const std::string& resourcePath) {
    auto info = makeRef<CCTMXMapInfo>();
    info->initWithXML(xml, resourcePath);
    return info;
}

bool CCTMXMapInfo::initWithTMXFile(const std::string& tmxFile) {
    filename_ = tmxFile;
    return parseXMLFile(tmxFile);
}

void CCTMXMapInfo::initWithXML(std::string_view xml, const std::string& resourcePath) {
    resources_ = resourcePath;
    parseXMLString(xml);
}

bool CCTMXMapInfo::parseXMLFile(const std::string& xmlFilename) {
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(xmlFilename);
    std::vector<uint8_t> bytes;
    std::string why;
    if (!readRegularFile(path, InputLimits::kFileBytes, &bytes, &why)) {
        logLine("Lumora: cannot read the TMX file %s: %s", xmlFilename.c_str(), why.c_str());
        return false;
    }
    parseXMLData(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), xmlFilename);
    return true;
}

void CCTMXMapInfo::parseXMLString(std::string_view xml) { parseXMLData(xml, "TMX text"); }

void CCTMXMapInfo::parseXMLData(std::string_view bytes, const std::string& what) {
    const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr), XML_ParserFree);
    if (!parser) return;
    void* const outer = std::exchange(parser_, parser.get());
    XML_SetUserData(parser.get(), this);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onCharacters);
    XML_SetEntityDeclHandler(parser.get(), onEntityDeclaration);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser.get(), kMaximumAmplification);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser.get(), kAmplificationThresholdBytes);
    // Fed in pieces, as XML_Parse takes an int length.
    constexpr size_t kPiece = 1 << 20;
    XML_Status status;
    size_t at = 0;
    for (;;) {
        const std::string_view piece = bytes.substr(at, kPiece);
        at += piece.size();
        const bool last = at == bytes.size();
        status = XML_Parse(parser.get(), piece.data(), static_cast<int>(piece.size()), last);
        if (status != XML_STATUS_OK || last) break;
    }
    const XML_Error error = XML_GetErrorCode(parser.get());
    if (status != XML_STATUS_OK && error != XML_ERROR_ABORTED) {
        logLine("Lumora: TMX document %s: %s at line %lu", what.c_str(), XML_ErrorString(error),
                static_cast<unsigned long>(XML_GetCurrentLineNumber(parser.get())));
    }
    parser_ = outer;
}

void CCTMXMapInfo::refuseDocument(const char* why) {
    refused_ = true;
    logLine("Lumora: TMX document refused from here on: %s", why);
    XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
}

// A document cut inside a layer or object group leaves the record open on it: the properties and
// data of a later document must not reach the records replaced here, nor a list now empty.

void CCTMXMapInfo::setLayers(std::vector<RefPtr<CCTMXLayerInfo>> layers) {
    requireNoNull(layers, "layers");
    layers_ = std::move(layers);
    if (parentElement_ == Parent::Layer) parentElement_ = Parent::None;
    storingCharacters_ = compressed_ = false;
    currentString_.clear();
}

void CCTMXMapInfo::setTilesets(std::vector<RefPtr<CCTMXTilesetInfo>> tilesets) {
    requireNoNull(tilesets, "tilesets");
    tilesets_ = std::move(tilesets);
}

void CCTMXMapInfo::setObjectGroups(std::vector<RefPtr<CCTMXObjectGroup>> objectGroups) {
    requireNoNull(objectGroups, "object groups");
    objectGroups_ = std::move(objectGroups);
    if (parentElement_ == Parent::ObjectGroup || parentElement_ == Parent::Object) parentElement_ = Parent::None;
}

std::string CCTMXMapInfo::baseDirectory() const {
    return filename_.empty() ? resources_ : stringByDeletingLastPathComponent(filename_);
}

void CCTMXMapInfo::startElement(std::string_view name, const char** attributes) {
    if (refused_) return;
    CCTMXTilesetInfo* tileset = tilesets_.empty() ? nullptr : tilesets_.back().get();
    CCTMXObjectGroup* group = objectGroups_.empty() ? nullptr : objectGroups_.back().get();
    Value* object = group && !group->objects().empty() ? &group->objects().back() : nullptr;
    if (name == "map") {
        const std::string_view orientation = text(attributes, "orientation");
        if (orientation == "orthogonal") orientation_ = CCTMXOrientationOrtho;
        if (orientation == "isometric") orientation_ = CCTMXOrientationIso;
        if (orientation == "hexagonal") orientation_ = CCTMXOrientationHex;
        mapSize_ = CGSizeMake(intAttribute(attributes, "width"), intAttribute(attributes, "height"));
        tileSize_ = CGSizeMake(intAttribute(attributes, "tilewidth"), intAttribute(attributes, "tileheight"));
        parentElement_ = Parent::Map;
    } else if (name == "tileset") {
        startTileset(attributes);
    } else if (name == "image") {
        if (tileset) tileset->setSourceImage(stringByAppendingPathComponent(baseDirectory(), text(attributes, "source")));
    } else if (name == "tile") {
        parentElement_ = tileset ? Parent::Tile : Parent::None;
        if (!tileset) return;
        parentGID_ = tileset->firstGid() + static_cast<uint32_t>(intAttribute(attributes, "id"));
        tileProperties_[static_cast<int32_t>(parentGID_)] = Value::dictionary();
    } else if (name == "layer") {
        startLayer(attributes);
    } else if (name == "data") {
        if (layers_.empty()) return;
        const std::string_view encoding = text(attributes, "encoding");
        const std::string_view compression = text(attributes, "compression");
        storingCharacters_ = encoding == "base64" && (compression.empty() || compression == "gzip" || compression == "zlib");
        compressed_ = !compression.empty();
        if (!storingCharacters_) {
            logLine("Lumora: TMX layer %s: data encoding \"%.*s\" compression \"%.*s\" not supported; the layer is empty",
                    layers_.back()->name().c_str(), static_cast<int>(encoding.size()), encoding.data(),
                    static_cast<int>(compression.size()), compression.data());
        }
    } else if (name == "objectgroup") {
        auto newGroup = makeRef<CCTMXObjectGroup>();
        newGroup->setGroupName(std::string(text(attributes, "name")));
        newGroup->setPositionOffset(CGPointMake(intAttribute(attributes, "x") * tileSize_.width,
                                                intAttribute(attributes, "y") * tileSize_.height));
        objectGroups_.push_back(std::move(newGroup));
        parentElement_ = Parent::ObjectGroup;
    } else if (name == "object") {
        parentElement_ = group ? Parent::Object : Parent::None;
        if (group) startObject(attributes);
    } else if (name == "polygon" || name == "polyline") {
        if (object) object->set(name == "polygon" ? "polygonPoints" : "polylinePoints", std::string(text(attributes, "points")));
    } else if (name == "property") {
        Value* properties = nullptr;
        switch (parentElement_) {
            case Parent::None: break;
            case Parent::Map: properties = &properties_; break;
            case Parent::Layer: properties = &layers_.back()->properties(); break;
            case Parent::ObjectGroup: properties = &group->properties(); break;
            case Parent::Object: properties = object; break;
            case Parent::Tile: properties = &tileProperties_[static_cast<int32_t>(parentGID_)]; break;
        }
        if (properties) properties->set(std::string(text(attributes, "name")), std::string(text(attributes, "value")));
    }
}

void CCTMXMapInfo::startTileset(const char** attributes) {
    if (const char* source = attribute(attributes, "source")) {
        if (inExternalTileset_) {
            logLine("Lumora: TMX tileset %s names another tileset document; ignored", source);
        } else if (!staysInFolder(source)) {
            logLine("Lumora: TMX tileset %s lies outside the map's folder; ignored", source);
        } else {
            inExternalTileset_ = true;
            parseXMLFile(stringByAppendingPathComponent(baseDirectory(), source));
            inExternalTileset_ = false;
        }
        return;
    }
    auto tileset = makeRef<CCTMXTilesetInfo>();
    tileset->setName(std::string(text(attributes, "name")));
    tileset->setFirstGid(static_cast<uint32_t>(intAttribute(attributes, "firstgid")));
    tileset->setSpacing(static_cast<uint32_t>(intAttribute(attributes, "spacing")));
    tileset->setMargin(static_cast<uint32_t>(intAttribute(attributes, "margin")));
    tileset->setTileSize(CGSizeMake(intAttribute(attributes, "tilewidth"), intAttribute(attributes, "tileheight")));
    tilesets_.push_back(std::move(tileset));
}

void CCTMXMapInfo::startLayer(const char** attributes) {
    const int64_t width = intAttribute(attributes, "width"), height = intAttribute(attributes, "height");
    if (width < 0 || height < 0 || static_cast<uint64_t>(width * height) > kCCTMXMaxLayerTiles) {
        refuseDocument(stringWithFormat("layer of %lld x %lld tiles", static_cast<long long>(width),
                                        static_cast<long long>(height)).c_str());
        return;
    }
    auto layer = makeRef<CCTMXLayerInfo>();
    layer->setName(std::string(text(attributes, "name")));
    layer->setLayerSize(CGSizeMake(static_cast<double>(width), static_cast<double>(height)));
    layer->setVisible(text(attributes, "visible") != "0");
    if (const char* opacity = attribute(attributes, "opacity")) {
        // 0..1 as 0..255, clamped; a value that is no finite number gives 0.
        const double value = 255.0 * stringFloatValue(opacity);
        layer->setOpacity(std::isfinite(value) ? static_cast<uint8_t>(std::clamp(value, 0.0, 255.0)) : 0);
    }
    layer->setOffset(CGPointMake(intAttribute(attributes, "x"), intAttribute(attributes, "y")));
    layers_.push_back(std::move(layer));
    parentElement_ = Parent::Layer;
}

void CCTMXMapInfo::startObject(const char** attributes) {
    CCTMXObjectGroup* group = objectGroups_.back().get();
    Value object = Value::dictionary();
    for (const char* key : {"name", "type", "width", "height", "gid"}) {
        if (const char* value = attribute(attributes, key)) object.set(key, value);
    }
    const CGPoint offset = group->positionOffset();
    if (const char* x = attribute(attributes, "x")) object.set("x", truncated(stringIntValue(x) + offset.x));
    if (const char* y = attribute(attributes, "y")) {
        // Bottom-left origin: flipped within the map's height in pixels.
        const int64_t top = truncated(stringIntValue(y) + offset.y);
        const double mapHeight = mapSize_.height * tileSize_.height;
        object.set("y", truncated(mapHeight - static_cast<double>(top) - intAttribute(attributes, "height")));
    }
    group->objects().push_back(std::move(object));
}

void CCTMXMapInfo::endElement(std::string_view name) {
    if (refused_) return;
    if (name == "data") {
        if (storingCharacters_) endData();
        storingCharacters_ = compressed_ = false;
        currentString_.clear();
    } else if (name == "map" || name == "layer" || name == "objectgroup" || name == "object") {
        parentElement_ = Parent::None;
    }
}

void CCTMXMapInfo::characters(std::string_view text) {
    if (storingCharacters_ && !refused_) currentString_.append(text);
}

void CCTMXMapInfo::endData() {
    CCTMXLayerInfo* layer = layers_.back().get();
    const CGSize size = layer->layerSize();
    const size_t count = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
    unsigned char* decoded = nullptr;
    const uint32_t decodedLength = base64DecodeAlloc(reinterpret_cast<const unsigned char*>(currentString_.data()),
                                                     static_cast<uint32_t>(currentString_.size()), &decoded);
    std::vector<uint8_t> bytes(decoded, decoded + (decoded ? decodedLength : 0));
    std::free(decoded);
    bool read = decoded != nullptr;
    if (read && compressed_) {
        std::vector<uint8_t> inflated;
        read = inflateAtMost(bytes, count * sizeof(uint32_t), &inflated);
        bytes = std::move(inflated);
    }
    if (!read) {
        logLine("Lumora: TMX layer %s: tile data cannot be decoded; the layer is empty", layer->name().c_str());
        return;
    }
    // GIDs are stored little-endian.
    std::vector<uint32_t> tiles(std::min(count, bytes.size() / sizeof(uint32_t)));
    for (size_t i = 0; i < tiles.size(); ++i) {
        const uint8_t* gid = &bytes[i * sizeof(uint32_t)];
        tiles[i] = uint32_t{gid[0]} | uint32_t{gid[1]} << 8 | uint32_t{gid[2]} << 16 | uint32_t{gid[3]} << 24;
    }
    layer->setTiles(std::move(tiles));
}
