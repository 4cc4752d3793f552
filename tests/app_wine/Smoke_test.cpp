#include <windows.h>

#include <gtest/gtest.h>

TEST(WineSmoke, RegistryRoundTrip) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TidewellTest\\Smoke", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char data[] = "x";
    EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), 2), 0);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TidewellTest\\Smoke"), ERROR_SUCCESS);
}
