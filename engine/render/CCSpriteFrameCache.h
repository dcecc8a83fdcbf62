#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/render/CCSpriteFrame.h"
#include "platform/foundation/Object.h"

class CCTexture2D;
class Value;

// The process-wide registry of sprite frames by name, filled from sprite-sheet property lists.
//
// A sheet is a dictionary with "frames" (frame name -> frame dictionary) and an optional
// "metadata" dictionary ("format" 0 to 3, default 0; "textureFileName"). Every length in a sheet
// is in pixels. Frame dictionaries by format:
//   0: "x", "y", "width", "height", "offsetX", "offsetY", "originalWidth", "originalHeight"
//      (the original sizes' absolute values are used);
//   1: "frame" (rect string), "offset" (point string), "sourceSize" (size string);
//   2: as 1, plus "rotated" (bool);
//   3: "textureRect" (its origin; the size comes from "spriteSize"), "spriteSize", "spriteOffset",
//      "spriteSourceSize", "textureRotated", and optionally "aliases" (strings naming this frame).
// Numbers and bools may be property-list numbers or strings holding them; a missing or unreadable
// number reads 0, and the frame is kept as read (a rect of no area draws nothing).
//
// A sheet that is not a dictionary, has no "frames" dictionary or names a format outside 0-3 adds
// nothing and logs one line. Within a sheet, each frame stands alone: one that is not a dictionary,
// or has a number that is not finite or a length beyond 2^31 pixels, is refused with one line that
// names it and its sheet, and the others are added. Aliases that are not strings are skipped, with
// one line for their frame.
//
// Engine thread only.
class CCSpriteFrameCache : public Object {
public:
    // The shared instance, made on first use; the director's end purges it.
    static CCSpriteFrameCache* sharedSpriteFrameCache();
    // Drops the shared instance; the next use makes a new, empty one.
    static void purgeSharedSpriteFrameCache();

    CCSpriteFrameCache() = default;

    // "<CCSpriteFrameCache = 0x... | num of sprite frames =  12>".
    std::string description() const override;

    // Reads the sheet file (a resource name) once: later calls with the same name do nothing until
    // the loaded names are forgotten (by the removals below), even when the file could not be read.
    // The frames name their texture file, which loads on first use: the sheet's
    // "textureFileName" beside the sheet, else the sheet's name with the extension "png".
    void addSpriteFramesWithFile(const std::string& plist);
    // The same, with the texture file or the texture given.
    void addSpriteFramesWithFile(const std::string& plist, const std::string& textureFilename);
    void addSpriteFramesWithFile(const std::string& plist, RefPtr<CCTexture2D> texture);
    // Adds the frames of a sheet already read, naming their texture file or holding the texture
    // (which may be null). Frames replace frames of the same name.
    void addSpriteFramesWithDictionary(const Value& dictionary, const std::string& textureFilename);
    void addSpriteFramesWithDictionary(const Value& dictionary, RefPtr<CCTexture2D> texture);
    // Stores the frame under the name, replacing any frame of that name. A null frame throws
    // NamedException "NSInvalidArgumentException".
    void addSpriteFrame(RefPtr<CCSpriteFrame> frame, const std::string& name);

    // The frame of that name, else the frame an alias of that name points to, else null.
    RefPtr<CCSpriteFrame> spriteFrameByName(const std::string& name) const;

    // Removes every frame, alias and loaded sheet name.
    void removeSpriteFrames();
    // Removes the frames that nobody but the cache holds; when any went, the loaded sheet names
    // are forgotten so that the sheets can be loaded again.
    void removeUnusedSpriteFrames();
    // Removes the frame of that name, or the frame an alias of that name points to together with
    // the alias; the loaded sheet names are forgotten in every case.
    void removeSpriteFrameByName(const std::string& name);
    // Removes the frames named in the sheet file, and forgets that it was loaded.
    void removeSpriteFramesFromFile(const std::string& plist);
    // Removes the frames named in the sheet's "frames"; aliases stay.
    void removeSpriteFramesFromDictionary(const Value& dictionary);
    // Removes the frames whose texture is this one. Frames that only name a texture file load it
    // to compare.
    void removeSpriteFramesFromTexture(const CCTexture2D* texture);

protected:
    ~CCSpriteFrameCache() override = default;

private:
    // What a sheet's frames refer to their texture by: the file name when not empty, else the
    // texture (which may be null).
    struct TextureReference {
        std::string filename;
        RefPtr<CCTexture2D> texture;
    };

    void addSpriteFramesWithFile(const std::string& plist, const TextureReference& reference);
    // `source` names the sheet in the log line of a refusal.
    void addSpriteFramesWithDictionary(const Value& dictionary, const TextureReference& reference,
                                       const std::string& source);
    // Enters the strings of a format 3 frame's "aliases" as names of the frame.
    void addAliases(const Value& aliases, const std::string& frameName, const std::string& source);

    std::unordered_map<std::string, RefPtr<CCSpriteFrame>> spriteFrames_;
    std::unordered_map<std::string, std::string> spriteFramesAliases_;  // alias -> frame name
    std::unordered_set<std::string> loadedFilenames_;                   // sheet names as the callers gave them
};
