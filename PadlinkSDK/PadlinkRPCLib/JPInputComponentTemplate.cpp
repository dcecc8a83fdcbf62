#include "PadlinkSDK/PadlinkRPCLib/JPInputComponentTemplate.h"

#include <array>

#include "PadlinkSDK/PadlinkRPCLib/JPPropertyTable.h"
#include "platform/foundation/Log.h"

namespace {
// Bit widths by input type 0-8.
constexpr std::array<uint32_t, 9> kBitsByType = {4, 1, 17, 24, 4, 0, 3, 1, 1};
}  // namespace

struct JPInputComponentTemplate::Properties {
    using C = JPInputComponentTemplate;
    static inline const std::array<JPProperty<C>, 22> table = {{
        jpMemberProperty<C, &C::inputType_>("inputType"),
        jpMemberProperty<C, &C::originX_>("originX"),
        jpMemberProperty<C, &C::originY_>("originY"),
        jpMemberProperty<C, &C::width_>("width"),
        jpMemberProperty<C, &C::height_>("height"),
        jpMemberProperty<C, &C::centerX_>("centerX"),
        jpMemberProperty<C, &C::centerY_>("centerY"),
        jpMemberProperty<C, &C::numBits_>("numBits"),
        jpMemberProperty<C, &C::bitOffset_>("bitOffset"),
        jpMemberProperty<C, &C::label_>("label"),
        jpMemberProperty<C, &C::fontSize_>("fontSize"),
        jpMemberProperty<C, &C::buttonShape_>("buttonShape"),
        jpMemberProperty<C, &C::buttonColor_>("buttonColor"),
        jpMemberProperty<C, &C::recentering_>("recentering"),
        {"pngRep", [](const C& c) { return c.pngRep_ ? JPValue::data(*c.pngRep_) : JPValue(); },
         [](C& c, const JPValue& value) {
             if (value.isNil()) c.pngRep_.reset();
             else if (value.kind() == JPValue::Kind::Data) c.pngRep_ = value.bytes();
             else return false;
             return true;
         }},
        jpMemberProperty<C, &C::innerOriginX_>("innerOriginX"),
        jpMemberProperty<C, &C::innerOriginY_>("innerOriginY"),
        jpMemberProperty<C, &C::innerWidth_>("innerWidth"),
        jpMemberProperty<C, &C::innerHeight_>("innerHeight"),
        jpMemberProperty<C, &C::imageName_>("imageName"),
        jpMemberProperty<C, &C::imageName2_>("imageName2"),
        jpMemberProperty<C, &C::radius_>("radius"),
    }};
};

RefPtr<JPInputComponentTemplate> JPInputComponentTemplate::componentTemplateWithInputType(int32_t inputType,
                                                                                          int32_t inputIdentifier) {
    auto component = makeRef<JPInputComponentTemplate>();
    component->inputType_ = inputType;
    component->inputIdentifier_ = inputIdentifier;
    if (inputType >= 0 && inputType < static_cast<int32_t>(kBitsByType.size())) {
        component->numBits_ = kBitsByType[inputType];
    } else {
        logLine("Padlink: Unsupported component input type");
    }
    return component;
}

uint64_t jpInputFieldMask(uint32_t numBits, uint32_t bitOffset) {
    if (numBits == 0 || numBits > kJPInputWordBits || bitOffset > kJPInputWordBits - numBits) return 0;
    return ((uint64_t{1} << numBits) - 1) << bitOffset;
}

bool JPInputComponentTemplate::isSimilarToInputComponentTemplate(const JPInputComponentTemplate* other) const {
    return other && inputType_ == other->inputType_ && originX_ == other->originX_ && originY_ == other->originY_ &&
           width_ == other->width_ && height_ == other->height_ && centerX_ == other->centerX_ &&
           centerY_ == other->centerY_ && numBits_ == other->numBits_ && bitOffset_ == other->bitOffset_ &&
           label_ == other->label_ && fontSize_ == other->fontSize_ && buttonShape_ == other->buttonShape_ &&
           buttonColor_ == other->buttonColor_;
}

void JPInputComponentTemplate::setFrame(CGRect frame) {
    originX_ = static_cast<float>(frame.origin.x);
    originY_ = static_cast<float>(frame.origin.y);
    width_ = static_cast<float>(frame.size.width);
    height_ = static_cast<float>(frame.size.height);
}

CGRect JPInputComponentTemplate::frame() const {
    if (inputType_ == kJPInputTypeAccelerometer) return CGRectZero;
    return CGRectMake(originX_, originY_, width_, height_);
}

void JPInputComponentTemplate::setInnerFrame(CGRect frame) {
    innerOriginX_ = static_cast<float>(frame.origin.x);
    innerOriginY_ = static_cast<float>(frame.origin.y);
    innerWidth_ = static_cast<float>(frame.size.width);
    innerHeight_ = static_cast<float>(frame.size.height);
}

std::vector<std::string_view> JPInputComponentTemplate::propertiesToEncode() const {
    return jpPropertyNames<JPInputComponentTemplate>(Properties::table);
}

JPValue JPInputComponentTemplate::valueForKey(std::string_view name) const {
    return jpValueForKey<JPInputComponentTemplate>(Properties::table, *this, name);
}

bool JPInputComponentTemplate::setValueForKey(std::string_view name, const JPValue& value) {
    return jpSetValueForKey<JPInputComponentTemplate>(Properties::table, *this, name, value);
}
