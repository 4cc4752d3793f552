#include "help/win32/Win32HtmlHelp.h"

#include "help/win32/AnsiText.h"

#include <type_traits>

namespace tidewell::help::win32 {

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

LPCSTR NativeHtmlHelpData::Keep(std::size_t slot, const std::optional<std::string>& text) {
    if (!text) {
        return nullptr;
    }
    texts_.at(slot) = ToAnsi(*text);
    return texts_[slot].c_str();
}

NativeHtmlHelpData::NativeHtmlHelpData(const HtmlHelpData& data) {
    std::visit(Overloaded{
                   [this](std::uint32_t number) { value_ = number; },
                   [this](const std::string& text) {
                       value_ = reinterpret_cast<DWORD_PTR>(Keep(0, text));
                   },
                   [this](const HhPopup& popup) {
                       popup_.cbStruct = sizeof(HH_POPUP);
                       popup_.hinst = reinterpret_cast<HINSTANCE>(popup.hinst);
                       popup_.idString = popup.idString;
                       popup_.pszText = Keep(0, popup.pszText);
                       popup_.pt = POINT{popup.pt.x, popup.pt.y};
                       popup_.clrForeground = popup.clrForeground;
                       popup_.clrBackground = popup.clrBackground;
                       popup_.rcMargins = RECT{popup.rcMargins.left, popup.rcMargins.top,
                                               popup.rcMargins.right, popup.rcMargins.bottom};
                       popup_.pszFont = Keep(1, popup.pszFont);
                       value_ = reinterpret_cast<DWORD_PTR>(&popup_);
                   },
                   [this](const HhAkLink& link) {
                       akLink_.cbStruct = sizeof(HH_AKLINK);
                       akLink_.fReserved = link.fReserved;
                       akLink_.pszKeywords = Keep(0, link.pszKeywords);
                       akLink_.pszUrl = Keep(1, link.pszUrl);
                       akLink_.pszMsgText = Keep(2, link.pszMsgText);
                       akLink_.pszMsgTitle = Keep(3, link.pszMsgTitle);
                       akLink_.pszWindow = Keep(4, link.pszWindow);
                       akLink_.fIndexOnFail = link.fIndexOnFail;
                       value_ = reinterpret_cast<DWORD_PTR>(&akLink_);
                   },
                   [this](const HhFtsQuery& query) {
                       ftsQuery_.cbStruct = sizeof(HH_FTS_QUERY);
                       ftsQuery_.fUniCodeStrings = query.fUniCodeStrings;
                       ftsQuery_.pszSearchQuery = Keep(0, query.pszSearchQuery);
                       ftsQuery_.iProximity = query.iProximity;
                       ftsQuery_.fStemmedSearch = query.fStemmedSearch;
                       ftsQuery_.fTitleOnly = query.fTitleOnly;
                       ftsQuery_.fExecute = query.fExecute;
                       ftsQuery_.pszWindow = Keep(1, query.pszWindow);
                       value_ = reinterpret_cast<DWORD_PTR>(&ftsQuery_);
                   },
               },
               data);
}

WindowHandle Win32HtmlHelp::Call(WindowHandle owner, const std::optional<std::string>& target,
                                 std::uint32_t command, const HtmlHelpData& data) {
    if (function_ == nullptr) {
        HMODULE module = nullptr;
        if (LoadLibraryW(L"hhctrl.ocx") != nullptr &&
            GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, L"hhctrl.ocx", &module)) {
            // Through a generic function pointer: GetProcAddress knows no signatures.
            function_ = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(module, "HtmlHelpA")));
        }
        if (function_ == nullptr) {
            return 0; // no viewer: the help simply does not open
        }
    }
    const NativeHtmlHelpData native(data);
    std::string ansiTarget;
    if (target) {
        ansiTarget = ToAnsi(*target);
    }
    HWND window = function_(reinterpret_cast<HWND>(owner), target ? ansiTarget.c_str() : nullptr,
                            command, native.Value());
    return reinterpret_cast<WindowHandle>(window);
}

} // namespace tidewell::help::win32
