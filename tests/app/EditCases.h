#pragma once

// The results viewer's editing, refusals and export as one table of cases, played against the
// layer and through each front end's real viewer: from the example reports imported (or nothing
// imported, or an empty table), the operator clicks cells, types, presses keys and buttons, and
// the table, the grid, the boxes and the written directory table must come out as each case says.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "GridKeyCases.h"
#include "app/MainController.h"
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
        {.Name = "ACorrectedPriceAndADeletedRowReachTheExportFromTheViewer",
         .Steps = {EditClick(0, gfRPRICE), EditType("50"), EditKey(grDown),
                   EditKey(grDelete, false, true), EditPress(eaSaveInViewer)},
         .To = {1, gfID},
         .Rows = 2,
         .Values = {{1, gfRPRICE, "50"}, {2, gfNAME, "Сахар-песок"}},
         .Boxes = {{diQuestion, "Delete record?"}, {diInformation, "Данные сохранены!"}},
         .Answers = {true},
         .Records = 2,
         .Exported = {ExportedPrice(0, "50.00"), ExportedName(1, "Сахар-песок")}},
        {.Name = "ACorrectedPriceAndADeletedRowReachTheExportFromTheMainWindow",
         .Steps = {EditClick(0, gfRPRICE), EditType("50"), EditKey(grDown),
                   EditKey(grDelete, false, true), EditPress(eaSaveInMain)},
         .To = {1, gfID},
         .Rows = 2,
         .Values = {{1, gfRPRICE, "50"}, {2, gfNAME, "Сахар-песок"}},
         .Boxes = {{diQuestion, "Delete record?"}, {diInformation, "Данные сохранены!"}},
         .Answers = {true},
         .Records = 2,
         .Exported = {ExportedPrice(0, "50.00"), ExportedName(1, "Сахар-песок")}},
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
        {.Name = "ARefusedCellStopsTheExportFromTheMainWindow",
         .Steps = {EditClick(0, gfOSTATOK), EditType("2,5"), EditPress(eaSaveInMain)},
         .To = {0, gfOSTATOK},
         .State = gsEdit,
         .Values = {{1, gfOSTATOK, "12.5"}},
         .Editor = "2,5",
         .Boxes = {{diError, "'2,5' is not a valid floating point value for field 'OSTATOK'"}}},
        {.Name = "ARefusedCellStopsTheExportFromTheViewer",
         .Steps = {EditClick(0, gfOSTATOK), EditType("2,5"), EditPress(eaSaveInViewer)},
         .To = {0, gfOSTATOK},
         .State = gsEdit,
         .Values = {{1, gfOSTATOK, "12.5"}},
         .Editor = "2,5",
         .Boxes = {{diError, "'2,5' is not a valid floating point value for field 'OSTATOK'"}}},
        // Editing the table is editing the reports: a row deleted (101, whose barcode is its own,
        // so no generated one moves), a price stored with Enter, the next one still in its editor.
        {.Name = "AnEditedTableIsWrittenAsTheEditedReportsFromTheMainWindow",
         .Steps = {EditClick(0, gfID), EditKey(grDelete, false, true), EditClick(0, gfRPRICE),
                   EditType("77.50"), EditKey(grEnter), EditKey(grDown), EditType("1999.99"),
                   EditPress(eaSaveInMain)},
         .To = {1, gfID},
         .Rows = 2,
         .Values = {{1, gfRPRICE, "77.5"}, {2, gfRPRICE, "1999.99"}},
         .Boxes = {{diQuestion, "Delete record?"}, {diInformation, "Данные сохранены!"}},
         .Answers = {true},
         .Records = 2,
         .SameAsReports = {{"101"}, {"102", "77.50"}, {"103", "1999.99"}}},
        {.Name = "AnEditedTableIsWrittenAsTheEditedReportsFromTheViewerWithIDs",
         .Steps = {EditClick(0, gfID), EditKey(grDelete, false, true), EditClick(0, gfRPRICE),
                   EditType("77.50"), EditKey(grEnter), EditKey(grDown), EditType("1999.99"),
                   EditPress(eaSaveInViewer)},
         .To = {1, gfID},
         .Rows = 2,
         .Values = {{1, gfRPRICE, "77.5"}, {2, gfRPRICE, "1999.99"}},
         .Boxes = {{diQuestion, "Delete record?"}, {diInformation, "Данные сохранены!"}},
         .Answers = {true},
         .Records = 2,
         .WriteID = true,
         .SameAsReports = {{"101"}, {"102", "77.50"}, {"103", "1999.99"}}},
    };
    return cases;
}

