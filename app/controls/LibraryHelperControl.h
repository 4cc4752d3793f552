#pragma once

#include "ports/WindowHandle.h"

#include <cstdint>

namespace tidewell {

// The library helper control (APIFunction2): three properties.
class LibraryHelperControl {
public:
    virtual ~LibraryHelperControl() = default;
    // Write-only. 43 opens the System properties dialog, 9 the dialog for installing programs;
    // returns at once.
    virtual void SetShowSystemDialog(std::int32_t dialog) = 0;
    // Read-only: installed memory in bytes (64 bits wide: 32 would overflow on today's machines).
    virtual std::int64_t PhysicalMemory() const = 0;
    // Write-only. A window handle keeps that window above all others; 0 releases the window that
    // was kept on top.
    virtual void SetTopmostWindow(WindowHandle window) = 0;
};

} // namespace tidewell
