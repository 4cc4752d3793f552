#include "run/win32/Win32ProcessPriority.h"

#include "win32common/Handles.h"

#include <windows.h>

namespace tidewell::win32 {

ProcessPriorityPort::Outcome Win32ProcessPriority::SetOwnPriorityClass(std::int32_t priorityClass) {
    win32common::UniqueKernelHandle process(OpenProcess(
        PROCESS_SET_INFORMATION | PROCESS_QUERY_INFORMATION, TRUE, GetCurrentProcessId()));
    if (!process) {
        return Outcome::CannotOpen;
    }
    return SetPriorityClass(process.get(), static_cast<DWORD>(priorityClass)) ? Outcome::Changed
                                                                              : Outcome::Refused;
}

} // namespace tidewell::win32
