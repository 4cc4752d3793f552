#pragma once

#include <compare>
#include <string>

namespace tidewell {

// A day of the calendar. Member order makes the comparison chronological.
struct CalendarDate {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
    friend auto operator<=>(const CalendarDate&, const CalendarDate&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Today's date in local time, from the system clock (not from a formatted date text).
    virtual CalendarDate Today() const = 0;
    // Today as the system writes a short date (GetDateFormat DATE_SHORTDATE), for display.
    virtual std::string ShortDateText() const = 0;
};

} // namespace tidewell
