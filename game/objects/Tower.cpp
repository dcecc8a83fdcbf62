#include "game/objects/Tower.h"

#include <algorithm>

#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/objects/Destructable.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
struct Piece {
    int32_t type;
    CGPoint position;  // points, tower-local
    float rotation;    // degrees, added to the tower's
};

constexpr Piece kPieces[Tower::kPieceCount] = {
    {456, {0, 48}, -45},  {456, {0, 48}, 45},    {456, {0, 144}, -45}, {456, {0, 144}, 45}, {452, {-40, 48}, 0},
    {452, {-40, 144}, 0}, {452, {40, 48}, 0},    {452, {40, 144}, 0},  {452, {0, 200}, 90},
};

struct Joint {
    bool weld;
    int pieceA, pieceB;  // 0-based
    CGPoint position;    // points, tower-local
};

constexpr Joint kJoints[] = {
    {false, 4, 0, {-40, 8.25}}, {false, 4, 1, {-40, 87.5}}, {false, 5, 2, {-40, 104}}, {false, 5, 3, {-40, 184}},
    {false, 6, 0, {40, 88}},    {false, 6, 1, {40, 8.25}},  {false, 7, 2, {40, 184}},  {false, 7, 3, {40, 104}},
    {true, 0, 1, {0, 48}},      {true, 2, 3, {0, 144}},
};
}  // namespace

RefPtr<Tower> Tower::towerWithType(int32_t type, CGPoint position, float rotation, float, float) {
    RefPtr<Tower> tower(new Tower);
    tower->initGameObjectWithType(type);
    tower->createTower(position, rotation);
    return tower;
}

void Tower::createTower(CGPoint position, float rotation) {
    setPriority(1);
    if (type() != 650) return;
    RefPtr<Destructable> pieces[kPieceCount];
    for (size_t i = 0; i < kPieceCount; ++i) {
        pieces[i] = Destructable::destructableWithType(kPieces[i].type,
                                                       localToGlobalPosition(kPieces[i].position, position, rotation),
                                                       localToGlobalRotation(kPieces[i].rotation, rotation), 1, 1);
    }
    auto bodyOf = [&pieces](int index) -> b2Body* {
        const Destructable* piece = pieces[index].get();
        return piece && piece->physicsSprite() ? piece->physicsSprite()->body() : nullptr;
    };
    for (const Joint& joint : kJoints) {
        b2Body* bodyA = bodyOf(joint.pieceA);
        b2Body* bodyB = bodyOf(joint.pieceB);
        if (!bodyA || !bodyB) continue;  // a piece that could not be built holds nothing
        const CGPoint place = localToGlobalPosition(joint.position, position, rotation);
        if (joint.weld) joinWeldBody(bodyA, bodyB, place);
        else joinRevoluteBody(bodyA, bodyB, place);
    }
    children_.reserve(kPieceCount);
    for (RefPtr<Destructable>& piece : pieces) {
        if (!piece) continue;
        piece->setParent(this);
        children_.push_back(piece);
    }
}

void Tower::onDayIsOver() {
    // A piece may leave while told; walk a copy.
    const std::vector<RefPtr<Destructable>> pieces = children_;
    for (const RefPtr<Destructable>& piece : pieces) piece->onDayIsOver();
}

void Tower::removeChild(GameObject* child) {
    const auto found = std::find_if(children_.begin(), children_.end(),
                                    [child](const RefPtr<Destructable>& piece) { return piece.get() == child; });
    if (found == children_.end()) return;
    // Held while the last piece takes the tower out of the level, which may let go of it.
    const RefPtr<Tower> keep(this);
    const RefPtr<Destructable> leaving = *found;
    children_.erase(found);
    leaving->setParent(nullptr);
    if (children_.empty()) destroy();
}

void Tower::destroy() {
    if (isGone()) return;
    markGone();
    const RefPtr<Tower> keep(this);
    if (parent()) {
        parent()->removeChild(this);
    } else if (Level* level = Level::currentLevel()) {
        level->removeGameObject(this);
    }
}

Tower::~Tower() {
    for (const RefPtr<Destructable>& piece : children_) piece->setParent(nullptr);
}

}  // namespace game
