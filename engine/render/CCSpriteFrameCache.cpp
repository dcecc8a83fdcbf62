#include "engine/render/CCSpriteFrameCache.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <optional>

#include "engine/core/CCTexture2D.h"
#include "engine/core/ccCachePurge.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"

namespace {
RefPtr<CCSpriteFrameCache> sharedCache;

// The longest length a frame may have, in pixels: as far as a format 0 original size (the
// absolute value of a 32-bit integer) reaches. No texture comes near it, and lengths within it
// stay finite in single precision through the sums and the content scale of the sprites drawn.
constexpr double kLongestFrameLength = 2147483648.0;

// One frame of a sheet as read, lengths in pixels.
struct SheetFrame {
    CGRect rect;
    bool rotated = false;
    CGPoint offset;
    CGSize originalSize;
};

// Reads the frame dictionary `value` of the given format (0-3) into *frame, a missing or
// unreadable number as 0; answers why the frame cannot be used safely, or null.
const char* readFrame(const Value& value, int format, SheetFrame* frame) {
    if (!value.isDictionary()) return "not a dictionary";
    switch (format) {
        case 0:
            frame->rect = CGRectMake(value["x"].floatValue(), value["y"].floatValue(), value["width"].floatValue(),
                                     value["height"].floatValue());
            frame->offset = CGPointMake(value["offsetX"].floatValue(), value["offsetY"].floatValue());
            // Widened first: the absolute value of INT32_MIN does not fit 32 bits.
            frame->originalSize = CGSizeMake(std::llabs(int64_t{value["originalWidth"].intValue()}),
                                             std::llabs(int64_t{value["originalHeight"].intValue()}));
            break;
        case 1:
        case 2:
            frame->rect = NSRectFromString(value["frame"].stringValue());
            frame->rotated = format == 2 && value["rotated"].boolValue();
            frame->offset = NSPointFromString(value["offset"].stringValue());
            frame->originalSize = NSSizeFromString(value["sourceSize"].stringValue());
            break;
        default:
            frame->rect.origin = NSRectFromString(value["textureRect"].stringValue()).origin;
            frame->rect.size = NSSizeFromString(value["spriteSize"].stringValue());
            frame->rotated = value["textureRotated"].boolValue();
            frame->offset = NSPointFromString(value["spriteOffset"].stringValue());
            frame->originalSize = NSSizeFromString(value["spriteSourceSize"].stringValue());
            break;
    }
    const CGRect rect = frame->rect;
    for (const double length : {rect.origin.x, rect.origin.y, rect.size.width, rect.size.height, frame->offset.x,
                                frame->offset.y, frame->originalSize.width, frame->originalSize.height}) {
        if (!std::isfinite(length)) return "a number that is not finite";
        if (std::fabs(length) > kLongestFrameLength) return "a length beyond 2147483648 pixels";
    }
    return nullptr;
}

// The sheet file read as a property list, or nullopt (logged).
std::optional<Value> readSheet(const std::string& plist) {
    std::string error;
    auto sheet = Value::fromFile(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(plist), &error);
    if (!sheet) logLine("Lumora: CCSpriteFrameCache: cannot read sheet %s: %s", plist.c_str(), error.c_str());
    return sheet;
}
}  // namespace

CCSpriteFrameCache* CCSpriteFrameCache::sharedSpriteFrameCache() {
    if (!sharedCache) {
        sharedCache = makeRef<CCSpriteFrameCache>();
        ccCacheRegisterPurge(kCCCacheSpriteFrames, purgeSharedSpriteFrameCache, nullptr);
    }
    return sharedCache.get();
}

void CCSpriteFrameCache::purgeSharedSpriteFrameCache() { sharedCache.reset(); }

std::string CCSpriteFrameCache::description() const {
    return stringWithFormat("<%s = %p | num of sprite frames =  %zu>", className(*this).c_str(),
                            static_cast<const void*>(this), spriteFrames_.size());
}

void CCSpriteFrameCache::addSpriteFramesWithFile(const std::string& plist) {
    if (!loadedFilenames_.insert(plist).second) return;
    const std::optional<Value> sheet = readSheet(plist);
    if (!sheet) return;
    const Value& textureName = (*sheet)["metadata"]["textureFileName"];
    TextureReference reference;
    if (textureName.isString() && !textureName.stringValue().empty()) {
        reference.filename =
            stringByAppendingPathComponent(stringByDeletingLastPathComponent(plist), textureName.stringValue());
    } else {
        reference.filename = stringByAppendingPathExtension(stringByDeletingPathExtension(plist), "png");
    }
    addSpriteFramesWithDictionary(*sheet, reference, plist);
}

void CCSpriteFrameCache::addSpriteFramesWithFile(const std::string& plist, const std::string& textureFilename) {
    addSpriteFramesWithFile(plist, TextureReference{textureFilename, nullptr});
}

void CCSpriteFrameCache::addSpriteFramesWithFile(const std::string& plist, RefPtr<CCTexture2D> texture) {
    addSpriteFramesWithFile(plist, TextureReference{{}, std::move(texture)});
}

