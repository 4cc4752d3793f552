#include "fakes/FakePorts.h"
#include "startup/Registry_And_API.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using Window = fakes::FakeDesktopWindows::Window;
constexpr WindowHandle kOwnAppWindow = 0x100;

TEST(FindPreviousInstance, AloneSearchesTheThreeClassesThenRestoresTheTitle) {
    fakes::FakeDesktopWindows windows;
    windows.AddOwnApplicationWindow(kOwnAppWindow);
    windows.Add({0x300, "ThunderRT6Main", "Some other program"});

    EXPECT_FALSE(FindPreviousInstance(windows));
    EXPECT_EQ(windows.Searches(),
              (std::vector<std::string>{"ThunderRTMain|Tidewell", "ThunderRT5Main|Tidewell",
                                        "ThunderRT6Main|Tidewell"}));
    EXPECT_EQ(windows.TitleChanges(), (std::vector<std::string>{"unwanted instance", "Tidewell"}));
    EXPECT_EQ(windows.ApplicationTitle(), "Tidewell");
    EXPECT_EQ(windows.Get(kOwnAppWindow)->text, "Tidewell");
    EXPECT_EQ(windows.Foreground(), 0u);
}

TEST(FindPreviousInstance, BringsForwardTheWindowAboveTheFirstInstancesApplicationWindow) {
    fakes::FakeDesktopWindows windows;
    windows.Add({0x201, "ThunderRT6FormDC", "Tidewell!\xE2\x84\xA2 Version 1.08", true});
    windows.Add({0x200, "ThunderRT6Main", "Tidewell"});
    windows.AddOwnApplicationWindow(kOwnAppWindow);

    EXPECT_TRUE(FindPreviousInstance(windows));
    EXPECT_EQ(windows.Restored(), (std::vector<WindowHandle>{0x201}));
    EXPECT_FALSE(windows.Get(0x201)->minimised);
    EXPECT_EQ(windows.Foreground(), 0x201u);
    EXPECT_EQ(windows.ApplicationTitle(), "unwanted instance");
    EXPECT_EQ(windows.Searches().back(), "ThunderRT6Main|Tidewell");
}

TEST(FindPreviousInstance, EarlierClassesWinAndShownWindowsAreNotRestored) {
    fakes::FakeDesktopWindows windows;
    windows.Add({0x401, "Visible6", "v6"});
    windows.Add({0x400, "ThunderRT6Main", "Tidewell"});
    windows.Add({0x501, "Visible5", "v5"});
    windows.Add({0x500, "ThunderRT5Main", "Tidewell"});
    windows.AddOwnApplicationWindow(kOwnAppWindow);

    EXPECT_TRUE(FindPreviousInstance(windows));
    EXPECT_EQ(windows.Foreground(), 0x501u);
    EXPECT_TRUE(windows.Restored().empty());
    EXPECT_EQ(windows.Searches().size(), 2u);
}

TEST(FindPreviousInstance, InstanceWithNothingAboveItCountsButNothingIsBroughtForward) {
    fakes::FakeDesktopWindows windows;
    windows.Add({0x600, "ThunderRTMain", "Tidewell"});
    EXPECT_TRUE(FindPreviousInstance(windows));
    EXPECT_EQ(windows.Foreground(), 0u);
    EXPECT_TRUE(windows.Restored().empty());
}

} // namespace
} // namespace tidewell
