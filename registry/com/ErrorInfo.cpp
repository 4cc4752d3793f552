#include "com/ErrorInfo.h"

#include "win32common/ComPtr.h"
#include "win32common/Result.h"
#include "server/ObjectMap.h"

#include <oleauto.h>

#include <string>

namespace registry {

namespace {

void SetErrorInfoFor(const CLSID& reporter, const wchar_t* description) {
    win32common::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create)))
        return;
    create->SetGUID(GUID_NULL);
    const wchar_t* source = VersionedProgId(reporter);
    create->SetSource(const_cast<LPOLESTR>(source ? source : L""));
    create->SetDescription(const_cast<LPOLESTR>(description ? description : L""));
    win32common::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(IID_IErrorInfo, info)))
        SetErrorInfo(0, info.Get());
}

} // namespace

HRESULT ReportError(const CLSID& reporter, HRESULT hr, const wchar_t* message) {
    SetErrorInfoFor(reporter, message);
    return hr;
}

HRESULT ReportSystemError(const CLSID& reporter, DWORD code, const wchar_t* message) {
    const HRESULT hr = win32common::HResultFromWin32(code);
    try {
        std::wstring description = message ? message : L"";
        const std::wstring text = win32common::SystemMessageText(hr);
        if (!text.empty()) {
            description += L" - ";
            description += text;
        }
        SetErrorInfoFor(reporter, description.c_str());
    } catch (const std::bad_alloc&) {
        SetErrorInfoFor(reporter, message);
    }
    return hr;
}

} // namespace registry
