// The Win32 desktop program from outside, under Wine with a display: its main window's texts,
// places, defaults and focus order, the import of the examples into the results viewer, the
// export from both windows compared with the converter's tables, the error box, and the progress
// window coming and going.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ChildProcess.h"
#include "ProgramFixture.h"
#include "WinDriver.h"

namespace fs = std::filesystem;

namespace {

const char* const kViewerSaveText = kSaveButton;
const char* const kProgressClass = "ProgressViewerFormClass";

struct TControlCase {
    const char* Name;
    int Id;
    const char* Class;
    std::string Text;
    RECT Place;  // left, top, right, bottom; a label's right and bottom follow its text (0 here)
};

std::string Instructions() {
    std::string text;
    for (const char* line : kInstructions) text += (text.empty() ? "" : "\r\n") + std::string(line);
    return text;
}

RECT ClientPlace(HWND parent, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

TEST(MainWindow, ShowsEveryControlAtItsPlaceWithItsTextAndDefault) {
    TFolder folder("defaults");
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr) << "the main window did not come";
    EXPECT_EQ(ClientSize(program.Main).cx, 510);
    EXPECT_EQ(ClientSize(program.Main).cy, 520);
    // A fixed-size dialog frame: no sizing border, no minimise or maximise button.
    const LONG_PTR style = GetWindowLongPtrW(program.Main, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);

    const std::string programFolder = Utf8(WindowsPath(K2L_PROGRAM).parent_path());
    const TControlCase cases[] = {
        {"Memo1", mcMemo1, "Edit", Instructions(), {8, 8, 500, 244}},
        {"Label1", mcLabel1, "Static", kPrintLabel, {8, 248, 0, 0}},
        {"edOpenPRINT", mcEdOpenPRINT, "Edit", "PRINT.TXT", {8, 263, 478, 284}},
        {"browse PRINT", mcBrowsePRINT, "Button", "...", {478, 263, 500, 284}},
        {"Label2", mcLabel2, "Static", kArticleLabel, {8, 292, 0, 0}},
        {"edOpenARTICLE", mcEdOpenARTICLE, "Edit", "ARTICLE.TXT", {10, 308, 480, 329}},
        {"browse ARTICLE", mcBrowseARTICLE, "Button", "...", {480, 308, 502, 329}},
        {"Label6", mcLabel6, "Static", kFolderLabel, {8, 339, 0, 0}},
        {"edDBFFolder", mcEdDBFFolder, "Edit", programFolder, {10, 355, 480, 376}},
        {"browse folder", mcBrowseDBFFolder, "Button", "...", {480, 355, 502, 376}},
        {"Label3", mcLabel3, "Static", kPrefixLabel, {8, 385, 0, 0}},
        {"edBarCodePrefix", mcEdBarCodePrefix, "Edit", "222", {323, 382, 373, 403}},
        {"Label4", mcLabel4, "Static", kStartValueLabel, {8, 409, 0, 0}},
        {"edBarCodeStartValue", mcEdBarCodeStartValue, "Edit", "1", {323, 406, 373, 427}},
        {"cbEan13", mcCbEan13, "Button", kEan13Caption, {381, 408, 502, 425}},
        {"cbWriteID", mcCbWriteID, "Button", kWriteIDCaption, {8, 431, 305, 448}},
        {"Label5", mcLabel5, "Static", kNdsLabel, {324, 433, 0, 0}},
        {"edNDSValue", mcEdNDSValue, "Edit", "18", {407, 429, 445, 450}},
        {"Button1", mcButton1, "Button", kImportButton, {8, 482, 113, 507}},
        {"Button2", mcButton2, "Button", kShowResultsButton, {119, 482, 249, 507}},
        {"btnSaveToDBF", mcBtnSaveToDBF, "Button", kSaveButton, {255, 482, 417, 507}},
    };
    for (const TControlCase& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND control = program.Control(c.Id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), c.Class);
        EXPECT_EQ(TextOf(control), c.Text);
        EXPECT_TRUE(IsShown(control));
        const RECT place = ClientPlace(program.Main, control);
        EXPECT_EQ(place.left, c.Place.left);
        EXPECT_EQ(place.top, c.Place.top);
        if (c.Place.right != 0) {
            EXPECT_EQ(place.right, c.Place.right);
            EXPECT_EQ(place.bottom, c.Place.bottom);
        }
    }
    EXPECT_FALSE(IsChecked(program.Control(mcCbWriteID)));
    EXPECT_FALSE(IsChecked(program.Control(mcCbEan13)));
    EXPECT_FALSE(IsShown(program.Control(mcLbBarCodesGeneratedCount)));
    // The results viewer exists from the start, hidden.
    EXPECT_TRUE(TopWindows(program.Program.Pid(), "", kViewerCaption).empty());
}

