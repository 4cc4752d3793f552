#include "startup/MaintenanceDateGate.h"

#include "controls/RegistryValue.h"
#include "settings/Settings.h"

#include <array>
#include <charconv>
#include <string>

namespace tidewell {

namespace {

// Enough digits for any real month, day or year with leading zeros, few enough never to overflow.
constexpr std::size_t kMaxDigits = 8;

std::optional<int> ParsePiece(std::string_view piece) {
    const std::string trimmed = TrimBlanks(piece);
    if (trimmed.empty() || trimmed.size() > kMaxDigits) {
        return std::nullopt;
    }
    int number = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto [stop, error] = std::from_chars(trimmed.data(), end, number);
    if (error != std::errc() || stop != end || trimmed.front() == '-' || trimmed.front() == '+') {
        return std::nullopt;
    }
    return number;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

} // namespace

std::optional<CalendarDate> ParseNextRunDate(std::string_view text) {
    std::array<int, 3> parts{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t slash = text.find('/', start);
        const bool last = i + 1 == parts.size();
        if (last != (slash == std::string_view::npos)) {
            return std::nullopt; // fewer or more than three pieces
        }
        const auto number =
            ParsePiece(text.substr(start, last ? std::string_view::npos : slash - start));
        if (!number) {
            return std::nullopt;
        }
        parts[i] = *number;
        start = slash + 1;
    }
    const CalendarDate date{.year = parts[2], .month = parts[0], .day = parts[1]};
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month)) {
        return std::nullopt;
    }
    return date;
}

GateDecision MaintenanceDateGate(std::string_view nextRun, CalendarDate today,
                                 bool hasCommandLine) {
    if (hasCommandLine || Settings::IsNone(nextRun)) {
        return GateDecision::Proceed;
    }
    const auto date = ParseNextRunDate(nextRun);
    return date && *date <= today ? GateDecision::Proceed : GateDecision::EndQuietly;
}

} // namespace tidewell
