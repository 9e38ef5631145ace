// An operator's corrections in the results viewer reaching the tables, in the real program: a
// price stored with Enter, a row deleted with Ctrl+Delete and its confirmation, and a price still
// in its cell editor when the export starts, from either window. The converter, given copies of
// the reports edited to hold the same goods, must write the same bytes.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "ChildProcess.h"
#include "ProgramFixture.h"
#include "WinDriver.h"
#include "win32/DataViewerWindow.h"

namespace fs = std::filesystem;

namespace {

// The grid's rows follow the article list. The deleted article has a barcode of its own, so no
// generated barcode of a later row moves.
constexpr int kDeletedRow = 1;
const std::string kDeletedArticle = "1002";
// After the deletion: the row whose price is stored with Enter, and the next one, whose price is
// still being typed when the export starts.
const std::string kStoredArticle = "1003";
const std::string kStoredPrice = "77.50";
const std::string kOpenArticle = "1004";
const std::string kOpenPrice = "1999.99";
constexpr int kPriceColumn = 4;  // ID, NAME, KOD, OSTATOK, RPRICE

// Where the line of article `code` starts in a report (its code right-aligned in columns 1-13,
// each line after a CR LF).
std::size_t LineOf(const std::string& report, const std::string& code) {
    const std::size_t at = report.find("\r\n" + std::string(13 - code.size(), ' ') + code + " ");
    return at == std::string::npos ? at : at + 2;
}

// The article list without the line of `code`.
std::string WithoutArticle(std::string list, const std::string& code) {
    const std::size_t line = LineOf(list, code);
    if (line == std::string::npos) return list;
    return list.erase(line, list.find("\r\n", line) + 2 - line);
}

// The stock report with `price` in columns 61-67 of the line of `code`.
std::string WithPrice(std::string report, const std::string& code, const std::string& price) {
    const std::size_t line = LineOf(report, code);
    if (line == std::string::npos) return report;
    return report.replace(line + 60, 7, std::string(7 - price.size(), ' ') + price);
}

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

struct TEditedCase {
    const char* Name;
    bool FromViewer;
    bool WriteID;
};

void PrintTo(const TEditedCase& c, std::ostream* out) {
    *out << c.Name;
}

class EditedExport : public testing::TestWithParam<TEditedCase> {};

// The list's row count and current row, asked of the list view itself (messages without
// pointers reach another process's window as they are).
int RowCount(HWND grid) {
    return static_cast<int>(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0));
}

