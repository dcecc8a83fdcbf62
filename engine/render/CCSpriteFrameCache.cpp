#include "engine/render/CCSpriteFrameCache.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/ccCachePurge.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"

namespace {
RefPtr<CCSpriteFrameCache> sharedCache;

// One frame of a sheet as read, lengths in pixels.
struct SheetFrame {
    const std::string* name;  // the key in the sheet, which outlives the frame
    CGRect rect;
    bool rotated = false;
    CGPoint offset;
    CGSize originalSize;
    const Value* aliases;  // an array of strings, or none
};

// The keys every frame dictionary of a format must have, as numbers or strings.
const std::vector<std::vector<const char*>> kRequiredKeys = {
    {"x", "y", "width", "height", "offsetX", "offsetY", "originalWidth", "originalHeight"},
    {"frame", "offset", "sourceSize"},
    {"frame", "offset", "sourceSize", "rotated"},
    {"spriteSize", "spriteOffset", "spriteSourceSize", "textureRect", "textureRotated"},
};

bool isFinite(CGRect rect) {
    return std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) && std::isfinite(rect.size.width) &&
           std::isfinite(rect.size.height);
}

// Reads the frame dictionary `value` of the given format (0-3) into *frame; answers why it cannot
// be used, or an empty string.
std::string readFrame(const Value& value, int format, SheetFrame* frame) {
    if (!value.isDictionary()) return "is not a dictionary";
    for (const char* key : kRequiredKeys[format]) {
        const Value& field = value[key];
        if (!field.isString() && !field.isNumber()) return stringWithFormat("has no usable \"%s\"", key);
    }
    frame->aliases = &value["aliases"];
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
            if (!frame->aliases->isNone() && !frame->aliases->isArray()) return "has \"aliases\" that is not an array";
            for (const Value& alias : frame->aliases->elements()) {
                if (!alias.isString()) return "has an alias that is not a string";
            }
            break;
    }
    const CGSize original = frame->originalSize;
    if (!isFinite(frame->rect) || !std::isfinite(frame->offset.x) || !std::isfinite(frame->offset.y) ||
        !std::isfinite(original.width) || !std::isfinite(original.height)) {
        return "has a number that is not finite";
    }
    if (frame->rect.size.width <= 0 || frame->rect.size.height <= 0) return "has a rect of no area";
    if (original.width < 0 || original.height < 0) return "has a negative original size";
    return {};
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
    // Every frame is read before any is stored, so that a broken sheet adds nothing.
    std::vector<SheetFrame> read(frames.count());
    for (size_t i = 0; i < read.size(); ++i) {
        const auto& [name, value] = frames.entries()[i];
        read[i].name = &name;
        const std::string why = readFrame(value, format, &read[i]);
        if (!why.empty()) {
            logLine("Lumora: CCSpriteFrameCache: sheet %s refused: frame \"%s\" %s", source.c_str(), name.c_str(),
                    why.c_str());
            return;
        }
    }
    for (const SheetFrame& frame : read) {
        for (const Value& alias : frame.aliases->elements()) spriteFramesAliases_[alias.stringValue()] = *frame.name;
        auto made = makeRef<CCSpriteFrame>();
        if (reference.filename.empty()) {
            made->initWithTexture(reference.texture, frame.rect, frame.rotated, frame.offset, frame.originalSize);
        } else {
            made->initWithTextureFilename(reference.filename, frame.rect, frame.rotated, frame.offset,
                                          frame.originalSize);
        }
        spriteFrames_[*frame.name] = std::move(made);
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
