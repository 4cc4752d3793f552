#pragma once

#include <windows.h>

#include <string_view>

namespace tidewell::win32 {

// The user32 calls behind the previous-instance search and the greyed Close command.

// FindWindowA with the class and the text (UTF-8, passed on in the system's ANSI code page).
HWND FindTopLevelWindow(std::string_view className, std::string_view text);

// The window just above the given one in the Z-order.
HWND WindowAbove(HWND window);

// Restores a minimised window of another instance with WM_SYSCOMMAND / SC_RESTORE, sent and
// waited for (at most a few seconds, not at all for a hung window).
void RestoreOtherInstanceWindow(HWND window);

// Lets the hand-over's one message (WM_SYSCOMMAND) reach this window from a second start with
// fewer rights: the privilege isolation between windows drops it otherwise. Verified only on
// Windows (Wine has no such isolation).
bool AllowHandOverFromLowerRights(HWND window);

// Replaces the system-menu item at position by a greyed item with the text and the command
// identifier -9, so it no longer sends SC_CLOSE and the caption's close box goes inactive.
bool DisableCloseCommand(HWND window, int position, std::string_view text);

} // namespace tidewell::win32
