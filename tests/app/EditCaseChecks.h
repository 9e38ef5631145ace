#pragma once

// How a front end's driver plays the shared editing cases and what is compared afterwards; the
// tables written are compared with those the program writes for the edited reports.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "EditCases.h"
#include "app/MainController.h"

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
