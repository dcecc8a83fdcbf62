// The flight log: the rank emblem and the new rank's star, the statistics, and the rank bee's
// wing beat and blink.

#include "app/menu/VantrelMenuScreenData.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCArray.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCSprite.h"
#include "tests/app/menu/MenuProgressTestSupport.h"

namespace {

using menutest::catalogue;
using menutest::catalogueLevel;

class FlightLogTest : public menutest::MenuProgressTest {
protected:
    void SetUp() override {
        MenuProgressTest::SetUp();
        makeProgress(catalogue({{"g", {catalogueLevel("g_a")}}}));
    }

    // A menu built (not shown) over the progress after a game that did or did not raise the rank.
    RefPtr<VantrelMenuLayer> buildMenu(bool newRank) {
        VantrelGlobal::sharedInstance()->setLastLevelHasNewRank(newRank);
        RefPtr<VantrelMenuLayer> layer = makeRef<VantrelMenuLayer>();
        EXPECT_TRUE(layer->initWithProgress(levels_.get(), stats_.get(), rank_.get()));
        return layer;
    }

    static RefPtr<CCTexture2D> emblem(int rank) {
        return CCTextureCache::sharedTextureCache()->addImage(stringWithFormat("rank_%d.png", rank));
    }

    // The statistics labels, in grid order, then the honey total.
    static std::vector<CCLabelBMFont*> statLabels(const VantrelMenuLayer& layer) {
        std::vector<CCLabelBMFont*> labels;
        CCArray* children = layer.statsNode() ? layer.statsNode()->children() : nullptr;
        for (uint64_t i = 0; children && i < children->count(); ++i) {
            labels.push_back(dynamic_cast<CCLabelBMFont*>(children->objectAtIndex(i)));
        }
        return labels;
    }
};

TEST_F(FlightLogTest, RankZeroShowsItsEmblemAndNoStarEvenAfterANewRank) {
    const RefPtr<VantrelMenuLayer> layer = buildMenu(true);
    ASSERT_NE(layer->rankEmblem(), nullptr);
    EXPECT_EQ(layer->rankEmblem()->texture(), emblem(0).get());
    EXPECT_EQ(layer->rankEmblem()->position(), (CGPoint{288, 197}));
    EXPECT_EQ(layer->rankStarGlow(), nullptr);
    ASSERT_NE(layer->flightLogFooter(), nullptr);
    EXPECT_FALSE(layer->flightLogFooter()->visible());
}

TEST_F(FlightLogTest, ANewRankLightsItsStarAndASavedRankAboveTenShowsTen) {
    const struct {
        int saved, shown;
        CGPoint star;
    } ranks[] = {{1, 1, {537, 417.5}}, {2, 2, {550, 388}},   {3, 3, {553, 356.5}}, {4, 4, {550, 324.5}},
                 {5, 5, {537, 297}},   {6, 6, {323, 297}},   {7, 7, {310, 324.5}}, {8, 8, {307, 356.5}},
                 {9, 9, {310, 388}},   {10, 10, {323, 417.5}}, {12, 10, {323, 417.5}}};
    for (const auto& rank : ranks) {
        SCOPED_TRACE(rank.saved);
        stats_->setStatInt("rank", rank.saved);
        const RefPtr<VantrelMenuLayer> layer = buildMenu(true);
        ASSERT_NE(layer->rankEmblem(), nullptr);
        EXPECT_EQ(layer->rankEmblem()->texture(), emblem(rank.shown).get());
        ASSERT_NE(layer->rankStarGlow(), nullptr);
        EXPECT_EQ(layer->rankStarGlow()->position(), rank.star);
        EXPECT_EQ(layer->rankStarGlow()->opacity(), 0) << "the star pulses up from transparent";
        EXPECT_EQ(layer->rankStarGlow()->numberOfRunningActions(), 1u);
        // Without a new rank the emblem shows alone.
        EXPECT_EQ(buildMenu(false)->rankStarGlow(), nullptr);
    }
}

TEST_F(FlightLogTest, StatisticsShowTheirRawCountsAndMissingOnesShowZero) {
    stats_->setStatUInt("hives_visited", 12);
    stats_->setStatUInt("nectar_bonuses", 4294967295u);
    const RefPtr<VantrelMenuLayer> few = buildMenu(false);
    const std::vector<CCLabelBMFont*> labels = statLabels(*few);
    ASSERT_EQ(labels.size(), 10u);
    const char* texts[] = {"0", "12", "0", "0", "0", "0", "0", "0", "4294967295", "0"};
    const CGPoint places[] = {{0, 260}, {144, 260}, {272, 260}, {0, 175}, {144, 175},
                              {272, 175}, {0, 88},  {144, 88},  {272, 88}, {390, -2}};
    for (size_t i = 0; i < labels.size(); ++i) {
        ASSERT_NE(labels[i], nullptr);
        EXPECT_EQ(labels[i]->string(), texts[i]) << i;
        EXPECT_EQ(labels[i]->position(), places[i]) << i;
    }

    // The honey total stands on its right edge: a longer number reaches further left.
    const double shortWidth = labels[9]->contentSize().width;
    stats_->setStatUInt("honey", 3000000000u);
    const RefPtr<VantrelMenuLayer> more = buildMenu(false);
    CCLabelBMFont* honey = statLabels(*more)[9];
    EXPECT_EQ(honey->string(), "3000000000");
    EXPECT_EQ(honey->anchorPoint(), (CGPoint{1, 0}));
    EXPECT_EQ(honey->position(), (CGPoint{390, -2}));
    EXPECT_GT(honey->contentSize().width, shortWidth);
}

TEST_F(FlightLogTest, TheRankBeeBeatsItsWingsAndFirstBlinksWithinFourSeconds) {
    for (int run = 0; run < 5; ++run) {
        const RefPtr<VantrelMenuLayer> layer = buildMenu(false);
        ASSERT_NE(layer->rankBee(), nullptr);
        EXPECT_NE(layer->rankBee()->getActionByTag(VantrelMenuLayer::kRankBeeAnimationTag), nullptr);
        EXPECT_NE(layer->rankBeeShadow()->getActionByTag(VantrelMenuLayer::kRankBeeAnimationTag), nullptr);
        EXPECT_EQ(layer->rankBee()->position(), (CGPoint{328, 291}));
        EXPECT_EQ(layer->rankBeeShadow()->position(), (CGPoint{330, 281}));
        CCSprite* blink = layer->rankBeeBlinkSprite();
        ASSERT_NE(blink, nullptr);
        EXPECT_EQ(blink->parent(), layer->rankBee());
        layer->animateRankBee();
        EXPECT_FALSE(blink->visible());
        float elapsed = 0;
        while (!blink->visible() && elapsed < 5) {
            layer->updateFlightLog(1.0f / 64);
            elapsed += 1.0f / 64;
        }
        EXPECT_GE(elapsed, 0.25f);
        EXPECT_LE(elapsed, 4.0f + 1.0f / 64);
        // Closed for no more than 2/15 s.
        float closed = 0;
        while (blink->visible() && closed < 1) {
            layer->updateFlightLog(1.0f / 64);
            closed += 1.0f / 64;
        }
        EXPECT_LE(closed, 2.0f / 15 + 1.0f / 64);
    }
}

}  // namespace
