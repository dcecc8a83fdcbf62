#include "PadlinkSDK/PadlinkRPCLib/JPHiddenControllerLayout.h"

#include <array>
#include <atomic>

#include "PadlinkSDK/PadlinkRPCLib/JPLayoutPresets.h"
#include "PadlinkSDK/PadlinkRPCLib/JPPropertyTable.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

using namespace JPLayoutPresets;

namespace {
std::atomic<const JPControllerLayout*> activeLayout{nullptr};

RefPtr<JPHiddenControllerLayout> makeLayout(const char* name) {
    auto layout = makeRef<JPHiddenControllerLayout>();
    if (name) layout->setName(name);
    return layout;
}
}  // namespace

struct JPHiddenControllerLayout::Properties {
    using C = JPHiddenControllerLayout;
    static inline const std::array<JPProperty<C>, 3> table = {{
        {"inputComponentTemplates",
         [](const C& c) {
             JPValue::Array components;
             for (const auto& component : c.inputComponentTemplates_) components.emplace_back(component);
             return JPValue(std::move(components));
         },
         [](C& c, const JPValue& value) {
             if (value.kind() != JPValue::Kind::Array) return false;
             std::vector<RefPtr<JPInputComponentTemplate>> components;
             for (const JPValue& element : value.elements()) {
                 auto* component = dynamic_cast<JPInputComponentTemplate*>(element.object());
                 if (!component) return false;
                 components.emplace_back(component);
             }
             c.inputComponentTemplates_ = std::move(components);
             return true;
         }},
        {"name", [](const C& c) { return JPValue(c.name_); },
         [](C& c, const JPValue& value) {
             if (value.kind() != JPValue::Kind::String) return false;
             c.name_ = value.stringValue();
             return true;
         }},
        {"layoutNumber", [](const C& c) { return JPValue(c.layoutNumber_); },
         [](C& c, const JPValue& value) {
             const auto number = JPWire::integerIn(value, 0, 3);
             if (number) c.layoutNumber_ = static_cast<int32_t>(*number);
             return number.has_value();
         }},
    }};
};

RefPtr<JPHiddenControllerLayout> JPHiddenControllerLayout::anyPreInstalled() {
    auto layout = makeLayout(nullptr);
    addPlainButtons(*layout, {6, 7, 12, 13});
    layout->addDpadWithFrame(CGRectZero, 0);
    addPlainButtons(*layout, {9, 10, 14, 15, 8, 11});
    layout->addAccelerometer();
    return layout;
}

RefPtr<JPHiddenControllerLayout> JPHiddenControllerLayout::nesPreInstalled() {
    auto layout = makeLayout("nesPreInstalled");
    addButtons(*layout, {kNesA, kNesB, kSelect, kStart});
    addDpad(*layout);
    addPlainButtons(*layout, {9, 10, 14, 15, 8, 11});
    layout->addAccelerometer();
    return layout;
}

RefPtr<JPHiddenControllerLayout> JPHiddenControllerLayout::gbaPreInstalled() {
    auto layout = makeLayout("gbaPreInstalled");
    addButtons(*layout, {kGbaA, kGbaB, kSelect, kStart});
    addDpad(*layout);
    addPlainButtons(*layout, {9, 10});
    addButtons(*layout, {kGbaL, kGbaR});
    addPlainButtons(*layout, {8, 11});
    layout->addAccelerometer();
    return layout;
}

RefPtr<JPHiddenControllerLayout> JPHiddenControllerLayout::snesPreInstalled() {
    auto layout = makeLayout("snesPreInstalled");
    addPlainButtons(*layout, {6, 7});
    addButtons(*layout, {kSelect, kStart});
    addDpad(*layout);
    addPlainButtons(*layout, {9, 10});
    addButtons(*layout, {kSnesL, kSnesR});
    addPlainButtons(*layout, {8, 11});
    layout->addAccelerometer();
    layout->addButtonBlockWithFrame(kButtonBlockFrame);
    return layout;
}

void JPHiddenControllerLayout::setActiveLayout(const JPControllerLayout* layout) {
    activeLayout.store(layout);
}

void JPHiddenControllerLayout::addInputComponentTemplate(RefPtr<JPInputComponentTemplate> component) {
    CC_REQUIRE(component, "NSInvalidArgumentException", "a layout component must not be null");
    if (activeLayout.load() == this) logLine("Padlink: Updating the layout while it's active is dangerous.");
    if (checkForIdentifier(component->inputIdentifier())) {
        logLine("Padlink: Using the same identifier in more than one layout component is not a good practice.");
    }
    component->setBitOffset(numBitsUsed_);
    const uint32_t bitsBefore = numBitsUsed_;
    numBitsUsed_ += component->numBits();
    if (bitsBefore <= kJPInputWordBits && numBitsUsed_ > kJPInputWordBits) {
        logLine("Padlink: Layout \"%s\" needs %u bits, but the input word carries %u: components past bit %u never "
                "report",
                name_.c_str(), numBitsUsed_, kJPInputWordBits, kJPInputWordBits - 1);
    }
    for (const auto* imageName : {&component->imageName(), &component->imageName2()}) {
        if (*imageName) imageNames_.push_back(**imageName);
    }
    inputComponentTemplates_.push_back(std::move(component));
}

std::vector<std::string_view> JPHiddenControllerLayout::propertiesToEncode() const {
    return jpPropertyNames<JPHiddenControllerLayout>(Properties::table);
}

JPValue JPHiddenControllerLayout::valueForKey(std::string_view name) const {
    return jpValueForKey<JPHiddenControllerLayout>(Properties::table, *this, name);
}

bool JPHiddenControllerLayout::setValueForKey(std::string_view name, const JPValue& value) {
    return jpSetValueForKey<JPHiddenControllerLayout>(Properties::table, *this, name, value);
}
