#include "run/VirtualMemorySize.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

struct SizeCase {
    std::int64_t bytes;
    std::int64_t megabytes;
};

TEST(VirtualMemorySize, TwiceTheDecimalMillionsOfBytes) {
    constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;
    const SizeCase cases[] = {
        {16'777'216, 32},   // 16 MiB
        {67'108'864, 134},  // 64 MiB
        {134'217'728, 268}, // 128 MiB
        {kGiB, 2146},       // a single gigabyte no longer reads as "20"
        {4 * kGiB, 8588},   // 4 GiB: past 32 bits, no wrap to 0
        {16 * kGiB, 34358}, // 16 GiB
        {999'999, 0},       // below one million: nothing to double
        {1'000'000, 2},     // the boundary
        {1'999'999, 2},     // division truncates
        {0, 0},
        {-1, 0}, // a broken reading never gives a negative size
        {std::numeric_limits<std::int64_t>::min(), 0},
        {std::numeric_limits<std::int64_t>::max(), 18'446'744'073'708},
    };
    for (const SizeCase& row : cases) {
        EXPECT_EQ(tidewell::VirtualMemorySizeMegabytes(row.bytes), row.megabytes)
            << "bytes " << row.bytes;
    }
}

} // namespace
