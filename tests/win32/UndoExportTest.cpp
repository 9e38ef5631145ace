// Undo and the clipboard in the real program: a deletion taken back (Ctrl+Delete on a row, OK,
// Ctrl+Z) before the viewer's save button writes the tables the converter writes for the reports
// as they are; a Cyrillic name pasted from the system's clipboard and copied back.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cwchar>

#include "ChildProcess.h"
#include "ProgramFixture.h"
#include "WinDriver.h"
#include "win32/DataViewerWindow.h"

namespace fs = std::filesystem;

namespace {

// The clipboard's Unicode text as this test program reads and writes it (a window of its own owns
// what it puts there).
std::wstring Clipboard() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool PutOnClipboard(HWND owner, const std::wstring& text) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!memory) return false;
    std::wmemcpy(static_cast<wchar_t*>(GlobalLock(memory)), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    const bool put = OpenClipboard(owner) && EmptyClipboard() &&
                     SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!put) GlobalFree(memory);
    return put;
}

TEST(UndoExport, CyrillicNamePastedFromTheClipboardAndCopiedBack) {
    TFolder folder("clipboard");
    folder.CopyExamples();
    TRunningProgram program(folder.Path);
    HWND viewer = program.Import();
    ASSERT_NE(viewer, nullptr) << "the results viewer did not open";
    HWND grid = ControlById(viewer, TDataViewerWindow::kDBGrid1Id);
    HWND owner =
        CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(PutOnClipboard(owner, L"Батон нарезной\r\nвторая строка"));
    PostKey(grid, VK_HOME);
    PostKey(grid, VK_RIGHT);  // NAME
    SendKeys(viewer, {VK_CONTROL}, 'V');
    SendKeys(viewer, {VK_CONTROL}, 'C', [] { return Clipboard() == L"Батон нарезной"; });
    EXPECT_TRUE(WaitFor([] { return Clipboard() == L"Батон нарезной"; }, 5s))
        << Narrow(Clipboard());
    DestroyWindow(owner);
}

TEST(UndoExport, DeletionTakenBackWritesTheTablesOfNoDeletion) {
    TFolder folder("undo_deletion");
    folder.CopyExamples();
    const fs::path ours = folder.Path / L"ours";
    const fs::path converters = folder.Path / L"converter";
    for (const fs::path& made : {ours, converters}) fs::create_directories(made);
    const TProcessResult converter =
        RunProcess(Utf8(WindowsPath(K2L_CONVERTER)),
                   {"--quiet", "--article", Utf8(folder.Path / L"ARTICLE.TXT"), "--print",
                    Utf8(folder.Path / L"PRINT.TXT"), "--out", Utf8(converters)});
    ASSERT_EQ(converter.Exit, 0) << converter.Err;

    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr) << "the main window did not come";
    HWND viewer = program.Import();
    ASSERT_NE(viewer, nullptr) << "the results viewer did not open";
    HWND grid = ControlById(viewer, TDataViewerWindow::kDBGrid1Id);
    ASSERT_NE(grid, nullptr);
    const int rows = RowCount(grid);
    ASSERT_GT(rows, 3);

    for (int page = 0; page < 3; ++page) PostKey(grid, VK_PRIOR);
    PostKey(grid, VK_DOWN);
    PostKey(grid, VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return CurrentRow(grid) == 2; }, 5s)) << CurrentRow(grid);
    SendKeys(viewer, {VK_CONTROL}, VK_DELETE, [&] { return GetForegroundWindow() != viewer; });
    const TMessageBox confirm = WaitMessageBox(program.Program.Pid());
    ASSERT_EQ(confirm.Text, "Delete record?");
    ASSERT_TRUE(AnswerBox(confirm, IDOK));
    ASSERT_TRUE(WaitFor([&] { return RowCount(grid) == rows - 1; }, 5s)) << "no row went";

    SendKeys(viewer, {VK_CONTROL}, 'Z', [&] { return RowCount(grid) == rows; });
    ASSERT_TRUE(WaitFor([&] { return RowCount(grid) == rows; }, 5s)) << "Ctrl+Z put no row back";
    EXPECT_EQ(CurrentRow(grid), 2);

    SetText(program.Control(mcEdDBFFolder), Utf8(ours));
    Click(ControlByText(viewer, "Button", kSaveButton));
    const TMessageBox box = WaitMessageBox(program.Program.Pid());
    EXPECT_EQ(box.Text, "Данные сохранены!");
    ASSERT_TRUE(AnswerBox(box));
    ExpectSameTables(ours, converters);
}

}  // namespace