TEST(MainWindow, InstructionsShowTheirLinesUnbrokenAndAllInView) {
    TFolder folder("memo");
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    HWND memo = program.Control(mcMemo1);
    // Each instruction a line of its own: none is wrapped, so the last one is in view too.
    EXPECT_EQ(SendMessageW(memo, EM_GETLINECOUNT, 0, 0),
              static_cast<LRESULT>(std::size(kInstructions)));
    EXPECT_EQ(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    const auto top = [&](int line) {
        const LRESULT at = SendMessageW(memo, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        return static_cast<short>(HIWORD(SendMessageW(memo, EM_POSFROMCHAR, at, 0)));
    };
    const int last = static_cast<int>(SendMessageW(memo, EM_GETLINECOUNT, 0, 0)) - 1;
    EXPECT_LE(top(last) + top(1) - top(0), ClientSize(memo).cy) << "the last line is cut off";
    // The text starts 4 pixels inside the frame, as on Linux.
    EXPECT_EQ(LOWORD(SendMessageW(memo, EM_GETMARGINS, 0, 0)), 4);
}

TEST(MainWindow, TabWalksTheFocusOrderAndWraps) {
    TFolder folder("focus");
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    // The design's order, then the EAN-13 box.
    const int order[] = {mcMemo1,     mcEdOpenPRINT,     mcEdOpenARTICLE,       mcButton1,
                         mcButton2,   mcEdBarCodePrefix, mcEdBarCodeStartValue, mcBtnSaveToDBF,
                         mcCbWriteID, mcEdNDSValue,      mcEdDBFFolder,         mcCbEan13,
                         mcMemo1};
    ASSERT_TRUE(WaitFor([&] { return FocusOf(program.Main) == program.Control(mcMemo1); }))
        << "the focus does not start in the instructions";
    for (size_t i = 1; i < std::size(order); ++i) {
        PostKey(FocusOf(program.Main), VK_TAB);
        EXPECT_TRUE(WaitFor([&] { return FocusOf(program.Main) == program.Control(order[i]); }, 3s))
            << "step " << i << ": focus on id " << GetDlgCtrlID(FocusOf(program.Main))
            << ", expected " << order[i];
    }
}

TEST(MainWindow, EnterPressesTheFocusedButtonAndEscLeavesTheWindowOpen) {
    TFolder folder("enter");
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    HWND button2 = program.Control(mcButton2);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(program.Main) == program.Control(mcMemo1); }));
    PostKey(FocusOf(program.Main), VK_ESCAPE);
    // Memo1, the two file boxes, "Обработать", then "Показать результаты".
    for (int i = 0; i < 4; ++i) PostKey(FocusOf(program.Main), VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(program.Main) == button2; }, 3s));
    EXPECT_TRUE(IsShown(program.Main));
    PostKey(button2, VK_RETURN);
    EXPECT_NE(WaitTopWindow(program.Program.Pid(), "", kViewerCaption, 5s), nullptr)
        << "Enter on the focused button did not press it";
}

TEST(MainWindow, MissingArticleListShowsTheErrorBoxAndTheWindowStaysUsable) {
    TFolder folder("missing");
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    Click(program.Control(mcButton1));
    const TMessageBox box = WaitMessageBox(program.Program.Pid());
    ASSERT_NE(box.Handle, nullptr) << "no error box";
    EXPECT_EQ(box.Title, "kelva2larmis");
    EXPECT_EQ(box.Text, "Файл ARTICLE.TXT не найден!");
    EXPECT_EQ(box.Icon, 32513);  // IDI_ERROR
    EXPECT_EQ(box.Buttons, std::vector<std::string>{"OK"});
    // While the box is up, the main window takes no input.
    EXPECT_FALSE(IsWindowEnabled(program.Main));
    ASSERT_TRUE(AnswerBox(box));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(program.Main) != FALSE; }));
    EXPECT_FALSE(IsShown(program.Control(mcLbBarCodesGeneratedCount)));

    // The window is usable again: the same press gives the same box.
    Click(program.Control(mcButton1));
    const TMessageBox again = WaitMessageBox(program.Program.Pid());
    EXPECT_EQ(again.Text, "Файл ARTICLE.TXT не найден!");
    EXPECT_TRUE(AnswerBox(again));
}

