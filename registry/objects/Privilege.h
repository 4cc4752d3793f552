#pragma once

#include "com/Win32Common.h"

#include <windows.h>

namespace registry {

// Enables one privilege of the process token for its lifetime and puts the previous state back.
// A failure to enable is ignored: the registry call that needs the privilege reports its own.
class PrivilegeScope {
public:
    explicit PrivilegeScope(const char* privilege);
    ~PrivilegeScope();
    PrivilegeScope(const PrivilegeScope&) = delete;
    PrivilegeScope& operator=(const PrivilegeScope&) = delete;

    bool Enabled() const { return adjusted_; }

private:
    UniqueKernelHandle token_;
    TOKEN_PRIVILEGES previous_ = {};
    bool adjusted_ = false;
};

} // namespace registry
