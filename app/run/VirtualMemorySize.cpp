#include "run/VirtualMemorySize.h"

namespace tidewell {

std::int64_t VirtualMemorySizeMegabytes(std::int64_t physicalMemoryBytes) {
    if (physicalMemoryBytes <= 0) {
        return 0;
    }
    return 2 * (physicalMemoryBytes / 1'000'000);
}

} // namespace tidewell
