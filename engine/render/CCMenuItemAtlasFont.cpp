#include "engine/render/CCMenuItemAtlasFont.h"

#include "engine/core/CCLabelAtlas.h"
#include "platform/foundation/NamedException.h"

RefPtr<CCMenuItemAtlasFont> CCMenuItemAtlasFont::itemWithString(std::string_view text,
                                                                const std::string& charMapFile, int32_t itemWidth,
                                                                int32_t itemHeight, char startCharMap) {
    return itemWithString(text, charMapFile, itemWidth, itemHeight, startCharMap, nullptr);
}

RefPtr<CCMenuItemAtlasFont> CCMenuItemAtlasFont::itemWithString(std::string_view text,
                                                                const std::string& charMapFile, int32_t itemWidth,
                                                                int32_t itemHeight, char startCharMap,
                                                                Object* target, SEL_MenuHandler selector) {
    return itemWithString(text, charMapFile, itemWidth, itemHeight, startCharMap, callbackFor(target, selector));
}

RefPtr<CCMenuItemAtlasFont> CCMenuItemAtlasFont::itemWithString(std::string_view text,
                                                                const std::string& charMapFile, int32_t itemWidth,
                                                                int32_t itemHeight, char startCharMap,
                                                                CCMenuItemBlock block) {
    auto item = makeRef<CCMenuItemAtlasFont>();
    return item->initWithString(text, charMapFile, itemWidth, itemHeight, startCharMap, std::move(block)) ? item
                                                                                                          : nullptr;
}

bool CCMenuItemAtlasFont::initWithString(std::string_view text, const std::string& charMapFile, int32_t itemWidth,
                                         int32_t itemHeight, char startCharMap, Object* target,
                                         SEL_MenuHandler selector) {
    return initWithString(text, charMapFile, itemWidth, itemHeight, startCharMap, callbackFor(target, selector));
}

bool CCMenuItemAtlasFont::initWithString(std::string_view text, const std::string& charMapFile, int32_t itemWidth,
                                         int32_t itemHeight, char startCharMap, CCMenuItemBlock block) {
    CC_REQUIRE(itemWidth >= 0 && itemHeight >= 0, "NSInvalidArgumentException", "cell size %d x %d is negative",
               itemWidth, itemHeight);
    RefPtr<CCLabelAtlas> label = CCLabelAtlas::labelWithString(
        text, charMapFile, static_cast<uint64_t>(itemWidth), static_cast<uint64_t>(itemHeight),
        static_cast<unsigned char>(startCharMap));
    return label && initWithLabel(std::move(label), std::move(block));
}
