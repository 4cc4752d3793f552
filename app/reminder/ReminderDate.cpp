#include "reminder/ReminderDate.h"

namespace tidewell {

namespace {
bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}
} // namespace

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

CalendarDate AddDays(CalendarDate date, int days) {
    // The clock gives a real date; the days added are a few weeks at most.
    for (; days > 0; --days) {
        if (date.day < DaysInMonth(date.year, date.month)) {
            ++date.day;
        } else if (date.month < 12) {
            ++date.month;
            date.day = 1;
        } else {
            ++date.year;
            date.month = 1;
            date.day = 1;
        }
    }
    return date;
}

CalendarDate AddOneMonth(CalendarDate date) {
    if (date.month < 12) {
        ++date.month;
    } else {
        ++date.year;
        date.month = 1;
    }
    const int last = DaysInMonth(date.year, date.month);
    if (date.day > last) {
        date.day = last;
    }
    return date;
}

std::string NextRunText(CalendarDate date) {
    return std::to_string(date.month) + "/" + std::to_string(date.day) + "/" +
           std::to_string(date.year);
}

} // namespace tidewell
