#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/core/ccTypes.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Value.h"

// What a level's info file ("<id>.plist") says, with the values derived from it. Radii are points
// from the planet centre, times seconds.
//
// Keys: "id", "name", "is_trailer", "spawn_position", "bg_audio_name", "bg_audio_volume",
// "bg_night_audio_name", "bg_night_audio_volume", "sky_radius", "bottom_radius", "ground_radius",
// "ground_radius_offset", "ground_depth", "ground_repeat", "ground_subdivisions", "bgnear_*" and
// "bgfar_*" ("radius", "height", "radius_offset", "repeat", "subdivisions", "ratio"),
// "ground_in_front", "gravity_magnitude" and "antigravity_magnitude" (x 320; 320 when absent),
// "ground_fill_colour", "ground_fill_subdivisions", "sky_begin_top", "sky_begin_bottom",
// "sky_end_*", "sky_night_*", "night_colour", "sky_background_images" ({"count", "scale" or
// "scale_min" + "scale_max", "images"}), "length_of_day" (seconds), "time_image", "ground_image",
// "bgnear_image", "bgnear_image_lowquality", "bgfar_image", "front_texture_atlases",
// "foreground_texture_atlases", "background_texture_atlases", "sky_texture_atlases",
// "effects_texture_atlas", "particles_info" (pool name -> particle list), "geometry_file",
// "objects_file". A missing number reads 0, a missing string or container as empty.
struct LevelInfo {
    std::string levelId;
    std::string name;
    bool isTrailer = false;
    CGPoint spawnPosition = CGPointZero;
    std::string bgAudioName;
    float bgAudioVolume = 0;
    std::string bgNightAudioName;
    float bgNightAudioVolume = 0;
    float skyRadius = 0;
    float bottomRadius = 0;
    float bottomToSkyRange = 0;  // sky - bottom
    float groundRadius = 0;
    float groundRadiusOffset = 0;
    float groundInnerRadius = 0;  // ground - depth
    int32_t groundImageRepeat = 0;
    int32_t groundSubdivisions = 0;
    // A background ring, from "<ring>_radius", "_height", "_radius_offset", "_repeat",
    // "_subdivisions" and "_ratio".
    struct Ring {
        float innerRadius = 0;
        float outerRadius = 0;  // inner + height
        float radiusOffset = 0;
        int32_t imageRepeat = 0;
        int32_t subdivisions = 0;
        float ratio = 0;
    };
    Ring bgNear;  // "bgnear_*"
    Ring bgFar;   // "bgfar_*"
    bool groundInFront = false;
    float gravityMagnitude = 320;  // points per second squared
    float antiGravityMagnitude = 320;
    ccColor4B groundFillColour{0, 0, 0, 255};
    int32_t groundFillSubdivisions = 0;
    ccColor4B skyColourStartTop{0, 0, 0, 255};
    ccColor4B skyColourStartBottom{0, 0, 0, 255};
    ccColor4B skyColourEndTop{0, 0, 0, 255};
    ccColor4B skyColourEndBottom{0, 0, 0, 255};
    ccColor4B skyColourNightTop{0, 0, 0, 255};
    ccColor4B skyColourNightBottom{0, 0, 0, 255};
    ccColor4B nightColour{0, 0, 0, 255};
    Value skyBackgroundData;
    float lengthOfDay = 0;
    std::string timeImageName;
    std::string groundImageName;
    std::string bgNearImageName;
    std::string bgNearLowQualityImageName;
    std::string bgFarImageName;
    Value frontTextureAtlases;
    Value foregroundTextureAtlases;
    Value backgroundTextureAtlases;
    Value skyTextureAtlases;
    std::string effectsTextureAtlasName;
    Value particlesInfo;
    std::string levelGeometryFileName;
    std::string levelObjectsFileName;
    // The height the bee is flown home at during the night: three quarters up from the ground to
    // the sky.
    float autoFlyFlightLevel = 0;
};

// The info of a level file's dictionary (`fileName` names it in the log), or none, with one log
// line, when the level is refused: it is no dictionary or has no "id", its radii leave no room
// (0 < ground < sky, bottom < sky; the play scene fits its camera to any window), a number in it
// is not finite, its day is not longer than 0 s, or a ring has subdivisions or repeats outside
// 2..32767 (the fill 3.., the repeats 1..).
std::optional<LevelInfo> parseLevelInfo(const Value& info, const std::string& fileName);
