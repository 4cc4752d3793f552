#pragma once

#include "ports/WindowHandle.h"

#include <string>
#include <string_view>

namespace tidewell {

// A modal input box: a prompt, a title, an edit field holding the default text, OK and Cancel.
// It is placed at the top-left corner of `owner` (the editor window), read when the box opens,
// and kept on the screen; without an owner it is centred. Texts are UTF-8.
class InputBoxPort {
public:
    virtual ~InputBoxPort() = default;
    // The text in the field when the user pressed OK; "" on Cancel or when the box was closed.
    virtual std::string Show(std::string_view prompt, std::string_view title,
                             std::string_view defaultText, WindowHandle owner) = 0;
};

} // namespace tidewell
