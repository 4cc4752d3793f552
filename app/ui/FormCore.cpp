#include "ui/FormCore.h"

#include "ui/Runtime.h"

namespace tidewell::ui {

bool FormCore::Unload(UnloadMode mode) {
    if (unloaded_) {
        return true;
    }
    if (queryOpen_) {
        return false;
    }
    queryOpen_ = true;
    bool accepted = false;
    try {
        accepted = Form_QueryUnload(mode);
    } catch (...) {
        queryOpen_ = false;
        throw;
    }
    queryOpen_ = false;
    if (!accepted || unloaded_) {
        return unloaded_;
    }
    unloaded_ = true;
    view_.Destroy();
    return true;
}

void FormCore::Show() {
    if (!unloaded_) {
        view_.Show();
    }
}

void FormCore::Hide() {
    if (!unloaded_) {
        view_.Hide();
    }
}

void FormCore::ShowModal() {
    if (unloaded_) {
        return;
    }
    runtime_.Modal([this] {
        struct ModalWindows {
            WindowView& view;
            explicit ModalWindows(WindowView& modalView) : view(modalView) { view.BeginModal(); }
            ModalWindows(const ModalWindows&) = delete;
            ModalWindows& operator=(const ModalWindows&) = delete;
            ~ModalWindows() { view.EndModal(); }
        } others(view_);
        view_.Show();
        runtime_.WaitUntil([this] { return unloaded_ || !view_.IsVisible(); });
    });
}

} // namespace tidewell::ui
