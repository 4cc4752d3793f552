#pragma once

#include "ports/FormsPort.h"
#include "ui/FormCore.h"

#include <memory>
#include <utility>

namespace tidewell::ui {

// One form: its real window and its core, made together. The core type names its window with
// kCaption, kClientWidth and kClientHeight (twips) and takes the view as its last constructor
// argument:
//
//     ui::Form<frmRemind> remind(ports.formsPort, ports);
//     remind->Form_Load();
//     remind->ShowModal();
//
// The window is destroyed before the core, so its last messages never reach a dead core.
template <class Core> class Form {
public:
    template <class... Args>
    explicit Form(FormsPort& forms, Args&&... args)
        : view_(forms.CreateView(Core::kCaption, Core::kClientWidth, Core::kClientHeight)),
          core_(std::make_unique<Core>(std::forward<Args>(args)..., *view_)) {
        view_->Bind(*core_);
    }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form() {
        if (core_) {
            core_->WindowDestroyed();
        }
        view_->Destroy();
    }

    Core& operator*() { return *core_; }
    Core* operator->() { return core_.get(); }
    Core& Get() { return *core_; }
    WindowView& View() { return *view_; }

private:
    std::unique_ptr<WindowView> view_;
    std::unique_ptr<Core> core_;
};

} // namespace tidewell::ui
