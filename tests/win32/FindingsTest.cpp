// The Win32 desktop program from outside, under Wine with a display: the results viewer's findings
// list and find box over the examples, worked with keystrokes as an operator would, and the
// main window's EAN-13 box giving the converter's tables for --ean13.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "ChildProcess.h"
#include "WinDriver.h"
#include "app/GoodsFinder.h"
#include "app/WindowTexts.h"
#include "win32/DataViewerWindow.h"
#include "win32/MainWindowIds.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& path) {
    return Narrow(path.wstring());
}

fs::path WindowsPath(const char* path) {
    // Our build's paths are Unix ones; Wine maps them to its drive for the root.
    return fs::absolute(fs::path(Wide(path))).make_preferred();
}

// A fresh folder with the examples' two reports, removed afterwards also when an assertion ends
// the test early.
class TExamplesFolder {
  public:
    explicit TExamplesFolder(const std::string& name) {
        Path = fs::temp_directory_path() /
               Wide("k2l-findings-" + std::to_string(GetCurrentProcessId()) + "-" + name);
        fs::remove_all(Path);
        fs::create_directories(Path);
        for (const char* report : {"ARTICLE.TXT", "PRINT.TXT"}) {
            fs::copy_file(WindowsPath(K2L_EXAMPLES) / report, Path / report);
        }
    }
    ~TExamplesFolder() {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
    TExamplesFolder(const TExamplesFolder&) = delete;
    TExamplesFolder& operator=(const TExamplesFolder&) = delete;

    fs::path Path;
};

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The program started in the examples' folder, "Обработать" pressed, the results viewer found.
class TImportedExamples {
  public:
    explicit TImportedExamples(const fs::path& folder, bool ean13 = false)
        : Program(Utf8(WindowsPath(K2L_PROGRAM)), {}, Utf8(folder)),
          Main(WaitTopWindow(Program.Pid(), Narrow(kMainWindowClass), kMainCaption)) {
        if (!Main) return;
        SetChecked(ControlById(Main, mcCbEan13), ean13);
        Click(ControlById(Main, mcButton1));
        Viewer = WaitTopWindow(Program.Pid(), "", kViewerCaption);
        // The viewer takes the keyboard once it is whole: keys sent before would go elsewhere.
        if (Viewer && !FocusIn(Grid())) ADD_FAILURE() << "the grid never took the keyboard";
    }

    HWND Control(int id) const { return ControlById(Viewer, id); }
    HWND List() const { return Control(TDataViewerWindow::kLstFindingsId); }
    HWND Grid() const { return Control(TDataViewerWindow::kDBGrid1Id); }
    std::string Caption() const { return TextOf(Control(TDataViewerWindow::kLbFindingsId)); }
    std::string Status() const { return TextOf(Control(TDataViewerWindow::kLbFindStatusId)); }
    // Messages without pointers answer across processes: counts and the focused row.
    int Lines() const { return ListView_GetItemCount(List()); }
    int GridRow() const { return ListView_GetNextItem(Grid(), -1, LVNI_FOCUSED); }
    int ListLine() const { return ListView_GetNextItem(List(), -1, LVNI_FOCUSED); }

    void Key(WORD key, std::initializer_list<WORD> modifiers = {}) {
        SendKeys(Viewer, modifiers, key);
    }
    // Ctrl+F, Ctrl held until the find box has the keyboard.
    bool CtrlF() {
        const HWND find = Control(TDataViewerWindow::kEdFindId);
        SendKeys(Viewer, {VK_CONTROL}, 'F', [&] { return FocusOf(Viewer) == find; });
        if (FocusIn(find)) return true;
        // What the keys met instead, for the log.
        const HWND focus = FocusOf(Viewer);
        const HWND front = GetForegroundWindow();
        POINT pointer{};
        GetCursorPos(&pointer);
        ADD_FAILURE() << "Ctrl+F not taken: the focus in " << ClassOf(focus) << " #"
                      << GetDlgCtrlID(focus) << ", in front \"" << TextOf(front) << "\" ("
                      << ClassOf(front)
                      << "), Ctrl/Shift/Alt down: " << (GetAsyncKeyState(VK_CONTROL) < 0)
                      << (GetAsyncKeyState(VK_SHIFT) < 0) << (GetAsyncKeyState(VK_MENU) < 0)
                      << ", pointer at " << pointer.x << "," << pointer.y;
        return false;
    }
    // From the find box, Tab to the findings list, its line `line` and Enter.
    // Each key waits for the one before to have done its work.
    void ChooseLine(int line) {
        ASSERT_TRUE(CtrlF());
        Key(VK_TAB);
        ASSERT_TRUE(FocusIn(List()));
        Key(VK_HOME);
        ASSERT_TRUE(WaitFor([&] { return ListLine() == 0; }, 3s));
        for (int i = 0; i < line; ++i) {
            Key(VK_DOWN);
            ASSERT_TRUE(WaitFor([&] { return ListLine() == i + 1; }, 3s));
        }
        Key(VK_RETURN);
    }
    bool FocusIn(HWND control) const {
        return WaitFor([&] { return FocusOf(Viewer) == control; }, 3s);
    }

