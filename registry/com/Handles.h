#pragma once

#include <windows.h>

#include <memory>

#include <utility>

namespace registry {

// A key's handle as the registry functions want it from its 32-bit value (sign-extended, as the
// predefined handles are).
inline HKEY KeyHandleOf(LONG handle) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(handle));
}

// Owns an open registry key. Closing keeps GetLastError intact.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != std::addressof(other)) {
            Reset();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    ~RegKey() { Reset(); }

    void Reset() {
        if (HKEY key = std::exchange(key_, nullptr)) {
            DWORD error = GetLastError();
            RegCloseKey(key);
            SetLastError(error);
        }
    }
    HKEY Get() const { return key_; }
    HKEY Detach() { return std::exchange(key_, nullptr); }
    HKEY* operator&() {
        Reset();
        return &key_;
    }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

// Owns a kernel handle (process token, event, thread). Closing keeps GetLastError intact.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != std::addressof(other)) {
            Reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    ~Handle() { Reset(); }

    void Reset() {
        HANDLE h = std::exchange(h_, nullptr);
        if (h && h != INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            CloseHandle(h);
            SetLastError(error);
        }
    }
    HANDLE Get() const { return h_; }
    HANDLE Detach() { return std::exchange(h_, nullptr); }
    HANDLE* operator&() {
        Reset();
        return &h_;
    }
    explicit operator bool() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_ = nullptr;
};

// Memory from LocalAlloc, as FormatMessage hands it out.
class LocalMemory {
public:
    LocalMemory() = default;
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    ~LocalMemory() {
        if (p_)
            LocalFree(p_);
    }
    template <class T> T* As() const { return static_cast<T*>(p_); }
    void** operator&() { return &p_; }

private:
    void* p_ = nullptr;
};

} // namespace registry
