#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/actions/grid/CCAccelAmplitude.h"
#include "engine/actions/grid/CCAccelDeccelAmplitude.h"
#include "engine/actions/grid/CCDeccelAmplitude.h"
#include "engine/actions/grid/CCFadeOutBLTiles.h"
#include "engine/actions/grid/CCFadeOutDownTiles.h"
#include "engine/actions/grid/CCFadeOutTRTiles.h"
#include "engine/actions/grid/CCFadeOutUpTiles.h"
#include "engine/actions/grid/CCFlipX3D.h"
#include "engine/actions/grid/CCFlipY3D.h"
#include "engine/actions/grid/CCJumpTiles3D.h"
#include "engine/actions/grid/CCLens3D.h"
#include "engine/actions/grid/CCLiquid.h"
#include "engine/actions/grid/CCPageTurn3D.h"
#include "engine/actions/grid/CCReuseGrid.h"
#include "engine/actions/grid/CCRipple3D.h"
#include "engine/actions/grid/CCShaky3D.h"
#include "engine/actions/grid/CCShakyTiles3D.h"
#include "engine/actions/grid/CCShatteredTiles3D.h"
#include "engine/actions/grid/CCShuffleTiles.h"
#include "engine/actions/grid/CCSplitCols.h"
#include "engine/actions/grid/CCSplitRows.h"
#include "engine/actions/grid/CCStopGrid.h"
#include "engine/actions/grid/CCTurnOffTiles.h"
#include "engine/actions/grid/CCTwirl.h"
#include "engine/actions/grid/CCWaves.h"
#include "engine/actions/grid/CCWaves3D.h"
#include "engine/actions/grid/CCWavesTiles3D.h"
#include "engine/actions/interval/CCMoveBy.h"
#include "platform/foundation/NamedException.h"
#include "support/GLSceneTest.h"

namespace {

// Grid actions started by hand on a node of the 320 x 240 window and updated at chosen progress;
// a 16 x 12 grid has 20-point cells.
class CCGridActionsGLTest : public GLSceneTest {
protected:
    void TearDown() override {
        // The grids let go of their GL objects while the context is still there.
        started_.clear();
        node_.reset();
        GLSceneTest::TearDown();
    }

    template <class Action>
    Action* start(RefPtr<Action> action) {
        action->startWithTarget(node_.get());
        started_.push_back(action);
        return action.get();
    }

    CCGridBase* grid() const { return dynamic_cast<CCGridBase*>(node_->grid()); }
    CCGrid3D* lattice() const { return dynamic_cast<CCGrid3D*>(node_->grid()); }
    CCTiledGrid3D* tiles() const { return dynamic_cast<CCTiledGrid3D*>(node_->grid()); }

    // Cells of the tiled grid whose tile is hidden (all corners at the origin).
    std::set<std::pair<int64_t, int64_t>> offTiles() const {
        std::set<std::pair<int64_t, int64_t>> off;
        const ccGridSize size = tiles()->gridSize();
        for (int64_t i = 0; i < size.x; ++i) {
            for (int64_t j = 0; j < size.y; ++j) {
                if (tiles()->tile({i, j}).tr == ccVertex3F{}) off.insert({i, j});
            }
        }
        return off;
    }

