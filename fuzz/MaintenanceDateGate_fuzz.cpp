// The stored NextRun date as the start-up gate reads it, and the dates the reminder writes for it.
// The first bytes pick today's date and whether a command line was given; the rest is the stored
// text. Properties:
// - the reader accepts exactly what an independent reader accepts (three '/'-separated pieces of
//   at most eight decimal digits, blanks around them, a real calendar day in years 1..9999, judged
//   by std::chrono) and gives the same date;
// - the gate proceeds exactly for a command line, "NONE...", or a date up to today;
// - every date the reminder computes from today (3, 7, 14 days, one month; checked against
//   std::chrono) is written in a form the reader gives back unchanged.
#include "FuzzSupport.h"
#include "reminder/ReminderDate.h"
#include "startup/MaintenanceDateGate.h"

#include <chrono>
#include <optional>
#include <vector>

using namespace tidewell;
namespace chr = std::chrono;

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::optional<long> ReferencePiece(std::string_view piece) {
    piece = Trim(piece);
    if (piece.empty() || piece.size() > 8)
        return std::nullopt;
    long value = 0;
    for (char c : piece) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsCalendarDay(long year, long month, long day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    const chr::year_month_day date{chr::year{static_cast<int>(year)},
                                   chr::month{static_cast<unsigned>(month)},
                                   chr::day{static_cast<unsigned>(day)}};
    return date.ok();
}

std::optional<CalendarDate> ReferenceDate(std::string_view text) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const std::size_t slash = text.find('/', start);
        pieces.push_back(
            text.substr(start, slash == std::string_view::npos ? slash : slash - start));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    if (pieces.size() != 3)
        return std::nullopt;
    const auto month = ReferencePiece(pieces[0]);
    const auto day = ReferencePiece(pieces[1]);
    const auto year = ReferencePiece(pieces[2]);
    if (!month || !day || !year || !IsCalendarDay(*year, *month, *day))
        return std::nullopt;
    return CalendarDate{.year = static_cast<int>(*year),
                        .month = static_cast<int>(*month),
                        .day = static_cast<int>(*day)};
}

chr::year_month_day ToChrono(CalendarDate date) {
    return {chr::year{date.year}, chr::month{static_cast<unsigned>(date.month)},
            chr::day{static_cast<unsigned>(date.day)}};
}

CalendarDate FromChrono(chr::year_month_day date) {
    return {.year = static_cast<int>(date.year()),
            .month = static_cast<int>(static_cast<unsigned>(date.month())),
            .day = static_cast<int>(static_cast<unsigned>(date.day()))};
}

CalendarDate ChronoPlusDays(CalendarDate date, int days) {
    return FromChrono(chr::year_month_day{chr::sys_days{ToChrono(date)} + chr::days{days}});
}

CalendarDate ChronoPlusMonth(CalendarDate date) {
    chr::year_month_day next = ToChrono(date) + chr::months{1};
    if (!next.ok())
        next = chr::year_month_day_last{next.year(), chr::month_day_last{next.month()}};
    return FromChrono(next);
}

void CheckWrittenDate(CalendarDate date) {
    const std::string text = NextRunText(date);
    const auto read = ParseNextRunDate(text);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(*read == date);
    FUZZ_CHECK(text.find(" ") == std::string::npos && text.front() != '0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    // Today: any real day in years 1..9998, so every reminder date stays within the years read.
    const int serial = (data[0] | data[1] << 8 | (data[2] & 0x3F) << 16) % 3651694;
    const CalendarDate today =
        FromChrono(chr::year_month_day{chr::sys_days{chr::year{1} / 1 / 1} + chr::days{serial}});
    const bool hasCommandLine = (data[3] & 1) != 0;
    const std::string_view text = fuzz::AsText(data + 4, size - 4);

    const auto parsed = ParseNextRunDate(text);
    const auto reference = ReferenceDate(text);
    FUZZ_CHECK(parsed.has_value() == reference.has_value());
    if (parsed)
        FUZZ_CHECK(*parsed == *reference);

    const bool none = Trim(text).starts_with("NONE");
    const bool proceeds = hasCommandLine || none || (reference && *reference <= today);
    FUZZ_CHECK((MaintenanceDateGate(text, today, hasCommandLine) == GateDecision::Proceed) ==
               proceeds);

    for (int days : {3, 7, 14}) {
        const CalendarDate later = AddDays(today, days);
        FUZZ_CHECK(later == ChronoPlusDays(today, days));
        CheckWrittenDate(later);
    }
    const CalendarDate nextMonth = AddOneMonth(today);
    FUZZ_CHECK(nextMonth == ChronoPlusMonth(today));
    CheckWrittenDate(nextMonth);
    CheckWrittenDate(today);
    return 0;
}
