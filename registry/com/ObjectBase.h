#pragma once

#include "com/Module.h"

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <memory>
#include <new>
#include <utility>

namespace registry {

// Reference counting, module locking and aggregation for the library's objects.
//
// Every interface of a concrete object forwards its IUnknown methods to the controlling unknown
// (REGISTRY_IUNKNOWN_FORWARD). Alone, that is the object's own non-delegating unknown; inside an
// aggregate it is the outer object, and the outer object reaches us through InnerUnknown().
class ObjectBase {
public:
    ObjectBase(const ObjectBase&) = delete;
    ObjectBase& operator=(const ObjectBase&) = delete;

    IUnknown* InnerUnknown() { return &inner_; }
    IUnknown* ControllingUnknown() { return outer_; }

    HRESULT InnerQueryInterface(REFIID iid, void** result);
    ULONG InnerAddRef() { return ++refs_; }
    ULONG InnerRelease();

protected:
    explicit ObjectBase(IUnknown* outer) : inner_(*this), outer_(outer ? outer : &inner_) {
        LockModule();
    }
    virtual ~ObjectBase() { UnlockModule(); }

    // The interface pointer the object offers for iid (IUnknown excluded), or nullptr.
    virtual void* FindInterface(REFIID iid) = 0;

private:
    class NonDelegatingUnknown final : public IUnknown {
    public:
        explicit NonDelegatingUnknown(ObjectBase& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
            return owner_.InnerQueryInterface(iid, result);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return owner_.InnerAddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner_.InnerRelease(); }

    private:
        ObjectBase& owner_;
    };

    NonDelegatingUnknown inner_;
    IUnknown* outer_;
    std::atomic<ULONG> refs_{0};
};

inline HRESULT ObjectBase::InnerQueryInterface(REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    IUnknown* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown))
        found = &inner_;
    else
        found = static_cast<IUnknown*>(FindInterface(iid));
    if (!found)
        return E_NOINTERFACE;
    found->AddRef();
    *result = found;
    return S_OK;
}

inline ULONG ObjectBase::InnerRelease() {
    const ULONG left = --refs_;
    if (left == 0) {
        // Keeps a destructor that passes itself around from deleting the object twice.
        refs_ = 1u << 30;
        delete this;
    }
    return left;
}

// Makes a T and hands out its iid interface with one reference. T's constructor takes the outer
// unknown first; an aggregate may only ask for IUnknown.
template <class T, class... Args>
HRESULT CreateComObject(IUnknown* outer, REFIID iid, void** result, T** created, Args&&... args) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (created)
        *created = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    T* object = nullptr;
    try {
        object = new (std::nothrow) T(outer, std::forward<Args>(args)...);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (!object)
        return E_OUTOFMEMORY;
    // Holds the object alive across the query, which may fail and leave nothing else holding it.
    object->InnerAddRef();
    const HRESULT hr = object->InnerQueryInterface(iid, result);
    if (SUCCEEDED(hr) && created)
        *created = object;
    object->InnerRelease();
    return hr;
}

} // namespace registry

// The IUnknown methods of every interface of an ObjectBase-derived class.
#define REGISTRY_IUNKNOWN_FORWARD                                                                  \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {                 \
        return ControllingUnknown()->QueryInterface(iid, result);                                  \
    }                                                                                              \
    ULONG STDMETHODCALLTYPE AddRef() override {                                                    \
        return ControllingUnknown()->AddRef();                                                     \
    }                                                                                              \
    ULONG STDMETHODCALLTYPE Release() override {                                                   \
        return ControllingUnknown()->Release();                                                    \
    }
