#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

namespace registry {

// Why a conversion failed: the HRESULT and the message the value reports it with.
struct ConversionFailure {
    HRESULT hr = S_OK;
    const wchar_t* message = nullptr;
};

// Registry data as an automation variant; strings are UTF-16 when wide (as the W functions give
// them), else ANSI. data holds size bytes, suitably aligned. out must be empty on entry.
ConversionFailure RegistryDataToVariant(DWORD type, const BYTE* data, DWORD size, bool wide,
                                        VARIANT* out);

// An automation variant as registry data: type and bytes for RegSetValueExW when wide, else for
// RegSetValueExA. expandString picks REG_EXPAND_SZ over REG_SZ for strings.
ConversionFailure VariantToRegistryData(const VARIANT& value, bool expandString, bool wide,
                                        DWORD& type, std::vector<BYTE>& data);

} // namespace registry
