#pragma once

#include "collections/ChildWalk.h"
#include "collections/EnumerationCursor.h"
#include "win32common/ComPtr.h"
#include "win32common/Result.h"
#include "com/ObjectBase.h"

#include <windows.h>
#include <oaidl.h>

#include "WindowsRegistry.h"

namespace registry {

// The key enumerator (Walk = SubKeyWalk) and the value enumerator (Walk = ValueWalk). The total
// is read once, when the enumerator is made; children are opened as they are delivered.
template <class Walk> class ChildEnumerator final : public ObjectBase, public IEnumVARIANT {
public:
    ChildEnumerator(IUnknown* outer, IRegistryKey* parent, std::uint32_t total,
                    std::uint32_t position)
        : ObjectBase(outer), parent_(parent), cursor_(total, position) {}

    // A new enumerator at position 0, the total read now (0 when the count cannot be had).
    static HRESULT Create(IRegistryKey* parent, IUnknown** result) {
        LONG count = 0;
        if (FAILED(Walk::Count(parent, &count)) || count < 0) {
            count = 0;
        }
        return CreateComObject<ChildEnumerator>(nullptr, IID_IUnknown,
                                                reinterpret_cast<void**>(result), nullptr, parent,
                                                static_cast<std::uint32_t>(count), 0u);
    }

    REGISTRY_IUNKNOWN_FORWARD

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* items, ULONG* delivered) override {
        TIDEWELL_COM_BOUNDARY_BEGIN
        if (delivered) {
            *delivered = 0;
        }
        if (wanted > 0 && !items) {
            return E_POINTER;
        }
        ULONG filled = 0;
        std::uint32_t count = cursor_.Next(wanted, [&](std::uint32_t index) {
            IDispatch* child = nullptr;
            const EnumerationCursor::Step step = Walk::Deliver(parent_.Get(), index, &child);
            if (step != EnumerationCursor::Step::Delivered) {
                return step;
            }
            VARIANT& item = items[filled++];
            VariantInit(&item);
            V_VT(&item) = VT_DISPATCH;
            V_DISPATCH(&item) = child;
            return EnumerationCursor::Step::Delivered;
        });
        if (delivered) {
            *delivered = count;
        }
        return count == wanted ? S_OK : S_FALSE;
        TIDEWELL_COM_BOUNDARY_END
    }

    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        return cursor_.Skip(count) ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Reset() override {
        cursor_.Reset();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** result) override {
        if (!result) {
            return E_POINTER;
        }
        *result = nullptr;
        return CreateComObject<ChildEnumerator>(nullptr, IID_IEnumVARIANT,
                                                reinterpret_cast<void**>(result), nullptr,
                                                parent_.Get(), cursor_.Total(), cursor_.Position());
    }

    std::uint32_t Total() const { return cursor_.Total(); }

protected:
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IEnumVARIANT)) {
            return static_cast<IEnumVARIANT*>(this);
        }
        return nullptr;
    }

private:
    win32common::ComPtr<IRegistryKey> parent_;
    EnumerationCursor cursor_;
};

} // namespace registry
