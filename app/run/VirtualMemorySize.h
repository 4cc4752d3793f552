#pragma once

#include <cstdint>

namespace tidewell {

// The size in megabytes the user is told to type for the minimum and maximum swap file: twice
// the physical memory in decimal millions of bytes. Taken from the 64-bit memory size, so it
// neither truncates nor wraps on machines with a gigabyte or more; a negative size counts as 0.
std::int64_t VirtualMemorySizeMegabytes(std::int64_t physicalMemoryBytes);

} // namespace tidewell
