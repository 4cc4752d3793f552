#pragma once

#include "help/HTMLHelpAPI.h"
#include "help/HelpPorts.h"

#include <memory>

namespace tidewell::help {

// The program-wide help object. The program keeps one AppHelp for its whole life; the
// HTMLHelpAPI inside comes into being on first use and lives until the main window closes.
class AppHelp {
public:
    explicit AppHelp(const HelpPorts& ports) : ports_(ports) {}
    AppHelp(const AppHelp&) = delete;
    AppHelp& operator=(const AppHelp&) = delete;
    ~AppHelp() = default;

    // The object, created with every property at its starting value when there is none.
    HTMLHelpAPI& Get();
    HTMLHelpAPI* operator->() { return &Get(); }

    // The main window's closing: every help window closes (HHClose, on a fresh object when none
    // exists, as any use would make one), then the object is released.
    void CloseAndRelease();

    bool Exists() const { return object_ != nullptr; }
    const HelpPorts& Ports() const { return ports_; }

private:
    HelpPorts ports_;
    std::unique_ptr<HTMLHelpAPI> object_;
};

} // namespace tidewell::help
