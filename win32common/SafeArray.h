#pragma once

#include <windows.h>

#include <memory>
#include <oleauto.h>

#include <utility>

namespace win32common {

// Owns a SAFEARRAY and destroys it, elements included.
class SafeArray {
public:
    SafeArray() = default;
    explicit SafeArray(SAFEARRAY* a) : a_(a) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& other) noexcept : a_(std::exchange(other.a_, nullptr)) {}
    SafeArray& operator=(SafeArray&& other) noexcept {
        if (this != std::addressof(other)) {
            Reset();
            a_ = std::exchange(other.a_, nullptr);
        }
        return *this;
    }
    ~SafeArray() { Reset(); }

    void Reset() {
        if (SAFEARRAY* a = std::exchange(a_, nullptr))
            SafeArrayDestroy(a);
    }
    SAFEARRAY* Get() const { return a_; }
    SAFEARRAY* Detach() { return std::exchange(a_, nullptr); }
    SAFEARRAY** operator&() {
        Reset();
        return &a_;
    }
    explicit operator bool() const { return a_ != nullptr; }

private:
    SAFEARRAY* a_ = nullptr;
};

// Keeps a SAFEARRAY's data locked for direct access while in scope.
class SafeArrayDataLock {
public:
    explicit SafeArrayDataLock(SAFEARRAY* a)
        : a_(a), hr_(a_ ? SafeArrayAccessData(a_, &data_) : E_POINTER) {}
    SafeArrayDataLock(const SafeArrayDataLock&) = delete;
    SafeArrayDataLock& operator=(const SafeArrayDataLock&) = delete;
    ~SafeArrayDataLock() {
        if (SUCCEEDED(hr_))
            SafeArrayUnaccessData(a_);
    }
    HRESULT Result() const { return hr_; }
    void* Data() const { return data_; }

private:
    SAFEARRAY* a_;
    void* data_ = nullptr;
    HRESULT hr_;
};

} // namespace win32common
