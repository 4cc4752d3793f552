#include "com/Module.h"

#include <atomic>

namespace registry {

namespace {

std::atomic<LONG> lockCount{0};
HINSTANCE moduleInstance = nullptr;

// Built by the C runtime before DllMain runs, torn down after it returns from detach.
class ModuleCriticalSection {
public:
    ModuleCriticalSection() { InitializeCriticalSection(&section_); }
    ~ModuleCriticalSection() { DeleteCriticalSection(&section_); }
    ModuleCriticalSection(const ModuleCriticalSection&) = delete;
    ModuleCriticalSection& operator=(const ModuleCriticalSection&) = delete;
    CRITICAL_SECTION* Get() { return &section_; }

private:
    CRITICAL_SECTION section_{};
};

ModuleCriticalSection& Section() {
    static ModuleCriticalSection section;
    return section;
}

} // namespace

void LockModule() {
    ++lockCount;
}
void UnlockModule() {
    --lockCount;
}
LONG ModuleLockCount() {
    return lockCount.load();
}

HINSTANCE ModuleInstance() {
    return moduleInstance;
}
void SetModuleInstance(HINSTANCE instance) {
    moduleInstance = instance;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(moduleInstance, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

ModuleGuard::ModuleGuard() {
    EnterCriticalSection(Section().Get());
}
ModuleGuard::~ModuleGuard() {
    LeaveCriticalSection(Section().Get());
}

} // namespace registry
