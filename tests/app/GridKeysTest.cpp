// The grid's keys against the layer (a recording grid view), and the cell moves on their own.
#include <gtest/gtest.h>

#include "AppSupport.h"
#include "GridKeyCases.h"

namespace {

// The three rows of the example reports, as far as the keys look at them.
TGoodsTable& KeyExamples(TGoodsTable& goods) {
    goods.OpenTable();
    AddRow(goods, "101", "Хлеб белый", "4600000000011");
    AddRow(goods, "102", "Молоко", "2220000000001");
    AddRow(goods, "103", "Сахар-песок", "2220000000002");
    goods.MoveFirst();
    return goods;
}

class KeysOverExamples : public testing::TestWithParam<int> {
  protected:
    TCallLog Log;
    TRecordingShell Shell{Log};
    TGoodsTable Goods;
    TFakeGrid Grid{KeyExamples(Goods), TCurrencyFormat::FromRegional(kRouble), Shell};
};

TEST_P(KeysOverExamples, LeaveTheCellTheRowsAndTheValuesOfTheTable) {
    const TGridKeyCase& c = GridKeyCases()[static_cast<std::size_t>(GetParam())];
    if (c.Answer >= 0) Shell.ConfirmAnswers.push_back(c.Answer == 1);
    Grid.Select(c.From.Row, c.From.Column);
    for (const TGridStep& step : c.Steps) {
        if (step.Typed) {
            Grid.Type(step.Typed);
        } else {
            Grid.Press(step.Press.Key, step.Press.Shift, step.Press.Ctrl, step.Press.Alt);
        }
    }
    EXPECT_EQ((TGridCell{Grid.Row, Grid.Column}), c.To);
    EXPECT_EQ(Goods.RowNumber(), c.To.Row + 1);
    EXPECT_FALSE(Grid.EditorOpen);
    EXPECT_EQ(Goods.RowCount(), c.Rows);
    EXPECT_EQ(Grid.ShownRows, c.Rows);
    EXPECT_EQ(Goods.State(), c.State);
    EXPECT_EQ(Grid.Control.RowMarker(c.To.Row), MarkerOf(c.State));
    for (const TGridValue& value : c.Values) {
        EXPECT_EQ(Goods.AsTextAt(value.Row, value.Field), value.Text) << value.Row;
        EXPECT_EQ(Grid.Control.CellText(value.Row - 1, value.Field), value.Text) << value.Row;
    }
    ASSERT_EQ(Shell.Boxes.size(), c.Answer >= 0 ? 1u : 0u);
    if (c.Answer >= 0) {
        EXPECT_EQ(Shell.Boxes[0].Icon, diQuestion);
        EXPECT_EQ(Shell.Boxes[0].Title, TGoodsGridController::kConfirmTitle);
        EXPECT_EQ(Shell.Boxes[0].Text, TGoodsGridController::kConfirmDelete);
    }
}

INSTANTIATE_TEST_SUITE_P(Layer, KeysOverExamples,
                         testing::Range(0, static_cast<int>(GridKeyCases().size())),
                         [](const auto& test) { return GridKeyCaseName(test.param); });

struct TMoveCase {
    const char* Rule;
    TGridKeyPress Press;
    TGridCell From;
    std::optional<TGridCell> To;
};

// A grid of 10 rows by 7 columns showing 4 rows.
class CellMoves : public testing::TestWithParam<TMoveCase> {};

TEST_P(CellMoves, StayInsideTheGrid) {
    const TMoveCase& move = GetParam();
    EXPECT_EQ(CellMove(move.Press, move.From, 10, 7, 4), move.To);
}

INSTANTIATE_TEST_SUITE_P(
    Layer, CellMoves,
    testing::Values(
        TMoveCase{"UpFromTheFirstRowStays", {grUp}, {0, 3}, TGridCell{0, 3}},
        TMoveCase{"UpKeepsTheColumn", {grUp}, {5, 3}, TGridCell{4, 3}},
        TMoveCase{"DownFromTheLastRowStays", {grDown}, {9, 3}, TGridCell{9, 3}},
        TMoveCase{"DownWithNoCurrentCellGoesToTheFirst", {grDown}, {-1, -1}, TGridCell{0, 0}},
        TMoveCase{"PageDownGoesAPage", {grPageDown}, {2, 1}, TGridCell{6, 1}},
        TMoveCase{"PageDownStopsAtTheLastRow", {grPageDown}, {7, 1}, TGridCell{9, 1}},
        TMoveCase{"PageUpStopsAtTheFirstRow", {grPageUp}, {3, 1}, TGridCell{0, 1}},
        TMoveCase{"LeftFromTheFirstColumnStays", {grLeft}, {2, 0}, TGridCell{2, 0}},
        TMoveCase{"RightFromTheLastColumnStays", {grRight}, {2, 6}, TGridCell{2, 6}},
        TMoveCase{"HomeGoesToTheFirstColumn", {grHome}, {2, 5}, TGridCell{2, 0}},
        TMoveCase{"EndGoesToTheLastColumn", {grEnd}, {2, 1}, TGridCell{2, 6}},
        TMoveCase{"CtrlHomeGoesToTheFirstRow", {grHome, false, true}, {8, 5}, TGridCell{0, 5}},
        TMoveCase{"CtrlEndGoesToTheLastRow", {grEnd, false, true}, {1, 5}, TGridCell{9, 5}},
        TMoveCase{"AltDownIsNoMove", {grDown, false, false, true}, {2, 2}, std::nullopt},
        TMoveCase{"ALetterIsNoMove", {grOther}, {2, 2}, std::nullopt}),
    [](const auto& test) { return std::string(test.param.Rule); });

TEST(CellMoves, AnEmptyGridHasNone) {
    EXPECT_EQ(CellMove({grDown}, TGridCell{-1, -1}, 0, 7, 4), std::nullopt);
    EXPECT_EQ(CellMove({grRight}, TGridCell{-1, -1}, 3, 0, 4), std::nullopt);
}

}  // namespace