inline std::string EditCaseName(int index) {
    return EditCases()[static_cast<std::size_t>(index)].Name;
}

// The bytes of a file; empty when it cannot be read.
inline std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A report with `edits` made; `stock`: the stock report, where prices are (columns 61-67).
inline std::string EditedReport(std::string report, const std::vector<TReportEdit>& edits,
                                bool stock) {
    for (const TReportEdit& edit : edits) {
        // An article's line: its code right-aligned in columns 1-13, after a CR LF.
        const std::string code = edit.Article;
        std::size_t line = report.find("\r\n" + std::string(13 - code.size(), ' ') + code + " ");
        if (line == std::string::npos) continue;
        line += 2;
        if (!edit.Price) {
            report.erase(line, report.find("\r\n", line) + 2 - line);
        } else if (stock) {
            const std::string price = edit.Price;
            report.replace(line + 60, 7, std::string(7 - price.size(), ' ') + price);
        }
    }
    return report;
}

// The main window's controller over the edited reports, with nobody to see its boxes.
class TReferenceRun final : public IShell, public IMainView {
  public:
    void ShowBox(TDialogIcon /*icon*/, const std::string& /*title*/,
                 const std::string& /*text*/) override {}
    bool Confirm(const std::string& /*title*/, const std::string& /*text*/) override {
        return false;
    }
    std::unique_ptr<IProgressWindow> OpenProgress(const std::string& /*caption*/,
                                                  bool /*percentMode*/) override {
        return std::make_unique<TNoProgress>();
    }
    void SetProgressAppName(const std::string& /*name*/) override {}
    std::string ProgramPath() const override { return Program; }
    TSystemFolders SystemFolders() const override { return {}; }

    TMainInputs Inputs() const override { return Typed; }
    void HideCount() override {}
    void ShowCount(const std::string& /*text*/) override {}
    void ShowViewer() override {}
    void HideViewer() override {}
    void Repaint() override {}
    void PostClose() override {}

    std::string Program;
    TMainInputs Typed;

  private:
    class TNoProgress final : public IProgressWindow {
        void SetPercent(double /*percent*/) override {}
        void Close() override {}
    };
};

inline std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// How the tables written into `folder`/out differ from those the program writes for the example
// reports in `folder` edited as the case says; empty when they do not.
inline std::string TablesDifference(const TEditCase& c, const std::filesystem::path& folder) {
    const std::filesystem::path reference = folder / "reference";
    std::filesystem::create_directories(reference / "out");
    for (const bool stock : {false, true}) {
        const char* name = stock ? "PRINT.TXT" : "ARTICLE.TXT";
        std::ofstream(reference / name, std::ios::binary)
            << EditedReport(FileBytes(folder / name), c.SameAsReports, stock);
    }
    TReferenceRun run;
    run.Program = Utf8Path(reference / "KELVA2LARMIS.exe");
    run.Typed.ArticleFile = Utf8Path(reference / "ARTICLE.TXT");
    run.Typed.PrintFile = Utf8Path(reference / "PRINT.TXT");
    run.Typed.Folder = Utf8Path(reference / "out");
    run.Typed.WriteID = c.WriteID;
    TMainController main(run, TRegionalCurrency{});
    main.SetView(&run);
    main.ImportClick();
    main.SaveClick();
    std::ostringstream out;
    for (const std::filesystem::path table : {u8"Справочник.dbf", u8"Приходы.dbf"}) {
        const std::string got = FileBytes(folder / "out" / table);
        const std::string want = FileBytes(reference / "out" / table);
        // Bytes 1-3 hold the date of the last update.
        if (want.size() < 32 || got.size() != want.size() || got[0] != want[0] ||
            got.substr(4) != want.substr(4)) {
            out << Utf8Path(table) << " differs from the edited reports' (" << got.size()
                << " bytes, want " << want.size() << ")\n";
        }
    }
    return out.str();
}

