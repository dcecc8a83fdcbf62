#include "engine/render/CCTMXLayer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "engine/render/CCSprite.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

namespace {
constexpr uint64_t kMostTiles = CCTextureAtlas::kCCTextureAtlasMaxCapacity;

double scaleFactor() { return CCDirector::sharedDirector()->contentScaleFactor(); }

uint64_t nonEmptyCount(const std::vector<uint32_t>& tiles) {
    return static_cast<uint64_t>(std::count_if(tiles.begin(), tiles.end(), [](uint32_t v) { return v; }));
}

// Flag bits without a GID mark no tile.
void clearFlagsOfEmptyTiles(std::vector<uint32_t>& tiles) {
    for (uint32_t& value : tiles) {
        if ((value & kCCFlippedMask) == 0) value = 0;
    }
}
}  // namespace

RefPtr<CCTMXLayer> CCTMXLayer::layerWithTilesetInfo(RefPtr<CCTMXTilesetInfo> tileset, CCTMXLayerInfo* layerInfo,
                                                    const CCTMXMapInfo* mapInfo) {
    auto layer = makeRef<CCTMXLayer>();
    return layer->initWithTilesetInfo(std::move(tileset), layerInfo, mapInfo) ? layer : nullptr;
}

bool CCTMXLayer::initWithTilesetInfo(RefPtr<CCTMXTilesetInfo> tileset, CCTMXLayerInfo* layerInfo,
                                     const CCTMXMapInfo* mapInfo) {
    const CGSize size = layerInfo->layerSize();
    layerSize_ = size;
    const size_t count = tileCount();
    const uint64_t capacity = std::min(static_cast<uint64_t>(static_cast<double>(count) * 0.35 + 1), kMostTiles);
    RefPtr<CCTexture2D> texture;
    if (tileset) texture = CCTextureCache::sharedTextureCache()->addImage(tileset->sourceImage());
    if (!initWithTexture(std::move(texture), capacity)) return false;

    layerName_ = layerInfo->name();
    tiles_ = layerInfo->takeTiles();
    tiles_.resize(count, 0);
    clearFlagsOfEmptyTiles(tiles_);
    minGID_ = layerInfo->minGID();
    maxGID_ = layerInfo->maxGID();
    opacity_ = layerInfo->opacity();
    properties_ = layerInfo->properties();
    tileset_ = std::move(tileset);
    mapTileSize_ = mapInfo->tileSize();
    layerOrientation_ = mapInfo->orientation();

    const double factor = scaleFactor();
    const CGPoint offset = calculateLayerOffset(layerInfo->offset());
    setPosition(CGPointMake(offset.x / factor, offset.y / factor));
    atlasIndexArray_.reserve(capacity);
    setContentSize(CGSizeMake(size.width * mapTileSize_.width / factor, size.height * mapTileSize_.height / factor));
    useAutomaticVertexZ_ = false;
    vertexZvalue_ = 0;
    return true;
}

bool CCTMXLayer::setupTiles() {
    CCTexture2D* texture = this->texture();
    if (tileset_) tileset_->setImageSize(texture ? texture->contentSizeInPixels() : CGSizeZero);
    if (texture) texture->setAliasTexParameters();
    parseInternalProperties();
    if (!fitInTheAtlas(tiles_)) return false;
    writeTileQuads();
    return true;
}

size_t CCTMXLayer::tileCount() const {
    return static_cast<size_t>(layerSize_.width) * static_cast<size_t>(layerSize_.height);
}

bool CCTMXLayer::fitInTheAtlas(const std::vector<uint32_t>& tiles) const {
    const uint64_t count = nonEmptyCount(tiles);
    if (count <= kMostTiles) return true;
    logLine("Lumora: TMX layer %s has %llu tiles, more than the %llu a layer draws; refused", layerName_.c_str(),
            static_cast<unsigned long long>(count), static_cast<unsigned long long>(kMostTiles));
    return false;
}

void CCTMXLayer::writeTileQuads() {
    CCSpriteBatchNode::removeAllChildrenWithCleanup(true);
    atlasIndexArray_.clear();
    const uint64_t count = nonEmptyCount(tiles_);
    if (count > textureAtlas()->capacity()) textureAtlas()->resizeCapacity(count);
    const auto width = static_cast<size_t>(layerSize_.width);
    for (size_t z = 0; z < tiles_.size(); ++z) {
        const uint32_t value = tiles_[z];
        if (!value) continue;
        appendTileForGID(value, CGPointMake(static_cast<double>(z % width), static_cast<double>(z / width)));
        minGID_ = std::min(minGID_, value);
        maxGID_ = std::max(maxGID_, value);
    }
}

