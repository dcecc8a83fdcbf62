#include "PadlinkSDK/PadlinkRPCLib/JPControllerLayout.h"

#include "PadlinkSDK/PadlinkRPCLib/JPHiddenControllerLayout.h"
#include "PadlinkSDK/PadlinkRPCLib/JPLayoutPresets.h"

namespace {
constexpr uint32_t kDefaultStickRadius = 55;  // points

RefPtr<JPInputComponentTemplate> makeComponent(int32_t type, int32_t identifier, CGRect frame, CGPoint center) {
    auto component = JPInputComponentTemplate::componentTemplateWithInputType(type, identifier);
    component->setFrame(frame);
    component->setCenterX(static_cast<float>(center.x));
    component->setCenterY(static_cast<float>(center.y));
    return component;
}

CGPoint middle(CGRect frame) {
    return CGPointMake(frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2);
}
}  // namespace

RefPtr<JPControllerLayout> JPControllerLayout::layout() {
    return makeRef<JPHiddenControllerLayout>();
}

RefPtr<JPControllerLayout> JPControllerLayout::navigationLayout() {
    auto layout = JPControllerLayout::layout();
    layout->setName("Menu Navigator");
    layout->addNavPadWithFrame(CGRectMake(0, 25, 306, 310), CGPointMake(120, 137));
    layout->addNavSelectWithFrame(CGRectMake(306, 143, 174, 177));
    layout->addNavBackWithFrame(CGRectMake(383, 0, 97, 143));
    return layout;
}

RefPtr<JPControllerLayout> JPControllerLayout::nesLayout() {
    auto layout = JPControllerLayout::layout();
    JPLayoutPresets::addDpad(*layout);
    JPLayoutPresets::addButtons(*layout, {JPLayoutPresets::kNesB, JPLayoutPresets::kNesA, JPLayoutPresets::kSelect,
                                          JPLayoutPresets::kStart});
    return layout;
}

RefPtr<JPControllerLayout> JPControllerLayout::gbaLayout() {
    auto layout = JPControllerLayout::layout();
    JPLayoutPresets::addDpad(*layout);
    JPLayoutPresets::addButtons(*layout, {JPLayoutPresets::kGbaL, JPLayoutPresets::kGbaR, JPLayoutPresets::kGbaB,
                                          JPLayoutPresets::kGbaA, JPLayoutPresets::kSelect, JPLayoutPresets::kStart});
    return layout;
}

RefPtr<JPControllerLayout> JPControllerLayout::snesLayout() {
    auto layout = JPControllerLayout::layout();
    JPLayoutPresets::addDpad(*layout);
    JPLayoutPresets::addButtons(*layout, {JPLayoutPresets::kSnesL, JPLayoutPresets::kSnesR, JPLayoutPresets::kSelect,
                                          JPLayoutPresets::kStart});
    layout->addButtonBlockWithFrame(JPLayoutPresets::kButtonBlockFrame);
    return layout;
}

bool JPControllerLayout::checkForIdentifier(int32_t identifier) const {
    for (const auto& component : inputComponentTemplates()) {
        if (component->inputIdentifier() == identifier) return true;
    }
    return false;
}

bool JPControllerLayout::isEqualToControllerLayout(const JPControllerLayout* other) const {
    if (other == this) return true;
    if (!other || name() != other->name()) return false;
    const auto& mine = inputComponentTemplates();
    const auto& theirs = other->inputComponentTemplates();
    if (mine.size() != theirs.size()) return false;
    for (size_t i = 0; i < mine.size(); ++i) {
        if (!mine[i]->isSimilarToInputComponentTemplate(theirs[i].get())) return false;
    }
    return true;
}

void JPControllerLayout::addButtonWithFrame(CGRect frame, int32_t identifier) {
    addButtonWithFrame(frame, std::nullopt, 0, 0, 0, identifier);
}

void JPControllerLayout::addButtonWithFrame(CGRect frame, std::optional<std::string> label, uint32_t fontSize,
                                            uint32_t shape, uint32_t color, int32_t identifier) {
    auto button = makeComponent(kJPInputTypeButton, identifier, frame, CGPointZero);
    button->setLabel(std::move(label));
    button->setFontSize(fontSize);
    button->setButtonShape(shape);
    button->setButtonColor(color);
    addInputComponentTemplate(std::move(button));
}

