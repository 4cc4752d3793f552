#include "win32common/Text.h"

#include "win32common/Result.h"

#include <climits>
#include <new>

namespace win32common {

namespace {

HRESULT ToWide(UINT codePage, std::string_view text, std::wstring& out) {
    try {
        out.clear();
        if (text.empty())
            return S_OK;
        if (text.size() > INT_MAX / 2)
            return E_OUTOFMEMORY;
        const int length = static_cast<int>(text.size());
        const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
        if (needed <= 0)
            return LastErrorHResult();
        out.resize(static_cast<size_t>(needed));
        if (MultiByteToWideChar(codePage, 0, text.data(), length, out.data(), needed) != needed)
            return LastErrorHResult();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT FromWide(UINT codePage, std::wstring_view text, std::string& out) {
    try {
        out.clear();
        if (text.empty())
            return S_OK;
        if (text.size() > INT_MAX / 4)
            return E_OUTOFMEMORY;
        const int length = static_cast<int>(text.size());
        const int needed =
            WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        if (needed <= 0)
            return LastErrorHResult();
        out.resize(static_cast<size_t>(needed));
        if (WideCharToMultiByte(codePage, 0, text.data(), length, out.data(), needed, nullptr,
                                nullptr) != needed)
            return LastErrorHResult();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace

std::wstring Utf8ToWide(std::string_view text) {
    std::wstring wide;
    if (FAILED(ToWide(CP_UTF8, text, wide)))
        wide.clear();
    return wide;
}

std::string WideToUtf8(std::wstring_view text) {
    std::string narrow;
    if (FAILED(FromWide(CP_UTF8, text, narrow)))
        narrow.clear();
    return narrow;
}

std::string Utf8ToAnsi(std::string_view text) {
    std::string ansi;
    if (FAILED(ToAnsi(Utf8ToWide(text), ansi)))
        ansi.clear();
    return ansi;
}

std::string AnsiToUtf8(std::string_view text) {
    std::wstring wide;
    if (FAILED(FromAnsi(text, wide)))
        return {};
    return WideToUtf8(wide);
}

HRESULT ToAnsi(std::wstring_view text, std::string& out) {
    return FromWide(CP_ACP, text, out);
}

HRESULT FromAnsi(std::string_view text, std::wstring& out) {
    return ToWide(CP_ACP, text, out);
}

HRESULT BstrFromAnsi(std::string_view text, Bstr& out) {
    std::wstring wide;
    TIDEWELL_RETURN_IF_FAILED(FromAnsi(text, wide));
    Bstr result(wide);
    if (!result.Get())
        return E_OUTOFMEMORY;
    out = std::move(result);
    return S_OK;
}

} // namespace win32common