    RefPtr<CCNode> node_ = CCNode::node();
    std::vector<RefPtr<CCAction>> started_;
};

std::string thrownName(const std::function<void()>& call) {
    try {
        call();
    } catch (const NamedException& e) {
        return e.name() + " / " + e.reason();
    }
    return "";
}

void expectVertex(ccVertex3F got, ccVertex3F expected, const std::string& what) {
    EXPECT_NEAR(got.x, expected.x, 1e-3) << what;
    EXPECT_NEAR(got.y, expected.y, 1e-3) << what;
    EXPECT_NEAR(got.z, expected.z, 1e-3) << what;
}

TEST_F(CCGridActionsGLTest, ASecondEffectReplacesTheGridUnlessItMayReuseIt) {
    start(CCWaves3D::actionWithWaves(1, 10, {16, 12}, 1))->update(0);
    const RefPtr<CCNodeGrid> first(node_->grid());
    const float deformed = lattice()->vertex({5, 0}).z;
    start(CCWaves3D::actionWithWaves(1, 10, {16, 12}, 1));
    EXPECT_NE(node_->grid(), first.get());
    EXPECT_FALSE(first->active());
    EXPECT_EQ(lattice()->originalVertex({5, 0}).z, 0);

    lattice()->setVertex({5, 0}, {100, 0, deformed});
    start(CCReuseGrid::actionWithTimes(1));
    const CCNodeGrid* kept = node_->grid();
    start(CCRipple3D::actionWithPosition({0, 0}, 1, 1, 1, {16, 12}, 1));
    EXPECT_EQ(node_->grid(), kept);
    EXPECT_EQ(grid()->reuseGrid(), 0);
    EXPECT_EQ(lattice()->originalVertex({5, 0}).z, deformed);
}

TEST_F(CCGridActionsGLTest, AGridOfAnotherSizeKindOrStateCannotBeReused) {
    const std::function<void()> mismatches[] = {
        [&] { start(CCWaves3D::actionWithWaves(1, 10, {8, 6}, 1)); },
        [&] { start(CCWavesTiles3D::actionWithWaves(1, 10, {16, 12}, 1)); },
        [&] {
            grid()->setActive(false);
            start(CCWaves3D::actionWithWaves(1, 10, {16, 12}, 1));
        },
    };
    for (const auto& mismatch : mismatches) {
        start(CCWaves3D::actionWithWaves(1, 10, {16, 12}, 1));
        grid()->setReuseGrid(1);
        EXPECT_EQ(thrownName(mismatch), "GridBase / Cannot reuse grid");
    }
}

TEST_F(CCGridActionsGLTest, StopAndReuseActOnlyOnAnActiveGrid) {
    start(CCStopGrid::action());
    start(CCReuseGrid::actionWithTimes(2));
    EXPECT_EQ(node_->grid(), nullptr);
    start(CCSplitRows::actionWithRows(2, 1));
    start(CCStopGrid::action());
    EXPECT_FALSE(grid()->active());
    start(CCReuseGrid::actionWithTimes(2));
    EXPECT_EQ(grid()->reuseGrid(), 0);
}

TEST_F(CCGridActionsGLTest, AmplitudeActionsDriveTheInnerEffectsRate) {
    using Driver = RefPtr<CCAccelDeccelAmplitude>;
    const struct {
        Driver (*make)(RefPtr<CCActionInterval>, float);
        float rate;
        std::vector<float> expected;  // at t = 0, 0.25, 0.5, 0.75, 1
    } cases[] = {
        {CCAccelDeccelAmplitude::actionWithAction, 1, {0, 0.5f, 1, 0.5f, 0}},
        {[](RefPtr<CCActionInterval> a, float d) -> Driver { return CCAccelAmplitude::actionWithAction(a, d); }, 2,
         {0, 0.0625f, 0.25f, 0.5625f, 1}},
        {[](RefPtr<CCActionInterval> a, float d) -> Driver { return CCDeccelAmplitude::actionWithAction(a, d); }, 1,
         {1, 0.75f, 0.5f, 0.25f, 0}},
    };
    for (const auto& each : cases) {
        RefPtr<CCWaves3D> waves = CCWaves3D::actionWithWaves(1, 10, {4, 4}, 1);
        RefPtr<CCAccelDeccelAmplitude> driver = each.make(waves, 1);
        driver->setRate(each.rate);
        start(driver);
        for (size_t k = 0; k < each.expected.size(); ++k) {
            driver->update(0.25f * static_cast<float>(k));
            EXPECT_FLOAT_EQ(waves->amplitudeRate(), each.expected[k]) << className(*driver) << " at step " << k;
        }
    }
    RefPtr<CCAccelAmplitude> notAnEffect = CCAccelAmplitude::actionWithAction(CCMoveBy::actionWithDuration(1, {}), 1);
    start(notAnEffect);
    EXPECT_EQ(thrownName([&] { notAnEffect->update(0.5f); }),
              "IntervalAction (Amplitude) / Abstract class needs implementation");
}

// Lattice points at chosen progress, worked out by hand from each effect's rule; A = 10.
TEST_F(CCGridActionsGLTest, VertexEffectsMoveLatticePointsAsTheirRulesSay) {
    const float s1 = std::sin(1.0f) * 10, pre = 0.6f;
    const float lens = 50 * std::pow(pre, 0.7f) * 0.7f;
    const float c1 = std::cos(1.0f), n1 = std::sin(1.0f);
    const float flipShift = 320 - 320 * std::cos(std::numbers::pi_v<float> / 4);
    const struct {
        const char* what;
        std::function<RefPtr<CCGrid3DAction>()> make;
        float t;
        ccGridSize at;
        ccVertex3F expected;
    } cases[] = {
        {"waves3D", [] { return CCWaves3D::actionWithWaves(1, 10, {16, 12}, 1); }, 0, {5, 0}, {100, 0, s1}},
        {"waves3D quarter", [] { return CCWaves3D::actionWithWaves(1, 10, {16, 12}, 1); }, 0.25f, {5, 0},
         {100, 0, std::cos(1.0f) * 10}},
        {"liquid inside", [] { return CCLiquid::actionWithWaves(1, 10, {16, 12}, 1); }, 0, {5, 5},
         {100 + s1, 100 + s1, 0}},
        {"liquid border", [] { return CCLiquid::actionWithWaves(1, 10, {16, 12}, 1); }, 0, {0, 5}, {0, 100, 0}},
        {"waves both", [] { return CCWaves::actionWithWaves(1, 10, true, true, {16, 12}, 1); }, 0, {5, 0},
         {100, s1, 0}},
        {"waves vertical", [] { return CCWaves::actionWithWaves(1, 10, false, true, {16, 12}, 1); }, 0, {0, 5},
         {s1, 100, 0}},
        {"waves neither", [] { return CCWaves::actionWithWaves(1, 10, false, false, {16, 12}, 1); }, 0.3f, {4, 5},
         {80, 100, 0}},
        {"ripple centre", [] { return CCRipple3D::actionWithPosition({100, 100}, 50, 1, 10, {16, 12}, 1); }, 0,
         {5, 5}, {100, 100, std::sin(5.0f) * 10}},
        {"ripple inside", [] { return CCRipple3D::actionWithPosition({100, 100}, 50, 1, 10, {16, 12}, 1); }, 0,
         {5, 6}, {100, 120, std::sin(3.0f) * 10 * 0.36f}},
        {"ripple outside", [] { return CCRipple3D::actionWithPosition({100, 100}, 50, 1, 10, {16, 12}, 1); }, 0,
         {5, 8}, {100, 160, 0}},
        {"lens centre", [] { return CCLens3D::actionWithPosition({100, 100}, 50, {16, 12}, 1); }, 0, {5, 5},
         {100, 100, 0}},
        {"lens inside", [] { return CCLens3D::actionWithPosition({100, 100}, 50, {16, 12}, 1); }, 0, {5, 6},
         {100, 120, lens}},
        {"twirl middle", [] { return CCTwirl::actionWithPosition({160, 120}, 1, 10, {16, 12}, 1); }, 0.25f,
         {8, 6}, {160, 120, 0}},
        // Ten cells from the middle: turned by -1 radian about the centre.
        {"twirl corner", [] { return CCTwirl::actionWithPosition({160, 120}, 1, 1, {16, 12}, 1); }, 0.25f,
         {0, 0}, {160 - 160 * c1 + 120 * n1, 120 - 120 * c1 - 160 * n1, 0}},
        {"shaky range 0", [] { return CCShaky3D::actionWithRange(0, true, {16, 12}, 1); }, 0.5f, {3, 3},
         {60, 60, 0}},
        {"flipX half, moving", [] { return CCFlipX3D::actionWithDuration(1); }, 0.5f, {0, 1},
         {flipShift, 240, 80}},
        {"flipX half, other", [] { return CCFlipX3D::actionWithDuration(1); }, 0.5f, {1, 0},
         {320 - flipShift, 0, -80}},
        {"pageTurn start", [] { return CCPageTurn3D::actionWithSize({16, 12}, 1); }, 0, {7, 3}, {140, 60, 0.5f}},
    };
    for (const auto& each : cases) {
        start(each.make())->update(each.t);
        expectVertex(lattice()->vertex(each.at), each.expected, each.what);
    }
}

TEST_F(CCGridActionsGLTest, FlipsEndMirroredAndThePageEndsFullyTurned) {
    start(CCFlipX3D::actionWithDuration(1))->update(1);
    EXPECT_NEAR(lattice()->vertex({0, 0}).x, 320, 1e-3);
    EXPECT_NEAR(lattice()->vertex({1, 1}).x, 0, 1e-3);
    start(CCFlipY3D::actionWithDuration(1))->update(1);
    EXPECT_NEAR(lattice()->vertex({0, 0}).y, 240, 1e-3);
    EXPECT_NEAR(lattice()->vertex({1, 1}).y, 0, 1e-3);
    EXPECT_EQ(thrownName([] { CCFlipY3D().initWithSize({2, 1}, 1); }), "FlipX3D / Grid size must be (1,1)");

    start(CCPageTurn3D::actionWithSize({16, 12}, 1))->update(1);
    const float apex = -100 - 500 * 0.75f * 0.75f;
    for (int64_t i = 0; i <= 16; ++i) {
        for (int64_t j = 0; j <= 12; ++j) {
            const ccVertex3F p = lattice()->originalVertex({i, j});
            expectVertex(lattice()->vertex({i, j}), {0, std::hypot(p.x, p.y - apex) + apex, 0.5f},
                         "page turned at " + std::to_string(i) + ", " + std::to_string(j));
        }
    }
}

TEST_F(CCGridActionsGLTest, ShakesStayWithinTheirRangeAndShatteringHappensOnce) {
    for (int32_t range : {0, 1, 4}) {
        start(CCShakyTiles3D::actionWithRange(range, true, {4, 4}, 1))->update(0.5f);
        const ccQuad3 q = tiles()->tile({1, 2}), o = tiles()->originalTile({1, 2});
        for (float d : {q.bl.x - o.bl.x, q.tr.y - o.tr.y, q.tl.z - o.tl.z}) {
            EXPECT_GE(d, -range) << range;
            EXPECT_LE(d, range == 0 ? 0 : range - 1) << range;
        }
    }
    CCShatteredTiles3D* shatter = start(CCShatteredTiles3D::actionWithRange(30, false, {4, 4}, 1));
    shatter->update(0.1f);
    const ccQuad3 fallen = tiles()->tile({3, 3});
    EXPECT_NE(fallen.bl, tiles()->originalTile({3, 3}).bl);
    tiles()->setTile({3, 3}, tiles()->originalTile({3, 3}));
    shatter->update(0.9f);
    EXPECT_EQ(tiles()->tile({3, 3}).bl, tiles()->originalTile({3, 3}).bl);
}

TEST_F(CCGridActionsGLTest, FadesShrinkHideOrKeepTilesBehindTheirFronts) {
    enum State { on, shrunk, off };
    const struct {
        const char* what;
        std::function<RefPtr<CCTiledGrid3DAction>()> make;
        float t;
        ccGridSize at;
        State expected;
    } cases[] = {
        {"TR start", [] { return CCFadeOutTRTiles::actionWithSize({4, 4}, 1); }, 0, {0, 0}, on},
        {"TR origin", [] { return CCFadeOutTRTiles::actionWithSize({4, 4}, 1); }, 0.5f, {0, 0}, off},
        {"TR behind", [] { return CCFadeOutTRTiles::actionWithSize({4, 4}, 1); }, 0.5f, {1, 1}, shrunk},
        {"TR on the front", [] { return CCFadeOutTRTiles::actionWithSize({4, 4}, 1); }, 0.5f, {2, 2}, on},
        {"BL origin", [] { return CCFadeOutBLTiles::actionWithSize({4, 4}, 1); }, 0.9f, {0, 0}, on},
        {"BL far", [] { return CCFadeOutBLTiles::actionWithSize({4, 4}, 1); }, 0.5f, {3, 3}, shrunk},
        {"BL end", [] { return CCFadeOutBLTiles::actionWithSize({4, 4}, 1); }, 1, {3, 3}, off},
        {"up bottom", [] { return CCFadeOutUpTiles::actionWithSize({4, 4}, 1); }, 0.5f, {1, 0}, off},
        {"up above", [] { return CCFadeOutUpTiles::actionWithSize({4, 4}, 1); }, 0.5f, {1, 3}, on},
        {"down bottom", [] { return CCFadeOutDownTiles::actionWithSize({4, 4}, 1); }, 1, {2, 0}, on},
        {"down top", [] { return CCFadeOutDownTiles::actionWithSize({4, 4}, 1); }, 0.5f, {2, 3}, shrunk},
    };
    for (const auto& each : cases) {
        start(each.make())->update(each.t);
        const ccQuad3 q = tiles()->tile(each.at), o = tiles()->originalTile(each.at);
        const State state = q.tr == ccVertex3F{} ? off : q.tr == o.tr && q.bl == o.bl ? on : shrunk;
        EXPECT_EQ(state, each.expected) << each.what;
        if (state != shrunk) continue;
        // Shrunk about the centre (or flattened about the middle line): same middle, smaller.
        EXPECT_NEAR(q.bl.y + q.tr.y, o.bl.y + o.tr.y, 1e-3) << each.what;
        EXPECT_LT(q.tr.y - q.bl.y, o.tr.y - o.bl.y) << each.what;
    }
}

TEST_F(CCGridActionsGLTest, TurnOffTurnsOffItsShareOfTilesInASeededOrder) {
    std::set<std::pair<int64_t, int64_t>> first;
    for (int run = 0; run < 2; ++run) {
        start(CCTurnOffTiles::actionWithSeed(11, {4, 4}, 1))->update(0.5f);
        EXPECT_EQ(offTiles().size(), 8u);
        if (run == 0) first = offTiles();
    }
    EXPECT_EQ(offTiles(), first);
    start(CCTurnOffTiles::actionWithSeed(-1, {4, 4}, 1))->update(0.5f);
    EXPECT_NE(offTiles(), first);

    CCTurnOffTiles* single = start(CCTurnOffTiles::actionWithSeed(1, {1, 1}, 1));
    single->update(0.999f);
    EXPECT_TRUE(offTiles().empty());
    single->update(1);
    EXPECT_EQ(offTiles().size(), 1u);
}

TEST_F(CCGridActionsGLTest, ShuffledTilesSlideOntoAPermutationOfTheCells) {
    std::vector<ccGridSize> firstDeltas;
    for (int run = 0; run < 2; ++run) {
        CCShuffleTiles* shuffle = start(CCShuffleTiles::actionWithSeed(5, {3, 2}, 1));
        shuffle->update(1);
        std::set<std::pair<double, double>> destinations;
        std::vector<ccGridSize> deltas;
        for (int64_t i = 0; i < 3; ++i) {
            for (int64_t j = 0; j < 2; ++j) {
                const ccGridSize delta = shuffle->getDelta({i, j});
                deltas.push_back(delta);
                // Tiles slide in whole points: each ends within a point of its destination cell.
                const ccVertex3F bl = tiles()->tile({i, j}).bl;
                const ccVertex3F there = tiles()->originalTile({i + delta.x, j + delta.y}).bl;
                EXPECT_NEAR(bl.x, there.x, 1) << i << ", " << j;
                EXPECT_EQ(bl.y, there.y) << i << ", " << j;
                const float moved = bl.x - tiles()->originalTile({i, j}).bl.x;
                EXPECT_EQ(moved, std::trunc(moved)) << i << ", " << j;
                destinations.insert({double(i + delta.x), double(j + delta.y)});
            }
        }
        EXPECT_EQ(destinations.size(), 6u);
        EXPECT_NE(std::count(deltas.begin(), deltas.end(), ccGridSize{}), 6);
        if (run == 0) firstDeltas = deltas;
        for (size_t k = 0; k < deltas.size(); ++k) EXPECT_EQ(deltas[k], firstDeltas[k]);
    }
}

TEST_F(CCGridActionsGLTest, SplitsAndTileWavesMoveWholeTiles) {
    const struct {
        const char* what;
        std::function<RefPtr<CCTiledGrid3DAction>()> make;
        float t;
        ccGridSize at;
        ccVertex3F offset;
    } cases[] = {
        {"rows 0", [] { return CCSplitRows::actionWithRows(3, 1); }, 0.5f, {0, 0}, {-160, 0, 0}},
        {"rows 1", [] { return CCSplitRows::actionWithRows(3, 1); }, 0.5f, {0, 1}, {160, 0, 0}},
        {"rows 2", [] { return CCSplitRows::actionWithRows(3, 1); }, 0.5f, {0, 2}, {-160, 0, 0}},
        {"cols 1", [] { return CCSplitCols::actionWithCols(3, 1); }, 0.5f, {1, 0}, {0, 120, 0}},
        {"cols 2", [] { return CCSplitCols::actionWithCols(3, 1); }, 1, {2, 0}, {0, -240, 0}},
        {"jump even", [] { return CCJumpTiles3D::actionWithJumps(1, 10, {4, 4}, 1); }, 0.25f, {1, 1}, {0, 0, 10}},
        {"jump odd", [] { return CCJumpTiles3D::actionWithJumps(1, 10, {4, 4}, 1); }, 0.25f, {1, 0}, {0, 0, -10}},
        // The bottom-left corner of tile (1, 1) is at (80, 120): sin(2) x 10.
        {"tile waves", [] { return CCWavesTiles3D::actionWithWaves(1, 10, {4, 2}, 1); }, 0, {1, 1},
         {0, 0, std::sin(2.0f) * 10}},
    };
    for (const auto& each : cases) {
        start(each.make())->update(each.t);
        const ccQuad3 q = tiles()->tile(each.at), o = tiles()->originalTile(each.at);
        for (auto [got, original] : {std::pair{q.bl, o.bl}, {q.br, o.br}, {q.tl, o.tl}, {q.tr, o.tr}}) {
            expectVertex(got, {original.x + each.offset.x, original.y + each.offset.y, each.offset.z}, each.what);
        }
    }
}

}  // namespace
