#pragma once

#include "PadlinkSDK/PadlinkRPCLib/JPControllerLayout.h"

// The controller layout itself (see JPControllerLayout), written on the wire as
// "JPHiddenControllerLayout" with the properties inputComponentTemplates, name and layoutNumber.
class JPHiddenControllerLayout final : public JPControllerLayout {
public:
    // An empty layout named "Unnamed Layout"; JPControllerLayout::layout() is the public way.
    JPHiddenControllerLayout() = default;

    // Layouts that phones know under these names; each ends with the accelerometer (the last
    // adds a button block after it).
    static RefPtr<JPHiddenControllerLayout> anyPreInstalled();
    static RefPtr<JPHiddenControllerLayout> nesPreInstalled();
    static RefPtr<JPHiddenControllerLayout> gbaPreInstalled();
    static RefPtr<JPHiddenControllerLayout> snesPreInstalled();

    // The layout the manager currently sends to phones (not retained; only compared), so that
    // changing it can be warned about.
    static void setActiveLayout(const JPControllerLayout* layout);

    // JPControllerLayout's operations.
    void addInputComponentTemplate(RefPtr<JPInputComponentTemplate> component) override;
    const std::string& name() const override { return name_; }
    void setName(std::string name) override { name_ = std::move(name); }
    int32_t layoutNumber() const override { return layoutNumber_; }
    void setLayoutNumber(int32_t number) override { layoutNumber_ = number; }
    const std::vector<RefPtr<JPInputComponentTemplate>>& inputComponentTemplates() const override {
        return inputComponentTemplates_;
    }
    const std::vector<std::string>& imageNames() const override { return imageNames_; }
    uint32_t numBitsUsed() const override { return numBitsUsed_; }

    // Written as "JPHiddenControllerLayout" with inputComponentTemplates, name, layoutNumber.
    const char* rpcClassName() const override { return "JPHiddenControllerLayout"; }
    std::vector<std::string_view> propertiesToEncode() const override;
    JPValue valueForKey(std::string_view name) const override;
    // A peer may set the components (an array of components only), the name (a string) and the
    // layout number (0-3).
    bool setValueForKey(std::string_view name, const JPValue& value) override;

private:
    struct Properties;

    std::vector<RefPtr<JPInputComponentTemplate>> inputComponentTemplates_;
    std::string name_ = "Unnamed Layout";
    uint32_t numBitsUsed_ = 0;
    int32_t layoutNumber_ = 0;  // slot 0-3
    std::vector<std::string> imageNames_;
};