void CCSpriteFrameCache::addSpriteFramesWithFile(const std::string& plist, const TextureReference& reference) {
    if (!loadedFilenames_.insert(plist).second) return;
    if (const std::optional<Value> sheet = readSheet(plist)) addSpriteFramesWithDictionary(*sheet, reference, plist);
}

void CCSpriteFrameCache::addSpriteFramesWithDictionary(const Value& dictionary, const std::string& textureFilename) {
    addSpriteFramesWithDictionary(dictionary, TextureReference{textureFilename, nullptr}, "dictionary");
}

void CCSpriteFrameCache::addSpriteFramesWithDictionary(const Value& dictionary, RefPtr<CCTexture2D> texture) {
    addSpriteFramesWithDictionary(dictionary, TextureReference{{}, std::move(texture)}, "dictionary");
}

void CCSpriteFrameCache::addSpriteFramesWithDictionary(const Value& dictionary, const TextureReference& reference,
                                                       const std::string& source) {
    const Value& frames = dictionary["frames"];
    if (!frames.isDictionary()) {
        logLine("Lumora: CCSpriteFrameCache: sheet %s has no \"frames\" dictionary", source.c_str());
        return;
    }
    const int32_t format = dictionary["metadata"]["format"].intValue();
    if (format < 0 || format > 3) {
        logLine("Lumora: CCSpriteFrameCache: sheet %s has format %d, not 0 to 3", source.c_str(), format);
        return;
    }
    for (const auto& [name, value] : frames.entries()) {
        SheetFrame frame;
        if (const char* why = readFrame(value, format, &frame)) {
            logLine("Lumora: CCSpriteFrameCache: frame \"%s\" of sheet %s refused: %s", name.c_str(), source.c_str(),
                    why);
            continue;
        }
        if (format == 3) addAliases(value["aliases"], name, source);
        auto made = makeRef<CCSpriteFrame>();
        if (reference.filename.empty()) {
            made->initWithTexture(reference.texture, frame.rect, frame.rotated, frame.offset, frame.originalSize);
        } else {
            made->initWithTextureFilename(reference.filename, frame.rect, frame.rotated, frame.offset,
                                          frame.originalSize);
        }
        spriteFrames_[name] = std::move(made);
    }
}

void CCSpriteFrameCache::addAliases(const Value& aliases, const std::string& frameName, const std::string& source) {
    bool skipped = !aliases.isNone() && !aliases.isArray();
    for (const Value& alias : aliases.elements()) {
        if (alias.isString()) {
            spriteFramesAliases_[alias.stringValue()] = frameName;
        } else {
            skipped = true;
        }
    }
    if (skipped) {
        logLine("Lumora: CCSpriteFrameCache: frame \"%s\" of sheet %s: aliases that are not strings are skipped",
                frameName.c_str(), source.c_str());
    }
}

void CCSpriteFrameCache::addSpriteFrame(RefPtr<CCSpriteFrame> frame, const std::string& name) {
    CC_REQUIRE(frame, "NSInvalidArgumentException", "addSpriteFrame: null frame for name \"%s\"", name.c_str());
    spriteFrames_[name] = std::move(frame);
}

RefPtr<CCSpriteFrame> CCSpriteFrameCache::spriteFrameByName(const std::string& name) const {
    if (const auto found = spriteFrames_.find(name); found != spriteFrames_.end()) return found->second;
    if (const auto alias = spriteFramesAliases_.find(name); alias != spriteFramesAliases_.end()) {
        if (const auto found = spriteFrames_.find(alias->second); found != spriteFrames_.end()) return found->second;
    }
    return nullptr;
}

void CCSpriteFrameCache::removeSpriteFrames() {
    spriteFrames_.clear();
    spriteFramesAliases_.clear();
    loadedFilenames_.clear();
}

void CCSpriteFrameCache::removeUnusedSpriteFrames() {
    const size_t before = spriteFrames_.size();
    std::erase_if(spriteFrames_, [](const auto& entry) { return entry.second->retainCount() == 1; });
    if (spriteFrames_.size() != before) loadedFilenames_.clear();
}

void CCSpriteFrameCache::removeSpriteFrameByName(const std::string& name) {
    if (name.empty()) return;
    if (const auto alias = spriteFramesAliases_.find(name); alias != spriteFramesAliases_.end()) {
        spriteFrames_.erase(alias->second);
        spriteFramesAliases_.erase(alias);
    } else {
        spriteFrames_.erase(name);
    }
    loadedFilenames_.clear();
}

void CCSpriteFrameCache::removeSpriteFramesFromFile(const std::string& plist) {
    if (const std::optional<Value> sheet = readSheet(plist)) removeSpriteFramesFromDictionary(*sheet);
    loadedFilenames_.erase(plist);
}

void CCSpriteFrameCache::removeSpriteFramesFromDictionary(const Value& dictionary) {
    for (const auto& entry : dictionary["frames"].entries()) spriteFrames_.erase(entry.first);
}

void CCSpriteFrameCache::removeSpriteFramesFromTexture(const CCTexture2D* texture) {
    std::erase_if(spriteFrames_, [texture](const auto& entry) { return entry.second->texture() == texture; });
}