void JPControllerLayout::addButtonWithFrame(CGRect frame, std::optional<std::string> imageName, int32_t identifier) {
    if (!imageName) return addButtonWithFrame(frame, identifier);
    auto button = makeComponent(kJPInputTypeButton, identifier, frame, CGPointZero);
    button->setImageName(std::move(imageName));
    addInputComponentTemplate(std::move(button));
}

void JPControllerLayout::addDpadWithFrame(CGRect frame, CGPoint dpadOrigin, int32_t identifier) {
    addInputComponentTemplate(makeComponent(kJPInputTypeDpad, identifier, frame, dpadOrigin));
}

void JPControllerLayout::addDpadWithFrame(CGRect frame, int32_t identifier) {
    addDpadWithFrame(frame, middle(frame), identifier);
}

void JPControllerLayout::addDpadWithTouchFrame(CGRect touchFrame, CGRect imageFrame, int32_t identifier) {
    const CGPoint center = CGPointMake(touchFrame.origin.x + imageFrame.origin.x + imageFrame.size.width / 2,
                                       touchFrame.origin.y + imageFrame.origin.y + imageFrame.size.height / 2);
    auto dpad = makeComponent(kJPInputTypeDpad, identifier, touchFrame, center);
    dpad->setInnerFrame(imageFrame);
    addInputComponentTemplate(std::move(dpad));
}

void JPControllerLayout::addAccelerometer() {
    addInputComponentTemplate(JPInputComponentTemplate::componentTemplateWithInputType(kJPInputTypeAccelerometer, 4));
}

void JPControllerLayout::addAnalogStickWithFrame(CGRect frame, std::optional<std::string> baseImageName,
                                                 std::optional<std::string> diskImageName, CGPoint relativeCenter,
                                                 bool recentering, uint32_t radius, int32_t identifier) {
    const CGPoint center = CGPointMake(frame.origin.x + relativeCenter.x, frame.origin.y + relativeCenter.y);
    auto stick = makeComponent(kJPInputTypeAnalogStick, identifier, frame, center);
    stick->setRecentering(recentering);
    stick->setRadius(radius);
    stick->setImageName(std::move(baseImageName));
    stick->setImageName2(std::move(diskImageName));
    addInputComponentTemplate(std::move(stick));
}

void JPControllerLayout::addAnalogStickWithFrame(CGRect frame, std::optional<std::string> baseImageName,
                                                 std::optional<std::string> diskImageName, bool recentering,
                                                 uint32_t radius, int32_t identifier) {
    addAnalogStickWithFrame(frame, std::move(baseImageName), std::move(diskImageName),
                            CGPointMake(frame.size.width / 2, frame.size.height / 2), recentering, radius, identifier);
}

void JPControllerLayout::addAnalogStickWithTouchFrame(CGRect frame, CGPoint relativeCenter, uint32_t radius,
                                                      int32_t identifier) {
    addAnalogStickWithFrame(frame, std::nullopt, std::nullopt, relativeCenter, false, radius, identifier);
}

void JPControllerLayout::addAnalogStickWithFrame(CGRect frame, int32_t identifier, bool recentering) {
    addAnalogStickWithFrame(frame, std::nullopt, std::nullopt, recentering, kDefaultStickRadius, identifier);
}

void JPControllerLayout::addAnalogStickWithFrame(CGRect frame, int32_t identifier) {
    addAnalogStickWithFrame(frame, identifier, false);
}

void JPControllerLayout::setBackgroundImageName(std::string imageName) {
    auto background = JPInputComponentTemplate::componentTemplateWithInputType(kJPInputTypeBackgroundImage, -4);
    background->setImageName(std::move(imageName));
    addInputComponentTemplate(std::move(background));
}

void JPControllerLayout::addButtonBlockWithFrame(CGRect frame) {
    addInputComponentTemplate(makeComponent(kJPInputTypeButtonBlock, -3, frame, CGPointZero));
}

void JPControllerLayout::addNavPadWithFrame(CGRect frame, CGPoint relativeCenter) {
    addInputComponentTemplate(makeComponent(kJPInputTypeNavigationPad, -5, frame, relativeCenter));
}

void JPControllerLayout::addNavSelectWithFrame(CGRect frame) {
    addInputComponentTemplate(makeComponent(kJPInputTypeNavigationSelect, -6, frame, CGPointZero));
}

void JPControllerLayout::addNavBackWithFrame(CGRect frame) {
    addInputComponentTemplate(makeComponent(kJPInputTypeNavigationBack, -7, frame, CGPointZero));
}
