#include "win32common/Result.h"

#include "win32common/Handles.h"

namespace win32common {

std::wstring SystemMessageText(HRESULT hr) {
    const DWORD id =
        HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr);
    UniqueLocalMemory buffer;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, id, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer),
        0, nullptr);
    if (length == 0 || !buffer)
        return {};
    try {
        return std::wstring(static_cast<const wchar_t*>(buffer.get()), length);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace win32common
