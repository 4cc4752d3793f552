#pragma once

#include "help/HelpPorts.h"

#include <windows.h>

#include <htmlhelp.h>

#include <array>
#include <optional>
#include <string>

namespace tidewell::help::win32 {

// One HtmlHelp data value in the platform's form: the record with cbStruct filled in and the ANSI
// texts it points at, owned for as long as this object lives.
class NativeHtmlHelpData {
public:
    explicit NativeHtmlHelpData(const HtmlHelpData& data);
    NativeHtmlHelpData(const NativeHtmlHelpData&) = delete;
    NativeHtmlHelpData& operator=(const NativeHtmlHelpData&) = delete;
    ~NativeHtmlHelpData() = default;

    DWORD_PTR Value() const { return value_; }
    const HH_POPUP& Popup() const { return popup_; }
    const HH_AKLINK& AkLink() const { return akLink_; }
    const HH_FTS_QUERY& FtsQuery() const { return ftsQuery_; }

private:
    LPCSTR Keep(std::size_t slot, const std::optional<std::string>& text);

    std::array<std::string, 5> texts_;
    HH_POPUP popup_{};
    HH_AKLINK akLink_{};
    HH_FTS_QUERY ftsQuery_{};
    DWORD_PTR value_ = 0;
};

// HtmlHelpA of hhctrl.ocx, loaded on the first call. The module is pinned for the life of the
// process: the viewer's windows keep running on its code after every call returns.
class Win32HtmlHelp final : public HtmlHelpPort {
public:
    WindowHandle Call(WindowHandle owner, const std::optional<std::string>& target,
                      std::uint32_t command, const HtmlHelpData& data) override;

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    HtmlHelpFunction function_ = nullptr;
};

} // namespace tidewell::help::win32
