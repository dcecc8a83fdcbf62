#include "engine/render/CCTileMapAtlas.h"

#include "engine/core/CCDirector.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCTileMapAtlas> CCTileMapAtlas::tileMapAtlasWithTileFile(const std::string& tile, const std::string& mapFile,
                                                                int32_t tileWidth, int32_t tileHeight) {
    auto atlas = makeRef<CCTileMapAtlas>();
    return atlas->initWithTileFile(tile, mapFile, tileWidth, tileHeight) ? atlas : nullptr;
}

bool CCTileMapAtlas::initWithTileFile(const std::string& tile, const std::string& mapFile, int32_t tileWidth,
                                      int32_t tileHeight) {
    CC_REQUIRE(tileWidth >= 0 && tileHeight >= 0, "NSInvalidArgumentException", "CCTileMapAtlas: tile size %d x %d",
               tileWidth, tileHeight);
    loadTGAfile(mapFile);
    calculateItemsToRender();
    if (!CCAtlasNode::initWithTileFile(tile, static_cast<uint64_t>(tileWidth), static_cast<uint64_t>(tileHeight),
                                       static_cast<uint64_t>(itemsToRender_))) {
        return false;
    }
    setColor({255, 255, 255});
    posToAtlasIndex_.reserve(static_cast<size_t>(itemsToRender_));
    updateAtlasValues();
    if (itemsPerRow_ == 0) setQuadsToDraw(0);
    setContentSize(CGSizeMake(static_cast<double>(tgaInfo_->width) * tileWidth, static_cast<double>(tgaInfo_->height) * tileHeight));
    return true;
}

void CCTileMapAtlas::loadTGAfile(const std::string& file) {
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(file);
    tgaInfo_.reset(tgaLoadFromFile(path.c_str()));
    sImageTGA* image = tgaInfo_.get();
    const bool loaded = image && image->status == kTGAStatusOK && (image->pixelDepth == 24 || image->pixelDepth == 32);
    if (!loaded) tgaInfo_.reset();
    CC_REQUIRE(loaded, "TileMapAtlasLoadTGA", "TileMapAtas cannot load TGA file %s", file.c_str());
    if (image->pixelDepth == 32) {
        // R, G, B, A -> R, G, B in place.
        const size_t pixels = size_t{image->width} * image->height;
        for (size_t i = 0; i < pixels; ++i) {
            for (size_t c = 0; c < 3; ++c) image->imageData[i * 3 + c] = image->imageData[i * 4 + c];
        }
        image->pixelDepth = 24;
    }
}

void CCTileMapAtlas::calculateItemsToRender() {
    itemsToRender_ = 0;
    if (!tgaInfo_) return;
    const size_t pixels = size_t{tgaInfo_->width} * tgaInfo_->height;
    for (size_t i = 0; i < pixels; ++i) {
        if (tgaInfo_->imageData[i * 3] != 0) ++itemsToRender_;
    }
}

void CCTileMapAtlas::updateAtlasValues() {
    if (!tgaInfo_) return;
    uint64_t index = 0;
    const auto total = static_cast<uint64_t>(itemsToRender_);
    for (int64_t x = 0; x < tgaInfo_->width && index < total; ++x) {
        for (int64_t y = 0; y < tgaInfo_->height && index < total; ++y) {
            const ccColor3B value = tileAt({x, y});
            if (value.r == 0) continue;
            updateAtlasValueAt({x, y}, value, index);
            posToAtlasIndex_[static_cast<uint64_t>(x + y * tgaInfo_->width)] = index++;
        }
    }
}

void CCTileMapAtlas::updateAtlasValueAt(ccGridSize position, ccColor3B value, uint64_t index) {
    const CCTexture2D* texture = this->texture();
    if (!texture || itemsPerRow_ == 0) return;
    const uint64_t row = value.r / itemsPerRow_, column = value.r % itemsPerRow_;
    const auto factor = static_cast<float>(CCDirector::sharedDirector()->contentScaleFactor());
    // Tile size in pixels as a fraction of the texture.
    const float tileS = itemWidth_ * factor / static_cast<float>(texture->pixelsWide());
    const float tileT = itemHeight_ * factor / static_cast<float>(texture->pixelsHigh());
    const float left = column * tileS, right = left + tileS, top = row * tileT, bottom = top + tileT;
    const auto x1 = static_cast<float>(position.x * static_cast<int64_t>(itemWidth_));
    const auto y1 = static_cast<float>(position.y * static_cast<int64_t>(itemHeight_));
    const float x2 = x1 + static_cast<float>(itemWidth_), y2 = y1 + static_cast<float>(itemHeight_);
    const ccColor4B color{color_.r, color_.g, color_.b, opacity_};

    ccV3F_C4B_T2F_Quad quad;
    quad.tl = {{x1, y2, 0}, color, {left, top}};
    quad.bl = {{x1, y1, 0}, color, {left, bottom}};
    quad.tr = {{x2, y2, 0}, color, {right, top}};
    quad.br = {{x2, y1, 0}, color, {right, bottom}};
    textureAtlas_->updateQuad(&quad, index);
}

unsigned char* CCTileMapAtlas::pixelAt(ccGridSize position) const {
    CC_REQUIRE(position.x >= 0 && position.x < tgaInfo_->width && position.y >= 0 && position.y < tgaInfo_->height,
               "NSRangeException", "CCTileMapAtlas: cell (%lld, %lld) outside the %u x %u map",
               static_cast<long long>(position.x), static_cast<long long>(position.y), tgaInfo_->width,
               tgaInfo_->height);
    return tgaInfo_->imageData + static_cast<size_t>(position.x + position.y * tgaInfo_->width) * 3;
}

ccColor3B CCTileMapAtlas::tileAt(ccGridSize position) const {
    if (!tgaInfo_) return {};
    const unsigned char* pixel = pixelAt(position);
    return {pixel[0], pixel[1], pixel[2]};
}

void CCTileMapAtlas::setTile(ccColor3B tile, ccGridSize position) {
    if (!tgaInfo_) return;
    unsigned char* pixel = pixelAt(position);
    if (pixel[0] == 0) return;
    pixel[0] = tile.r, pixel[1] = tile.g, pixel[2] = tile.b;
    const auto found = posToAtlasIndex_.find(static_cast<uint64_t>(position.x + position.y * tgaInfo_->width));
    if (found != posToAtlasIndex_.end()) updateAtlasValueAt(position, tile, found->second);
}

void CCTileMapAtlas::releaseMap() {
    tgaInfo_.reset();
    posToAtlasIndex_ = {};
}
