#pragma once

#include "win32common/ComPtr.h"
#include "win32common/Result.h"
#include "com/ObjectBase.h"

#include <windows.h>
#include <ocidl.h>

#include <cstddef>
#include <utility>
#include <vector>

namespace registry {

// IEnumConnectionPoints and IEnumConnections over a list taken when the enumerator is made:
// later connections and disconnections do not change what an enumerator hands out.
template <class Enum, const IID& EnumId, class Item, class Held>
class SnapshotEnumerator final : public ObjectBase, public Enum {
public:
    SnapshotEnumerator(IUnknown* outer, std::vector<Held> items, std::size_t position)
        : ObjectBase(outer), items_(std::move(items)), position_(position) {}

    static HRESULT Create(std::vector<Held> items, std::size_t position, Enum** result) {
        return CreateComObject<SnapshotEnumerator>(
            nullptr, EnumId, reinterpret_cast<void**>(result), nullptr, std::move(items), position);
    }

    REGISTRY_IUNKNOWN_FORWARD

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, Item* out, ULONG* fetched) override {
        if (fetched) {
            *fetched = 0;
        }
        if (wanted > 0 && !out) {
            return E_POINTER;
        }
        ULONG count = 0;
        while (count < wanted && position_ < items_.size()) {
            HandOut(items_[position_++], &out[count++]);
        }
        if (fetched) {
            *fetched = count;
        }
        return count == wanted ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        std::size_t left = items_.size() - position_;
        std::size_t skipped = count < left ? count : left;
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clone(Enum** result) override {
        TIDEWELL_COM_BOUNDARY_BEGIN
        if (!result) {
            return E_POINTER;
        }
        *result = nullptr;
        return Create(items_, position_, result);
        TIDEWELL_COM_BOUNDARY_END
    }

protected:
    void* FindInterface(REFIID iid) override {
        return IsEqualIID(iid, EnumId) ? static_cast<Enum*>(this) : nullptr;
    }

private:
    static void HandOut(const win32common::ComPtr<IConnectionPoint>& point,
                        IConnectionPoint** out) {
        point.CopyTo(out);
    }
    static void HandOut(const std::pair<win32common::ComPtr<IUnknown>, DWORD>& connection,
                        CONNECTDATA* out) {
        connection.first.CopyTo(&out->pUnk);
        out->dwCookie = connection.second;
    }

    std::vector<Held> items_;
    std::size_t position_;
};

using ConnectionPointEnumerator =
    SnapshotEnumerator<IEnumConnectionPoints, IID_IEnumConnectionPoints, IConnectionPoint*,
                       win32common::ComPtr<IConnectionPoint>>;
using ConnectionEnumerator = SnapshotEnumerator<IEnumConnections, IID_IEnumConnections, CONNECTDATA,
                                                std::pair<win32common::ComPtr<IUnknown>, DWORD>>;

} // namespace registry