TEST(MainWindow, ClosingTheMainWindowEndsTheProgramWithTheViewerOpen) {
    TFolder folder("close");
    folder.CopyExamples();
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    ASSERT_NE(program.Import(), nullptr);
    PostMessageW(program.Main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Program.WaitExit(), 0);
}

// The export from either window writes the converter's tables for the same inputs.
struct TExportCase {
    const char* Name;
    bool FromViewer;
    bool WriteID;
};

void PrintTo(const TExportCase& c, std::ostream* out) {
    *out << c.Name;
}

class MainWindowExport : public testing::TestWithParam<TExportCase> {};

TEST_P(MainWindowExport, WritesTheConvertersTablesAndSaysSo) {
    const TExportCase& c = GetParam();
    TFolder folder(c.Name);
    folder.CopyExamples();
    const fs::path ours = folder.Path / L"ours";
    const fs::path converters = folder.Path / L"converter";
    fs::create_directories(ours);
    fs::create_directories(converters);

    std::vector<std::string> arguments = {"--quiet", "--out", Utf8(converters)};
    if (c.WriteID) arguments.push_back("--write-id");
    TProcessOptions options;
    options.WorkingFolder = folder.Path;
    const TProcessResult converter =
        RunProcess(Utf8(WindowsPath(K2L_CONVERTER)), arguments, options);
    ASSERT_EQ(converter.Exit, 0) << converter.Err;
    const std::string countLine = converter.Out.substr(0, converter.Out.find('\n'));

    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    HWND viewer = program.Import();
    ASSERT_NE(viewer, nullptr) << "the results viewer did not open";
    HWND count = program.Control(mcLbBarCodesGeneratedCount);
    EXPECT_TRUE(IsShown(count));
    EXPECT_EQ(TextOf(count), countLine);

    SetText(program.Control(mcEdDBFFolder), Utf8(ours));
    SetChecked(program.Control(mcCbWriteID), c.WriteID);
    if (c.FromViewer) {
        HWND save = ControlByText(viewer, "Button", kViewerSaveText);
        ASSERT_NE(save, nullptr) << "the viewer has no save button";
        Click(save);
    } else {
        Click(program.Control(mcBtnSaveToDBF));
    }
    const TMessageBox box = WaitMessageBox(program.Program.Pid());
    ASSERT_NE(box.Handle, nullptr) << "no box after the export";
    EXPECT_EQ(box.Text, "Данные сохранены!");
    EXPECT_EQ(box.Title, "Сообщение");
    EXPECT_EQ(box.Icon, 32516);  // IDI_INFORMATION
    ASSERT_TRUE(AnswerBox(box));
    // The viewer stays open after its own save.
    EXPECT_TRUE(IsShown(viewer));

    ExpectSameTables(ours, converters);
}

INSTANTIATE_TEST_SUITE_P(FromBothWindows, MainWindowExport,
                         testing::Values(TExportCase{"main_window_without_id", false, false},
                                         TExportCase{"viewer_with_id", true, true}),
                         [](const testing::TestParamInfo<TExportCase>& param) {
                             return std::string(param.param.Name);
                         });

