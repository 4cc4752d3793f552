#include "run/ChangePriority.h"

#include "run/ProgramError.h"

namespace tidewell {

bool ChangePriority(ProcessPriorityPort& port, std::int32_t& priorityClass) {
    switch (port.SetOwnPriorityClass(priorityClass)) {
    case ProcessPriorityPort::Outcome::Changed:
        return true;
    case ProcessPriorityPort::Outcome::Refused:
        return false;
    case ProcessPriorityPort::Outcome::CannotOpen:
        break;
    }
    throw ProgramError(2, "ChangePriority", "Unable To open the source process");
}

} // namespace tidewell