int CurrentRow(HWND grid) {
    return static_cast<int>(
        SendMessageW(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

// F2 on the current cell, then `text` typed over the cell's selected text.
::testing::AssertionResult TypeIntoCell(HWND grid, HWND editor, const std::string& text) {
    PostKey(grid, VK_F2);
    if (!WaitFor([&] { return IsShown(editor); }, 5s)) {
        return ::testing::AssertionFailure() << "F2 opened no editor";
    }
    PostChars(editor, text);
    if (!WaitFor([&] { return TextOf(editor) == text; }, 5s)) {
        return ::testing::AssertionFailure() << "the editor holds " << TextOf(editor);
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_P(EditedExport, WritesTheConvertersTablesForTheEditedReports) {
    const TEditedCase& c = GetParam();
    TFolder folder(c.Name);
    folder.CopyExamples();
    const fs::path edited = folder.Path / L"edited";
    const fs::path ours = folder.Path / L"ours";
    const fs::path converters = folder.Path / L"converter";
    for (const fs::path& made : {edited, ours, converters}) fs::create_directories(made);

    const std::string list = Bytes(folder.Path / L"ARTICLE.TXT");
    const std::string stock = Bytes(folder.Path / L"PRINT.TXT");
    for (const std::string& code : {kDeletedArticle, kStoredArticle, kOpenArticle}) {
        ASSERT_NE(LineOf(list, code), std::string::npos) << "no article " << code;
        ASSERT_NE(LineOf(stock, code), std::string::npos) << "no stock line " << code;
    }
    Write(edited / L"ARTICLE.TXT", WithoutArticle(list, kDeletedArticle));
    Write(edited / L"PRINT.TXT",
          WithPrice(WithPrice(stock, kStoredArticle, kStoredPrice), kOpenArticle, kOpenPrice));
    std::vector<std::string> arguments = {"--quiet",
                                          "--article",
                                          Utf8(edited / L"ARTICLE.TXT"),
                                          "--print",
                                          Utf8(edited / L"PRINT.TXT"),
                                          "--out",
                                          Utf8(converters)};
    if (c.WriteID) arguments.push_back("--write-id");
    const TProcessResult converter = RunProcess(Utf8(WindowsPath(K2L_CONVERTER)), arguments);
    ASSERT_EQ(converter.Exit, 0) << converter.Err;

    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr) << "the main window did not come";
    HWND viewer = program.Import();
    ASSERT_NE(viewer, nullptr) << "the results viewer did not open";
    HWND grid = ControlById(viewer, TDataViewerWindow::kDBGrid1Id);
    ASSERT_NE(grid, nullptr);
    HWND editor = ControlByText(grid, "Edit", "");
    ASSERT_NE(editor, nullptr) << "the grid has no cell editor";
    const int rows = RowCount(grid);
    ASSERT_GT(rows, kDeletedRow + 2);

    // To the first goods cell of the deleted row, wherever the import left the current row.
    for (int page = 0; page < 3; ++page) PostKey(grid, VK_PRIOR);
    PostKey(grid, VK_HOME);
    for (int row = 0; row < kDeletedRow; ++row) PostKey(grid, VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return CurrentRow(grid) == kDeletedRow; }, 5s))
        << "current row " << CurrentRow(grid);
    // Ctrl is read from the keyboard's state: the chord goes through the input queue.
    SendKeys(viewer, {VK_CONTROL}, VK_DELETE);
    const TMessageBox confirm = WaitMessageBox(program.Program.Pid());
    ASSERT_NE(confirm.Handle, nullptr) << "Ctrl+Delete asked nothing";
    EXPECT_EQ(confirm.Title, "Confirm");
    EXPECT_EQ(confirm.Text, "Delete record?");
    EXPECT_EQ(confirm.Buttons, (std::vector<std::string>{"OK", "Cancel"}));
    ASSERT_TRUE(AnswerBox(confirm, IDOK));
    ASSERT_TRUE(WaitFor([&] { return RowCount(grid) == rows - 1; }, 5s)) << "no row went";

    // The next article, now current: its price typed over the cell's text and stored with Enter.
    for (int column = 0; column < kPriceColumn; ++column) PostKey(grid, VK_RIGHT);
    ASSERT_TRUE(TypeIntoCell(grid, editor, kStoredPrice));
    PostKey(editor, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !IsShown(editor); }, 5s)) << "Enter left the editor open";

    // The row below: its price typed and left in the editor.
    PostKey(grid, VK_DOWN);
    ASSERT_TRUE(TypeIntoCell(grid, editor, kOpenPrice));
    ASSERT_EQ(CurrentRow(grid), kDeletedRow + 1);

    SetText(program.Control(mcEdDBFFolder), Utf8(ours));
    SetChecked(program.Control(mcCbWriteID), c.WriteID);
    Click(c.FromViewer ? ControlByText(viewer, "Button", kSaveButton)
                       : program.Control(mcBtnSaveToDBF));
    const TMessageBox box = WaitMessageBox(program.Program.Pid());
    ASSERT_NE(box.Handle, nullptr) << "no box after the export";
    EXPECT_EQ(box.Text, "Данные сохранены!");
    ASSERT_TRUE(AnswerBox(box));
    EXPECT_FALSE(IsShown(editor)) << "the cell stayed open through the export";

    ExpectSameTables(ours, converters);
}

INSTANTIATE_TEST_SUITE_P(FromBothWindows, EditedExport,
                         testing::Values(TEditedCase{"edited_from_main_window", false, false},
                                         TEditedCase{"edited_from_viewer_with_id", true, true}),
                         [](const testing::TestParamInfo<TEditedCase>& param) {
                             return std::string(param.param.Name);
                         });
