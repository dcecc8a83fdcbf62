#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/render/CCMenuItemLabel.h"

// A label item on a CCLabelTTF. Each item keeps its own font name and size, taken from the
// class-wide defaults when it is made; changing the defaults leaves existing items as they are.
//
// Engine thread only.
class CCMenuItemFont : public CCMenuItemLabel {
public:
    // The class-wide font size in points (32 at start) and font name ("Marker Felt" at start) of
    // items made from now on.
    static void setDefaultFontSize(uint64_t size);
    static uint64_t defaultFontSize();
    static void setDefaultFontName(const std::string& name);
    static const std::string& defaultFontName();

    // Items from initWithString, null where it fails; the first one has no callback.
    static RefPtr<CCMenuItemFont> itemWithString(std::string_view text);
    static RefPtr<CCMenuItemFont> itemWithString(std::string_view text, Object* target, SEL_MenuHandler selector);
    static RefPtr<CCMenuItemFont> itemWithString(std::string_view text, CCMenuItemBlock block);

    // `target` is not retained (see CCMenuItem).
    bool initWithString(std::string_view text, Object* target, SEL_MenuHandler selector);
    // The text in the class-wide font and size. False when the font cannot be opened (logged by
    // the label).
    bool initWithString(std::string_view text, CCMenuItemBlock block);

    // This item's font; each setter rebuilds the label at once with the same text, and the item
    // takes the new label's size. A font that cannot be opened at that size is refused (logged by
    // the label): the item keeps its font and the label shown so far. An item whose text is empty
    // opens no font, so it takes any name and size; a text given to it later (setString) that its
    // font cannot show is then refused by the label (logged), and the item stays empty.
    uint64_t fontSize() const { return fontSize_; }
    void setFontSize(uint64_t size);
    const std::string& fontName() const { return fontName_; }
    void setFontName(const std::string& name);
    // Installs a new label of the shown text in this item's font and size; false, with the label
    // shown so far kept, when the font cannot be opened.
    bool recreateLabel();

private:
    uint64_t fontSize_ = 0;  // points
    std::string fontName_;
};