void CCTMXLayer::setLayerSize(CGSize layerSize) {
    const double width = layerSize.width, height = layerSize.height, most = static_cast<double>(kCCTMXMaxLayerTiles);
    const auto wholeSide = [most](double side) { return side >= 0 && side <= most && side == std::floor(side); };
    if (!wholeSide(width) || !wholeSide(height) || width * height > most) {
        logLine("Lumora: CCTMXLayer %s: a size of %g x %g is no whole number of tiles up to %llu; refused",
                layerName_.c_str(), width, height, static_cast<unsigned long long>(kCCTMXMaxLayerTiles));
        return;
    }
    if (!tiles_.empty() && width * height != static_cast<double>(tiles_.size())) {
        logLine("Lumora: CCTMXLayer %s: a size of %g x %g does not fit its %zu tiles; refused", layerName_.c_str(),
                width, height, tiles_.size());
        return;
    }
    layerSize_ = layerSize;
}

void CCTMXLayer::setTiles(std::vector<uint32_t> tiles) {
    if (tiles.size() != tileCount()) {
        logLine("Lumora: CCTMXLayer %s: %zu tiles given for %g x %g; refused", layerName_.c_str(), tiles.size(),
                layerSize_.width, layerSize_.height);
        return;
    }
    clearFlagsOfEmptyTiles(tiles);
    if (!fitInTheAtlas(tiles)) return;
    tiles_ = std::move(tiles);
    writeTileQuads();
}

void CCTMXLayer::releaseMap() {
    tiles_ = {};
    atlasIndexArray_ = {};
}

// MARK: reading tiles

size_t CCTMXLayer::indexOf(CGPoint position) const {
    CC_REQUIRE(position.x >= 0 && position.x < layerSize_.width && position.y >= 0 && position.y < layerSize_.height,
               "NSRangeException", "CCTMXLayer %s: tile (%g, %g) outside the %g x %g layer", layerName_.c_str(),
               position.x, position.y, layerSize_.width, layerSize_.height);
    return static_cast<size_t>(position.x) + static_cast<size_t>(position.y) * static_cast<size_t>(layerSize_.width);
}

uint32_t CCTMXLayer::tileGIDAt(CGPoint position) const { return tileGIDAt(position, nullptr); }

uint32_t CCTMXLayer::tileGIDAt(CGPoint position, uint32_t* flags) const {
    const size_t z = indexOf(position);
    const uint32_t value = tiles_.empty() ? 0 : tiles_[z];
    if (flags) *flags = value & kCCFlipedAll;
    return value & kCCFlippedMask;
}

CCSprite* CCTMXLayer::tileAt(CGPoint position) {
    const size_t z = indexOf(position);
    const uint32_t gid = tileGIDAt(position);
    if (!gid) return nullptr;
    if (CCNode* tile = getChildByTag(static_cast<int64_t>(z))) return static_cast<CCSprite*>(tile);
    auto tile = makeRef<CCSprite>();
    tile->initWithTexture(RefPtr<CCTexture2D>(texture()), rectForTile(gid));
    tile->setBatchNode(this);
    tile->setPosition(positionAt(position));
    tile->setVertexZ(static_cast<float>(vertexZForPos(position)));
    tile->setAnchorPoint(CGPointZero);
    tile->setOpacity(opacity_);
    addSpriteWithoutQuad(tile.get(), atlasIndexForExistantZ(static_cast<uint32_t>(z)), static_cast<int64_t>(z));
    return tile.get();
}

CGPoint CCTMXLayer::positionAt(CGPoint position) const {
    const double x = position.x, y = position.y, w = layerSize_.width, h = layerSize_.height;
    const double tw = mapTileSize_.width, th = mapTileSize_.height;
    CGPoint at = CGPointZero;
    switch (layerOrientation_) {
        case CCTMXOrientationOrtho:
            at = CGPointMake(x * tw, (h - y - 1) * th);
            break;
        case CCTMXOrientationIso:
            at = CGPointMake(tw / 2 * (w + x - y - 1), th / 2 * (2 * h - x - y - 2));
            break;
        case CCTMXOrientationHex:
            // Odd columns sit half a tile lower.
            at = CGPointMake(x * tw * 3 / 4, (h - y - 1) * th + (static_cast<int64_t>(x) % 2 ? -th / 2 : 0));
            break;
    }
    const double factor = scaleFactor();
    return CGPointMake(at.x / factor, at.y / factor);
}

