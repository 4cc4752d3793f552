#include "objects/ValueNameReader.h"

#include "win32common/Text.h"

#include <new>
#include <vector>

namespace registry {

LONG ReadValueName(HKEY key, DWORD index, std::wstring& name) {
    try {
        name.clear();
        if (!IsNtFamily()) {
            char buffer[kNameBufferLength];
            DWORD length = kNameBufferLength;
            const LONG result =
                RegEnumValueA(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
            if (result != ERROR_SUCCESS)
                return result;
            return SUCCEEDED(win32common::FromAnsi(std::string_view(buffer, length), name))
                       ? ERROR_SUCCESS
                       : ERROR_OUTOFMEMORY;
        }
        wchar_t buffer[kNameBufferLength];
        DWORD length = kNameBufferLength;
        DWORD dataSize = 0;
        LONG result =
            RegEnumValueW(key, index, buffer, &length, nullptr, nullptr, nullptr, &dataSize);
        if (result == ERROR_MORE_DATA) {
            // Some systems insist on a data buffer once they have reported the data's size.
            std::vector<BYTE> data;
            try {
                data.resize(dataSize ? dataSize : 1);
            } catch (const std::bad_alloc&) {
                return ERROR_OUTOFMEMORY;
            }
            length = kNameBufferLength;
            dataSize = static_cast<DWORD>(data.size());
            result = RegEnumValueW(key, index, buffer, &length, nullptr, nullptr, data.data(),
                                   &dataSize);
        }
        if (result != ERROR_SUCCESS)
            return result;
        name.assign(buffer, length);
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

LONG ReadValueEntry(HKEY key, DWORD index, ValueEntry& entry) {
    entry.hasData = false;
    if (IsNtFamily()) {
        try {
            wchar_t buffer[kNameBufferLength];
            DWORD length = kNameBufferLength;
            entry.size = sizeof(entry.data);
            const LONG result = RegEnumValueW(key, index, buffer, &length, nullptr, &entry.type,
                                              entry.data, &entry.size);
            if (result == ERROR_SUCCESS) {
                entry.name.assign(buffer, length);
                entry.hasData = true;
                entry.wide = true;
                return ERROR_SUCCESS;
            }
            if (result != ERROR_MORE_DATA)
                return result;
        } catch (const std::bad_alloc&) {
            return ERROR_OUTOFMEMORY;
        }
    }
    return ReadValueName(key, index, entry.name);
}

LONG ReadSubKeyName(HKEY key, DWORD index, std::wstring& name) {
    try {
        name.clear();
        if (IsNtFamily()) {
            wchar_t buffer[kNameBufferLength];
            DWORD length = kNameBufferLength;
            const LONG result =
                RegEnumKeyExW(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_SUCCESS)
                name.assign(buffer, length);
            return result;
        }
        char buffer[kNameBufferLength];
        DWORD length = kNameBufferLength;
        const LONG result =
            RegEnumKeyExA(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            return result;
        return SUCCEEDED(win32common::FromAnsi(std::string_view(buffer, length), name))
                   ? ERROR_SUCCESS
                   : ERROR_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

} // namespace registry
