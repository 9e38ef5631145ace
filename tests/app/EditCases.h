#pragma once

// The results viewer's editing, refusals and export as one table of cases, played against the
// layer and through each front end's real viewer: from the example reports imported (or nothing
// imported, or an empty table), the operator clicks cells, types, presses keys and buttons, and
// the table, the grid, the boxes and the written directory table must come out as each case says.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "GridKeyCases.h"
#include "app/Shell.h"

// What the operator does.
enum TEditAction : std::uint8_t {
    eaClick,         // a click on a cell
    eaType,          // text typed into the current cell, replacing what its open editor holds
    eaKey,           // a key pressed wherever the keyboard is
    eaSaveInViewer,  // "Сохранить в DBF-формате" of the viewer
    eaSaveInMain,    // the main window's save button
    eaClose,         // "Закрыть"
    eaShow,          // "Показать результаты"
    eaImport         // "Обработать"
};

struct TEditStep {
    TEditAction Action;
    TGridCell Cell{};
    std::string Text;
    TGridKeyPress Press{};
};

inline TEditStep EditClick(int row, int column) {
    return {eaClick, {row, column}, {}, {}};
}
inline TEditStep EditType(std::string text) {
    return {eaType, {}, std::move(text), {}};
}
inline TEditStep EditKey(TGridKey key, bool shift = false, bool ctrl = false) {
    return {eaKey, {}, {}, {key, shift, ctrl, false}};
}
inline TEditStep EditPress(TEditAction button) {
    return {button, {}, {}, {}};
}
// Ctrl+Tab: the keyboard leaves the grid for "Закрыть".
inline TEditStep EditLeave() {
    return EditKey(grTab, false, true);
}

// What the viewer starts from.
enum TEditStart : std::uint8_t {
    esExamples,    // the example reports imported, the viewer shown
    esNothing,     // the viewer shown before any import
    esEmptyTable,  // an opened table without rows, the viewer shown
};

struct TEditBox {
    TDialogIcon Icon;
    std::string Text;
    bool operator==(const TEditBox&) const = default;
};

// A field of the directory table's records as the export wrote it (text trimmed).
struct TExportedField {
    int Record;  // from 0
    int Offset;
    int Length;
    const char* Text;
};

inline constexpr int kDirNAME[] = {36, 50};
inline constexpr int kDirRPRICE[] = {126, 10};

inline TExportedField ExportedName(int record, const char* text) {
    return {record, kDirNAME[0], kDirNAME[1], text};
}
inline TExportedField ExportedPrice(int record, const char* text) {
    return {record, kDirRPRICE[0], kDirRPRICE[1], text};
}

// An edit of the example reports: the article's lines gone from both (no price), or its price in
// the stock report replaced.
struct TReportEdit {
    const char* Article;
    const char* Price = nullptr;
};

struct TEditCase {
    const char* Name;
    std::vector<TEditStep> Steps;
    TGridCell To;  // the current cell afterwards (the grid shows it when the viewer is shown)
    int Rows = 3;
    TGoodsState State = gsBrowse;
    int Columns = 7;  // the grid's: none before the table is first opened
    // Values of the table (rows from 1), as the grid shows them too (a price in its own format).
    std::vector<TGridValue> Values = {};
    std::optional<std::string> Editor = std::nullopt;  // the open cell editor's text
    std::vector<TEditBox> Boxes = {};                  // boxes and questions, in order
    std::vector<bool> Answers = {};                    // to the questions, in order
    bool Shown = true;                                 // the viewer afterwards
    int Records = -1;  // the directory table's records; -1: no table written
    std::vector<TExportedField> Exported = {};
    std::optional<bool> Modified = std::nullopt;  // a value of the pending row set
    TEditStart Start = esExamples;
    bool WriteID = false;  // the main window's "write ID" box checked before the steps
    // Both tables written byte for byte (the date aside) as the program writes them for the
    // example reports edited so; none: not compared.
    std::vector<TReportEdit> SameAsReports = {};
};

