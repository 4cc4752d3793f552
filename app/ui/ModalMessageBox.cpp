#include "ui/ModalMessageBox.h"

#include "ui/Runtime.h"

namespace tidewell::ui {

int ModalMessageBox::Show(std::string_view text, unsigned flags, std::string_view title) {
    return runtime_.Modal([&] { return box_.Show(text, flags, title); });
}

} // namespace tidewell::ui
