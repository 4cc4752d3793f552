#pragma once

#include "fakes/EventLog.h"
#include "fakes/FakeControls.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakePorts.h"
#include "fakes/FakeRegistryValueControl.h"
#include "fakes/FakeWindowView.h"
#include "main/Settings.h"
#include "main/frmMaintenance.h"
#include "ports/AppPorts.h"

#include <memory>

namespace tidewell::testing {

inline constexpr WindowHandle kMainHandle = 0x2000;

// Every port faked, sharing one event log; FormLoader builds and loads a real frmMaintenance on a
// fake view, as the program's own loader does.
struct TestApp {
    fakes::EventLog log;
    fakes::FakeRegistryValueControl registry{&log};
    fakes::FakeSystemHelper system;
    fakes::FakeLibraryHelper library{&log};
    fakes::FakeMessageBox messageBox{&log};
    fakes::FakeEventLoop events;
    fakes::FakeClock clock{{2026, 12, 20}};
    fakes::FakeProcess process{&log};
    fakes::FakeDesktopWindows windows{&log};
    fakes::FakeFormLoader forms{&log};
    AppPorts ports{registry, system, library, messageBox, events, clock, process, windows, forms};

    fakes::FakeWindowView mainView{"main", kMainHandle, &log};
    fakes::FakeTrayIcon mainTray{"mainTray", &log};
    std::unique_ptr<frmMaintenance> main;

    TestApp() {
        forms.onShowMaintenance = [this] {
            if (!main) {
                main = std::make_unique<frmMaintenance>(ports, mainView, mainTray);
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
