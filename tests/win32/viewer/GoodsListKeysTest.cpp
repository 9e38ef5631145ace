// The grid's own cell moves, the keys the controller leaves to the list.
#include <gtest/gtest.h>

#include "win32/GoodsListKeys.h"

namespace {

struct TMoveCase {
    const char* Rule;
    WPARAM Key;
    bool Ctrl;
    TGridCell From;
    std::optional<TGridCell> To;
};

// A grid of 10 rows by 7 columns showing 4 rows.
class TListMove : public ::testing::TestWithParam<TMoveCase> {};

TEST_P(TListMove, StaysInsideTheGrid) {
    const TMoveCase& move = GetParam();
    EXPECT_EQ(ListMove(move.Key, move.Ctrl, move.From, 10, 7, 4), move.To);
}

INSTANTIATE_TEST_SUITE_P(
    GoodsListKeys, TListMove,
    ::testing::Values(
        TMoveCase{"UpFromTheFirstRowStays", VK_UP, false, {0, 3}, TGridCell{0, 3}},
        TMoveCase{"UpKeepsTheColumn", VK_UP, false, {5, 3}, TGridCell{4, 3}},
        TMoveCase{"DownFromTheLastRowStays", VK_DOWN, false, {9, 3}, TGridCell{9, 3}},
        TMoveCase{"DownWithNoCurrentCellGoesToTheFirst", VK_DOWN, false, {-1, -1}, TGridCell{0, 0}},
        TMoveCase{"PageDownGoesAPage", VK_NEXT, false, {2, 1}, TGridCell{6, 1}},
        TMoveCase{"PageDownStopsAtTheLastRow", VK_NEXT, false, {7, 1}, TGridCell{9, 1}},
        TMoveCase{"PageUpStopsAtTheFirstRow", VK_PRIOR, false, {3, 1}, TGridCell{0, 1}},
        TMoveCase{"LeftFromTheFirstColumnStays", VK_LEFT, false, {2, 0}, TGridCell{2, 0}},
        TMoveCase{"RightFromTheLastColumnStays", VK_RIGHT, false, {2, 6}, TGridCell{2, 6}},
        TMoveCase{"HomeGoesToTheFirstColumn", VK_HOME, false, {2, 5}, TGridCell{2, 0}},
        TMoveCase{"EndGoesToTheLastColumn", VK_END, false, {2, 1}, TGridCell{2, 6}},
        TMoveCase{"CtrlHomeGoesToTheFirstRow", VK_HOME, true, {8, 5}, TGridCell{0, 5}},
        TMoveCase{"CtrlEndGoesToTheLastRow", VK_END, true, {1, 5}, TGridCell{9, 5}},
        TMoveCase{"ALetterIsNoMove", 'A', false, {2, 2}, std::nullopt}),
    [](const auto& test) { return std::string(test.param.Rule); });

TEST(GoodsListKeys, AnEmptyGridHasNoMoves) {
    EXPECT_EQ(ListMove(VK_DOWN, false, TGridCell{-1, -1}, 0, 7, 4), std::nullopt);
    EXPECT_EQ(ListMove(VK_RIGHT, false, TGridCell{-1, -1}, 3, 0, 4), std::nullopt);
}

}  // namespace
