#include "ui/ModalMessageBox.h"

#include "ui/Runtime.h"

namespace tidewell::ui {

int ModalMessageBox::Show(std::string_view text, unsigned flags, std::string_view title) {
    runtime_.ThrowIfQuitting();
    int answer = 0;
    {
        const Runtime::ModalScope modal = runtime_.EnterModal();
        answer = box_.Show(text, flags, title);
    }
    runtime_.ThrowIfQuitting();
    return answer;
}

} // namespace tidewell::ui
