#pragma once

#include "startup_entries/InputBoxPort.h"

namespace tidewell::win32 {

// The input box as a dialog from the IDD_INPUT_BOX template (InputBox.rc, linked into the
// executable), owned by the given window. Its title, prompt (a static control) and edit field are
// ordinary windows a tool can find.
class Win32InputBox final : public InputBoxPort {
public:
    std::string Show(std::string_view prompt, std::string_view title, std::string_view defaultText,
                     WindowHandle owner) override;
};

} // namespace tidewell::win32
