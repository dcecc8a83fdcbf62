#pragma once

#include <string>
#include <unordered_map>

#include "engine/render/CCAnimation.h"
#include "platform/foundation/Object.h"

class Value;

// The process-wide registry of frame animations by name, which can also be filled from animation
// property lists.
//
// A list is a dictionary with "animations" (name -> animation description) and an optional
// "properties" dictionary: "format" 1 or 2 (1 when "properties" is absent) and "spritesheets", the
// sprite-sheet lists loaded into the shared sprite-frame cache first. Descriptions by format:
//   1: "frames" (array of sprite-frame names), "delay" (seconds per frame); one loop;
//   2: "frames" (array of dictionaries: "spriteframe" name, "delayUnits", optional "notification"
//      dictionary as the frame's user info), "delayPerUnit" (seconds), optional "loops" (default
//      1) and "restoreOriginalFrame" (default NO).
// Numbers may be property-list numbers or strings holding them; absent ones read 0. Frame names
// the sprite-frame cache does not know are skipped. A format-2 animation none of whose frames is
// known is added without frames.
//
// A list that cannot be read, is not a dictionary, has no "animations" dictionary or names another
// format adds nothing and logs one line. An animation is left out, with one line naming it, when its
// description has no "frames" array, a delay, delay unit or loop count that is negative or not
// finite, or (format 1) no frame the sprite-frame cache knows. Animations go into the shared cache,
// whichever cache reads the list, under their names, a later one replacing an earlier one of the
// same name.
//
// Engine thread only.
class CCAnimationCache : public Object {
public:
    // The shared instance, made on first use; the director's end purges it.
    static CCAnimationCache* sharedAnimationCache();
    // Drops the shared instance; the next use makes a new, empty one.
    static void purgeSharedAnimationCache();

    CCAnimationCache();

    // "<CCAnimationCache = 0x... | num of animations =  4>".
    std::string description() const override;

    // Stores the animation under the name, replacing any of that name; a null animation throws
    // NamedException "NSInvalidArgumentException".
    void addAnimation(RefPtr<CCAnimation> animation, const std::string& name);
    void removeAnimationByName(const std::string& name);
    // The animation of that name, or null.
    RefPtr<CCAnimation> animationByName(const std::string& name) const;

    // Reads the list file (a resource name) and adds its animations to the shared cache.
    void addAnimationsWithFile(const std::string& plist);
    // Adds the animations of a list already read to the shared cache; `source` names it in log
    // lines.
    void addAnimationsWithDictionary(const Value& dictionary, const std::string& source = "dictionary");

protected:
    ~CCAnimationCache() override = default;

private:
    // Each reads the "animations" dictionary of its format.
    void parseVersion1(const Value& animations, const std::string& source);
    void parseVersion2(const Value& animations, const std::string& source);

    std::unordered_map<std::string, RefPtr<CCAnimation>> animations_;
};
