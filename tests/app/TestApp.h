#pragma once

#include "fakes/EventLog.h"
#include "fakes/FakeControls.h"
#include "fakes/FakeHelpPorts.h"
#include "fakes/FakeHelpPorts.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakePorts.h"
#include "fakes/FakeRegistryValueControl.h"
#include "fakes/FakeWindowView.h"
#include "help/AppHelp.h"
#include "help/AppHelp.h"
#include "settings/RunFlags.h"
#include "settings/Settings.h"
#include "main/frmMaintenance.h"
#include "ports/AppPorts.h"
#include "ports/SharedObjects.h"
#include "ui/ModalMessageBox.h"
#include "ui/Runtime.h"

#include <memory>

namespace tidewell::testing {

inline constexpr WindowHandle kMainHandle = 0x2000;

// Every port faked, sharing one event log; FormLoader builds and loads a real frmMaintenance on a
// fake view, as the program's own loader does. Message boxes go through the program's own modal
// wrapper, so the modal state and the quit rules are those of the program.
struct TestApp {
    fakes::EventLog log;
    fakes::FakeScreen screen;
    fakes::FakeRegistryValueControl registry{&log};
    fakes::FakeSystemHelper system;
    fakes::FakeLibraryHelper library{&log};
    fakes::FakeMessageBox messageBox{&log};
    fakes::FakeEventLoop events;
    ui::Runtime runtime{events};
    ui::ModalMessageBox modalBox{messageBox, runtime};
    fakes::FakeClock clock{{2026, 12, 20}};
    fakes::FakeProcess process{&log};
    fakes::FakeDesktopWindows windows{&log};
    fakes::FakeFormLoader forms{&log};
    fakes::FakeForms formsPort{&log, &screen};
    RunFlags flags;
    fakes::FakeHtmlHelp htmlHelp{&log};
    fakes::FakeHelpMessageBox helpBoxes{&log};
    fakes::FakeHelpSystem helpSystem{&log};
    fakes::FakeHelpRegistry helpRegistry;
    help::AppHelp appHelp{help::HelpPorts{htmlHelp, helpBoxes, helpSystem, helpRegistry, process}};
    SharedObjects shared;
    AppPorts ports{registry, system, library,   modalBox, events, clock,   process,
                   windows,  forms,  formsPort, runtime,  flags,  appHelp, shared};

    fakes::FakeTrayIcon mainTray{"mainTray", &log};
    fakes::FakeWindowView mainView{"main", kMainHandle, &log, &mainTray, &screen};
    std::unique_ptr<frmMaintenance> main;

    TestApp() {
        forms.onShowMaintenance = [this] {
            if (!main) {
                main = std::make_unique<frmMaintenance>(ports, mainView);
                mainView.Bind(*main);
                main->Form_Load();
            }
            main->Show();
        };
    }

    void SetSetting(std::string_view name, std::string_view data, std::int32_t type = kRegSz) {
        registry.Set(kSettingsRoot, kSettingsKey, name, data, type);
    }
    std::optional<std::string> Setting(std::string_view name) const {
        return registry.Data(kSettingsRoot, kSettingsKey, name);
    }
    std::optional<std::string> StartupEntry() const {
        return registry.Data(kHkeyLocalMachine, kRunKey, kStartupEntryName);
    }
};

} // namespace tidewell::testing