    TProgram Program;
    HWND Main;
    HWND Viewer = nullptr;
};

// The examples' findings as the converter's --check-only lists them: two articles missing from
// the stock report, one stock line without an article, two prices and one stock set by rule,
// seventeen barcodes with a wrong check digit.
constexpr int kExampleFindings = 23;
constexpr const char* kExampleCaption =
    "Замечания перед загрузкой в ЛАРМИС:\nНет в отчете об остатках: 2; Строка отчета без товара: "
    "1; Цена заменена на 1: 2; Отрицательный остаток заменен на 0: 1; Штрих-код не прочтет сканер: "
    "17";

}  // namespace

TEST(ViewerFindings, ImportedExamplesShowTheConvertersFindingsWithTheirCounts) {
    TExamplesFolder folder("list");
    TProcessOptions options;
    options.WorkingFolder = folder.Path;
    const TProcessResult check =
        RunProcess(Utf8(WindowsPath(K2L_CONVERTER)), {"--check-only"}, options);
    ASSERT_EQ(check.Exit, 0) << check.Err;
    // One line a finding (tab-separated fields), then a summary line a kind.
    int lines = 0;
    std::istringstream out(check.Out);
    for (std::string line; std::getline(out, line);) {
        if (line.find('\t') != std::string::npos && line.rfind("summary\t", 0) != 0) ++lines;
    }
    EXPECT_EQ(lines, kExampleFindings) << check.Out;

    TImportedExamples app(folder.Path);
    ASSERT_NE(app.Viewer, nullptr) << "the results viewer did not open";
    EXPECT_TRUE(IsShown(app.List()));
    EXPECT_EQ(app.Lines(), kExampleFindings);
    EXPECT_EQ(app.Caption(), kExampleCaption);
    EXPECT_EQ(TextOf(app.Control(TDataViewerWindow::kLbFindId)), TGridFind::kFindLabel);
}

TEST(ViewerFindings, AChosenFindingSelectsItsRowAndAFixedBarcodeTakesItAway) {
    TExamplesFolder folder("choose");
    TImportedExamples app(folder.Path);
    ASSERT_NE(app.Viewer, nullptr);
    // Line 0 names 1013, the eighth article; line 6 the first wrong check digit, 1004's.
    app.ChooseLine(0);
    EXPECT_TRUE(WaitFor([&] { return app.GridRow() == 7; }, 3s)) << app.GridRow();
    EXPECT_TRUE(app.FocusIn(app.Grid()));
    app.ChooseLine(6);
    EXPECT_TRUE(WaitFor([&] { return app.GridRow() == 3; }, 3s)) << app.GridRow();
    // The stock line without an article names no row: the grid stays where it is, and the
    // keyboard in the list, where the next key moves to line 3.
    app.ChooseLine(2);
    app.Key(VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return app.ListLine() == 3; }, 3s)) << app.ListLine();
    EXPECT_TRUE(app.FocusIn(app.List()));
    EXPECT_EQ(app.GridRow(), 3);

    // Its barcode (the third column) typed with the right check digit, the row left.
    app.ChooseLine(6);
    ASSERT_TRUE(app.FocusIn(app.Grid()));
    app.Key(VK_HOME);
    app.Key(VK_RIGHT);
    app.Key(VK_RIGHT);
    SendText(app.Viewer, "4601234500012");
    app.Key(VK_RETURN);
    app.Key(VK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return app.Lines() == kExampleFindings - 1; }, 3s)) << app.Lines();
    EXPECT_EQ(app.Caption(),
              "Замечания перед загрузкой в ЛАРМИС:\nНет в отчете об остатках: 2; Строка отчета "
              "без товара: 1; Цена заменена на 1: 2; Отрицательный остаток заменен на 0: 1; "
              "Штрих-код не прочтет сканер: 16");
}

