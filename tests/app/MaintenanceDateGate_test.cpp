#include "startup/MaintenanceDateGate.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

TEST(ParseNextRunDate, ReadsMonthDayYearSplitAtSlashes) {
    const struct {
        const char* text;
        std::optional<CalendarDate> date;
    } rows[] = {
        {"12/20/2026", CalendarDate{2026, 12, 20}},
        {"12/6/2026", CalendarDate{2026, 12, 6}},
        {"1/5/2027", CalendarDate{2027, 1, 5}},
        {"01/05/2027", CalendarDate{2027, 1, 5}},
        {" 2 / 29 / 2024 ", CalendarDate{2024, 2, 29}},
        {"2/29/2025", std::nullopt},
        {"4/31/2026", std::nullopt},
        {"13/1/2026", std::nullopt},
        {"0/1/2026", std::nullopt},
        {"12/0/2026", std::nullopt},
        {"12/20/0", std::nullopt},
        {"12/20/10000", std::nullopt},
        {"12/20", std::nullopt},
        {"12/20/2026/1", std::nullopt},
        {"12-20-2026", std::nullopt},
        {"20.12.2026", std::nullopt},
        {"12/20/2026abc", std::nullopt},
        {"-1/20/2026", std::nullopt},
        {"+1/20/2026", std::nullopt},
        {"//", std::nullopt},
        {"", std::nullopt},
        {"garbage", std::nullopt},
        {"99999999999999999999/1/2026", std::nullopt},
        {"1/1/000000002026", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ParseNextRunDate(row.text), row.date) << '"' << row.text << '"';
    }
    const std::string huge(1 << 20, '1');
    EXPECT_EQ(ParseNextRunDate(huge + "/1/2026"), std::nullopt);
}

TEST(MaintenanceDateGate, LetsThroughNoneTodayAndPassedDatesEndsOnFutureAndGarbage) {
    const CalendarDate today{2026, 12, 20};
    const struct {
        const char* nextRun;
        GateDecision withoutCommandLine;
    } rows[] = {
        {"NONE", GateDecision::Proceed},         {"NONE123", GateDecision::Proceed},
        {"12/20/2026", GateDecision::Proceed},   {"12/19/2026", GateDecision::Proceed},
        {"1/1/2020", GateDecision::Proceed},     {"12/21/2026", GateDecision::EndQuietly},
        {"1/20/2027", GateDecision::EndQuietly}, {"2/1/2026", GateDecision::Proceed},
        {"none", GateDecision::EndQuietly},      {"garbage", GateDecision::EndQuietly},
        {"", GateDecision::EndQuietly},          {"20/12/2026", GateDecision::EndQuietly},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MaintenanceDateGate(row.nextRun, today, false), row.withoutCommandLine)
            << '"' << row.nextRun << '"';
        EXPECT_EQ(MaintenanceDateGate(row.nextRun, today, true), GateDecision::Proceed)
            << '"' << row.nextRun << "\" with a command line";
    }
    // The month is the first piece: December 20 is not the 12th of some month.
    EXPECT_EQ(MaintenanceDateGate("12/20/2026", {2026, 12, 12}, false), GateDecision::EndQuietly);
}

} // namespace
} // namespace tidewell