inline std::string Repeated(const char* text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// A price corrected and the next row deleted, then saved with `save`.
inline TEditCase CorrectedAndDeletedCase(const char* name, TEditAction save) {
    return {.Name = name,
            .Steps = {EditClick(0, gfRPRICE), EditType("50"), EditKey(grDown),
                      EditKey(grDelete, false, true), EditPress(save)},
            .To = {1, gfID},
            .Rows = 2,
            .Values = {{1, gfRPRICE, "50"}, {2, gfNAME, "Сахар-песок"}},
            .Boxes = {{diQuestion, "Delete record?"}, {diInformation, "Данные сохранены!"}},
            .Answers = {true},
            .Records = 2,
            .Exported = {ExportedPrice(0, "50.00"), ExportedName(1, "Сахар-песок")}};
}

// A refused quantity still in its editor when `save` is pressed.
inline TEditCase RefusedExportCase(const char* name, TEditAction save) {
    return {.Name = name,
            .Steps = {EditClick(0, gfOSTATOK), EditType("2,5"), EditPress(save)},
            .To = {0, gfOSTATOK},
            .State = gsEdit,
            .Values = {{1, gfOSTATOK, "12.5"}},
            .Editor = "2,5",
            .Boxes = {{diError, "'2,5' is not a valid floating point value for field 'OSTATOK'"}}};
}

// A row deleted (101, whose barcode is its own, so no generated one moves), a price stored with
// Enter, the next one still in its editor when `save` is pressed: the tables are those of the
// reports edited so.
inline TEditCase EditedReportsCase(const char* name, TEditAction save, bool writeID) {
    return {.Name = name,
            .Steps = {EditClick(0, gfID), EditKey(grDelete, false, true), EditClick(0, gfRPRICE),
                      EditType("77.50"), EditKey(grEnter), EditKey(grDown), EditType("1999.99"),
                      EditPress(save)},
            .To = {1, gfID},
            .Rows = 2,
            .Values = {{1, gfRPRICE, "77.5"}, {2, gfRPRICE, "1999.99"}},
            .Boxes = {{diQuestion, "Delete record?"}, {diInformation, "Данные сохранены!"}},
            .Answers = {true},
            .Records = 2,
            .WriteID = writeID,
            .SameAsReports = {{"101"}, {"102", "77.50"}, {"103", "1999.99"}}};
}

inline const std::vector<TEditCase>& EditCases() {
    static const std::string fiftyOfSixty = Repeated("Ж", 50);
    static const std::string twentyOfSixty = Repeated("Ж", 20);
    static const std::vector<TEditCase> cases = {
        // Typing, F2 and Enter open a cell; leaving the row posts it.
        {.Name = "TypingOpensTheCellAndPutsTheRowIntoEditing",
         .Steps = {EditClick(1, gfNAME), EditType("Кефир")},
         .To = {1, gfNAME},
         .State = gsEdit,
         .Editor = "Кефир"},
        {.Name = "MovingDownPostsTheTypedRow",
         .Steps = {EditClick(1, gfNAME), EditType("Кефир"), EditKey(grDown)},
         .To = {2, gfNAME},
         .Values = {{2, gfNAME, "Кефир"}}},
        {.Name = "F2OpensThePriceAsAPlainNumber",
         .Steps = {EditClick(1, gfRPRICE), EditKey(grF2)},
         .To = {1, gfRPRICE},
         .State = gsEdit,
         .Editor = "1.00"},
        {.Name = "EnterWithoutAChangeStoresNothing",
         .Steps = {EditClick(1, gfRPRICE), EditKey(grF2), EditKey(grEnter)},
         .To = {1, gfRPRICE},
         .State = gsEdit,
         .Modified = false},
        {.Name = "AnUnchangedRowIsLeftAsItWas",
         .Steps = {EditClick(1, gfRPRICE), EditKey(grF2), EditKey(grEnter), EditKey(grDown)},
         .To = {2, gfRPRICE},
         .Values = {{2, gfRPRICE, "1"}}},
        {.Name = "EnterOpensTheNextPriceAsF2Does",
         .Steps = {EditClick(1, gfRPRICE), EditKey(grF2), EditKey(grEnter), EditKey(grDown),
                   EditKey(grEnter)},
         .To = {2, gfRPRICE},
         .State = gsEdit,
         .Editor = "10.25"},
        {.Name = "TheNameEditorTakesFiftyCharacters",
         .Steps = {EditClick(0, gfNAME), EditType(Repeated("Ж", 60))},
         .To = {0, gfNAME},
         .State = gsEdit,
         .Editor = fiftyOfSixty},
        {.Name = "FiftyCharactersOfANameAreStored",
         .Steps = {EditClick(0, gfNAME), EditType(Repeated("Ж", 60)), EditKey(grDown)},
         .To = {1, gfNAME},
         .Values = {{1, gfNAME, fiftyOfSixty.c_str()}}},
        {.Name = "TheKodEditorTakesTwentyCharacters",
         .Steps = {EditClick(0, gfKOD), EditType(Repeated("Ж", 60))},
         .To = {0, gfKOD},
         .State = gsEdit,
         .Editor = twentyOfSixty},
        {.Name = "TwentyCharactersOfAKodAreStored",
         .Steps = {EditClick(0, gfKOD), EditType(Repeated("Ж", 60)), EditKey(grDown)},
         .To = {1, gfKOD},
         .Values = {{1, gfKOD, twentyOfSixty.c_str()}}},
        // The keyboard leaving the grid.
        {.Name = "AnUntouchedAppendedRowIsDroppedWhenTheKeyboardLeaves",
         .Steps = {EditClick(2, gfID), EditKey(grDown), EditLeave()},
         .To = {2, gfID},
         .Values = {{3, gfID, "103"}}},
        {.Name = "LeavingStoresTheOpenCellAndKeepsAChangedNewRow",
         .Steps = {EditClick(2, gfNAME), EditKey(grDown), EditType("Новый"), EditLeave()},
         .To = {3, gfNAME},
         .Rows = 4,
         .State = gsInsert,
         .Values = {{4, gfNAME, "Новый"}}},
        // A refused text stays in its editor with its message until corrected.
        {.Name = "ACommaInAPriceIsRefusedOnDown",
         .Steps = {EditClick(0, gfRPRICE), EditType("12,5"), EditKey(grDown)},
         .To = {0, gfRPRICE},
         .State = gsEdit,
         .Values = {{1, gfRPRICE, "34.9"}},
         .Editor = "12,5",
         .Boxes = {{diError, "'12,5' is not a valid floating point value for field 'RPRICE'"}}},
        {.Name = "ACorrectedPriceIsTaken",
         .Steps = {EditClick(0, gfRPRICE), EditType("12,5"), EditKey(grDown), EditType("12.5"),
                   EditKey(grEnter)},
         .To = {0, gfRPRICE},
         .State = gsEdit,
         .Values = {{1, gfRPRICE, "12.5"}},
         .Boxes = {{diError, "'12,5' is not a valid floating point value for field 'RPRICE'"}}},
        {.Name = "ACommaInAQuantityIsRefusedOnTab",
         .Steps = {EditClick(1, gfOSTATOK), EditType("2,5"), EditKey(grTab)},
         .To = {1, gfOSTATOK},
         .State = gsEdit,
         .Values = {{2, gfOSTATOK, "0"}},
         .Editor = "2,5",
         .Boxes = {{diError, "'2,5' is not a valid floating point value for field 'OSTATOK'"}}},
        {.Name = "ACorrectedQuantityIsTaken",
         .Steps = {EditClick(1, gfOSTATOK), EditType("2,5"), EditKey(grTab), EditType("2.5"),
                   EditKey(grEnter)},
         .To = {1, gfOSTATOK},
         .State = gsEdit,
         .Values = {{2, gfOSTATOK, "2.5"}},
         .Boxes = {{diError, "'2,5' is not a valid floating point value for field 'OSTATOK'"}}},
        {.Name = "LettersInAnIntegerAreRefusedOnUp",
         .Steps = {EditClick(2, gfCATEGORY), EditType("7x"), EditKey(grUp)},
         .To = {2, gfCATEGORY},
         .State = gsEdit,
         .Values = {{3, gfCATEGORY, "1"}},
         .Editor = "7x",
         .Boxes = {{diError, "'7x' is not a valid integer value for field 'CATEGORY'"}}},
        {.Name = "ACorrectedIntegerIsTaken",
         .Steps = {EditClick(2, gfCATEGORY), EditType("7x"), EditKey(grUp), EditType("7"),
                   EditKey(grEnter)},
         .To = {2, gfCATEGORY},
         .State = gsEdit,
         .Values = {{3, gfCATEGORY, "7"}},
         .Boxes = {{diError, "'7x' is not a valid integer value for field 'CATEGORY'"}}},
        {.Name = "AClickElsewhereWithARefusedCellGoesNowhere",
         .Steps = {EditClick(0, gfRPRICE), EditType("12,5"), EditClick(2, gfNAME)},
         .To = {0, gfRPRICE},
         .State = gsEdit,
         .Values = {{1, gfRPRICE, "34.9"}},
         .Editor = "12,5",
         .Boxes = {{diError, "'12,5' is not a valid floating point value for field 'RPRICE'"}}},
        // Esc, "Закрыть", showing again and a new import.
        {.Name = "EscInAnOpenCellStoresItAndClosesTheViewer",
         .Steps = {EditClick(0, gfNAME), EditType("Батон"), EditKey(grEscape)},
         .To = {0, gfNAME},
         .State = gsEdit,
         .Values = {{1, gfNAME, "Батон"}},
         .Shown = false},
        {.Name = "EscInTheGridClosesTheViewer",
         .Steps = {EditClick(1, gfNAME), EditKey(grEscape)},
         .To = {1, gfNAME},
         .Shown = false},
        {.Name = "ShowingAgainKeepsTheRowsAndTheEdits",
         .Steps = {EditClick(1, gfNAME), EditType("Исправлено"), EditKey(grEnter),
                   EditPress(eaClose), EditPress(eaShow)},
         .To = {1, gfNAME},
         .State = gsEdit,
         .Values = {{2, gfNAME, "Исправлено"}}},
        {.Name = "ANewImportDropsTheOpenCellWithItsText",
         .Steps = {EditClick(1, gfNAME), EditType("Батон"), EditPress(eaImport)},
         .To = {2, gfID},
         .Values = {{1, gfNAME, "Хлеб белый"}, {2, gfNAME, "Молоко 3,2%"}}},
        // Before any import, and an empty table.
        {.Name = "BeforeAnyImportKeysChangeNothingAndThereIsNothingToSave",
         .Steps = {EditKey(grInsert), EditKey(grDown), EditKey(grDelete, false, true),
                   EditPress(eaSaveInViewer)},
         .To = {-1, -1},
         .Rows = 0,
         .State = gsClosed,
         .Columns = 0,
         .Boxes = {{diError, "Нет данных для сохранения в BDF!"}},
         .Start = esNothing},
        {.Name = "CtrlDeleteOnAnEmptyTableAsksNothing",
         .Steps = {EditKey(grDelete, false, true)},
         .To = {-1, -1},
         .Rows = 0,
         .Start = esEmptyTable},
        // What the export writes: the cell still open is stored first, a refused one stops it. The
        // export walks the table and leaves its last row current.
        CorrectedAndDeletedCase("ACorrectedPriceAndADeletedRowReachTheExportFromTheViewer",
                                eaSaveInViewer),
        CorrectedAndDeletedCase("ACorrectedPriceAndADeletedRowReachTheExportFromTheMainWindow",
                                eaSaveInMain),
        {.Name = "SavingFromTheViewerStoresTheOpenCell",
         .Steps = {EditClick(2, gfRPRICE), EditType("99"), EditPress(eaSaveInViewer)},
         .To = {2, gfID},
         .Values = {{3, gfRPRICE, "99"}},
         .Boxes = {{diInformation, "Данные сохранены!"}},
         .Records = 3,
         .Exported = {ExportedPrice(2, "99.00")}},
        {.Name = "SavingFromTheMainWindowStoresTheOpenCell",
         .Steps = {EditClick(0, gfRPRICE), EditType("77"), EditPress(eaSaveInMain)},
         .To = {2, gfID},
         .Values = {{1, gfRPRICE, "77"}},
         .Boxes = {{diInformation, "Данные сохранены!"}},
         .Records = 3,
         .Exported = {ExportedPrice(0, "77.00"), ExportedName(1, "Молоко 3,2%")}},
        RefusedExportCase("ARefusedCellStopsTheExportFromTheMainWindow", eaSaveInMain),
        RefusedExportCase("ARefusedCellStopsTheExportFromTheViewer", eaSaveInViewer),
        EditedReportsCase("AnEditedTableIsWrittenAsTheEditedReportsFromTheMainWindow", eaSaveInMain,
                          false),
        EditedReportsCase("AnEditedTableIsWrittenAsTheEditedReportsFromTheViewerWithIDs",
                          eaSaveInViewer, true),
    };
    return cases;
}

inline std::string EditCaseName(int index) {
    return EditCases()[static_cast<std::size_t>(index)].Name;
}
