#pragma once

#include "ports/MessageBox.h"

#include <string_view>

namespace tidewell {

// Shown wherever a tested registry write fails; what follows depends on the caller.
inline constexpr std::string_view kRegistryErrorText =
    "There was an error writing to the registry!\r\nPlease restart your computer!";
inline constexpr std::string_view kRegistryErrorTitle = "ERROR!";
inline constexpr unsigned kRegistryErrorFlags = mb::kOk | mb::kIconStop;

void ShowRegistryError(MessageBoxPort& messageBox);

} // namespace tidewell
