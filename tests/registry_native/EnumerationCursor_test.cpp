#include "collections/EnumerationCursor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using registry::EnumerationCursor;
using Step = EnumerationCursor::Step;

// Entries of a fake key: what reading and opening each index gives.
std::vector<std::uint32_t> Walk(EnumerationCursor& cursor, std::uint32_t wanted,
                                const std::vector<Step>& entries, std::uint32_t* delivered) {
    std::vector<std::uint32_t> visited;
    *delivered = cursor.Next(wanted, [&](std::uint32_t index) {
        visited.push_back(index);
        return index < entries.size() ? entries[index] : Step::Stop;
    });
    return visited;
}

TEST(EnumerationCursor, NextDeliversInOrderAndStopsAtTheTotal) {
    std::vector<Step> entries(5, Step::Delivered);
    EnumerationCursor cursor(5);
    std::uint32_t delivered = 0xdeadbeef;
    EXPECT_EQ(Walk(cursor, 2, entries, &delivered), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(cursor.Position(), 2u);
    // Asking for more than remain gives what is left.
    EXPECT_EQ(Walk(cursor, 10, entries, &delivered), (std::vector<std::uint32_t>{2, 3, 4}));
    EXPECT_EQ(delivered, 3u);
    EXPECT_EQ(cursor.Position(), 5u);
    EXPECT_TRUE(Walk(cursor, 1, entries, &delivered).empty());
    EXPECT_EQ(delivered, 0u);
    // Zero wanted touches nothing.
    cursor.Reset();
    EXPECT_TRUE(Walk(cursor, 0, entries, &delivered).empty());
    EXPECT_EQ(cursor.Position(), 0u);
}

TEST(EnumerationCursor, ChildrenThatCannotBeOpenedAreSkippedSilently) {
    std::vector<Step> entries = {Step::Delivered, Step::Skipped, Step::Skipped, Step::Delivered,
                                 Step::Delivered};
    EnumerationCursor cursor(5);
    std::uint32_t delivered = 0;
    EXPECT_EQ(Walk(cursor, 2, entries, &delivered), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(cursor.Position(), 4u);
}

TEST(EnumerationCursor, AnUnreadableEntryEndsTheCallAfterMovingPastIt) {
    std::vector<Step> entries = {Step::Delivered, Step::Stop, Step::Delivered};
    EnumerationCursor cursor(3);
    std::uint32_t delivered = 0;
    EXPECT_EQ(Walk(cursor, 3, entries, &delivered), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(delivered, 1u);
    EXPECT_EQ(cursor.Position(), 2u);
    EXPECT_EQ(Walk(cursor, 3, entries, &delivered), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(delivered, 1u);
}

TEST(EnumerationCursor, SkipRules) {
    EnumerationCursor cursor(4);
    EXPECT_TRUE(cursor.Skip(0));
    EXPECT_TRUE(cursor.Skip(3));
    EXPECT_EQ(cursor.Position(), 3u);
    EXPECT_FALSE(cursor.Skip(2));
    EXPECT_EQ(cursor.Position(), 4u);
    EXPECT_FALSE(cursor.Skip(1));
    EXPECT_TRUE(cursor.Skip(0));
    EXPECT_EQ(cursor.Position(), 4u);
    cursor.Reset();
    EXPECT_FALSE(cursor.Skip(0xffffffffu));
    EXPECT_EQ(cursor.Position(), 4u);

    EnumerationCursor empty(0);
    EXPECT_FALSE(empty.Skip(1));
    EXPECT_EQ(empty.Position(), 0u);
}

TEST(EnumerationCursor, CloneStateKeepsTotalAndPosition) {
    EnumerationCursor cursor(6);
    cursor.Skip(4);
    EnumerationCursor clone(cursor.Total(), cursor.Position());
    EXPECT_EQ(clone.Total(), 6u);
    EXPECT_EQ(clone.Position(), 4u);
    // A position beyond the total is pinned to it.
    EnumerationCursor pinned(2, 9);
    EXPECT_EQ(pinned.Position(), 2u);
}

} // namespace
