#include "server/ClassFactory.h"

#include "com/Module.h"

#include <atomic>
#include <new>

namespace registry {

namespace {

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreatorFunction create) : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        AddRef();
        *result = static_cast<IClassFactory*>(this);
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override {
        const ULONG count = ++refs_;
        if (count == 2)
            LockModule();
        return count;
    }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG count = --refs_;
        if (count == 1)
            UnlockModule();
        else if (count == 0)
            delete this;
        return count;
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        return create_(outer, iid, result);
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }

private:
    CreatorFunction create_;
    std::atomic<ULONG> refs_{1}; // the object map's reference
};

} // namespace

HRESULT MakeCachedClassFactory(CreatorFunction create, IClassFactory** result) {
    *result = new (std::nothrow) ClassFactory(create);
    return *result ? S_OK : E_OUTOFMEMORY;
}

} // namespace registry
