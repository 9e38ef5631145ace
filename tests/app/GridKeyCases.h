#pragma once

// The results grid's keys as one table of cases, run against the layer and through each front
// end's real grid: over the three example rows, a cell clicked, then keys pressed and text typed.

#include <string>
#include <vector>

#include "app/GoodsGridController.h"
#include "import/GoodsTable.h"

// A key pressed, or text typed into whatever has the keyboard (a cell editor opens on the first
// character).
struct TGridStep {
    TGridKeyPress Press{};
    const char* Typed = nullptr;
};

inline TGridStep KeyStep(TGridKey key, bool shift = false, bool ctrl = false, bool alt = false) {
    return TGridStep{TGridKeyPress{key, shift, ctrl, alt}, nullptr};
}

inline TGridStep TypedStep(const char* text) {
    return TGridStep{TGridKeyPress{}, text};
}

// A value of the goods table afterwards (its row from 1).
struct TGridValue {
    int Row;
    TGoodsField Field;
    const char* Text;
};

struct TGridKeyCase {
    const char* Name;
    TGridCell From;  // clicked first, no cell open
    std::vector<TGridStep> Steps;
    TGridCell To;  // the current cell afterwards
    int Rows;      // the rows afterwards
    TGoodsState State = gsBrowse;
    std::vector<TGridValue> Values = {};
    int Answer = -1;  // a confirmation asked and answered (1 OK, 0 Cancel); -1: none asked
};

// The marker the current row shows in `state`.
inline const char* MarkerOf(TGoodsState state) {
    if (state == gsInsert) return TGoodsGridController::kMarkerInsert;
    if (state == gsEdit) return TGoodsGridController::kMarkerEdit;
    return TGoodsGridController::kMarkerBrowse;
}

inline const std::vector<TGridKeyCase>& GridKeyCases() {
    static const std::vector<TGridKeyCase> cases = {
        // The cell moves.
        {"UpKeepsTheColumn", {2, 3}, {KeyStep(grUp)}, {1, 3}, 3},
        {"UpFromTheFirstRowStays", {0, 3}, {KeyStep(grUp)}, {0, 3}, 3},
        {"DownKeepsTheColumn", {0, 3}, {KeyStep(grDown)}, {1, 3}, 3},
        {"ShiftDownFromTheLastRowStays", {2, 3}, {KeyStep(grDown, true)}, {2, 3}, 3},
        {"PageDownStopsAtTheLastRow", {0, 1}, {KeyStep(grPageDown)}, {2, 1}, 3},
        {"PageUpStopsAtTheFirstRow", {2, 1}, {KeyStep(grPageUp)}, {0, 1}, 3},
        {"LeftFromTheFirstColumnStays", {1, 0}, {KeyStep(grLeft)}, {1, 0}, 3},
        {"RightKeepsTheRow", {1, 2}, {KeyStep(grRight)}, {1, 3}, 3},
        {"RightFromTheLastColumnStays", {1, 6}, {KeyStep(grRight)}, {1, 6}, 3},
        {"HomeGoesToTheFirstColumn", {1, 5}, {KeyStep(grHome)}, {1, 0}, 3},
        {"EndGoesToTheLastColumn", {1, 1}, {KeyStep(grEnd)}, {1, 6}, 3},
        {"CtrlHomeGoesToTheFirstRowInTheSameColumn",
         {2, 5},
         {KeyStep(grHome, false, true)},
         {0, 5},
         3},
        {"AltDownIsNoMove", {1, 2}, {KeyStep(grDown, false, false, true)}, {1, 2}, 3},
        {"CtrlEndGoesToTheLastRowInTheSameColumn",
         {0, 2},
         {KeyStep(grEnd, false, true)},
         {2, 2},
         3},
        // Tab and Shift+Tab run along the rows.
        {"TabGoesOnToTheNextRow", {0, 6}, {KeyStep(grTab)}, {1, 0}, 3},
        {"ShiftTabWrapsToThePreviousRow", {1, 0}, {KeyStep(grBacktab, true)}, {0, 6}, 3},
        {"ShiftTabBeforeTheFirstCellStays", {0, 0}, {KeyStep(grBacktab, true)}, {0, 0}, 3},
        {"ShiftTabFromAnOpenCellStoresItAndStays",
         {0, 0},
         {TypedStep("555"), KeyStep(grBacktab, true)},
         {0, 0},
         3,
         gsEdit,
         {{1, gfID, "555"}}},
        // Insert, and appending below the last row.
        {"InsertAddsAnEmptyRowBeforeTheCurrentOne",
         {1, 1},
         {KeyStep(grInsert)},
         {1, 1},
         4,
         gsInsert,
         {{2, gfID, ""}, {3, gfID, "102"}}},
        {"ATypedInsertedRowStaysWhenLeft",
         {1, 1},
         {KeyStep(grInsert), TypedStep("Новый"), KeyStep(grUp)},
         {0, 1},
         4,
         gsBrowse,
         {{2, gfNAME, "Новый"}, {3, gfID, "102"}}},
        {"AnUntouchedInsertedRowIsDroppedWhenLeft",
         {1, 1},
         {KeyStep(grInsert), KeyStep(grDown)},
         {1, 1},
         3,
         gsBrowse,
         {{2, gfID, "102"}}},
        {"DownFromTheLastRowAppends", {2, 1}, {KeyStep(grDown)}, {3, 1}, 4, gsInsert},
        {"DownOnTheUntouchedNewRowAppendsNothingMore",
         {2, 1},
         {KeyStep(grDown), KeyStep(grDown)},
         {3, 1},
         4,
         gsInsert},
        {"ATypedAppendedRowIsKept",
         {2, 1},
         {KeyStep(grDown), TypedStep("Добавлен"), KeyStep(grTab), TypedStep("4600000000017"),
          KeyStep(grUp)},
         {2, 2},
         4,
         gsBrowse,
         {{4, gfNAME, "Добавлен"}, {4, gfKOD, "4600000000017"}}},
        {"AnUntouchedAppendedRowIsDroppedWhenLeft",
         {2, 1},
         {KeyStep(grDown), KeyStep(grUp)},
         {2, 1},
         3},
        {"TabPastTheLastCellAppends", {2, 6}, {KeyStep(grTab)}, {3, 0}, 4, gsInsert},
        {"TabAlongTheUntouchedNewRowAppendsNothingMore",
         {2, 6},
         std::vector<TGridStep>(8, KeyStep(grTab)),
         {3, 6},
         4,
         gsInsert},
        {"AnUntouchedRowAppendedByTabIsDroppedWhenLeft",
         {2, 6},
         {KeyStep(grTab), KeyStep(grUp)},
         {2, 0},
         3},
        // Ctrl+Delete asks first.
        {"CtrlDeleteOkDeletesAndTheNextRowIsCurrent",
         {1, 1},
         {KeyStep(grDelete, false, true)},
         {1, 1},
         2,
         gsBrowse,
         {{2, gfID, "103"}},
         1},
        {"CtrlDeleteCancelKeepsTheRow",
         {1, 1},
         {KeyStep(grDelete, false, true)},
         {1, 1},
         3,
         gsBrowse,
         {{2, gfID, "102"}},
         0},
    };
    return cases;
}

// A readable test name.
inline std::string GridKeyCaseName(int index) {
    return GridKeyCases()[static_cast<std::size_t>(index)].Name;
}
