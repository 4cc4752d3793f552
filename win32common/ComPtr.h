#pragma once

#include <windows.h>

#include <memory>
#include <unknwn.h>

#include <utility>

namespace win32common {

// Owns one reference to a COM interface. Copying adds a reference; taking the address releases
// what was held so the pointer can be filled by a call.
template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    explicit ComPtr(T* p) : p_(p) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) {
        if (this != std::addressof(other)) {
            ComPtr copy(other);
            Swap(copy);
        }
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != std::addressof(other)) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* p) {
        ComPtr result;
        result.p_ = p;
        return result;
    }
    T* Detach() { return std::exchange(p_, nullptr); }

    void Reset() {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** operator&() {
        Reset();
        return &p_;
    }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    // Hands out a new reference, as an out-parameter wants it.
    HRESULT CopyTo(T** out) const {
        if (!out)
            return E_POINTER;
        *out = p_;
        if (p_)
            p_->AddRef();
        return S_OK;
    }

    template <class U> HRESULT As(REFIID iid, ComPtr<U>& out) const {
        if (!p_)
            return E_POINTER;
        return p_->QueryInterface(iid, reinterpret_cast<void**>(&out));
    }

private:
    T* p_ = nullptr;
};

} // namespace win32common
