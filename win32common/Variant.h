#pragma once

#include <windows.h>

#include <memory>
#include <oleauto.h>

namespace win32common {

// Owns a VARIANT and clears it on the way out.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != std::addressof(other)) {
            Reset();
            v_ = other.v_;
            VariantInit(&other.v_);
        }
        return *this;
    }
    ~Variant() { Reset(); }

    void Reset() { VariantClear(&v_); }
    VARIANT* Get() { return &v_; }
    const VARIANT* Get() const { return &v_; }
    VARIANT* operator&() {
        Reset();
        return &v_;
    }
    VARIANT* operator->() { return &v_; }
    const VARIANT* operator->() const { return &v_; }
    VARTYPE Type() const { return V_VT(&v_); }
    // Moves the content into a caller's VARIANT (which must not hold anything).
    void Detach(VARIANT* out) {
        *out = v_;
        VariantInit(&v_);
    }

private:
    VARIANT v_{};
};

} // namespace win32common
