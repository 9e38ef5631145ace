// The Win32 desktop program from outside, under Wine with a display: its main window's texts,
// places, defaults and focus order, the import of the examples into the results viewer, the
// export from both windows compared with the converter's tables, the error box, and the progress
// window coming and going.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../app/MainWindowCases.h"
#include "ChildProcess.h"
#include "ProgramFixture.h"
#include "WinDriver.h"
#include "win32/DataViewerWindow.h"

namespace fs = std::filesystem;

namespace {

const char* const kViewerSaveText = kSaveButton;
const char* const kProgressClass = "ProgressViewerFormClass";

std::string Instructions() {
    std::string text;
    for (const char* line : kInstructions) text += (text.empty() ? "" : "\r\n") + std::string(line);
    return text;
}

// The id of a control of the table.
int IdOf(std::string_view name) {
    for (const TMainControlPlace& entry : kMainControls) {
        if (entry.Name == name) return MainControlId(entry.Control);
    }
    return 0;
}

int BrowseIdOf(std::string_view box) {
    return box == "edOpenPRINT"     ? mcBrowsePRINT
           : box == "edOpenARTICLE" ? mcBrowseARTICLE
                                    : mcBrowseDBFFolder;
}

const char* ClassOf(TControlKind kind) {
    switch (kind) {
        case ckLabel:
            return "Static";
        case ckCheckBox:
        case ckButton:
            return "Button";
        default:
            return "Edit";
    }
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
    EXPECT_EQ(ClientSize(program.Main).cx, kMainClientSize[0]);
    EXPECT_EQ(ClientSize(program.Main).cy, kMainClientSize[1]);
    // A fixed-size dialog frame: no sizing border, no minimise or maximise button.
    const LONG_PTR style = GetWindowLongPtrW(program.Main, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);

    const std::string programFolder = Utf8(WindowsPath(K2L_PROGRAM).parent_path());
    for (const TMainControlCase& c : kMainControlCases) {
        SCOPED_TRACE(c.Name);
        HWND control = program.Control(IdOf(c.Name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), ClassOf(c.Kind));
        const bool box = c.Kind == ckFileBox || c.Kind == ckFolderBox;
        EXPECT_EQ(TextOf(control), c.Kind == ckMemo        ? Instructions()
                                   : c.Kind == ckFolderBox ? programFolder
                                                           : std::string(c.Text));
        EXPECT_EQ(IsShown(control), c.Shown);
        if (c.Kind == ckCheckBox) {
            EXPECT_FALSE(IsChecked(control));
        }
        const RECT place = ClientPlace(program.Main, control);
        EXPECT_EQ(place.left, c.Left);
        EXPECT_EQ(place.top, c.Top);
        if (c.Width == 0) continue;
        // A box's browse button takes the right end of its width.
        const int right = c.Left + c.Width - (box ? kBrowseButtonWidth : 0);
        EXPECT_EQ(place.right, right);
        EXPECT_EQ(place.bottom, c.Top + c.Height);
        if (!box) continue;
        HWND browse = program.Control(BrowseIdOf(c.Name));
        ASSERT_NE(browse, nullptr);
        EXPECT_EQ(ClassOf(browse), "Button");
        EXPECT_EQ(TextOf(browse), "...");
        const RECT button = ClientPlace(program.Main, browse);
        EXPECT_EQ(button.left, right);
        EXPECT_EQ(button.top, c.Top);
        EXPECT_EQ(button.right, c.Left + c.Width);
        EXPECT_EQ(button.bottom, c.Top + c.Height);
    }
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
    ASSERT_TRUE(WaitFor([&] { return FocusOf(program.Main) == program.Control(mcMemo1); }))
        << "the focus does not start in the instructions";
    for (size_t i = 1; i < std::size(kMainFocusCases); ++i) {
        const int want = IdOf(kMainFocusCases[i]);
        PostKey(FocusOf(program.Main), VK_TAB);
        EXPECT_TRUE(WaitFor([&] { return FocusOf(program.Main) == program.Control(want); }, 3s))
            << "step " << i << ": focus on id " << GetDlgCtrlID(FocusOf(program.Main))
            << ", expected " << kMainFocusCases[i];
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

// A close reaching the main window while a handler's box is up: the box stays until it is
// answered, then the program ends normally.
struct TCloseCase {
    const char* Name;
    bool DeleteRow;  // Ctrl+Delete in the results grid, else the import without an article list
    UINT Message;
    WPARAM Command;
    const char* Text;
};

void PrintTo(const TCloseCase& c, std::ostream* out) {
    *out << c.Name;
}

class MainWindowClose : public testing::TestWithParam<TCloseCase> {};

TEST_P(MainWindowClose, UnderABoxEndsTheProgramOnceTheBoxIsAnswered) {
    const TCloseCase& c = GetParam();
    TFolder folder(c.Name);
    if (c.DeleteRow) folder.CopyExamples();
    TRunningProgram program(folder.Path);
    ASSERT_NE(program.Main, nullptr);
    HWND window = program.Main;  // the one whose handler shows the box
    if (c.DeleteRow) {
        HWND viewer = window = program.Import();
        ASSERT_NE(viewer, nullptr) << "the results viewer did not open";
        // Ctrl is read from the keyboard's state: the chord goes through the input queue, to the
        // focus of the foreground window, which the program moves there after showing the viewer.
        HWND grid = ControlById(viewer, TDataViewerWindow::kDBGrid1Id);
        ASSERT_TRUE(WaitFor([&] {
            return GetForegroundWindow() == viewer && FocusOf(viewer) == grid;
        })) << "the grid did not get the keyboard";
        SendKeys(viewer, {VK_CONTROL}, VK_DELETE, [&] { return GetForegroundWindow() != viewer; });
    } else {
        Click(program.Control(mcButton1));
    }
    const TMessageBox box = WaitMessageBox(program.Program.Pid());
    ASSERT_NE(box.Handle, nullptr) << "no box; the focus on id " << GetDlgCtrlID(FocusOf(window));
    ASSERT_EQ(box.Text, c.Text);

    // The marker, posted after the close into the same queue, is typed once the close was handled.
    HWND marker = program.Control(mcEdNDSValue);
    SetText(marker, "");
    PostMessageW(program.Main, c.Message, c.Command, 0);
    PostChars(marker, "7");
    ASSERT_TRUE(WaitFor([&] { return TextOf(marker) == "7"; }, 5s)) << "the window went at once";
    EXPECT_TRUE(program.Program.Running());
    EXPECT_TRUE(IsShown(box.Handle));

    ASSERT_TRUE(AnswerBox(box, IDOK));
    EXPECT_EQ(program.Program.WaitExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(DuringBoxes, MainWindowClose,
                         testing::Values(TCloseCase{"import_error_close", false, WM_CLOSE, 0,
                                                    "Файл ARTICLE.TXT не найден!"},
                                         TCloseCase{"delete_question_system_close", true,
                                                    WM_SYSCOMMAND, SC_CLOSE, "Delete record?"}),
                         [](const testing::TestParamInfo<TCloseCase>& param) {
                             return std::string(param.param.Name);
                         });

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
