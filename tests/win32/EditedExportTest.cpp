// The shared editing cases whose tables are compared with edited reports, played in the real
// program from outside: its list view driven with posted keys, the Ctrl chord through the input
// queue, its real boxes answered. The converter, given the reports edited as the case says, must
// write the same bytes.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "ChildProcess.h"
#include "EditCaseChecks.h"
#include "ProgramFixture.h"
#include "WinDriver.h"
#include "win32/DataViewerWindow.h"

namespace fs = std::filesystem;

namespace {

int SystemIconOf(TDialogIcon icon) {
    switch (icon) {
        case diWarning:
            return 32515;  // IDI_WARNING
        case diInformation:
            return 32516;  // IDI_INFORMATION
        case diError:
            return 32513;  // IDI_ERROR
        case diQuestion:
            return 32514;  // IDI_QUESTION
    }
    return 0;
}

// The operator's steps as keys posted to the running program's viewer: a cell is reached by
// keys from the first one (no pointer crosses processes), typing goes through F2.
class TProgramEditDriver {
  public:
    TProgramEditDriver(TRunningProgram& program, HWND viewer, const TEditCase& c)
        : Program(program),
          Viewer(viewer),
          Grid(ControlById(viewer, TDataViewerWindow::kDBGrid1Id)),
          Editor(ControlByText(Grid, "Edit", "")),
          Case(c) {}

    bool Ready() const { return Grid && Editor; }
    bool EditorShown() const { return IsShown(Editor); }

    void Play() {
        for (const TEditStep& step : Case.Steps) {
            switch (step.Action) {
                case eaClick:
                    Click(step.Cell);
                    break;
                case eaType:
                    Type(step.Text);
                    break;
                case eaKey:
                    Key(step.Press);
                    break;
                case eaSaveInMain:
                case eaSaveInViewer:
                    Save(step.Action == eaSaveInViewer);
                    break;
                default:
                    ADD_FAILURE() << "not driven from outside: step " << int{step.Action};
            }
            if (testing::Test::HasFatalFailure()) return;
        }
    }

    std::vector<TMessageBox> Boxes;

  private:
    void Click(TGridCell cell) {
        for (int page = 0; page < 3; ++page) PostKey(Grid, VK_PRIOR);
        PostKey(Grid, VK_HOME);
        for (int row = 0; row < cell.Row; ++row) PostKey(Grid, VK_DOWN);
        for (int column = 0; column < cell.Column; ++column) PostKey(Grid, VK_RIGHT);
        ASSERT_TRUE(WaitFor([&] { return CurrentRow(Grid) == cell.Row; }, 5s))
            << "current row " << CurrentRow(Grid);
    }

    void Type(const std::string& text) {
        // F2 selects the cell's text: the characters replace it.
        PostKey(Grid, VK_F2);
        ASSERT_TRUE(WaitFor([&] { return IsShown(Editor); }, 5s)) << "F2 opened no editor";
        PostChars(Editor, text);
        ASSERT_TRUE(WaitFor([&] { return TextOf(Editor) == text; }, 5s))
            << "the editor holds " << TextOf(Editor);
    }

    void Key(TGridKeyPress press) {
        if (press.Key == grDelete && press.Ctrl) {
            const int rows = RowCount(Grid);
            // Ctrl is read from the keyboard's state: the chord goes through the input queue.
            SendKeys(Viewer, {VK_CONTROL}, VK_DELETE,
                     [&] { return GetForegroundWindow() != Viewer; });
            Answer();
            ASSERT_TRUE(WaitFor([&] { return RowCount(Grid) == rows - 1; }, 5s)) << "no row went";
        } else if (press.Key == grEnter && IsShown(Editor)) {
            PostKey(Editor, VK_RETURN);
            ASSERT_TRUE(WaitFor([&] { return !IsShown(Editor); }, 5s)) << "Enter left it open";
        } else if (press.Key == grDown && !press.Ctrl && !press.Shift) {
            const int row = CurrentRow(Grid);
            PostKey(Grid, VK_DOWN);
            ASSERT_TRUE(WaitFor([&] { return CurrentRow(Grid) == row + 1; }, 5s));
        } else {
            ADD_FAILURE() << "not driven from outside: key " << int{press.Key};
        }
    }

