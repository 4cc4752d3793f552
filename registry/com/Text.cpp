#include "com/Text.h"

#include "com/Result.h"

#include <climits>
#include <new>

namespace registry {

HRESULT ToAnsi(std::wstring_view text, std::string& out) {
    try {
        out.clear();
        if (text.empty())
            return S_OK;
        if (text.size() > INT_MAX / 4)
            return E_OUTOFMEMORY;
        const int length = static_cast<int>(text.size());
        const int needed =
            WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        if (needed <= 0)
            return HResultFromWin32(GetLastError());
        out.resize(static_cast<size_t>(needed));
        if (WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), needed, nullptr,
                                nullptr) != needed)
            return HResultFromWin32(GetLastError());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT FromAnsi(std::string_view text, std::wstring& out) {
    try {
        out.clear();
        if (text.empty())
            return S_OK;
        if (text.size() > INT_MAX / 2)
            return E_OUTOFMEMORY;
        const int length = static_cast<int>(text.size());
        const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
        if (needed <= 0)
            return HResultFromWin32(GetLastError());
        out.resize(static_cast<size_t>(needed));
        if (MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), needed) != needed)
            return HResultFromWin32(GetLastError());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT BstrFromAnsi(std::string_view text, Bstr& out) {
    std::wstring wide;
    REGISTRY_RETURN_IF_FAILED(FromAnsi(text, wide));
    Bstr result(wide);
    if (!result.Get())
        return E_OUTOFMEMORY;
    out = std::move(result);
    return S_OK;
}

} // namespace registry
