#pragma once

#include "fakes/FakeHelpPorts.h"
#include "fakes/FakePorts.h"
#include "help/HTMLHelpAPI.h"

#include <gtest/gtest.h>

#include <string>

namespace tidewell::testing {

// Every port of the help class faked; the program lives in the default folder of FakeProcess.
struct HelpPortsFixture {
    fakes::EventLog log;
    fakes::FakeHtmlHelp htmlHelp{&log};
    fakes::FakeHelpMessageBox helpBoxes{&log};
    fakes::FakeHelpSystem system{&log};
    fakes::FakeHelpRegistry registry;
    fakes::FakeProcess process{&log};
    help::HelpPorts ports{htmlHelp, helpBoxes, system, registry, process};

    std::string ProgramFile(std::string_view name) const {
        return process.executableFolder + "\\" + std::string(name);
    }
};

template <typename T> const T& DataAs(const fakes::FakeHtmlHelp::Request& call) {
    const T* data = std::get_if<T>(&call.data);
    if (data == nullptr) {
        ADD_FAILURE() << "HtmlHelp data of command " << call.command << " holds variant index "
                      << call.data.index();
        static const T empty{};
        return empty;
    }
    return *data;
}

} // namespace tidewell::testing
