#pragma once

#include <cstdint>

namespace tidewell {

inline constexpr std::int32_t kNormalPriorityClass = 0x20;
inline constexpr std::int32_t kHighPriorityClass = 0x80;

// The priority class of this program's own process.
class ProcessPriorityPort {
public:
    enum class Outcome { Changed, Refused, CannotOpen };
    virtual ~ProcessPriorityPort() = default;
    // Opens this process by its id (an inheritable handle), sets the class, closes the handle.
    virtual Outcome SetOwnPriorityClass(std::int32_t priorityClass) = 0;
};

// True when the class was set; false when the process was opened but the class was refused.
// Throws ProgramError 2, source "ChangePriority", "Unable To open the source process" when the
// process cannot be opened.
bool ChangePriority(ProcessPriorityPort& port, std::int32_t& priorityClass);

} // namespace tidewell