TEST(ViewerFindings, CtrlFFindsCyrillicWhateverTheCaseAndF3GoesOn) {
    TExamplesFolder folder("find");
    TImportedExamples app(folder.Path);
    ASSERT_NE(app.Viewer, nullptr);
    app.ChooseLine(6);  // 1004, the last of the four oils
    ASSERT_TRUE(WaitFor([&] { return app.GridRow() == 3; }, 3s));
    ASSERT_TRUE(app.CtrlF());
    SendText(app.Viewer, "МАСЛО");
    app.Key(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return app.GridRow() == 0; }, 3s)) << app.GridRow();
    EXPECT_EQ(app.Status(), TGridFind::kFindWrapped);
    struct TStep {
        int Row;
        const char* Status;
    };
    for (const TStep step : {TStep{1, ""}, TStep{2, ""}, TStep{3, ""}}) {
        app.Key(VK_F3);
        EXPECT_TRUE(WaitFor([&] { return app.GridRow() == step.Row; }, 3s)) << app.GridRow();
        EXPECT_EQ(app.Status(), step.Status);
    }
    // Small letters find the name written with a capital.
    ASSERT_TRUE(app.CtrlF());
    SendText(app.Viewer, "вода");
    app.Key(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return app.GridRow() == 10; }, 3s)) << app.GridRow();
    ASSERT_TRUE(app.CtrlF());
    SendText(app.Viewer, "сыр");
    app.Key(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return app.Status() == TGridFind::kFindNone; }, 3s));
    EXPECT_EQ(app.GridRow(), 10);
}

TEST(MainWindowEan13, TheBoxGivesTheConvertersTablesForEan13) {
    TExamplesFolder folder("ean13");
    const fs::path ours = folder.Path / L"ours";
    const fs::path converters = folder.Path / L"converter";
    fs::create_directories(ours);
    fs::create_directories(converters);
    TProcessOptions options;
    options.WorkingFolder = folder.Path;
    const TProcessResult converter =
        RunProcess(Utf8(WindowsPath(K2L_CONVERTER)),
                   {"--quiet", "--ean13", "--out", Utf8(converters)}, options);
    ASSERT_EQ(converter.Exit, 0) << converter.Err;

    TImportedExamples app(folder.Path, true);
    ASSERT_NE(app.Viewer, nullptr) << "the results viewer did not open";
    EXPECT_TRUE(IsChecked(ControlById(app.Main, mcCbEan13)));
    EXPECT_EQ(TextOf(ControlById(app.Main, mcLbBarCodesGeneratedCount)),
              converter.Out.substr(0, converter.Out.find('\n')));
    SetText(ControlById(app.Main, mcEdDBFFolder), Utf8(ours));
    Click(ControlById(app.Main, mcBtnSaveToDBF));
    const TMessageBox box = WaitMessageBox(app.Program.Pid());
    ASSERT_NE(box.Handle, nullptr) << "no box after the export";
    EXPECT_EQ(box.Text, "Данные сохранены!");
    ASSERT_TRUE(AnswerBox(box));

    for (const wchar_t* table : {L"Справочник.dbf", L"Приходы.dbf"}) {
        SCOPED_TRACE(Narrow(table));
        const std::string got = Bytes(ours / table);
        const std::string want = Bytes(converters / table);
        ASSERT_GT(want.size(), 32u);
        ASSERT_EQ(got.size(), want.size());
        // Bytes 1-3 are the date of the last update, which may differ.
        EXPECT_EQ(got[0], want[0]);
        EXPECT_EQ(got.substr(4), want.substr(4));
    }
    // The generated codes carry a check digit: the first, 222 and 1, is 2220000000017.
    EXPECT_NE(Bytes(ours / L"Справочник.dbf").find("2220000000017"), std::string::npos);
}

TEST(MainWindowEan13, TheTickedBoxRefusesAPrefixOfOtherThanDigits) {
    TExamplesFolder folder("ean13-refusal");
    TProgram program(Utf8(WindowsPath(K2L_PROGRAM)), {}, Utf8(folder.Path));
    const HWND main = WaitTopWindow(program.Pid(), Narrow(kMainWindowClass), kMainCaption);
    ASSERT_NE(main, nullptr);
    SetText(ControlById(main, mcEdBarCodePrefix), "$DE");
    SetChecked(ControlById(main, mcCbEan13), true);
    Click(ControlById(main, mcButton1));
    const TMessageBox refusal = WaitMessageBox(program.Pid());
    ASSERT_NE(refusal.Handle, nullptr);
    EXPECT_EQ(refusal.Text, "Для штрих-кодов EAN-13 префикс должен состоять только из цифр!");
    ASSERT_TRUE(AnswerBox(refusal));
    EXPECT_TRUE(TopWindows(program.Pid(), "", kViewerCaption).empty());
}
