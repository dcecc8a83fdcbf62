#include "engine/render/CCMenuItemFont.h"

#include <utility>

#include "engine/render/CCLabelTTF.h"

namespace {

uint64_t classFontSize = 32;

std::string& classFontName() {
    static std::string name = "Marker Felt";
    return name;
}

}  // namespace

void CCMenuItemFont::setDefaultFontSize(uint64_t size) { classFontSize = size; }

uint64_t CCMenuItemFont::defaultFontSize() { return classFontSize; }

void CCMenuItemFont::setDefaultFontName(const std::string& name) { classFontName() = name; }

const std::string& CCMenuItemFont::defaultFontName() { return classFontName(); }

RefPtr<CCMenuItemFont> CCMenuItemFont::itemWithString(std::string_view text) { return itemWithString(text, nullptr); }

RefPtr<CCMenuItemFont> CCMenuItemFont::itemWithString(std::string_view text, Object* target,
                                                      SEL_MenuHandler selector) {
    return itemWithString(text, callbackFor(target, selector));
}

RefPtr<CCMenuItemFont> CCMenuItemFont::itemWithString(std::string_view text, CCMenuItemBlock block) {
    auto item = makeRef<CCMenuItemFont>();
    return item->initWithString(text, std::move(block)) ? item : nullptr;
}

bool CCMenuItemFont::initWithString(std::string_view text, Object* target, SEL_MenuHandler selector) {
    return initWithString(text, callbackFor(target, selector));
}

bool CCMenuItemFont::initWithString(std::string_view text, CCMenuItemBlock block) {
    fontName_ = classFontName();
    fontSize_ = classFontSize;
    RefPtr<CCLabelTTF> label = CCLabelTTF::labelWithString(text, fontName_, static_cast<double>(fontSize_));
    return label && initWithLabel(std::move(label), std::move(block));
}

void CCMenuItemFont::setFontSize(uint64_t size) {
    const uint64_t previous = std::exchange(fontSize_, size);
    if (!recreateLabel()) fontSize_ = previous;
}

void CCMenuItemFont::setFontName(const std::string& name) {
    // Copied before it is replaced: `name` may be fontName_ itself.
    std::string previous = fontName_;
    fontName_ = name;
    if (!recreateLabel()) fontName_ = std::move(previous);
}

bool CCMenuItemFont::recreateLabel() {
    const auto* shown = dynamic_cast<const CCLabelProtocol*>(label());
    RefPtr<CCLabelTTF> label =
        CCLabelTTF::labelWithString(shown ? shown->string() : "", fontName_, static_cast<double>(fontSize_));
    if (!label) return false;
    setLabel(std::move(label));
    return true;
}
