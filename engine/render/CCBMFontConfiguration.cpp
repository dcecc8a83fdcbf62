#include "engine/render/CCBMFontConfiguration.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "engine/core/ccCachePurge.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

// The first N pieces of the line between "=" signs; pieces past the line's end are empty.
template <size_t N>
std::array<std::string_view, N> splitPieces(std::string_view line) {
    std::array<std::string_view, N> pieces;
    for (size_t i = 0; i < N; ++i) {
        const size_t end = line.find('=');
        pieces[i] = line.substr(0, end);
        if (end == std::string_view::npos) break;
        line.remove_prefix(end + 1);
    }
    return pieces;
}

// A character code as the font's tables key it, or -1 when the value is no UTF-16 code unit.
int32_t characterCode(std::string_view piece) {
    const int32_t value = stringIntValue(piece);
    return value >= 0 && value <= 0xFFFF ? value : -1;
}

int16_t saturatedInt16(std::string_view piece) {
    return static_cast<int16_t>(std::clamp<int32_t>(stringIntValue(piece), std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

uint32_t kerningKey(uint16_t first, uint16_t second) { return uint32_t{first} << 16 | second; }

using ConfigurationCache = std::unordered_map<std::string, RefPtr<CCBMFontConfiguration>>;

// Made on first use, when it also joins the caches the director purges.
ConfigurationCache& configurationCache() {
    static ConfigurationCache cache = [] {
        ccCacheRegisterPurge(kCCCacheFontConfigurations, ccFNTConfigClearCache, ccFNTConfigClearCache);
        ConfigurationCache made;
        made.reserve(3);
        return made;
    }();
    return cache;
}

}  // namespace

RefPtr<CCBMFontConfiguration> CCBMFontConfiguration::configurationWithFNTFile(const std::string& fntFile) {
    RefPtr<CCBMFontConfiguration> configuration = makeRef<CCBMFontConfiguration>();
    return configuration->initWithFNTfile(fntFile) ? configuration : nullptr;
}

bool CCBMFontConfiguration::initWithFNTfile(const std::string& fntFile) {
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(fntFile);
    std::vector<uint8_t> bytes;
    std::string why;
    if (!readRegularFile(path, InputLimits::kFileBytes, &bytes, &why)) {
        logLine("Lumora: Error parsing FNTfile %s: %s", fntFile.c_str(), why.c_str());
        return false;
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (hasPrefix(text, kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    // Binary data, a renamed image or UTF-16 text would otherwise read as a font without characters.
    if (!isValidUTF8(text) || text.find('\0') != std::string_view::npos) {
        logLine("Lumora: Error parsing FNTfile %s: not UTF-8 text", fntFile.c_str());
        return false;
    }
    parseConfigText(text, fntFile);
    return true;
}

void CCBMFontConfiguration::parseConfigText(std::string_view text, const std::string& fntFile) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        // The count line "chars count=N" is no character definition.
        if (hasPrefix(line, "info face") || hasPrefix(line, "chars c")) continue;
        if (hasPrefix(line, "common lineHeight")) {
            commonHeight_ = stringIntValue(splitPieces<2>(line)[1]);
        } else if (hasPrefix(line, "page id")) {
            parseImageFileName(line, fntFile);
        } else if (hasPrefix(line, "char")) {
            parseCharacterDefinition(line);
        } else if (hasPrefix(line, "kerning first")) {
            parseKerningEntry(line);
        }
    }
}

void CCBMFontConfiguration::parseCharacterDefinition(std::string_view line) {
    // char id=C x=X y=Y width=W height=H xoffset=XO yoffset=YO xadvance=XA ...
    const auto pieces = splitPieces<9>(line);
    const int32_t id = characterCode(pieces[1]);
    if (id < 0) return;
    ccBMFontDef& def = fontDefDictionary_[static_cast<uint16_t>(id)];
    def.charID = static_cast<uint16_t>(id);
    def.rect = CGRectMake(stringIntValue(pieces[2]), stringIntValue(pieces[3]), stringIntValue(pieces[4]),
                          stringIntValue(pieces[5]));
    def.xOffset = saturatedInt16(pieces[6]);
    def.yOffset = saturatedInt16(pieces[7]);
    def.xAdvance = saturatedInt16(pieces[8]);
    characterSet_.set(def.charID);
}

void CCBMFontConfiguration::parseKerningEntry(std::string_view line) {
    // kerning first=F second=S amount=A
    const auto pieces = splitPieces<4>(line);
    const int32_t first = characterCode(pieces[1]);
    const int32_t second = characterCode(pieces[2]);
    if (first < 0 || second < 0) return;
    // Within 16 bits, like the offsets and advances it is added to.
    kerningDictionary_[kerningKey(static_cast<uint16_t>(first), static_cast<uint16_t>(second))] =
        saturatedInt16(pieces[3]);
}

void CCBMFontConfiguration::parseInfoArguments(std::string_view line) {
    // info face="F" size=S bold=B italic=I charset="C" unicode=U stretchH=H smooth=M aa=A
    // padding=UP,RIGHT,DOWN,LEFT spacing=...
    std::string_view values = splitPieces<11>(line)[10];
    std::array<int32_t, 4> sides{};  // up, right, down, left
    for (int32_t& side : sides) {
        const size_t comma = values.find(',');
        side = stringIntValue(values.substr(0, comma));
        values.remove_prefix(comma == std::string_view::npos ? values.size() : comma + 1);
    }
    padding_ = {.left = sides[3], .top = sides[0], .right = sides[1], .bottom = sides[2]};
}

void CCBMFontConfiguration::parseImageFileName(std::string_view line, const std::string& fntFile) {
    // page id=N file="NAME": the name between the first pair of quotes of the third piece.
    const std::string_view piece = splitPieces<3>(line)[2];
    const size_t open = piece.find('"');
    const size_t close = open == std::string_view::npos ? open : piece.find('"', open + 1);
    if (close == std::string_view::npos || close == open + 1) {
        atlasName_.clear();
        return;
    }
    const std::string_view name = piece.substr(open + 1, close - open - 1);
    // The file system would read the name only up to the NUL: another file than the one named.
    if (name.find('\0') != std::string_view::npos) {
        logLine("Lumora: FNTfile %s: the page file name holds a NUL byte; no page image", fntFile.c_str());
        atlasName_.clear();
        return;
    }
    atlasName_ = stringByAppendingPathComponent(stringByDeletingLastPathComponent(fntFile), name);
}

std::string CCBMFontConfiguration::description() const {
    return stringWithFormat("<%s = %p | Glphys:%zu Kernings:%zu | Image = %s>", className(*this).c_str(),
                            static_cast<const void*>(this), fontDefDictionary_.size(), kerningDictionary_.size(),
                            atlasName_.c_str());
}

const ccBMFontDef* CCBMFontConfiguration::fontDefForCharacter(uint16_t character) const {
    const auto found = fontDefDictionary_.find(character);
    return found == fontDefDictionary_.end() ? nullptr : &found->second;
}

int32_t CCBMFontConfiguration::kerningAmount(uint16_t first, uint16_t second) const {
    const auto found = kerningDictionary_.find(kerningKey(first, second));
    return found == kerningDictionary_.end() ? 0 : found->second;
}

RefPtr<CCBMFontConfiguration> ccFNTConfigLoad(const std::string& fntFile) {
    ConfigurationCache& cache = configurationCache();
    if (const auto found = cache.find(fntFile); found != cache.end()) return found->second;
    RefPtr<CCBMFontConfiguration> configuration = CCBMFontConfiguration::configurationWithFNTFile(fntFile);
    if (configuration) cache.emplace(fntFile, configuration);
    return configuration;
}

void ccFNTConfigClearCache() { configurationCache().clear(); }
