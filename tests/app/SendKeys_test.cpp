#include "fakes/FakeRunPorts.h"
#include "run/ChangePriority.h"
#include "run/ProgramError.h"
#include "run/SendKeys.h"
#include "run/WindowExists.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

KeyInput Down(std::uint16_t key) {
    return {KeyInput::Type::Key, key, false};
}
KeyInput Up(std::uint16_t key) {
    return {KeyInput::Type::Key, key, true};
}
std::vector<KeyInput> Press(std::uint16_t key) {
    return {Down(key), Up(key)};
}
std::vector<KeyInput> Join(std::initializer_list<std::vector<KeyInput>> parts) {
    std::vector<KeyInput> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}
std::string Describe(const std::vector<KeyInput>& keys) {
    std::string text;
    for (const KeyInput& key : keys) {
        text += (key.type == KeyInput::Type::Character ? "c" : "k") + std::to_string(key.code) +
                (key.release ? "^ " : "v ");
    }
    return text;
}

TEST(SendKeysNotation, TheScanDiskScriptsKeys) {
    struct Row {
        const char* keys;
        std::vector<KeyInput> expected;
    };
    const Row rows[] = {
        {"%(A)", Join({{Down(vk::kAlt)}, Press('A'), {Up(vk::kAlt)}})},
        {"%(a)", Join({{Down(vk::kAlt)}, Press('A'), {Up(vk::kAlt)}})},
        {"%A", Join({{Down(vk::kAlt)}, Press('A'), {Up(vk::kAlt)}})},
        {"{TAB}", Press(vk::kTab)},
        {"{ENTER}", Press(vk::kEnter)},
        {"{enter}", Press(vk::kEnter)},
        {"~", Press(vk::kEnter)},
        {"", {}},
    };
    for (const Row& row : rows) {
        const auto parsed = ParseSendKeys(row.keys);
        EXPECT_EQ(Describe(parsed), Describe(row.expected)) << "keys \"" << row.keys << "\"";
    }
}

