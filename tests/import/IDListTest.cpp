#include "import/IDList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

TEST(IDList, FindGivesTheFirstEqualEntry) {
    TIDList list;
    for (std::int32_t id : {7, 9, 7}) list.Add(id);
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Find(7), std::optional<std::size_t>(0));
    EXPECT_EQ(list.Find(9), std::optional<std::size_t>(1));
    EXPECT_EQ(list.Find(8), std::nullopt);
    EXPECT_EQ(list[2], 7);
}

TEST(IDList, ExtremeAndCollidingIdsAreFound) {
    // Codes that differ only in high bits, and the 32-bit ends.
    const std::vector<std::int32_t> ids = {0,       -1,      2147483647, -2147483647 - 1,
                                           1 << 16, 2 << 16, 3 << 16,    1 << 30};
    TIDList list;
    for (std::int32_t id : ids) list.Add(id);
    for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(list.Find(ids[i]), i) << ids[i];
    EXPECT_EQ(list.Find(4 << 16), std::nullopt);
}

TEST(IDList, ManyEntriesKeepFirstMatchThroughGrowth) {
    TIDList list;
    const std::int32_t n = 200000;
    for (std::int32_t i = 0; i < n; ++i) list.Add(i * 7919);
    for (std::int32_t i = 0; i < n; i += 2) list.Add(i * 7919);  // later duplicates
    EXPECT_EQ(list.Count(), static_cast<std::size_t>(n + n / 2));
    for (std::int32_t i = 0; i < n; i += 997) {
        EXPECT_EQ(list.Find(i * 7919), static_cast<std::size_t>(i)) << i;
    }
    EXPECT_EQ(list.Find(-7919), std::nullopt);
    EXPECT_EQ(list.Find(n * 7919), std::nullopt);
}

TEST(IDList, ReservingKeepsWhatIsThereAndChangesNoAnswer) {
    TIDList list;
    for (std::int32_t id : {40, 41, 40}) list.Add(id);
    list.Reserve(100000);  // rebuilds the index around the entries already in it
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Find(40), std::optional<std::size_t>(0));
    EXPECT_EQ(list.Find(41), std::optional<std::size_t>(1));
    for (std::int32_t i = 0; i < 100000; ++i) list.Add(i);
    list.Reserve(0);
    list.Reserve(10);  // within the room already made: nothing moves
    EXPECT_EQ(list.Find(40), std::optional<std::size_t>(0));
    EXPECT_EQ(list.Find(39), std::optional<std::size_t>(3 + 39));
    EXPECT_EQ(list.Find(99999), std::optional<std::size_t>(3 + 99999));
    EXPECT_EQ(list.Find(100000), std::nullopt);
    // Past the reserved room the index still grows.
    for (std::int32_t i = 100000; i < 300000; ++i) list.Add(i);
    EXPECT_EQ(list.Find(299999), std::optional<std::size_t>(3 + 299999));
    EXPECT_EQ(list.Find(41), std::optional<std::size_t>(1));
}

TEST(IDList, ClearForgetsEverything) {
    TIDList list;
    EXPECT_EQ(list.Find(0), std::nullopt);
    list.Add(5);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Find(5), std::nullopt);
    list.Add(6);
    list.Add(5);
    EXPECT_EQ(list.Find(5), std::optional<std::size_t>(1));
}

}  // namespace
