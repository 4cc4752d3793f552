#pragma once

#include "win32common/Handles.h"

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
    win32common::UniqueKernelHandle token_;
    TOKEN_PRIVILEGES previous_ = {};
    bool adjusted_ = false;
};

} // namespace registry
