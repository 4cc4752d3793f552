#pragma once

#include <windows.h>

#include <memory>
#include <utility>

namespace win32common {

// A move-only owner of one handle, closed by Close (a kernel handle that failed as
// INVALID_HANDLE_VALUE is never stored: check it before handing it over). Taking its address
// releases what it held, so it can be passed straight to an API that fills it in. Closing keeps
// GetLastError intact.
template <typename T, auto Close, T Invalid = T{}> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T value) : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != std::addressof(other)) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }
    T release() { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) {
        T old = std::exchange(value_, value);
        if (old != Invalid) {
            const DWORD lastError = GetLastError();
            Close(old);
            SetLastError(lastError);
        }
    }
    T* operator&() {
        reset();
        return &value_;
    }

private:
    T value_ = Invalid;
};

namespace detail {
inline void CloseKey(HKEY key) {
    RegCloseKey(key);
}
inline void CloseKernelHandle(HANDLE handle) {
    CloseHandle(handle);
}
inline void DestroyOwnedWindow(HWND window) {
    DestroyWindow(window);
}
inline void DestroyOwnedIcon(HICON icon) {
    DestroyIcon(icon);
}
inline void DeleteGdiFont(HFONT font) {
    DeleteObject(font);
}
inline void FreeLocalMemory(void* memory) {
    LocalFree(memory);
}
} // namespace detail

using UniqueKey = UniqueHandle<HKEY, detail::CloseKey>;
using UniqueKernelHandle = UniqueHandle<HANDLE, detail::CloseKernelHandle>;
using UniqueWindow = UniqueHandle<HWND, detail::DestroyOwnedWindow>;
using UniqueIcon = UniqueHandle<HICON, detail::DestroyOwnedIcon>;
using UniqueFont = UniqueHandle<HFONT, detail::DeleteGdiFont>;
// Memory from LocalAlloc, as FormatMessage hands it out.
using UniqueLocalMemory = UniqueHandle<void*, detail::FreeLocalMemory>;

} // namespace win32common
