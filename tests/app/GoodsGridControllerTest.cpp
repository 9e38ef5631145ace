#include "app/GoodsGridController.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "AppSupport.h"

namespace {

void AddRow(TGoodsTable& goods, const char* id, const char* name, const char* kod,
            const char* quantity, const char* price) {
    goods.AppendRow();
    goods.SetText(gfID, id);
    goods.SetText(gfNAME, name);
    goods.SetText(gfKOD, kod);
    goods.SetText(gfOSTATOK, quantity);
    goods.SetText(gfRPRICE, price);
    goods.SetText(gfCATEGORY, "1");
    goods.SetText(gfNDS, "18");
    goods.PostRow();
}

// The three rows of the example reports, the first one current.
TGoodsTable& Examples(TGoodsTable& goods) {
    goods.OpenTable();
    AddRow(goods, "101", "Хлеб белый", "4600000000011", "12.5", "34.9");
    AddRow(goods, "102", "Молоко", "2220000000001", "0", "1");
    AddRow(goods, "103", "Сахар-песок", "2220000000002", "7", "10.25");
    goods.MoveFirst();
    return goods;
}

class GoodsGridTest : public testing::Test {
  protected:
    // Whatever the keys did, the view has followed the table's rows.
    void TearDown() override { EXPECT_EQ(Grid.ShownRows, Goods.RowCount()); }

    std::string Cell(int row, TGoodsField field) const { return Grid.Control.CellText(row, field); }
    std::string Value(int row, TGoodsField field) const { return Goods.AsTextAt(row, field); }

