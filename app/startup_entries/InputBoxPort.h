#pragma once

#include <string>
#include <string_view>

namespace tidewell {

// Where an input box goes: its top-left corner on the screen, in twips.
struct ScreenPosition {
    int leftTwips = 0;
    int topTwips = 0;
};

// A modal input box: a prompt, a title, an edit field holding the default text, OK and Cancel.
// Texts are UTF-8.
class InputBoxPort {
public:
    virtual ~InputBoxPort() = default;
    // The text in the field when the user pressed OK; "" on Cancel or when the box was closed.
    virtual std::string Show(std::string_view prompt, std::string_view title,
                             std::string_view defaultText, ScreenPosition position) = 0;
};

} // namespace tidewell
