#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Object.h"

class CCAction;
class CCAnimation;
class CCSprite;
class Value;

// Builds and plays the simple frame animations that level and object data describe. At most one
// runs on a sprite at a time, as the action tagged kSimpleAnimationTag.
//
// Animation dictionary:
//   "frame_count"      frames n (required; absent or <= 0: no animation)
//   "image_name"       base name of the frames when the caller gives none
//   "fps"              frames per second (used when > 0)
//   "frame_time"       seconds per frame, when "fps" does not apply (used when > 0)
//   "frame_time_min", "frame_time_max"  both: a delay drawn once between them
//   "mode"             "forwards" 1..n (default), "backwards" n..1, "pingpong" 1..n then n-1..2,
//                      "custom" the numbers of "frame_sequence"; any other text: no frames
//   "restore_original_frame"  show the earlier frame again when the animation ends (default YES)
// Without a usable delay a frame lasts 1 s. Frame k of base name B is the sprite frame
// "B_k.png" of the shared sprite-frame cache; frames missing there are left out (one log line).
class AnimationUtils {
public:
    static constexpr int64_t kSimpleAnimationTag = 1234;
    // More frames, or a longer frame sequence, than this are refused (one log line).
    static constexpr int64_t kMaxFrames = 4096;

    // The shared animation cache's animation of that name when there is one (the data is not
    // read again), else a new one built from the dictionary and cached under the name; null
    // without a dictionary or frames. An empty base name means "image_name".
    static RefPtr<CCAnimation> createSimpleAnimation(const std::string& name, const Value& animationData,
                                                     const std::string& baseImageName);

    // Stops the sprite's simple animation and plays this one (looped by default). A one-frame
    // animation only shows its frame. Null animation or sprite: nothing.
    static void playSimpleAnimation(RefPtr<CCAnimation> animation, CCSprite* sprite, bool loop = true);
    // The first animation once, then the second (repeated when looped); both are needed.
    static void playSimpleAnimationSequence(RefPtr<CCAnimation> first, RefPtr<CCAnimation> second, CCSprite* sprite,
                                            bool loop = true);
    static void stopSimpleAnimation(CCSprite* sprite);
    // Stops it and, for an idle frame of 0 or more within the animation, shows that frame.
    static void stopSimpleAnimation(CCSprite* sprite, const CCAnimation* animation, int32_t idleFrame);
    static bool hasSimpleAnimation(CCSprite* sprite);
    // The running simple-animation action, or null.
    static CCAction* getSimpleAnimation(CCSprite* sprite);
};
