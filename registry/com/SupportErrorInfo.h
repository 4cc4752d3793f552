#pragma once

#include <windows.h>
#include <oaidl.h>

namespace registry {

// Error information is promised for the class's default interface only.
template <const IID& DefaultInterface> class SupportErrorInfo : public ISupportErrorInfo {
public:
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return IsEqualIID(iid, DefaultInterface) ? S_OK : S_FALSE;
    }
};

} // namespace registry
