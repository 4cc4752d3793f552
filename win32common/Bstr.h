#pragma once

#include <windows.h>

#include <memory>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace win32common {

// A null BSTR counts as empty.
inline std::wstring_view BstrView(BSTR s) {
    return {s ? s : L"", SysStringLen(s)};
}

// Owns a BSTR. A null BSTR is a valid empty string for automation.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text)
        : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != std::addressof(other)) {
            Reset();
            s_ = std::exchange(other.s_, nullptr);
        }
        return *this;
    }
    ~Bstr() { Reset(); }

    static Bstr Attach(BSTR s) {
        Bstr result;
        result.s_ = s;
        return result;
    }
    BSTR Detach() { return std::exchange(s_, nullptr); }
    void Reset() {
        if (BSTR s = std::exchange(s_, nullptr))
            SysFreeString(s);
    }
    BSTR Get() const { return s_; }
    BSTR* operator&() {
        Reset();
        return &s_;
    }
    UINT Length() const { return SysStringLen(s_); }
    std::wstring_view View() const { return BstrView(s_); }

private:
    BSTR s_ = nullptr;
};

} // namespace win32common
