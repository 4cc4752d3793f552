#include "main/WindowTitle.h"

#include <gtest/gtest.h>

using tidewell::MainWindowTitle;

TEST(MainWindowTitle, JoinsMinorAndRevisionWithoutSeparator) {
    EXPECT_EQ(MainWindowTitle("Tidewell!\xE2\x84\xA2 Version", 1, 0, 8),
              "Tidewell!\xE2\x84\xA2 Version 1.08");
    EXPECT_EQ(MainWindowTitle("T", 2, 10, 3), "T 2.103");
}
