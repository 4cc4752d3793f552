#pragma once

#include "PrivateRegistryKey.h"
#include "app_wine/adapters/RunTestSupport.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidewell::test {

// COM for the test's thread, as WinMain sets it up for the program.
class ApartmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void TearDown() override { CoUninitialize(); }
};

using testsupport::PrivateRegistryKey;

// A folder of its own under the temporary folder, removed with everything in it afterwards: the
// Wine tests' one scratch folder.
class TemporaryFolder : public ScratchFolder {
public:
    TemporaryFolder() : ScratchFolder(L"TidewellEntries") {}
};

inline std::vector<BYTE> StringBytes(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

} // namespace tidewell::test