CGPoint CCTMXLayer::calculateLayerOffset(CGPoint offset) const {
    const double tw = mapTileSize_.width, th = mapTileSize_.height;
    switch (layerOrientation_) {
        case CCTMXOrientationOrtho: return CGPointMake(offset.x * tw, -offset.y * th);
        case CCTMXOrientationIso: return CGPointMake((offset.x - offset.y) * tw / 2, (-offset.x - offset.y) * th / 2);
        default: return CGPointZero;
    }
}

int64_t CCTMXLayer::vertexZForPos(CGPoint position) const {
    if (!useAutomaticVertexZ_) return vertexZvalue_;
    const auto x = static_cast<int64_t>(position.x), y = static_cast<int64_t>(position.y);
    const auto w = static_cast<int64_t>(layerSize_.width), h = static_cast<int64_t>(layerSize_.height);
    switch (layerOrientation_) {
        case CCTMXOrientationOrtho: return y - h;
        case CCTMXOrientationIso: return x + y - (w + h);
        default: return 0;
    }
}

void CCTMXLayer::parseInternalProperties() {
    const Value& vertexZ = properties_["cc_vertexz"];
    if (vertexZ.isNone()) return;
    if (vertexZ.stringValue() != "automatic") {
        vertexZvalue_ = vertexZ.intValue();
        return;
    }
    useAutomaticVertexZ_ = true;
    RefPtr<CCGLProgram> program =
        CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTextureColorAlphaTest);
    if (program) {
        program->use();
        program->setUniformLocationWithF1(glGetUniformLocation(program->program(), kCCUniformAlphaTestValue_s),
                                          properties_["cc_alpha_func"].floatValue());
    }
    setShaderProgram(std::move(program));
}

CGRect CCTMXLayer::rectForTile(uint32_t gid) const {
    if (!tileset_) return CGRectZero;
    const CGRect rect = tileset_->rectForGID(gid);
    const double factor = scaleFactor();
    return CGRectMake(rect.origin.x / factor, rect.origin.y / factor, rect.size.width / factor,
                      rect.size.height / factor);
}

// MARK: writing quads

CCSprite* CCTMXLayer::reusedTileWithRect(CGRect rect) {
    if (!reusedTile_) reusedTile_ = makeRef<CCSprite>();
    reusedTile_->initWithTexture(RefPtr<CCTexture2D>(texture()), rect, false);
    reusedTile_->setBatchNode(this);
    return reusedTile_.get();
}

void CCTMXLayer::setupTileSprite(CCSprite* sprite, CGPoint position, uint32_t gid) {
    const CGPoint at = positionAt(position);
    sprite->setPosition(at);
    sprite->setVertexZ(static_cast<float>(vertexZForPos(position)));
    sprite->setAnchorPoint(CGPointZero);
    sprite->setOpacity(opacity_);
    sprite->setFlipX(false);
    sprite->setFlipY(false);
    sprite->setRotation(0);
    if (gid & kCCTMXTileDiagonalFlag) {
        // Turned about its centre; the size is swapped by the turn.
        const CGSize size = sprite->contentSize();
        sprite->setAnchorPoint(CGPointMake(0.5, 0.5));
        sprite->setPosition(CGPointMake(at.x + size.height / 2, at.y + size.width / 2));
        const uint32_t mirrors = gid & (kCCTMXTileHorizontalFlag | kCCTMXTileVerticalFlag);
        sprite->setRotation(mirrors == kCCTMXTileHorizontalFlag || mirrors == (kCCTMXTileHorizontalFlag | kCCTMXTileVerticalFlag) ? 90 : 270);
        if (mirrors == 0 || mirrors == (kCCTMXTileHorizontalFlag | kCCTMXTileVerticalFlag)) sprite->setFlipX(true);
    } else {
        sprite->setFlipX((gid & kCCTMXTileHorizontalFlag) != 0);
        sprite->setFlipY((gid & kCCTMXTileVerticalFlag) != 0);
    }
}

void CCTMXLayer::appendTileForGID(uint32_t gid, CGPoint position) {
    const auto z = static_cast<uint32_t>(indexOf(position));
    CCSprite* tile = reusedTileWithRect(rectForTile(gid));
    setupTileSprite(tile, position, gid);
    addQuadFromSprite(tile, atlasIndexArray_.size());
    atlasIndexArray_.push_back(z);
}

