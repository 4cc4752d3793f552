#pragma once

#include "ports/Clock.h"

#include <string>

namespace tidewell {

// The reminder's dates, calendar-correct: days are added across month and year ends, and a month
// keeps its day, clamped to the last day of the month it lands in.
CalendarDate AddDays(CalendarDate date, int days);
CalendarDate AddOneMonth(CalendarDate date);
int DaysInMonth(int year, int month);

// month/day/year without leading zeros (1/18/2027), the form the start-up gate reads.
std::string NextRunText(CalendarDate date);

} // namespace tidewell
