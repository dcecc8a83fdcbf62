#include "engine/core/CCLabelAtlas.h"

#include <optional>

#include "engine/core/CCDirector.h"
#include "engine/core/CCTextureAtlas.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

RefPtr<CCLabelAtlas> CCLabelAtlas::labelWithString(std::string_view text, const std::string& charMapFile,
                                                   uint64_t itemWidth, uint64_t itemHeight, uint64_t startCharMap) {
    RefPtr<CCLabelAtlas> label = makeRef<CCLabelAtlas>();
    return label->initWithString(text, charMapFile, itemWidth, itemHeight, startCharMap) ? label : nullptr;
}

RefPtr<CCLabelAtlas> CCLabelAtlas::labelWithString(std::string_view text, const std::string& fntFile) {
    RefPtr<CCLabelAtlas> label = makeRef<CCLabelAtlas>();
    return label->initWithString(text, fntFile) ? label : nullptr;
}

bool CCLabelAtlas::initWithString(std::string_view text, const std::string& charMapFile, uint64_t itemWidth,
                                  uint64_t itemHeight, uint64_t startCharMap) {
    if (!initWithTileFile(charMapFile, itemWidth, itemHeight, text.size())) return false;
    mapStartChar_ = startCharMap;
    setString(text);
    return true;
}

bool CCLabelAtlas::initWithString(std::string_view text, const std::string& fntFile) {
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(fntFile);
    std::string why = "not a dictionary";
    const std::optional<Value> map = Value::fromFile(path, &why);
    if (!map || !map->isDictionary()) {
        logLine("Lumora: cannot read the character map %s: %s", fntFile.c_str(), why.c_str());
        return false;
    }
    // The map gives pixels; items are in points.
    const double factor = CCDirector::sharedDirector()->contentScaleFactor();
    const auto points = [&](const char* key) {
        return static_cast<uint64_t>(static_cast<uint32_t>((*map)[key].unsignedIntegerValue()) / factor);
    };
    return initWithString(text, (*map)["textureFilename"].stringValue(), points("itemWidth"), points("itemHeight"),
                          static_cast<uint32_t>((*map)["firstChar"].unsignedIntegerValue()));
}

void CCLabelAtlas::setString(std::string_view text) {
    if (!textureAtlas_ || text == string_) return;
    const uint64_t length = text.size();
    if (length > textureAtlas_->capacity() && !textureAtlas_->resizeCapacity(length)) return;
    string_.assign(text);
    updateAtlasValues();
    setContentSize(CGSizeMake(static_cast<double>(length * itemWidth_), static_cast<double>(itemHeight_)));
    // Without a whole cell across the image there is nothing to draw.
    setQuadsToDraw(itemsPerRow_ ? length : 0);
}

void CCLabelAtlas::updateAtlasValues() {
    const CCTexture2D* texture = this->texture();
    if (!texture || itemsPerRow_ == 0) return;
    const float factor = static_cast<float>(CCDirector::sharedDirector()->contentScaleFactor());
    // Cell size in pixels, and the texture's, which may be larger than the picture.
    const float cellWide = itemWidth_ * factor, cellHigh = itemHeight_ * factor;
    const auto textureWide = static_cast<float>(texture->pixelsWide());
    const auto textureHigh = static_cast<float>(texture->pixelsHigh());
    const float cellS = cellWide / textureWide, cellT = cellHigh / textureHigh;
    const ccColor4B color{color_.r, color_.g, color_.b, opacity_};
    const float top = static_cast<float>(itemHeight_);

    for (uint64_t i = 0; i < string_.size(); ++i) {
        // Codes count from the first character modulo 256.
        const auto cell = static_cast<uint8_t>(static_cast<uint8_t>(string_[i]) - mapStartChar_);
        const float s = static_cast<float>(cell % itemsPerRow_) * cellWide / textureWide;
        const float t = static_cast<float>(cell / itemsPerRow_) * cellHigh / textureHigh;
        const auto x1 = static_cast<float>(static_cast<int32_t>(i * itemWidth_));
        const auto x2 = static_cast<float>(static_cast<int32_t>(i * itemWidth_ + itemWidth_));

        ccV3F_C4B_T2F_Quad quad;
        quad.tl = {{x1, top, 0}, color, {s, t}};
        quad.tr = {{x2, top, 0}, color, {s + cellS, t}};
        quad.bl = {{x1, 0, 0}, color, {s, t + cellT}};
        quad.br = {{x2, 0, 0}, color, {s + cellS, t + cellT}};
        textureAtlas_->updateQuad(&quad, i);
    }
}
