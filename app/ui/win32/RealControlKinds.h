#pragma once

#include "ui/win32/RealControl.h"

namespace tidewell::win32 {

class RealLabel final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
};

// Drawn behind the controls it surrounds.
class RealFrame final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
    void Placed() override;
};

class RealCheckBox final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
    void Apply(const FormSurface& form, ui::Change change) override;
    void Command(WORD code) override;
    bool TakesFirstFocus() const override { return true; }
};

class RealOptionButton final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
    void Apply(const FormSurface& form, ui::Change change) override;
    void Command(WORD code) override;
};

class RealCommandButton final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
    void Command(WORD code) override;
    bool TakesFirstFocus() const override { return true; }
};

class RealProgressBar final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
    void Apply(const FormSurface& form, ui::Change change) override;
};

// Docked at the bottom of the form by the control itself: its model bounds are not applied.
class RealStatusBar final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
    void Apply(const FormSurface& form, ui::Change change) override;
};

// No window of its own: SetTimer on the form with the control's id. A running timer is killed
// when the control goes.
class RealTimer final : public RealControl {
public:
    using RealControl::RealControl;
    RealTimer(const RealTimer&) = delete;
    RealTimer& operator=(const RealTimer&) = delete;
    ~RealTimer() override;
    void Create(const FormSurface& form) override;
    void Apply(const FormSurface& form, ui::Change change) override;
    void Timer() override;

private:
    void Kill();

    HWND running_ = nullptr; // the form the timer runs on
};

class RealListBox final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
    void Apply(const FormSurface& form, ui::Change change) override;
    void Command(WORD code) override;

private:
    void Fill();
};

// Read-only: the user may select and copy the text.
class RealTextBox final : public RealControl {
public:
    using RealControl::RealControl;
    void Create(const FormSurface& form) override;
    void Apply(const FormSurface& form, ui::Change change) override;
};

} // namespace tidewell::win32
