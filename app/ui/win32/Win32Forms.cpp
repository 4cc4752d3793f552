#include "ui/win32/Win32Forms.h"

#include "ui/win32/Win32FormView.h"

#include <new>

namespace tidewell::win32 {

std::unique_ptr<WindowView> Win32Forms::CreateView(std::string_view caption, int clientWidthTwips,
                                                   int clientHeightTwips) {
    auto view = std::make_unique<Win32FormView>(hooks_);
    if (!view->Create(instance_, caption, clientWidthTwips, clientHeightTwips)) {
        // A form without its window cannot work: the caller's handler ends.
        throw std::bad_alloc();
    }
    return view;
}

} // namespace tidewell::win32
