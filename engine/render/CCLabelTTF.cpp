#include "engine/render/CCLabelTTF.h"

#include <map>
#include <utility>

#include "engine/core/CCDirector.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/StringUtils.h"
#include "platform/text/TextRenderer.h"

namespace {

// Registered font files by the lower-case name that labels know them by (the file's base name).
// fontconfig knows a file's fonts only by the family names inside it, which need not be the file
// name. Engine thread only.
std::map<std::string, std::string>& registeredFontFiles() {
    static std::map<std::string, std::string> files;
    return files;
}

// What TextRenderer opens for a label's font name: the registered file of that name, or the family.
const std::string& fontToOpen(const std::string& fontName) {
    const auto& files = registeredFontFiles();
    const auto file = files.find(lowercaseString(fontName));
    return file == files.end() ? fontName : file->second;
}

}  // namespace

RefPtr<CCLabelTTF> CCLabelTTF::labelWithString(std::string_view text, const std::string& fontName, double fontSize) {
    RefPtr<CCLabelTTF> label = makeRef<CCLabelTTF>();
    return label->initWithString(text, fontName, fontSize) ? label : nullptr;
}

RefPtr<CCLabelTTF> CCLabelTTF::labelWithString(std::string_view text, const std::string& fontName, double fontSize,
                                               CGSize dimensions, int hAlignment, int vAlignment, int lineBreakMode) {
    RefPtr<CCLabelTTF> label = makeRef<CCLabelTTF>();
    return label->initWithString(text, fontName, fontSize, dimensions, hAlignment, vAlignment, lineBreakMode)
               ? label
               : nullptr;
}

bool CCLabelTTF::init() { return initWithString("", "Helvetica", 12); }

bool CCLabelTTF::initWithString(std::string_view text, const std::string& fontName, double fontSize) {
    return initWithString(text, fontName, fontSize, CGSizeZero, kCCTextAlignmentLeft);
}

bool CCLabelTTF::initWithString(std::string_view text, const std::string& fontName, double fontSize,
                                CGSize dimensions, int hAlignment, int vAlignment, int lineBreakMode) {
    if (!CCSprite::init()) return false;
    dimensions_ = dimensions;
    hAlignment_ = hAlignment;
    vAlignment_ = vAlignment;
    fontName_ = getFontName(fontName);
    fontSize_ = fontSize;
    lineBreakMode_ = lineBreakMode;
    if (fontName_.empty()) return false;
    string_.assign(text);
    return updateTexture();
}

std::string CCLabelTTF::getFontName(const std::string& fontName) {
    if (!hasSuffixIgnoringCase(fontName, ".ttf")) return fontName;
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(fontName);
    if (!TextRenderer::registerFontFile(path)) return {};
    std::string name = stringByDeletingPathExtension(lastPathComponent(path));
    registeredFontFiles()[lowercaseString(name)] = path;
    return name;
}

std::string CCLabelTTF::description() const {
    return stringWithFormat("<CCLabelTTF = %p | FontSize = %.1f>", static_cast<const void*>(this), fontSize_);
}

template <typename T>
void CCLabelTTF::change(T& field, T value) {
    if (field == value) return;
    T previous = std::exchange(field, std::move(value));
    if (!updateTexture()) field = std::move(previous);
}

void CCLabelTTF::setString(std::string_view text) { change(string_, std::string(text)); }

void CCLabelTTF::setFontName(const std::string& fontName) {
    std::string name = getFontName(fontName);
    if (!name.empty()) change(fontName_, std::move(name));
}

void CCLabelTTF::setFontSize(float fontSize) { change(fontSize_, double{fontSize}); }

void CCLabelTTF::setDimensions(CGSize dimensions) { change(dimensions_, dimensions); }

void CCLabelTTF::setHorizontalAlignment(int alignment) { change(hAlignment_, alignment); }

void CCLabelTTF::setVerticalAlignment(int alignment) { change(vAlignment_, alignment); }

bool CCLabelTTF::updateTexture() {
    RefPtr<CCTexture2D> texture;
    if (!string_.empty()) {
        const double factor = CCDirector::sharedDirector()->contentScaleFactor();
        TextRenderer font;
        if (!font.initWithFont(fontToOpen(fontName_), fontSize_ * factor)) return false;
        texture = makeRef<CCTexture2D>();
        const bool rendered =
            dimensions_.width > 0 && dimensions_.height > 0
                ? texture->initWithString(string_, CGSizeMake(dimensions_.width * factor, dimensions_.height * factor),
                                          hAlignment_, vAlignment_, font, lineBreakMode_)
                : texture->initWithString(string_, font.layout(string_, 0, kCCLineBreakModeWordWrap).size,
                                          kCCTextAlignmentCenter, kCCVerticalTextAlignmentTop, font,
                                          kCCLineBreakModeWordWrap);
        if (!rendered) texture = nullptr;
    }
    setTexture(texture);
    setTextureRect(texture ? CGRect{CGPointZero, texture->contentSize()} : CGRectZero);
    return true;
}
