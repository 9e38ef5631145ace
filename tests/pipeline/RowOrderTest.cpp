#include "convert/RowOrder.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <vector>

namespace {

struct TWalkCase {
    const char* Name;
    int BlockRows;
    int StartRows;
    unsigned Seed;
};

class RowOrderWalk : public testing::TestWithParam<TWalkCase> {};

// Against a plain vector of keys: after every insertion, removal and change of marks each row has
// the key the vector has there, each key its row, and the n-th mark of a set is the vector's.
TEST_P(RowOrderWalk, RowsKeysAndMarksStayThoseOfAPlainList) {
    const TWalkCase& c = GetParam();
    TRowOrder order(c.BlockRows);
    order.Reset(c.StartRows);
    std::vector<std::uint32_t> keys;
    for (int i = 0; i < c.StartRows; ++i) keys.push_back(static_cast<std::uint32_t>(i));
    std::mt19937 random(c.Seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 2000; ++step) {
        const int count = static_cast<int>(keys.size());
        const int action = pick(3);
        if (action == 0 || count == 0) {
            const int row = 1 + pick(count + 1);
            keys.insert(keys.begin() + (row - 1), order.Insert(row));
        } else if (action == 1) {
            const int row = 1 + pick(count);
            order.Erase(row);
            keys.erase(keys.begin() + (row - 1));
        } else {
            order.SetMarks(keys[static_cast<std::size_t>(pick(count))],
                           static_cast<std::uint16_t>(pick(8)));
        }
        ASSERT_EQ(order.Count(), static_cast<int>(keys.size())) << "step " << step;
        std::vector<TRowOrder::TNth> marked;  // the marks of the set {1, 2} in row order
        for (int row = 1; row <= order.Count(); ++row) {
            const std::uint32_t key = keys[static_cast<std::size_t>(row - 1)];
            ASSERT_EQ(order.KeyAt(row), key) << "step " << step << " row " << row;
            ASSERT_EQ(order.RowOf(key), row) << "step " << step << " row " << row;
            const int n = std::popcount(static_cast<unsigned>(order.Marks(key) & 6));
            for (int within = 0; within < n; ++within) marked.push_back({row, within});
        }
        for (std::size_t n = 0; n <= marked.size(); ++n) {
            const TRowOrder::TNth got = order.Nth(6, static_cast<int>(n));
            const TRowOrder::TNth want = n < marked.size() ? marked[n] : TRowOrder::TNth{};
            ASSERT_EQ(got.Row, want.Row) << "step " << step << " mark " << n;
            ASSERT_EQ(got.Within, want.Within) << "step " << step << " mark " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Walks, RowOrderWalk,
                         testing::Values(TWalkCase{"blocks_of_two_split_and_empty", 2, 0, 1},
                                         TWalkCase{"blocks_of_three_from_a_loaded_table", 3, 50, 2},
                                         TWalkCase{"one_block_for_every_row", 512, 20, 3}),
                         [](const testing::TestParamInfo<TWalkCase>& walk) {
                             return std::string(walk.param.Name);
                         });

}  // namespace
