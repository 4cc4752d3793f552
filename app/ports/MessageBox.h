#pragma once

#include <string_view>

namespace tidewell {

// The platform's message-box flags and answer codes, as plain numbers (the core has no
// <windows.h>).
namespace mb {
inline constexpr unsigned kOk = 0x0;
inline constexpr unsigned kOkCancel = 0x1;
inline constexpr unsigned kYesNo = 0x4;
inline constexpr unsigned kIconStop = 0x10; // MB_ICONHAND, the critical icon
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconExclamation = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kSetForeground = 0x10000;
} // namespace mb

namespace answer {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
} // namespace answer

// A modal message box. Texts are UTF-8 and are shown exactly (CRLF line breaks, runs of blanks).
class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    // Blocks until the user answers; returns the answer code (answer::kOk, kYes, ...).
    virtual int Show(std::string_view text, unsigned flags, std::string_view title) = 0;
};

} // namespace tidewell
