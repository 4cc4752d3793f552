#include "objects/Privilege.h"

namespace registry {

PrivilegeScope::PrivilegeScope(const char* privilege) {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token_))
        return;
    TOKEN_PRIVILEGES wanted = {};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, privilege, &wanted.Privileges[0].Luid))
        return;
    DWORD previousSize = sizeof(previous_);
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(token_.get(), FALSE, &wanted, sizeof(previous_), &previous_,
                               &previousSize))
        return;
    // Success with ERROR_NOT_ALL_ASSIGNED means the token does not hold the privilege.
    adjusted_ = GetLastError() == ERROR_SUCCESS;
}

PrivilegeScope::~PrivilegeScope() {
    if (adjusted_) {
        const DWORD error = GetLastError();
        AdjustTokenPrivileges(token_.get(), FALSE, &previous_, 0, nullptr, nullptr);
        SetLastError(error);
    }
}

} // namespace registry
