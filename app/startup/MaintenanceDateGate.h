#pragma once

#include "ports/Clock.h"

#include <optional>
#include <string_view>

namespace tidewell {

// A NextRun date: month/day/year split at the "/" characters, each piece decimal digits (blanks
// around a piece allowed), forming a real calendar day with a year 1..9999. Anything else, too
// many digits included, is no date.
std::optional<CalendarDate> ParseNextRunDate(std::string_view text);

enum class GateDecision { Proceed, EndQuietly };

// The maintenance-date gate of a start that is not the first. `nextRun` is the trimmed stored text.
// Any command line lets the start go on; so do "NONE..." and a date that is today or has passed
// (maintenance is due). A future date and text that is no date end the start quietly.
GateDecision MaintenanceDateGate(std::string_view nextRun, CalendarDate today, bool hasCommandLine);

} // namespace tidewell