    TCallLog Log;
    TRecordingShell Shell{Log};
    TGoodsTable Goods;
    TFakeGrid Grid{Examples(Goods), TCurrencyFormat::FromRegional(kRouble), Shell};
};

TEST_F(GoodsGridTest, CellsShowPricesInTheCurrencyFormatAndEditThemAsPlainNumbers) {
    EXPECT_EQ(Grid.Control.ColumnCount(), 7);
    EXPECT_EQ(Cell(0, gfID), "101");
    EXPECT_EQ(Cell(0, gfNAME), "Хлеб белый");
    EXPECT_EQ(Cell(0, gfOSTATOK), "12.5");
    EXPECT_EQ(Cell(0, gfRPRICE), "34.90\u00A0\u20BD");
    EXPECT_EQ(Grid.Control.CellEditText(0, gfRPRICE), "34.90");
    EXPECT_EQ(Grid.Control.CellEditText(0, gfOSTATOK), "12.5");
    Goods.SetRowNumber(2);
    Goods.EditRow();
    Goods.SetText(gfOSTATOK, "0.00001");
    Goods.SetEmpty(gfRPRICE);
    Goods.PostRow();
    EXPECT_EQ(Cell(1, gfOSTATOK), "1E-5");
    EXPECT_EQ(Cell(1, gfRPRICE), "");
    EXPECT_EQ(Grid.Control.CellEditText(1, gfRPRICE), "");
}

TEST_F(GoodsGridTest, EditorsTakeATextColumnsWidthAndNumbersWithoutLimit) {
    EXPECT_EQ(TGoodsGridController::EditorMaxLength(gfNAME), 50);
    EXPECT_EQ(TGoodsGridController::EditorMaxLength(gfKOD), 20);
    EXPECT_EQ(TGoodsGridController::EditorMaxLength(gfID), 0);
    EXPECT_EQ(TGoodsGridController::EditorMaxLength(gfRPRICE), 0);
}

// What the view is told besides the table's changes (the operator's view of the editing is in
// EditCases.h): the markers to redraw when another row becomes current, and the editor to take
// the keyboard again when its text is refused.
TEST_F(GoodsGridTest, TheViewRedrawsTheMovedMarkerAndARefusedEditorTakesTheKeyboard) {
    Grid.Select(1, gfNAME);
    EXPECT_EQ(Grid.MarkersRedrawn, (std::vector<int>{0, 1}));
    Grid.Select(1, gfRPRICE);
    Grid.Type("12,5");
    Grid.Press(grDown);
    EXPECT_EQ(Grid.EditorFocused, 1);
    EXPECT_EQ(Shell.Boxes.size(), 1u);
    EXPECT_EQ(Shell.Boxes[0].Title, "Kelva2larmis");
}

struct TKeyCase {
    const char* Name;
    TGridKeyPress Press;
    TKeyOutcome Outcome;
    int Rows;
};

class GridKeys : public GoodsGridTest, public testing::WithParamInterface<TKeyCase> {};

// The first row is current and no editor is open.
TEST_P(GridKeys, OnlyTheirOwnModifiersChangeTheTable) {
    EXPECT_EQ(Grid.Control.GridKey(GetParam().Press), GetParam().Outcome);
    EXPECT_EQ(Goods.RowCount(), GetParam().Rows);
    EXPECT_EQ(Shell.Boxes.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    GoodsGrid, GridKeys,
    testing::Values(TKeyCase{"InsertInserts", {grInsert}, koDone, 4},
                    TKeyCase{"ShiftInsertIsTheToolkits", {grInsert, true}, koToolkit, 3},
                    TKeyCase{"CtrlInsertIsTheToolkits", {grInsert, false, true}, koToolkit, 3},
                    TKeyCase{"DeleteAloneIsTheToolkits", {grDelete}, koToolkit, 3},
                    TKeyCase{"CtrlShiftDeleteIsTheToolkits", {grDelete, true, true}, koToolkit, 3},
                    TKeyCase{
                        "CtrlAltDeleteIsTheToolkits", {grDelete, false, true, true}, koToolkit, 3},
                    TKeyCase{"DownInsideTheTableMovesOnly", {grDown}, koDone, 3},
                    TKeyCase{"UpMovesOnly", {grUp}, koDone, 3},
                    TKeyCase{"PageDownMovesOnly", {grPageDown}, koDone, 3},
                    TKeyCase{"EnterOpensTheEditor", {grEnter}, koEdit, 3},
                    TKeyCase{"F2OpensTheEditor", {grF2}, koEdit, 3},
                    TKeyCase{"EscapeIsTheWindows", {grEscape}, koToolkit, 3},
                    TKeyCase{"CtrlTabIsTheToolkits", {grTab, false, true}, koToolkit, 3},
                    TKeyCase{"LettersAreTheToolkits", {grOther}, koToolkit, 3}),
    [](const testing::TestParamInfo<TKeyCase>& param) { return param.param.Name; });

struct TWidthCase {
    const char* Name;
    TGoodsField Column;
    int AverageCharWidth;
    int Want;
};

class ColumnWidths : public testing::TestWithParam<TWidthCase> {};

// Titles measured at 7 pixels a character; cells keep 8 pixels around their text.
TEST_P(ColumnWidths, MakeRoomForTheViewCharactersOrTheTitle) {
    std::vector<std::string> measured;
    const auto textWidth = [&](std::string_view text) {
        measured.emplace_back(text);
        return static_cast<int>(text.size()) * 7;
    };
    EXPECT_EQ(TGoodsGridController::ColumnWidth(GetParam().Column, GetParam().AverageCharWidth,
                                                textWidth, 8),
              GetParam().Want);
    EXPECT_EQ(measured, std::vector<std::string>{GoodsFieldName(GetParam().Column)});
}

INSTANTIATE_TEST_SUITE_P(
    GoodsGrid, ColumnWidths,
    testing::Values(TWidthCase{"NameShowsItsFiftyCharacters", gfNAME, 6, 50 * 6 + 8},
                    TWidthCase{"KodShowsItsTwentyCharacters", gfKOD, 6, 20 * 6 + 8},
                    TWidthCase{"AnIntegerShowsElevenCharacters", gfID, 6, 11 * 6 + 8},
                    TWidthCase{"APriceShowsTenCharacters", gfRPRICE, 6, 10 * 6 + 8},
                    TWidthCase{"AWiderTitleWins", gfCATEGORY, 5, 8 * 7 + 8},
                    TWidthCase{"ATitleJustNarrowerLoses", gfOSTATOK, 5, 10 * 5 + 8},
                    TWidthCase{"ATitleJustWiderWins", gfOSTATOK, 4, 7 * 7 + 8}),
    [](const testing::TestParamInfo<TWidthCase>& param) { return param.param.Name; });

TEST_F(GoodsGridTest, OpenCellStaysOnItsRowWhileRowsComeAndGoAboveIt) {
    Grid.Select(2, gfNAME);
    Grid.Type("Сахар");
    // Another party posts the row and changes the table above it.
    Goods.PostRow();
    Goods.SetRowNumber(1);
    Goods.InsertRow();
    Goods.SetText(gfNAME, "Вставлен");
    Goods.PostRow();
    Goods.SetRowNumber(2);
    Goods.DeleteRow();
    Goods.SetRowNumber(1);
    Goods.InsertRow();
    Goods.SetText(gfNAME, "Ещё один");
    Goods.PostRow();
    ASSERT_EQ(Goods.State(), gsBrowse);
    Grid.Press(grEnter);
    EXPECT_FALSE(Grid.EditorOpen);
    EXPECT_EQ(Value(4, gfNAME), "Сахар");
    EXPECT_EQ(Value(4, gfID), "103");
    EXPECT_EQ(Value(3, gfNAME), "Молоко");
}

TEST(GoodsGrid, ClosedTableShowsNothingAndKeysDoNothing) {
    TCallLog log;
    TRecordingShell shell(log);
    TGoodsTable goods;
    TFakeGrid grid(goods, TCurrencyFormat::FromRegional(kRouble), shell);
    EXPECT_EQ(grid.Control.RowCount(), 0);
    EXPECT_EQ(grid.Control.ColumnCount(), 0);
    for (TGridKey key : {grInsert, grDown, grTab, grEnter}) {
        EXPECT_EQ(grid.Control.GridKey({key}), koToolkit) << key;
    }
    EXPECT_EQ(grid.Control.GridKey({grDelete, false, true}), koToolkit);
    EXPECT_FALSE(grid.Control.CanEdit(0, 0));
    EXPECT_FALSE(goods.IsOpen());
    EXPECT_TRUE(shell.Boxes.empty());
    // Opened, the table shows its columns at once.
    goods.OpenTable();
    EXPECT_EQ(grid.Control.ColumnCount(), 7);
}

}  // namespace
