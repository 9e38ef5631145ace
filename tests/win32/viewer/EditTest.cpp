// The viewer's editing, refusals and export through the real list view and cell editor under
// Wine: keystrokes through the system's input queue, clicks as mouse messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "EditCaseChecks.h"
#include "ViewerSupport.h"
#include "win32/RegionalCurrency.h"

namespace {

class TWinEditDriver : public TViewerFixture {
  public:
    explicit TWinEditDriver(TEditStart start)
        : TViewerFixture(RegionalCurrencyOf(L"ru-RU"), start == esExamples) {
        if (start == esEmptyTable) TViewerFixture::Goods().OpenTable();
        if (start != esExamples) TViewerFixture::ShowViewer();
    }

    void Click(int row, int column) { TViewerFixture::Click(row, column); }
    void Type(const std::string& text) {
        // Typing replaces what an open editor holds, as after selecting it all.
        if (const HWND editor = TViewerFixture::Editor()) {
            SendMessageW(editor, EM_SETSEL, 0, -1);
        }
        TViewerFixture::Type(text);
    }
    void Key(TGridKeyPress press) {
        TViewerFixture::Key(VirtualKeyOf(press.Key), press.Ctrl, press.Shift, press.Alt);
    }
    void SaveInViewer() { Press(TDataViewerWindow::kButton3Id); }
    void SaveInMain() { Controller->SaveClick(); }
    void CloseViewer() { Press(TDataViewerWindow::kBitBtn1Id); }
    void ShowResults() { TViewerFixture::ShowViewer(); }
    void Import() {
        Controller->ImportClick();
        Pump();
        WaitUntilActive();
    }
    void Settle() { Pump(); }
    void SetWriteID(bool write) { Host.Typed.WriteID = write; }
    std::filesystem::path ReportsFolder() const { return Folder.Path(); }

    TGoodsTable& Goods() { return TViewerFixture::Goods(); }
    TGridCell CurrentCell() {
        const auto [row, column] = DrawnCurrentCell();
        // None drawn: no current cell.
        return row < 0 ? TGridCell{-1, -1} : TGridCell{row, column};
    }
    int ShownRows() const { return RowCount(); }
    int ShownColumns() const { return static_cast<int>(Titles().size()); }
    std::string Cell(int row, int column) const { return TViewerFixture::Cell(row, column); }
    std::string Marker(int row) const { return TViewerFixture::Marker(row); }
    std::optional<std::string> Editor() const {
        return TViewerFixture::Editor() ? std::optional(EditorText()) : std::nullopt;
    }
    bool ViewerShown() const { return IsWindowVisible(Window()) != FALSE; }
    std::vector<TEditBox> Boxes() const {
        std::vector<TEditBox> boxes;
        for (const TRecordingShell::TBox& box : Shell.Boxes) boxes.push_back({box.Icon, box.Text});
        return boxes;
    }
    int ExportedRecords() const {
        if (!std::filesystem::exists(PathOf(Folder.File("out/Справочник.dbf")))) return -1;
        return static_cast<int>(Directory().size());
    }
    std::string ExportedField(int record, int offset, int length) const {
        return DbfField(Directory()[static_cast<std::size_t>(record)], offset, length);
    }
};

class TEdits : public ::testing::TestWithParam<int> {};

TEST_P(TEdits, LeaveTheTableTheGridTheBoxesAndTheExportAsTheCaseSays) {
    const TEditCase& c = EditCases()[static_cast<std::size_t>(GetParam())];
    TWinEditDriver driver(c.Start);
    for (const bool answer : c.Answers) driver.Shell.ConfirmAnswers.push_back(answer);
    PlayEditSteps(c, driver);
    EXPECT_EQ(EditMismatches(c, driver), "");
}

INSTANTIATE_TEST_SUITE_P(Viewer, TEdits, ::testing::Range(0, static_cast<int>(EditCases().size())),
                         [](const auto& test) { return EditCaseName(test.param); });

}  // namespace
