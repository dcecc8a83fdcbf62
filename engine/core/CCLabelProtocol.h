#pragma once

#include <string>
#include <string_view>

// A node that shows a text: the labels, and the menu items that show one.
class CCLabelProtocol {
public:
    // Shows the UTF-8 text.
    virtual void setString(std::string_view text) = 0;
    virtual const std::string& string() const = 0;

protected:
    ~CCLabelProtocol() = default;
};