void CCTMXLayer::insertTileForGID(uint32_t gid, CGPoint position) {
    const auto z = static_cast<uint32_t>(indexOf(position));
    CCSprite* tile = reusedTileWithRect(rectForTile(gid));
    setupTileSprite(tile, position, gid);
    const uint64_t index = atlasIndexForNewZ(z);
    addQuadFromSprite(tile, index);
    atlasIndexArray_.insert(atlasIndexArray_.begin() + static_cast<ptrdiff_t>(index), z);
    shiftTileSprites(index, 1);
    tiles_[z] = gid;
}

void CCTMXLayer::updateTileForGID(uint32_t gid, CGPoint position) {
    const auto z = static_cast<uint32_t>(indexOf(position));
    CCSprite* tile = reusedTileWithRect(rectForTile(gid));
    setupTileSprite(tile, position, gid);
    tile->setAtlasIndex(atlasIndexForExistantZ(z));
    tile->setDirty(true);
    tile->updateTransform();
    tiles_[z] = gid;
}

uint64_t CCTMXLayer::atlasIndexForExistantZ(uint32_t z) const {
    const auto found = std::lower_bound(atlasIndexArray_.begin(), atlasIndexArray_.end(), z);
    CC_REQUIRE(found != atlasIndexArray_.end() && *found == z, "NSInternalInconsistencyException",
               "CCTMXLayer %s: no tile quad at position %u", layerName_.c_str(), z);
    return static_cast<uint64_t>(found - atlasIndexArray_.begin());
}

uint64_t CCTMXLayer::atlasIndexForNewZ(uint32_t z) const {
    return static_cast<uint64_t>(std::upper_bound(atlasIndexArray_.begin(), atlasIndexArray_.end(), z) -
                                 atlasIndexArray_.begin());
}

void CCTMXLayer::shiftTileSprites(uint64_t index, int64_t delta) {
    if (!children()) return;
    for (Object* child : *children()) {
        auto* sprite = static_cast<CCSprite*>(child);
        if (sprite->atlasIndex() >= index) sprite->setAtlasIndex(sprite->atlasIndex() + delta);
    }
}

// MARK: changing tiles

void CCTMXLayer::setTileGID(uint32_t gid, CGPoint position) { setTileGID(gid, position, 0); }

void CCTMXLayer::setTileGID(uint32_t gid, CGPoint position, uint32_t flags) {
    const size_t z = indexOf(position);
    if (tiles_.empty()) return;
    uint32_t currentFlags = 0;
    const uint32_t currentGID = tileGIDAt(position, &currentFlags);
    if (currentGID == gid && currentFlags == flags) return;
    if (gid == 0) {
        removeTileAt(position);
        return;
    }
    const uint32_t value = gid | flags;
    if (currentGID == 0) {
        insertTileForGID(value, position);
    } else if (auto* tile = static_cast<CCSprite*>(getChildByTag(static_cast<int64_t>(z)))) {
        // A tile sprite keeps its mirroring and turn unless flags are given.
        const CGRect rect = rectForTile(value);
        tile->setTextureRect(rect, false, rect.size);
        if (flags) setupTileSprite(tile, position, value);
        tiles_[z] = value;
    } else {
        updateTileForGID(value, position);
    }
}

void CCTMXLayer::removeTileAt(CGPoint position) {
    const size_t z = indexOf(position);
    if (tiles_.empty() || tiles_[z] == 0) return;
    const uint64_t index = atlasIndexForExistantZ(static_cast<uint32_t>(z));
    tiles_[z] = 0;
    atlasIndexArray_.erase(atlasIndexArray_.begin() + static_cast<ptrdiff_t>(index));
    if (CCNode* tile = getChildByTag(static_cast<int64_t>(z))) {
        CCSpriteBatchNode::removeChild(tile, true);
    } else {
        textureAtlas()->removeQuadAtIndex(index);
        shiftTileSprites(index, -1);
    }
}

void CCTMXLayer::addChild(CCNode*, int64_t, int64_t) {}

void CCTMXLayer::removeChild(CCNode* child, bool cleanup) {
    if (!child || !children() || !children()->containsObject(child)) return;
    const uint64_t index = static_cast<CCSprite*>(child)->atlasIndex();
    if (index < atlasIndexArray_.size()) {
        tiles_[atlasIndexArray_[index]] = 0;
        atlasIndexArray_.erase(atlasIndexArray_.begin() + static_cast<ptrdiff_t>(index));
    }
    CCSpriteBatchNode::removeChild(child, cleanup);
}