    void Save(bool fromViewer) {
        SetChecked(Program.Control(mcCbWriteID), Case.WriteID);
        ::Click(fromViewer ? ControlByText(Viewer, "Button", kSaveButton)
                           : Program.Control(mcBtnSaveToDBF));
        Answer();
    }

    // The box the last step showed, recorded and answered: a question with the case's next
    // answer, any other with OK.
    void Answer() {
        const TMessageBox box = WaitMessageBox(Program.Program.Pid());
        ASSERT_NE(box.Handle, nullptr) << "no box came";
        Boxes.push_back(box);
        const bool question = box.Icon == SystemIconOf(diQuestion);
        const bool yes = question && Answers < Case.Answers.size() && Case.Answers[Answers++];
        ASSERT_TRUE(AnswerBox(box, !question || yes ? IDOK : IDCANCEL));
    }

    TRunningProgram& Program;
    HWND Viewer;
    HWND Grid;
    HWND Editor;
    const TEditCase& Case;
    std::size_t Answers = 0;
};

std::vector<int> ComparedCases() {
    std::vector<int> indexes;
    for (int i = 0; i < static_cast<int>(EditCases().size()); ++i) {
        if (!EditCases()[static_cast<std::size_t>(i)].SameAsReports.empty()) indexes.push_back(i);
    }
    return indexes;
}

class EditedExport : public testing::TestWithParam<int> {};

TEST_P(EditedExport, WritesTheConvertersTablesForTheEditedReports) {
    const TEditCase& c = EditCases()[static_cast<std::size_t>(GetParam())];
    TFolder folder(c.Name);
    for (const char* name : {"ARTICLE.TXT", "PRINT.TXT"}) {
        fs::copy_file(WindowsPath(K2L_TEST_DATA) / (std::string("app_") + name),
                      folder.Path / name);
    }
    const fs::path edited = folder.Path / L"edited";
    const fs::path ours = folder.Path / L"ours";
    const fs::path converters = folder.Path / L"converter";
    for (const fs::path& made : {edited, ours, converters}) fs::create_directories(made);
    for (const bool stock : {false, true}) {
        const char* name = stock ? "PRINT.TXT" : "ARTICLE.TXT";
        std::ofstream(edited / name, std::ios::binary)
            << EditedReport(Bytes(folder.Path / name), c.SameAsReports, stock);
    }
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
    SetText(program.Control(mcEdDBFFolder), Utf8(ours));
    const HWND viewer = program.Import();
    ASSERT_NE(viewer, nullptr) << "the results viewer did not open";
    TProgramEditDriver driver(program, viewer, c);
    ASSERT_TRUE(driver.Ready()) << "the viewer has no grid or no cell editor";
    driver.Play();
    ASSERT_FALSE(HasFatalFailure());

    ASSERT_EQ(driver.Boxes.size(), c.Boxes.size());
    for (std::size_t i = 0; i < c.Boxes.size(); ++i) {
        EXPECT_EQ(driver.Boxes[i].Text, c.Boxes[i].Text);
        EXPECT_EQ(driver.Boxes[i].Icon, SystemIconOf(c.Boxes[i].Icon));
        if (c.Boxes[i].Icon == diQuestion) {
            EXPECT_EQ(driver.Boxes[i].Title, "Confirm");
            EXPECT_EQ(driver.Boxes[i].Buttons, (std::vector<std::string>{"OK", "Cancel"}));
        }
    }
    EXPECT_FALSE(driver.EditorShown()) << "the cell stayed open through the export";
    ExpectSameTables(ours, converters);
}

INSTANTIATE_TEST_SUITE_P(SharedCases, EditedExport, testing::ValuesIn(ComparedCases()),
                         [](const testing::TestParamInfo<int>& param) {
                             return EditCaseName(param.param);
                         });

}  // namespace