// Plays a case's steps through a front end's driver, which has a method per action; after each,
// Settle() lets the front end's event loop run as it would before the operator's next action.
template <class TDriver>
void PlayEditSteps(const TEditCase& c, TDriver& driver) {
    driver.SetWriteID(c.WriteID);
    for (const TEditStep& step : c.Steps) {
        switch (step.Action) {
            case eaClick:
                driver.Click(step.Cell.Row, step.Cell.Column);
                break;
            case eaType:
                driver.Type(step.Text);
                break;
            case eaKey:
                driver.Key(step.Press);
                break;
            case eaSaveInViewer:
                driver.SaveInViewer();
                break;
            case eaSaveInMain:
                driver.SaveInMain();
                break;
            case eaClose:
                driver.CloseViewer();
                break;
            case eaShow:
                driver.ShowResults();
                break;
            case eaImport:
                driver.Import();
                break;
        }
        driver.Settle();
    }
}

// What differs from the case after its steps, one line each; empty when nothing does. The driver
// tells what its window shows: Goods(), CurrentCell() ({-1, -1}: none), ShownRows(),
// ShownColumns(), Cell(row, column), Marker(row), Editor() (nullopt: none open), ViewerShown(),
// Boxes(), ExportedRecords() (-1: no table) and ExportedField(record, offset, length).
template <class TDriver>
std::string EditMismatches(const TEditCase& c, TDriver& driver) {
    std::ostringstream out;
    const auto expect = [&](const auto& got, const auto& want, const std::string& what) {
        if (!(got == want)) out << what << ": got " << got << ", want " << want << "\n";
    };
    TGoodsTable& goods = driver.Goods();
    expect(goods.RowNumber(), c.To.Row + 1, "the table's current row");
    expect(goods.RowCount(), c.Rows, "the table's rows");
    expect(int{goods.State()}, int{c.State}, "the table's state");
    if (c.Modified) expect(goods.Modified(), *c.Modified, "a value of the pending row set");
    expect(driver.ViewerShown(), c.Shown, "the viewer shown");
    if (c.Shown) {
        const TGridCell cell = driver.CurrentCell();
        expect(cell.Row, c.To.Row, "the grid's current row");
        expect(cell.Column, c.To.Column, "the grid's current column");
    }
    expect(driver.ShownRows(), c.Rows, "the grid's rows");
    expect(driver.ShownColumns(), c.Columns, "the grid's columns");
    for (int row = 0; row < c.Rows; ++row) {
        expect(driver.Marker(row), std::string(row == c.To.Row ? MarkerOf(c.State) : ""),
               "the marker of row " + std::to_string(row));
    }
    for (const TGridValue& value : c.Values) {
        const std::string where = std::to_string(value.Row) + " " + GoodsFieldName(value.Field);
        expect(goods.AsTextAt(value.Row, value.Field), std::string(value.Text),
               "the table's " + where);
        // A price is shown in the regional currency format, which is each front end's own.
        if (value.Field != gfRPRICE) {
            expect(driver.Cell(value.Row - 1, value.Field), std::string(value.Text),
                   "the grid's " + where);
        }
    }
    const std::optional<std::string> editor = driver.Editor();
    expect(editor.value_or("(none)"), c.Editor.value_or("(none)"), "the open cell editor");
    const std::vector<TEditBox> boxes = driver.Boxes();
    expect(boxes.size(), c.Boxes.size(), "boxes");
    for (std::size_t i = 0; i < boxes.size() && i < c.Boxes.size(); ++i) {
        expect(int{boxes[i].Icon}, int{c.Boxes[i].Icon}, "box " + std::to_string(i) + "'s icon");
        expect(boxes[i].Text, c.Boxes[i].Text, "box " + std::to_string(i));
    }
    expect(driver.ExportedRecords(), c.Records, "the directory table's records");
    if (driver.ExportedRecords() == c.Records) {
        for (const TExportedField& field : c.Exported) {
            expect(
                driver.ExportedField(field.Record, field.Offset, field.Length),
                std::string(field.Text),
                "record " + std::to_string(field.Record) + " at " + std::to_string(field.Offset));
        }
    }
    if (!c.SameAsReports.empty()) out << TablesDifference(c, driver.ReportsFolder());
    return out.str();
}
