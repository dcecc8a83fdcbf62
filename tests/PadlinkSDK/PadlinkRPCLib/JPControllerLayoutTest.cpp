#include "PadlinkSDK/PadlinkRPCLib/JPHiddenControllerLayout.h"
#include "PadlinkSDK/PadlinkRPCLib/JPInputElement.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"

namespace {

struct Packing {
    uint32_t offset, bits;
    uint64_t mask;
};

std::vector<Packing> packingOf(const JPControllerLayout& layout) {
    std::vector<Packing> packing;
    for (const auto& c : layout.inputComponentTemplates()) packing.push_back({c->bitOffset(), c->numBits(), c->bitmask()});
    return packing;
}

void expectPacking(const JPControllerLayout& layout, const std::vector<Packing>& expected, uint32_t bitsUsed) {
    const auto packing = packingOf(layout);
    ASSERT_EQ(packing.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(packing[i].offset, expected[i].offset) << "component " << i;
        EXPECT_EQ(packing[i].bits, expected[i].bits) << "component " << i;
        EXPECT_EQ(packing[i].mask, expected[i].mask) << "component " << i;
    }
    EXPECT_EQ(layout.numBitsUsed(), bitsUsed);
}

TEST(JPControllerLayout, PacksComponentsFromBitZeroInOrderAdded) {
    auto layout = JPControllerLayout::layout();
    layout->addDpadWithFrame(CGRectMake(0, 0, 100, 100), 0);
    layout->addButtonWithFrame(CGRectMake(100, 0, 50, 50), 6);
    layout->setBackgroundImageName("bg.png");
    layout->addButtonWithFrame(CGRectMake(150, 0, 50, 50), 7);
    layout->addAnalogStickWithFrame(CGRectMake(200, 0, 100, 100), 1);
    expectPacking(*layout, {{0, 4, 0xF}, {4, 1, 0x10}, {5, 0, 0}, {5, 1, 0x20}, {6, 17, 0x7FFFC0}}, 23);
    EXPECT_EQ(layout->imageNames(), std::vector<std::string>{"bg.png"});
}

TEST(JPControllerLayout, FieldsPastBit61NeverReportAndTheLayoutWarnsOnce) {
    LogCapture log;
    auto layout = JPControllerLayout::layout();
    layout->addAccelerometer();                                  // bits 0-23
    layout->addAccelerometer();                                  // 24-47
    layout->addAnalogStickWithFrame(CGRectMake(0, 0, 1, 1), 1);  // 48-64: crosses bit 61
    layout->addButtonWithFrame(CGRectZero, 6);                   // 65
    expectPacking(*layout, {{0, 24, 0xFFFFFF}, {24, 24, 0xFFFFFF000000}, {48, 17, 0}, {65, 1, 0}}, 66);
    int warnings = 0;
    for (const auto& line : log.lines()) warnings += line.find("never report") != std::string::npos;
    EXPECT_EQ(warnings, 1);
    EXPECT_TRUE(log.contains("Padlink: Using the same identifier in more than one layout component"));
}

TEST(JPControllerLayout, WarnsWhenTheActiveLayoutChanges) {
    auto layout = JPControllerLayout::layout();
    JPHiddenControllerLayout::setActiveLayout(layout.get());
    LogCapture log;
    layout->addNavBackWithFrame(CGRectZero);
    JPHiddenControllerLayout::setActiveLayout(nullptr);
    EXPECT_TRUE(log.contains("Padlink: Updating the layout while it's active is dangerous."));
}

TEST(JPControllerLayout, EqualityFollowsNameAndSimilarComponents) {
    auto a = JPControllerLayout::nesLayout(), b = JPControllerLayout::nesLayout();
    EXPECT_TRUE(a->isEqualToControllerLayout(b.get()));
    b->setName("Other");
    EXPECT_FALSE(a->isEqualToControllerLayout(b.get()));
    b->setName(a->name());
    b->inputComponentTemplates()[1]->setLabel(std::nullopt);
    EXPECT_FALSE(a->isEqualToControllerLayout(b.get()));
    // Identifier and radius are not compared.
    b->inputComponentTemplates()[1]->setLabel("B");
    b->inputComponentTemplates()[1]->setInputIdentifier(99);
    EXPECT_TRUE(a->isEqualToControllerLayout(b.get()));
    EXPECT_FALSE(a->isEqualToControllerLayout(JPControllerLayout::gbaLayout().get()));
}

TEST(JPControllerLayout, BuildersPlaceCentresAndFixedIdentifiers) {
    auto layout = JPControllerLayout::layout();
    layout->addDpadWithTouchFrame(CGRectMake(10, 20, 200, 200), CGRectMake(5, 6, 100, 80), 0);
    layout->addAnalogStickWithFrame(CGRectMake(300, 10, 120, 100), "base.png", "disk.png", true, 40, 2);
    layout->addNavPadWithFrame(CGRectMake(0, 25, 306, 310), CGPointMake(120, 137));
    layout->addButtonWithFrame(CGRectZero, std::optional<std::string>(), 6);
    const auto& c = layout->inputComponentTemplates();
    EXPECT_EQ(CGPointMake(c[0]->centerX(), c[0]->centerY()), CGPointMake(65, 66));
    EXPECT_EQ(CGPointMake(c[1]->centerX(), c[1]->centerY()), CGPointMake(360, 60));
    EXPECT_EQ(c[2]->inputIdentifier(), -5);
    EXPECT_EQ(CGPointMake(c[2]->centerX(), c[2]->centerY()), CGPointMake(120, 137));
    EXPECT_EQ(c[3]->inputType(), kJPInputTypeButton);
    EXPECT_EQ(layout->imageNames(), (std::vector<std::string>{"base.png", "disk.png"}));
}

TEST(JPControllerLayout, PresetsUseTheirBits) {
    const std::pair<RefPtr<JPControllerLayout>, uint32_t> presets[] = {
        {JPControllerLayout::navigationLayout(), 5},        {JPControllerLayout::nesLayout(), 8},
        {JPControllerLayout::gbaLayout(), 10},              {JPControllerLayout::snesLayout(), 12},
        {JPHiddenControllerLayout::anyPreInstalled(), 38},  {JPHiddenControllerLayout::nesPreInstalled(), 38},
        {JPHiddenControllerLayout::gbaPreInstalled(), 38},  {JPHiddenControllerLayout::snesPreInstalled(), 42},
    };
    for (const auto& [layout, bits] : presets) EXPECT_EQ(layout->numBitsUsed(), bits) << layout->name();
}

TEST(JPInputComponentTemplate, WireSettersTakeOnlyValuesOfTheirType) {
    auto component = JPInputComponentTemplate::componentTemplateWithInputType(kJPInputTypeButton, 6);
    const struct {
        const char* name;
        JPValue value;
        bool taken;
    } cases[] = {
        {"originX", JPValue(280), true},          {"originX", JPValue("280"), false},
        {"originX", JPValue(1e300), false},       {"numBits", JPValue(3.0), true},
        {"numBits", JPValue(-1), false},          {"numBits", JPValue(0.5), false},
        {"bitOffset", JPValue(int64_t{1} << 40), false}, {"label", JPValue(), true},
        {"label", JPValue(7), false},             {"pngRep", JPValue::data("png"), true},
        {"pngRep", JPValue("png"), false},        {"recentering", JPValue(true), true},
        {"inputIdentifier", JPValue(1), false},   {"bitmask", JPValue(1), false},
    };
    for (const auto& c : cases) EXPECT_EQ(component->setValueForKey(c.name, c.value), c.taken) << c.name;
    EXPECT_EQ(component->originX(), 280);
    EXPECT_EQ(component->numBits(), 3u);
    EXPECT_EQ(component->bitOffset(), 0u);
    EXPECT_EQ(component->pngRep(), "png");

    auto layout = makeRef<JPHiddenControllerLayout>();
    EXPECT_FALSE(layout->setValueForKey("layoutNumber", JPValue(4)));
    EXPECT_FALSE(layout->setValueForKey("inputComponentTemplates", JPValue(JPValue::Array{JPValue(1)})));
    EXPECT_FALSE(layout->setValueForKey("name", JPValue()));
    EXPECT_TRUE(layout->setValueForKey("layoutNumber", JPValue(3)));
    EXPECT_EQ(layout->layoutNumber(), 3);
}

}  // namespace

// One mask for components and plain input elements: fields past bit 61 (where the slot bits
// begin) or with no bits get none, whatever their offset.
TEST(JPInputFieldMask, CoversTheFieldWithinTheInputBitsOnly) {
    const struct {
        uint32_t bits, offset;
        uint64_t mask;
    } cases[] = {
        {4, 0, 0xF}, {17, 6, uint64_t{0x1FFFF} << 6}, {1, 61, uint64_t{1} << 61}, {62, 0, (uint64_t{1} << 62) - 1},
        {0, 5, 0},   {1, 62, 0},                      {2, 61, 0},                 {63, 0, 0},
        {1, UINT32_MAX, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jpInputFieldMask(c.bits, c.offset), c.mask) << c.bits << " bits at " << c.offset;
        EXPECT_EQ(JPInputElement(1, 6, c.offset, c.bits).bitmask(), c.mask) << c.bits << " bits at " << c.offset;
    }
}
