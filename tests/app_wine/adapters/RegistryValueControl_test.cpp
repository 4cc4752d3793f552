// The registry-value control over advapi32, on private keys under HKCU\Software\TidewellTest.
#include "controls/win32/Win32RegistryValueControl.h"

#include "PrivateRegistryKey.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tidewell::kHkeyCurrentUser;
using tidewell::kRegSz;
using tidewell::RegistryValue;
using tidewell::win32::Win32RegistryValueControl;

// A private key per test, written and read through the ANSI calls the control's callers see.
class RegistryValueControlTest : public ::testing::Test {
protected:
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // What a plain ANSI reader finds (type and bytes), to see what the control stored.
    std::pair<DWORD, std::string> GetRawAnsi(const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS) {
            return {0xdeadbeef, {}};
        }
        DWORD type = 0xdeadbeef;
        char buffer[256] = {};
        DWORD size = sizeof(buffer) - 1;
        const LSTATUS status =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            return {0xdeadbeef, {}};
        }
        return {type, std::string(buffer)};
    }

    const testsupport::PrivateRegistryKey key_{
        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    const std::string path_ = key_.NarrowPath();
    Win32RegistryValueControl registry_;
};

TEST_F(RegistryValueControlTest, WrittenTextReadsBackAsRegSzWhateverTheKeyPathEnding) {
    ASSERT_TRUE(registry_.WriteRegistryValue(kHkeyCurrentUser, path_, "NextRun", "12/20/2026"));
    EXPECT_EQ(GetRawAnsi("NextRun"), std::make_pair(DWORD{REG_SZ}, std::string("12/20/2026")));

    const RegistryValue plain = registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "NextRun");
    const RegistryValue slashed =
        registry_.ReadRegistryValue(kHkeyCurrentUser, path_ + "\\", "NextRun");
    EXPECT_FALSE(plain.IsEmpty());
    EXPECT_EQ(plain.Text(), "12/20/2026");
    EXPECT_EQ(slashed.Text(), "12/20/2026");

    // Writing again replaces; blanks are stored as they are.
    ASSERT_TRUE(registry_.WriteRegistryValue(kHkeyCurrentUser, path_ + "\\", "NextRun", "  NONE "));
    EXPECT_EQ(registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "NextRun").Text(), "  NONE ");
}

TEST_F(RegistryValueControlTest, TrademarkSignIsStoredAsTheCharacterNotAsUtf8Bytes) {
    ASSERT_TRUE(
        registry_.WriteRegistryValue(kHkeyCurrentUser, path_, "t", "Tidewell!\xE2\x84\xA2"));
    // In code page 1252 the sign is the single byte 0x99.
    EXPECT_EQ(GetRawAnsi("t").second, "Tidewell!\x99");
    EXPECT_EQ(registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "t").Text(),
              "Tidewell!\xE2\x84\xA2");
}

TEST_F(RegistryValueControlTest, MissingKeyOrValueReadsEmptyEqualToEmptyTextAndZero) {
    const RegistryValue noKey = registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "StartInTray");
    EXPECT_TRUE(noKey.IsEmpty());
    EXPECT_TRUE(noKey == std::string_view(""));
    EXPECT_TRUE(noKey == 0LL);

    ASSERT_TRUE(registry_.CreateRegistryKey(kHkeyCurrentUser, path_));
    const RegistryValue noValue =
        registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "StartInTray");
    EXPECT_TRUE(noValue.IsEmpty());
    EXPECT_EQ(noValue.Text(), "");
}

TEST_F(RegistryValueControlTest, ValuesOfOtherTypesReadAsMissing) {
    const DWORD number = 1;
    const BYTE bytes[] = {'Y', 'e', 's', 0};
    const char multi[] = "Yes\0No\0";
    SetRaw("dword", REG_DWORD, &number, sizeof(number));
    SetRaw("binary", REG_BINARY, bytes, sizeof(bytes));
    SetRaw("multi", REG_MULTI_SZ, multi, sizeof(multi));
    SetRaw("expand", REG_EXPAND_SZ, "%TEMP%\\x", 9);
    for (const char* name : {"dword", "binary", "multi"}) {
        const RegistryValue value = registry_.ReadRegistryValue(kHkeyCurrentUser, path_, name);
        EXPECT_TRUE(value.IsEmpty()) << name << " read as \"" << value.Text() << "\"";
    }
    // Expandable strings are text too, read without expansion.
    EXPECT_EQ(registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "expand").Text(), "%TEMP%\\x");
}

