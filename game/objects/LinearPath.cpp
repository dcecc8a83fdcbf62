#include "game/objects/LinearPath.h"

#include <cmath>

#include "game/core/Units.h"
#include "platform/foundation/Log.h"

namespace game {

namespace {

float finiteOrZero(float value) { return std::isfinite(value) ? value : 0.0f; }
}  // namespace

RefPtr<LinearPath> LinearPath::linearPathWithPoints(const std::vector<CGPoint>& points, int32_t mode) {
    RefPtr<LinearPath> path(new LinearPath);
    return path->initWithPoints(points, mode) ? path : nullptr;
}

bool LinearPath::initWithPoints(const std::vector<CGPoint>& given, int32_t mode) {
    const size_t n = given.size();
    if (mode < kOpen || mode > kPingPong) {
        logLine("Game objects: path refused: mode %d is not 0 to 3", mode);
        return false;
    }
    if (n < 2) {
        logLine("Game objects: path refused: %zu points, at least 2 are needed", n);
        return false;
    }
    for (const CGPoint& point : given) {
        if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
            logLine("Game objects: path refused: a point is not finite");
            return false;
        }
    }
    useWrap_ = mode != kOpen;
    points_ = given;
    if (mode == kAutoClose) points_.push_back(given[0]);
    if (mode == kPingPong) {
        for (size_t i = n; i < 2 * n - 1; ++i) points_.push_back(given[2 * n - 2 - i]);
    }
    const size_t count = points_.size();
    normals_.assign(count, CGPoint{1, 0});
    distances_.assign(count, 0.0f);
    percs_.assign(count, 0.0f);

    totalDistance_ = 0;
    for (size_t i = 1; i < count; ++i) {
        const double vx = points_[i].x - points_[i - 1].x;
        const double vy = points_[i].y - points_[i - 1].y;
        const float length = std::sqrt(static_cast<float>(vx * vx + vy * vy));
        totalDistance_ += length;
        distances_[i] = totalDistance_;
        if (length > units::kEpsilon) {
            normals_[i - 1] = CGPoint{vy / length, -vx / length};
        } else {
            normals_[i - 1] = i == 1 ? CGPoint{1, 0} : normals_[i - 2];
        }
        if (mode == kPingPong && i >= n) normals_[i - 1] = CGPoint{-normals_[i - 1].x, -normals_[i - 1].y};
        if (i == count - 1) normals_[i] = normals_[i - 1];
    }
    if (!(totalDistance_ > units::kEpsilon) || !std::isfinite(totalDistance_)) {
        logLine("Game objects: path refused: its length %g is not positive and finite", totalDistance_);
        return false;
    }
    for (size_t i = 0; i < count; ++i) percs_[i] = distances_[i] / totalDistance_;
    percs_[count - 1] = 1.0f;
    return true;
}

float LinearPath::normalisedPerc(float perc) const {
    perc = finiteOrZero(perc);
    if (!useWrap_) return std::fmin(std::fmax(perc, 0.0f), 1.0f);
    float wrapped = std::fmod(perc, 1.0f);
    if (perc < 0) wrapped += 1.0f;
    return wrapped;
}

CGPoint LinearPath::lookup(float perc) {
    const int32_t last = pointCount() - 1;
    int32_t i = static_cast<int32_t>(std::floor(static_cast<float>(last) * perc));
    i = i < 0 ? 0 : (i > last ? last : i);
    for (;;) {
        if (percs_[i] >= perc - units::kEpsilon && percs_[i] <= perc + units::kEpsilon) {
            lastPositionRequestIndex_ = i;
            return points_[i];
        }
        if (percs_[i] > perc) {
            if (i == 0) break;  // perc below 0 cannot reach here; kept safe against rounding
            --i;
            continue;
        }
        if (i == last) break;
        if (percs_[i + 1] > perc) {
            const float f = (perc - percs_[i]) / (percs_[i + 1] - percs_[i]);
            lastPositionRequestIndex_ = i;
            const CGPoint a = points_[i];
            const CGPoint b = points_[i + 1];
            return CGPoint{a.x * (1 - f) + b.x * f, a.y * (1 - f) + b.y * f};
        }
        ++i;
    }
    lastPositionRequestIndex_ = i;
    return points_[i];
}

CGPoint LinearPath::positionAtDistance(float distance) {
    return positionAtDistancePerc(finiteOrZero(distance) / totalDistance_);
}

CGPoint LinearPath::positionAtDistancePerc(float perc) { return lookup(normalisedPerc(perc)); }

CGPoint LinearPath::normalAtDistance(float distance) {
    positionAtDistance(distance);
    return normalForLastPositionRequest();
}

CGPoint LinearPath::normalAtDistancePerc(float perc) {
    positionAtDistancePerc(perc);
    return normalForLastPositionRequest();
}

PathPosition LinearPath::pathPositionAtDistance(float distance) {
    PathPosition result{CGPoint{}, 0, 0, CGPoint{}};
    positionAtDistance(distance, &result);
    return result;
}

PathPosition LinearPath::pathPositionAtDistancePerc(float perc) {
    PathPosition result{CGPoint{}, 0, 0, CGPoint{}};
    positionAtDistancePerc(perc, &result);
    return result;
}

void LinearPath::positionAtDistance(float distance, PathPosition* pathPosition) {
    pathPosition->distance = distance;
    positionAtDistanceDelta(0, pathPosition);
}

void LinearPath::positionAtDistancePerc(float perc, PathPosition* pathPosition) {
    pathPosition->distancePerc = perc;
    positionAtDistancePercDelta(0, pathPosition);
}

void LinearPath::positionAtDistanceDelta(float delta, PathPosition* pathPosition) {
    complete(finiteOrZero(pathPosition->distance) / totalDistance_ + finiteOrZero(delta) / totalDistance_,
             pathPosition);
}

void LinearPath::positionAtDistancePercDelta(float delta, PathPosition* pathPosition) {
    complete(finiteOrZero(pathPosition->distancePerc) + finiteOrZero(delta), pathPosition);
}

void LinearPath::complete(float perc, PathPosition* pathPosition) {
    const float normalised = normalisedPerc(perc);
    pathPosition->distancePerc = normalised;
    pathPosition->distance = totalDistance_ * normalised;
    pathPosition->position = lookup(normalised);
    pathPosition->normal = normals_[lastPositionRequestIndex_];
}

}  // namespace game
