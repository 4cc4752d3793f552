#pragma once

#include "ports/MessageBox.h"

namespace tidewell::ui {

class Runtime;

// Every message box of the program goes through this: the box counts as modal while it is open
// (so the tray's left click is ignored meanwhile), none is shown once the program quits, and a
// quit during the box stops the handler that asked (ProgramQuitting) instead of letting it act
// on the answer.
class ModalMessageBox final : public MessageBoxPort {
public:
    ModalMessageBox(MessageBoxPort& box, Runtime& runtime) : box_(box), runtime_(runtime) {}
    int Show(std::string_view text, unsigned flags, std::string_view title) override;

private:
    MessageBoxPort& box_;
    Runtime& runtime_;
};

} // namespace tidewell::ui