TEST_F(RegistryValueControlTest, StoredStringsWithoutTerminatorOrWithInnerNulReadUpToTheText) {
    SetRaw("bare", REG_SZ, "Yes", 3); // no terminating NUL stored
    SetRaw("inner", REG_SZ, "No\0junk", 8);
    SetRaw("empty", REG_SZ, "", 0);
    EXPECT_EQ(registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "bare").Text(), "Yes");
    EXPECT_EQ(registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "inner").Text(), "No");
    const RegistryValue empty = registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "empty");
    EXPECT_FALSE(empty.IsEmpty()) << "an existing empty string is a value";
    EXPECT_EQ(empty.Text(), "");
}

TEST_F(RegistryValueControlTest, HugeValueIsReadInFull) {
    std::string huge(300000, 'x');
    huge.front() = 'C';
    huge.back() = '!';
    ASSERT_TRUE(registry_.WriteRegistryValue(kHkeyCurrentUser, path_, "huge", huge));
    const RegistryValue value = registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "huge");
    ASSERT_EQ(value.Text().size(), huge.size());
    EXPECT_EQ(value.Text(), huge);
}

TEST_F(RegistryValueControlTest, DefaultValueIsTheEmptyName) {
    ASSERT_TRUE(registry_.WriteRegistryValue(kHkeyCurrentUser, path_, "", "Server"));
    EXPECT_EQ(GetRawAnsi("").second, "Server");
    EXPECT_EQ(registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "").Text(), "Server");
}

TEST_F(RegistryValueControlTest, WriteCreatesMissingKeysAndRefusesOtherTypes) {
    const std::string deep = path_ + "\\a\\b";
    EXPECT_FALSE(registry_.RegistryKeyExists(kHkeyCurrentUser, deep));
    EXPECT_TRUE(registry_.WriteRegistryValue(kHkeyCurrentUser, deep, "v", "1"));
    EXPECT_TRUE(registry_.RegistryKeyExists(kHkeyCurrentUser, deep));

    // Only REG_SZ is written; a REG_DWORD request stores nothing.
    EXPECT_FALSE(registry_.WriteRegistryValue(kHkeyCurrentUser, path_, "n", "1", 4));
    EXPECT_EQ(GetRawAnsi("n").first, 0xdeadbeef);
}

TEST_F(RegistryValueControlTest, RootsOtherThanPredefinedKeysAreRefused) {
    for (const std::int32_t root : {0, 1, 0x7fffffff, static_cast<std::int32_t>(0x80000010u)}) {
        EXPECT_FALSE(registry_.WriteRegistryValue(root, path_, "v", "x")) << root;
        EXPECT_TRUE(registry_.ReadRegistryValue(root, path_, "v").IsEmpty()) << root;
        EXPECT_FALSE(registry_.CreateRegistryKey(root, path_)) << root;
        EXPECT_FALSE(registry_.RegistryKeyExists(root, path_)) << root;
    }
    EXPECT_EQ(GetRawAnsi("v").first, 0xdeadbeef);
}

TEST_F(RegistryValueControlTest, CreateKeyAndDeleteValue) {
    EXPECT_FALSE(registry_.RegistryKeyExists(kHkeyCurrentUser, path_));
    EXPECT_TRUE(registry_.CreateRegistryKey(kHkeyCurrentUser, path_));
    EXPECT_TRUE(registry_.CreateRegistryKey(kHkeyCurrentUser, path_ + "\\")) << "already there";
    EXPECT_TRUE(registry_.RegistryKeyExists(kHkeyCurrentUser, path_ + "\\"));

    ASSERT_TRUE(registry_.WriteRegistryValue(kHkeyCurrentUser, path_, "gone", "x"));
    ASSERT_TRUE(registry_.WriteRegistryValue(kHkeyCurrentUser, path_, "kept", "y"));
    registry_.DeleteRegistryValue(kHkeyCurrentUser, path_, "gone");
    registry_.DeleteRegistryValue(kHkeyCurrentUser, path_, "gone");          // missing value
    registry_.DeleteRegistryValue(kHkeyCurrentUser, path_ + "\\nokey", "x"); // missing key
    EXPECT_TRUE(registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "gone").IsEmpty());
    EXPECT_EQ(registry_.ReadRegistryValue(kHkeyCurrentUser, path_, "kept").Text(), "y");
    EXPECT_FALSE(registry_.RegistryKeyExists(kHkeyCurrentUser, path_ + "\\nokey"));
}

} // namespace
