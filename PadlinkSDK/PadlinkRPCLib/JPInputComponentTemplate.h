#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPValue.h"
#include "platform/foundation/Geometry.h"

// Input types of a component, with the bits each takes in the input word.
enum JPInputType : int32_t {
    kJPInputTypeDpad = 0,              // 4 bits: up, right, down, left
    kJPInputTypeButton = 1,            // 1 bit
    kJPInputTypeAnalogStick = 2,       // 17 bits: distance 0-255, then angle 0-511
    kJPInputTypeAccelerometer = 3,     // 24 bits: z, y, x bytes from bit 0
    kJPInputTypeButtonBlock = 4,       // 4 bits: buttons 6, 7, 9, 10
    kJPInputTypeBackgroundImage = 5,   // no bits
    kJPInputTypeNavigationPad = 6,     // 3 bits: 1-4 up, right, down, left
    kJPInputTypeNavigationSelect = 7,  // 1 bit
    kJPInputTypeNavigationBack = 8,    // 1 bit
};

// The input word carries components in bits 0-61; bits 62-63 name the layout slot.
inline constexpr uint32_t kJPInputWordBits = 62;

// The bits of the input word a field of `numBits` bits from `bitOffset` reports in. 0 for a field
// with no bits and for one that does not fit in bits 0-61, which never reports.
uint64_t jpInputFieldMask(uint32_t numBits, uint32_t bitOffset);

// One input component of a controller layout: what the phone draws (frames in layout points,
// label, images) and where its input sits in the 64-bit input word (bitOffset, numBits).
class JPInputComponentTemplate final : public JPPropertyObject {
public:
    // A component of the type, with that type's bit width; an unknown type logs and takes no bits.
    static RefPtr<JPInputComponentTemplate> componentTemplateWithInputType(int32_t inputType, int32_t inputIdentifier);
    // Type 0 with no bits, as a component read off the wire starts.
    JPInputComponentTemplate() = default;

    // jpInputFieldMask of this component's field.
    uint64_t bitmask() const { return jpInputFieldMask(numBits_, bitOffset_); }
    // The same type, frame, centre, bits, label, font size, shape and colour.
    bool isSimilarToInputComponentTemplate(const JPInputComponentTemplate* other) const;

    // Origin and size as floats.
    void setFrame(CGRect frame);
    // The zero rectangle for the accelerometer.
    CGRect frame() const;
    void setInnerFrame(CGRect frame);

    // Fields: the component's type and identifier (d-pad and button identifiers are the game's),
    // frame, centre and inner frame in layout points, bit field, label (unset: none), font size,
    // shape and colour codes of the phone, whether a stick re-centres, stick radius in points (the
    // distance unit of stick events), PNG bytes and image names (unset: none).
    int32_t inputType() const { return inputType_; }
    void setInputType(int32_t type) { inputType_ = type; }
    int32_t inputIdentifier() const { return inputIdentifier_; }
    void setInputIdentifier(int32_t identifier) { inputIdentifier_ = identifier; }
    float originX() const { return originX_; }
    void setOriginX(float x) { originX_ = x; }
    float originY() const { return originY_; }
    void setOriginY(float y) { originY_ = y; }
    float width() const { return width_; }
    void setWidth(float width) { width_ = width; }
    float height() const { return height_; }
    void setHeight(float height) { height_ = height; }
    float centerX() const { return centerX_; }
    void setCenterX(float x) { centerX_ = x; }
    float centerY() const { return centerY_; }
    void setCenterY(float y) { centerY_ = y; }
    uint32_t numBits() const { return numBits_; }
    void setNumBits(uint32_t bits) { numBits_ = bits; }
    uint32_t bitOffset() const { return bitOffset_; }
    void setBitOffset(uint32_t offset) { bitOffset_ = offset; }
    float innerOriginX() const { return innerOriginX_; }
    void setInnerOriginX(float x) { innerOriginX_ = x; }
    float innerOriginY() const { return innerOriginY_; }
    void setInnerOriginY(float y) { innerOriginY_ = y; }
    float innerWidth() const { return innerWidth_; }
    void setInnerWidth(float width) { innerWidth_ = width; }
    float innerHeight() const { return innerHeight_; }
    void setInnerHeight(float height) { innerHeight_ = height; }
    const std::optional<std::string>& label() const { return label_; }
    void setLabel(std::optional<std::string> label) { label_ = std::move(label); }
    uint32_t fontSize() const { return fontSize_; }
    void setFontSize(uint32_t size) { fontSize_ = size; }
    uint32_t buttonShape() const { return buttonShape_; }
    void setButtonShape(uint32_t shape) { buttonShape_ = shape; }
    uint32_t buttonColor() const { return buttonColor_; }
    void setButtonColor(uint32_t color) { buttonColor_ = color; }
    bool recentering() const { return recentering_; }
    void setRecentering(bool recentering) { recentering_ = recentering; }
    uint32_t radius() const { return radius_; }
    void setRadius(uint32_t radius) { radius_ = radius; }
    const std::optional<std::string>& pngRep() const { return pngRep_; }
    void setPngRep(std::optional<std::string> png) { pngRep_ = std::move(png); }
    const std::optional<std::string>& imageName() const { return imageName_; }
    void setImageName(std::optional<std::string> name) { imageName_ = std::move(name); }
    const std::optional<std::string>& imageName2() const { return imageName2_; }
    void setImageName2(std::optional<std::string> name) { imageName2_ = std::move(name); }

    // Written as "JPInputComponentTemplate" with the 22 properties inputType, originX, originY,
    // width, height, centerX, centerY, numBits, bitOffset, label, fontSize, buttonShape,
    // buttonColor, recentering (an integer), pngRep, innerOriginX, innerOriginY, innerWidth,
    // innerHeight, imageName, imageName2, radius; the identifier is not sent.
    const char* rpcClassName() const override { return "JPInputComponentTemplate"; }
    std::vector<std::string_view> propertiesToEncode() const override;
    JPValue valueForKey(std::string_view name) const override;
    bool setValueForKey(std::string_view name, const JPValue& value) override;

private:
    struct Properties;

    int32_t inputType_ = 0;
    int32_t inputIdentifier_ = 0;
    float originX_ = 0, originY_ = 0, width_ = 0, height_ = 0;
    float centerX_ = 0, centerY_ = 0;
    uint32_t numBits_ = 0, bitOffset_ = 0;
    float innerOriginX_ = 0, innerOriginY_ = 0, innerWidth_ = 0, innerHeight_ = 0;
    std::optional<std::string> label_;
    uint32_t fontSize_ = 0, buttonShape_ = 0, buttonColor_ = 0;
    bool recentering_ = false;
    uint32_t radius_ = 0;
    std::optional<std::string> pngRep_;  // PNG bytes
    std::optional<std::string> imageName_, imageName2_;
};
