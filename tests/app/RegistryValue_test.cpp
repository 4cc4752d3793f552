#include "controls/RegistryValue.h"

#include <gtest/gtest.h>

using tidewell::RegistryValue;

TEST(RegistryValue, EmptyComparesEqualToEmptyTextAndToZero) {
    const RegistryValue missing;
    EXPECT_TRUE(missing.IsEmpty());
    EXPECT_TRUE(missing == "");
    EXPECT_TRUE(missing == 0);
    EXPECT_FALSE(missing == 1);
    EXPECT_FALSE(missing == "Yes");
    EXPECT_EQ(missing.Text(), "");
    EXPECT_EQ(missing.Trimmed(), "");
    EXPECT_FALSE(missing.TrimmedStartsWith("Yes"));
    EXPECT_TRUE(missing.TrimmedStartsWith(""));
}

TEST(RegistryValue, TextComparesExactlyAndAsNumberOnlyWhenNumeric) {
    const RegistryValue stored(" 42 ");
    EXPECT_FALSE(stored.IsEmpty());
    EXPECT_TRUE(stored == " 42 ");
    EXPECT_FALSE(stored == "42");
    EXPECT_TRUE(stored == 42);
    EXPECT_FALSE(stored == 0);

    EXPECT_FALSE(RegistryValue("Yes") == 0);
    EXPECT_FALSE(RegistryValue("0") == 0); // stored data, not a missing value
    EXPECT_FALSE(RegistryValue(" 0 ") == 0);
    EXPECT_TRUE(RegistryValue("7") == 7);
    EXPECT_FALSE(RegistryValue("") == 0); // an existing empty string is no number
    EXPECT_TRUE(RegistryValue("") == "");
    EXPECT_FALSE(RegistryValue("99999999999999999999999") == 0); // out of range, no crash
}

TEST(RegistryValue, TrimsBlanksOnlyAndComparesPrefixCaseSensitively) {
    EXPECT_EQ(RegistryValue("  Yes please  ").Trimmed(), "Yes please");
    EXPECT_EQ(RegistryValue("\tYes").Trimmed(), "\tYes");
    EXPECT_EQ(RegistryValue("    ").Trimmed(), "");
    EXPECT_TRUE(RegistryValue("  Yes please").TrimmedStartsWith("Yes"));
    EXPECT_FALSE(RegistryValue("yes").TrimmedStartsWith("Yes"));
    EXPECT_FALSE(RegistryValue("Ye").TrimmedStartsWith("Yes"));
    EXPECT_FALSE(RegistryValue("\tYes").TrimmedStartsWith("Yes"));

    const std::string huge = "Yes" + std::string(1 << 20, 'x') + "   ";
    const RegistryValue overLong(huge);
    EXPECT_TRUE(overLong.TrimmedStartsWith("Yes"));
    EXPECT_EQ(overLong.Trimmed().size(), huge.size() - 3);
}
