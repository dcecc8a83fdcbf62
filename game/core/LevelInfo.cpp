#include "game/core/LevelInfo.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "game/core/CCDonut.h"
#include "game/core/ColourUtils.h"
#include "platform/foundation/Log.h"

namespace {

// Gravity and anti-gravity are given as multiples of this, points per second squared; absent,
// they are 1.
constexpr float kGravityUnit = 320.0f;
// The night flight's height between the ground (0) and the sky (1).
constexpr float kAutoFlyHeight = 0.75f;

ccColor4B colourOf(const Value& value) { return ColourUtils::ccColor4BFromString(value.stringValue()); }

float magnitudeOf(const Value& value) { return value.isNone() ? kGravityUnit : value.floatValue() * kGravityUnit; }

LevelInfo::Ring readRing(const Value& info, const std::string& ring) {
    LevelInfo::Ring r;
    r.innerRadius = info[ring + "_radius"].floatValue();
    r.outerRadius = r.innerRadius + info[ring + "_height"].floatValue();
    r.radiusOffset = info[ring + "_radius_offset"].floatValue();
    r.imageRepeat = info[ring + "_repeat"].intValue();
    r.subdivisions = info[ring + "_subdivisions"].intValue();
    r.ratio = info[ring + "_ratio"].floatValue();
    return r;
}

LevelInfo read(const Value& info) {
    LevelInfo l;
    l.levelId = info["id"].stringValue();
    l.name = info["name"].stringValue();
    l.isTrailer = info["is_trailer"].boolValue();
    l.spawnPosition = CGPointFromString(info["spawn_position"].stringValue());
    l.bgAudioName = info["bg_audio_name"].stringValue();
    l.bgAudioVolume = info["bg_audio_volume"].floatValue();
    l.bgNightAudioName = info["bg_night_audio_name"].stringValue();
    l.bgNightAudioVolume = info["bg_night_audio_volume"].floatValue();
    l.skyRadius = info["sky_radius"].floatValue();
    l.bottomRadius = info["bottom_radius"].floatValue();
    l.bottomToSkyRange = l.skyRadius - l.bottomRadius;
    l.groundRadius = info["ground_radius"].floatValue();
    l.groundRadiusOffset = info["ground_radius_offset"].floatValue();
    l.groundInnerRadius = l.groundRadius - info["ground_depth"].floatValue();
    l.groundImageRepeat = info["ground_repeat"].intValue();
    l.groundSubdivisions = info["ground_subdivisions"].intValue();
    l.bgNear = readRing(info, "bgnear");
    l.bgFar = readRing(info, "bgfar");
    l.groundInFront = info["ground_in_front"].boolValue();
    l.gravityMagnitude = magnitudeOf(info["gravity_magnitude"]);
    l.antiGravityMagnitude = magnitudeOf(info["antigravity_magnitude"]);
    l.groundFillColour = colourOf(info["ground_fill_colour"]);
    l.groundFillSubdivisions = info["ground_fill_subdivisions"].intValue();
    l.skyColourStartTop = colourOf(info["sky_begin_top"]);
    l.skyColourStartBottom = colourOf(info["sky_begin_bottom"]);
    l.skyColourEndTop = colourOf(info["sky_end_top"]);
    l.skyColourEndBottom = colourOf(info["sky_end_bottom"]);
    l.skyColourNightTop = colourOf(info["sky_night_top"]);
    l.skyColourNightBottom = colourOf(info["sky_night_bottom"]);
    l.nightColour = colourOf(info["night_colour"]);
    l.skyBackgroundData = info["sky_background_images"];
    l.lengthOfDay = info["length_of_day"].floatValue();
    l.timeImageName = info["time_image"].stringValue();
    l.groundImageName = info["ground_image"].stringValue();
    l.bgNearImageName = info["bgnear_image"].stringValue();
    l.bgNearLowQualityImageName = info["bgnear_image_lowquality"].stringValue();
    l.bgFarImageName = info["bgfar_image"].stringValue();
    l.frontTextureAtlases = info["front_texture_atlases"];
    l.foregroundTextureAtlases = info["foreground_texture_atlases"];
    l.backgroundTextureAtlases = info["background_texture_atlases"];
    l.skyTextureAtlases = info["sky_texture_atlases"];
    l.effectsTextureAtlasName = info["effects_texture_atlas"].stringValue();
    l.particlesInfo = info["particles_info"];
    l.levelGeometryFileName = info["geometry_file"].stringValue();
    l.levelObjectsFileName = info["objects_file"].stringValue();
    l.autoFlyFlightLevel = l.groundRadius + kAutoFlyHeight * (l.skyRadius - l.groundRadius);
    return l;
}

// Whether every later formula can divide by and draw with the level's numbers; false (logged)
// when not.
bool isPlayable(const LevelInfo& l) {
    const char* id = l.levelId.c_str();
    const float numbers[] = {l.skyRadius,          l.bottomRadius,          l.groundRadius,       l.groundRadiusOffset,
                             l.groundInnerRadius,  l.bgNear.innerRadius,    l.bgNear.outerRadius, l.bgNear.radiusOffset,
                             l.bgNear.ratio,       l.bgFar.innerRadius,     l.bgFar.outerRadius,  l.bgFar.radiusOffset,
                             l.bgFar.ratio,        l.gravityMagnitude,      l.antiGravityMagnitude, l.lengthOfDay,
                             l.bgAudioVolume,      l.bgNightAudioVolume};
    if (!std::all_of(std::begin(numbers), std::end(numbers), [](float n) { return std::isfinite(n); }) ||
        !std::isfinite(l.spawnPosition.x) || !std::isfinite(l.spawnPosition.y)) {
        logLine("Level: \"%s\" is refused: a number in it is not finite", id);
        return false;
    }
    if (!(l.groundRadius > 0 && l.skyRadius > l.groundRadius && l.bottomRadius < l.skyRadius)) {
        logLine("Level: \"%s\" is refused: its radii leave no room (ground %g, bottom %g, sky %g; the sky must be "
                "above the ground and above the bottom)",
                id, l.groundRadius, l.bottomRadius, l.skyRadius);
        return false;
    }
    if (!(l.lengthOfDay > 0)) {
        logLine("Level: \"%s\" is refused: its day lasts %g s", id, l.lengthOfDay);
        return false;
    }
    // The rings' counts, within the bounds the rings themselves take.
    constexpr int32_t kMostParts = CCDonut::kMaxSubDivisions;
    constexpr int32_t kMostRepeats = CCDonut::kMaxRepeatCount;
    const struct {
        const char* key;
        int32_t value;
        int32_t least;
        int32_t most;
    } counts[] = {{"ground_subdivisions", l.groundSubdivisions, 2, kMostParts},
                  {"bgnear_subdivisions", l.bgNear.subdivisions, 2, kMostParts},
                  {"bgfar_subdivisions", l.bgFar.subdivisions, 2, kMostParts},
                  {"ground_fill_subdivisions", l.groundFillSubdivisions, 3, kMostParts},
                  {"ground_repeat", l.groundImageRepeat, 1, kMostRepeats},
                  {"bgnear_repeat", l.bgNear.imageRepeat, 1, kMostRepeats},
                  {"bgfar_repeat", l.bgFar.imageRepeat, 1, kMostRepeats}};
    for (const auto& entry : counts) {
        if (entry.value < entry.least || entry.value > entry.most) {
            logLine("Level: \"%s\" is refused: \"%s\" is %d, not %d to %d", id, entry.key, entry.value, entry.least,
                    entry.most);
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<LevelInfo> parseLevelInfo(const Value& info, const std::string& fileName) {
    if (!info.isDictionary()) {
        logLine("Level: \"%s\" is refused: it holds no level info", fileName.c_str());
        return std::nullopt;
    }
    if (!info["id"].isString() || info["id"].stringValue().empty()) {
        logLine("Level: \"%s\" is refused: it has no \"id\"", fileName.c_str());
        return std::nullopt;
    }
    LevelInfo level = read(info);
    if (!isPlayable(level)) return std::nullopt;
    return level;
}
