#pragma once

#include "win32common/Handles.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace tidewell::win32 {

// The hidden top-level window every instance owns, of class "ThunderRT6Main", whose text is the
// application title. The program's visible windows keep it directly below
// themselves in the Z-order, so another instance finds the visible window as the one just above.
class ApplicationWindow {
public:
    static constexpr wchar_t kClassName[] = L"ThunderRT6Main";

    ApplicationWindow() = default;
    ApplicationWindow(const ApplicationWindow&) = delete;
    ApplicationWindow& operator=(const ApplicationWindow&) = delete;
    ~ApplicationWindow() = default;

    // Registers the class when needed and creates the window; false when either fails.
    bool Create(HINSTANCE instance, std::string_view title);

    HWND Handle() const { return window_.get(); }
    std::string Title() const { return title_; }
    bool SetTitle(std::string_view title);

    // Moves this window to just below the visible window.
    void PlaceBelow(HWND visible) const;

private:
    win32common::UniqueWindow window_;
    std::string title_;
};

} // namespace tidewell::win32
