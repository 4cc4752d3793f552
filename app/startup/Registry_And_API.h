#pragma once

#include <string_view>

namespace tidewell {

class DesktopWindowsPort;

// Window classes an earlier instance's application window may carry, searched in this order.
inline constexpr std::string_view kPreviousInstanceClasses[] = {"ThunderRTMain", "ThunderRT5Main",
                                                                "ThunderRT6Main"};
// This instance's application title while it searches, so it does not find itself.
inline constexpr std::string_view kUnwantedInstanceTitle = "unwanted instance";

// True when another instance runs: its visible window (the one just above its application window
// in the Z-order) was restored if minimised and brought to the foreground, and this instance keeps
// the title "unwanted instance". False: nothing found, the application title is restored.
bool FindPreviousInstance(DesktopWindowsPort& windows);

} // namespace tidewell
