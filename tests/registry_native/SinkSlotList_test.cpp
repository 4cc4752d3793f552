#include "events/SinkSlotList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using registry::SinkSlotList;
using Names = SinkSlotList<std::string>;

std::uint32_t AddOk(Names& list, const std::string& sink, int line) {
    std::uint32_t cookie = 0xdeadbeef;
    EXPECT_EQ(list.Add(sink, &cookie), Names::AddResult::Added) << "called from line " << line;
    return cookie;
}

std::vector<std::string> SinksInOrder(const Names& list) {
    std::vector<std::string> sinks;
    for (const auto& [cookie, sink] : list.Snapshot()) {
        sinks.push_back(sink);
    }
    return sinks;
}

TEST(SinkSlotList, GrowsOneFourEightSixteen) {
    Names list;
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.Capacity(), 0u);
    const std::size_t expected[] = {1, 4, 4, 4, 8, 8, 8, 8, 16};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        std::uint32_t cookie = AddOk(list, "sink" + std::to_string(i), __LINE__);
        EXPECT_EQ(cookie, i + 1) << "sink " << i;
        EXPECT_EQ(list.Capacity(), expected[i]) << "after sink " << i;
    }
    EXPECT_EQ(list.Connected(), std::size(expected));
}

TEST(SinkSlotList, OnlyASingleSlotListBecomesEmpty) {
    Names single;
    std::uint32_t cookie = AddOk(single, "a", __LINE__);
    bool becameEmpty = false;
    auto removed = single.Remove(cookie, &becameEmpty);
    ASSERT_TRUE(removed.has_value());
    EXPECT_EQ(*removed, "a");
    EXPECT_TRUE(becameEmpty);
    EXPECT_TRUE(single.Empty());
    EXPECT_EQ(single.Capacity(), 0u);

    // Two sinks at once leave four slots behind, even with nobody connected.
    Names two;
    std::uint32_t first = AddOk(two, "a", __LINE__);
    std::uint32_t second = AddOk(two, "b", __LINE__);
    EXPECT_TRUE(two.Remove(first, &becameEmpty).has_value());
    EXPECT_FALSE(becameEmpty);
    EXPECT_TRUE(two.Remove(second, &becameEmpty).has_value());
    EXPECT_FALSE(becameEmpty);
    EXPECT_FALSE(two.Empty());
    EXPECT_EQ(two.Capacity(), 4u);
    EXPECT_EQ(two.Connected(), 0u);
}

TEST(SinkSlotList, UnknownCookiesRemoveNothing) {
    Names list;
    bool becameEmpty = true;
    EXPECT_FALSE(list.Remove(1, &becameEmpty).has_value());
    EXPECT_FALSE(becameEmpty);
    std::uint32_t cookie = AddOk(list, "a", __LINE__);
    for (std::uint32_t bad : {0u, cookie + 1, 5u, 0xffffffffu}) {
        EXPECT_FALSE(list.Remove(bad, &becameEmpty).has_value()) << "cookie " << bad;
        EXPECT_FALSE(becameEmpty) << "cookie " << bad;
    }
    EXPECT_EQ(list.Connected(), 1u);
    ASSERT_TRUE(list.Remove(cookie, &becameEmpty).has_value());
    // A cookie can be disconnected once only.
    EXPECT_FALSE(list.Remove(cookie, &becameEmpty).has_value());
}

TEST(SinkSlotList, FreedSlotsAreReusedAndDeliveryKeepsConnectionOrder) {
    Names list;
    std::uint32_t a = AddOk(list, "a", __LINE__);
    std::uint32_t b = AddOk(list, "b", __LINE__);
    AddOk(list, "c", __LINE__);
    bool becameEmpty = false;
    ASSERT_TRUE(list.Remove(a, &becameEmpty).has_value());
    ASSERT_TRUE(list.Remove(b, &becameEmpty).has_value());
    EXPECT_EQ(AddOk(list, "d", __LINE__), a);
    EXPECT_EQ(AddOk(list, "e", __LINE__), b);
    EXPECT_EQ(AddOk(list, "f", __LINE__), 4u);
    EXPECT_EQ(list.Capacity(), 4u);
    EXPECT_EQ(SinksInOrder(list), (std::vector<std::string>{"c", "d", "e", "f"}));

    auto snapshot = list.Snapshot();
    ASSERT_EQ(snapshot.size(), 4u);
    EXPECT_EQ(snapshot[0].first, 3u);
    EXPECT_EQ(snapshot[1].first, a);
}

TEST(SinkSlotList, FullListRefusesAndStaysIntact) {
    Names list(4);
    for (int i = 0; i < 4; ++i) {
        AddOk(list, std::to_string(i), __LINE__);
    }
    std::uint32_t cookie = 0xdeadbeef;
    EXPECT_EQ(list.Add("overflow", &cookie), Names::AddResult::Full);
    EXPECT_EQ(cookie, 0xdeadbeefu);
    EXPECT_EQ(list.Capacity(), 4u);
    EXPECT_EQ(SinksInOrder(list), (std::vector<std::string>{"0", "1", "2", "3"}));
}

TEST(SinkSlotList, RemovedSinkIsHandedBackAndTheListKeepsNoCopy) {
    SinkSlotList<std::shared_ptr<int>> list;
    auto sink = std::make_shared<int>(7);
    std::uint32_t cookie = 0;
    ASSERT_EQ(list.Add(sink, &cookie), SinkSlotList<std::shared_ptr<int>>::AddResult::Added);
    EXPECT_EQ(sink.use_count(), 2);
    bool becameEmpty = false;
    {
        auto removed = list.Remove(cookie, &becameEmpty);
        ASSERT_TRUE(removed.has_value());
        EXPECT_EQ(**removed, 7);
    }
    EXPECT_EQ(sink.use_count(), 1);
}

} // namespace