TEST(SendKeysNotation, ModifiersGroupsRepeatsAndCharacters) {
    struct Row {
        const char* keys;
        std::vector<KeyInput> expected;
    };
    const Row rows[] = {
        // A capital outside Ctrl/Alt is typed with Shift; a small letter without.
        {"aB", Join({Press('A'), {Down(vk::kShift)}, Press('B'), {Up(vk::kShift)}})},
        {"+a", Join({{Down(vk::kShift)}, Press('A'), {Up(vk::kShift)}})},
        {"+A", Join({{Down(vk::kShift)}, Press('A'), {Up(vk::kShift)}})},
        {"^c", Join({{Down(vk::kControl)}, Press('C'), {Up(vk::kControl)}})},
        // Modifiers are released in the reverse order; they hold for the whole group only.
        {"+^(ab)c", Join({{Down(vk::kShift), Down(vk::kControl)},
                          Press('A'),
                          Press('B'),
                          {Up(vk::kControl), Up(vk::kShift)},
                          Press('C')})},
        {"%{F4}", Join({{Down(vk::kAlt)}, Press(vk::kF1 + 3), {Up(vk::kAlt)}})},
        {"{TAB 3}", Join({Press(vk::kTab), Press(vk::kTab), Press(vk::kTab)})},
        {"{x 2}", Join({Press('X'), Press('X')})},
        {"{TAB 0}", {}},
        {"{+}{%}{^}{~}{(}{)}{{}{}}",
         Join({{{KeyInput::Type::Character, '+', false}, {KeyInput::Type::Character, '+', true}},
               {{KeyInput::Type::Character, '%', false}, {KeyInput::Type::Character, '%', true}},
               {{KeyInput::Type::Character, '^', false}, {KeyInput::Type::Character, '^', true}},
               {{KeyInput::Type::Character, '~', false}, {KeyInput::Type::Character, '~', true}},
               {{KeyInput::Type::Character, '(', false}, {KeyInput::Type::Character, '(', true}},
               {{KeyInput::Type::Character, ')', false}, {KeyInput::Type::Character, ')', true}},
               {{KeyInput::Type::Character, '{', false}, {KeyInput::Type::Character, '{', true}},
               {{KeyInput::Type::Character, '}', false}, {KeyInput::Type::Character, '}', true}}})},
        {"1 ", Join({Press('1'), Press(vk::kSpace)})},
        // Outside the keys every layout has, characters are typed as text (UTF-16 units).
        {"é", {{KeyInput::Type::Character, 0xE9, false}, {KeyInput::Type::Character, 0xE9, true}}},
        {"😀",
         {{KeyInput::Type::Character, 0xD83D, false},
          {KeyInput::Type::Character, 0xD83D, true},
          {KeyInput::Type::Character, 0xDE00, false},
          {KeyInput::Type::Character, 0xDE00, true}}},
        {"\r\n", Press(vk::kEnter)},
        {"()", {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Describe(ParseSendKeys(row.keys)), Describe(row.expected))
            << "keys \"" << row.keys << "\"";
    }
}

TEST(SendKeysNotation, BadNotationIsRefusedWhole) {
    for (const char* keys :
         {"%", "+^", "%()x)", "(a", "a)", "{TAB", "{}", "{NOSUCHKEY}", "{TAB x}", "{TAB 1001}",
          "{F17}", "{TAB -1}", "}", "%)", "\x01", "\xC3", "\xC3\x28", "\xED\xA0\x80", "\xC0\x80"}) {
        EXPECT_THROW(ParseSendKeys(keys), SendKeysError) << "keys \"" << keys << "\"";
    }
    try {
        ParseSendKeys("ab{NOSUCHKEY}");
        ADD_FAILURE() << "no error";
    } catch (const SendKeysError& error) {
        EXPECT_NE(std::string(error.what()).find("{NOSUCHKEY}"), std::string::npos) << error.what();
    }
}

// Found by the fuzz target: nesting was unbounded (a long run of "(" overflowed the stack), and a
// braced CR before a LF was dropped as if it were the CR of a CR LF.
TEST(SendKeysNotation, GroupsNestThirtyTwoDeepAndABracedCrIsAlwaysItsOwnEnter) {
    const auto nested = [](std::size_t depth) {
        return std::string(depth, '(') + "a" + std::string(depth, ')');
    };
    EXPECT_EQ(Describe(ParseSendKeys(nested(32))), Describe(Press('A')));
    EXPECT_THROW(ParseSendKeys(nested(33)), SendKeysError);
    EXPECT_THROW(ParseSendKeys(nested(100000)), SendKeysError);

    EXPECT_EQ(Describe(ParseSendKeys("{\r 3}\n")),
              Describe(Join(
                  {Press(vk::kEnter), Press(vk::kEnter), Press(vk::kEnter), Press(vk::kEnter)})));
    EXPECT_EQ(Describe(ParseSendKeys("{\r}\r\n")),
              Describe(Join({Press(vk::kEnter), Press(vk::kEnter)})));
}

TEST(SendKeys, BadNotationSendsNothingAndSaysSo) {
    long long now = 0;
    fakes::FakePrograms programs([&] { return now; });
    EXPECT_FALSE(SendKeys(programs, "%(A"));
    EXPECT_TRUE(programs.KeysSent().empty());
    EXPECT_TRUE(SendKeys(programs, "%(A)"));
    ASSERT_EQ(programs.KeysSent().size(), 1u);
    EXPECT_EQ(programs.KeysSent()[0].size(), 4u);
}

TEST(WindowExists, ByTaskWhenTitleEmptyOrTaskGivenOtherwiseByTitle) {
    long long now = 0;
    fakes::FakePrograms programs([&] { return now; });
    programs.Install("c:\\windows\\cleanmgr.exe", {1000, false});
    programs.AddWindow("ScanDisk");
    const auto task = programs.Start("c:\\windows\\cleanmgr.exe", WindowStyle::NormalNoFocus);
    ASSERT_TRUE(task);

    EXPECT_TRUE(WindowExists(programs, "", task));
    // A task given wins over the title.
    EXPECT_TRUE(WindowExists(programs, "No Such Window", task));
    EXPECT_TRUE(WindowExists(programs, "ScanDisk", std::nullopt));
    EXPECT_FALSE(WindowExists(programs, "No Such Window", std::nullopt));
    // Nothing to look for: false, not an error.
    EXPECT_FALSE(WindowExists(programs, "", std::nullopt));

    now = 1000; // the program has closed its window
    EXPECT_FALSE(WindowExists(programs, "", task));
}

class ThrowingPrograms : public fakes::FakePrograms {
public:
    ThrowingPrograms() : FakePrograms([] { return 0LL; }) {}
    bool ActivateTask(TaskId) override { throw std::runtime_error("platform failure"); }
};

TEST(WindowExists, NeverRaises) {
    ThrowingPrograms programs;
    EXPECT_FALSE(WindowExists(programs, "", TaskId{7}));
}

TEST(ChangePriority, SetsTheClassOrRaisesErrorTwoWhenTheProcessCannotBeOpened) {
    fakes::FakeProcessPriority port;
    std::int32_t priorityClass = kHighPriorityClass;
    EXPECT_TRUE(ChangePriority(port, priorityClass));
    EXPECT_EQ(port.current, 0x80);

    port.outcome = ProcessPriorityPort::Outcome::Refused;
    priorityClass = kNormalPriorityClass;
    EXPECT_FALSE(ChangePriority(port, priorityClass));
    EXPECT_EQ(port.current, 0x80);

    port.outcome = ProcessPriorityPort::Outcome::CannotOpen;
    try {
        ChangePriority(port, priorityClass);
        ADD_FAILURE() << "no error raised";
    } catch (const ProgramError& error) {
        EXPECT_EQ(error.Number(), 2);
        EXPECT_EQ(error.Source(), "ChangePriority");
        EXPECT_EQ(error.Description(), "Unable To open the source process");
    }
    EXPECT_EQ(port.requests, (std::vector<std::int32_t>{0x80, 0x20, 0x20}));
}

} // namespace
} // namespace tidewell