TEST(MainWindow, ProgressWindowShowsDuringLongStepsAndGoesAtTheirEnd) {
    TFolder folder("progress");
    // Enough articles that reading the stock and writing the tables take a visible while.
    TProcessResult generated =
        RunProcess(Utf8(WindowsPath(K2L_GEN_REPORTS)), {"200000", Utf8(folder.Path)});
    ASSERT_EQ(generated.Exit, 0) << generated.Err;
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    const DWORD pid = program.Program.Pid();
    bool seen = false;
    auto progressShown = [&] { return !TopWindows(pid, kProgressClass, "").empty(); };

    // Reading the stock report may be over before a window of its own thread is up: only its
    // going is certain.
    Click(program.Control(mcButton1));
    ASSERT_NE(WaitTopWindow(pid, "", kViewerCaption, 60s), nullptr) << "the import did not end";
    EXPECT_TRUE(WaitFor([&] { return !progressShown(); }, 5s)) << "the import's progress stayed";

    TFolder out("progress-out");
    SetText(program.Control(mcEdDBFFolder), Utf8(out.Path));
    Click(program.Control(mcBtnSaveToDBF));
    TMessageBox box;
    ASSERT_TRUE(WaitFor(
        [&] {
            seen = seen || progressShown();
            box = WaitMessageBox(pid, 0ms);
            return box.Handle != nullptr;
        },
        60s))
        << "the export did not end";
    EXPECT_TRUE(seen) << "no progress window while the tables were written";
    EXPECT_EQ(box.Text, "Данные сохранены!");
    EXPECT_TRUE(WaitFor([&] { return !progressShown(); }, 5s)) << "the export's progress stayed";
    EXPECT_TRUE(AnswerBox(box));
}

TEST(MainWindow, TextBoxesRefuseWhatCodePage866Lacks) {
    TFolder folder("oem");
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    // "€" and "中" have no byte in code page 866; "Ж", "ё" and "№" have.
    for (int id : {mcEdBarCodePrefix, mcEdOpenPRINT, mcEdDBFFolder}) {
        SCOPED_TRACE(id);
        HWND box = program.Control(id);
        SetText(box, "");
        PostChars(box, "Ж1€中ё№");
        EXPECT_TRUE(WaitFor([&] { return TextOf(box) == "Ж1ё№"; }, 3s)) << TextOf(box);
    }
}

// The choosers: their titles, the file chooser's one filter, and a cancel that changes nothing.
struct TChooserCase {
    const char* Name;
    int Browse;
    int Box;
    const char* Title;
};

void PrintTo(const TChooserCase& c, std::ostream* out) {
    *out << c.Name;
}

class MainWindowChooser : public testing::TestWithParam<TChooserCase> {};

TEST_P(MainWindowChooser, OpensWithItsTitleAndCancelKeepsTheBox) {
    const TChooserCase& c = GetParam();
    TFolder folder(c.Name);
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    HWND box = program.Control(c.Box);
    const std::string before = TextOf(box);
    Click(program.Control(c.Browse));
    HWND chooser = WaitTopWindow(program.Program.Pid(), "#32770", c.Title);
    ASSERT_NE(chooser, nullptr) << "no chooser titled " << c.Title;
    if (c.Box != mcEdDBFFolder) {
        // The file type list (cmb1) holds the one filter.
        EXPECT_EQ(TextOf(ControlById(chooser, 0x470)), kFileChooserFilter);
    }
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitGone(chooser));
    EXPECT_EQ(TextOf(box), before);
    if (c.Box != mcEdDBFFolder) {
        EXPECT_TRUE(WaitFor([&] { return FocusOf(program.Main) == box; }, 3s))
            << "the box did not take the focus back";
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryBrowseButton, MainWindowChooser,
    testing::Values(TChooserCase{"print", mcBrowsePRINT, mcEdOpenPRINT, kFileChooserTitle},
                    TChooserCase{"article", mcBrowseARTICLE, mcEdOpenARTICLE, kFileChooserTitle},
                    TChooserCase{"folder", mcBrowseDBFFolder, mcEdDBFFolder, kFolderChooserTitle}),
    [](const testing::TestParamInfo<TChooserCase>& param) {
        return std::string(param.param.Name);
    });

TEST(MainWindow, ChosenFileWithABlankIsQuotedInItsBox) {
    TFolder folder("chosen");
    const fs::path report = folder.Path / L"my article list.txt";
    std::ofstream(report) << "x";
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    Click(program.Control(mcBrowseARTICLE));
    HWND chooser = WaitTopWindow(program.Program.Pid(), "#32770", kFileChooserTitle);
    ASSERT_NE(chooser, nullptr);
    // The file name box (cmb13 in the explorer-style chooser, edt1 in the old one).
    HWND name = ControlById(chooser, 0x47c);
    if (!name) name = ControlById(chooser, 0x480);
    ASSERT_NE(name, nullptr);
    SetText(name, Utf8(report));
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitGone(chooser));
    HWND box = program.Control(mcEdOpenARTICLE);
    EXPECT_TRUE(WaitFor([&] { return TextOf(box) == "\"" + Utf8(report) + "\""; }, 3s))
        << TextOf(box);
}
