#pragma once

#include "ports/MessageBox.h"

namespace tidewell::win32 {

// MessageBoxW over the process's active window; the flags and answers are the platform's own.
class Win32MessageBox final : public MessageBoxPort {
public:
    int Show(std::string_view text, unsigned flags, std::string_view title) override;
};

} // namespace tidewell::win32
