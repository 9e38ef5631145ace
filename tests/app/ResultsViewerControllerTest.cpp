#include "app/ResultsViewerController.h"

#include <gtest/gtest.h>

#include <memory>

#include "AppSupport.h"
#include "FindCases.h"

namespace {

// The example reports imported, the viewer's grid at the first row's name.
class ResultsViewerTest : public testing::Test {
  protected:
    ResultsViewerTest() {
        CopyFixture("app_ARTICLE.TXT", Dir.Path(), "ARTICLE.TXT");
        CopyFixture("app_PRINT.TXT", Dir.Path(), "PRINT.TXT");
        View.Typed.ArticleFile = Dir.File("ARTICLE.TXT");
        View.Typed.PrintFile = Dir.File("PRINT.TXT");
        View.Typed.Folder = Dir.File("out");
        Main.SetView(&View);
        Viewer.SetView(&Window);
        Main.ImportClick();
        Grid.Select(0, gfNAME);
    }
    ~ResultsViewerTest() override { Viewer.SetView(nullptr); }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int line = 0; line < Viewer.Findings().LineCount(); ++line) {
            lines.push_back(Viewer.Findings().LineText(line));
        }
        return lines;
    }

    TTempDir Dir;
    TCallLog Log;
    TRecordingShell Shell{Log};
    TRecordingView View{Log};
    TMainController Main{Shell, kRouble};
    TResultsViewerController Viewer{Main, Shell};
    TFakeGrid Grid{Viewer.Grid()};
    TFakeViewer Window;
};

TEST_F(ResultsViewerTest, ListsTheExamplesFindingsAndAChosenOneSelectsItsRow) {
    EXPECT_EQ(Lines(), ExampleFindingLines());
    EXPECT_EQ(Viewer.FindingsCaption(), kExampleFindingsCaption);
    for (const TChooseStep& step : ChooseSteps()) {
        SCOPED_TRACE(step.Rule);
        Window.Focus = vcFindings;
        if (step.ByEnter) {
            Window.FocusedLine = step.Line;
            EXPECT_TRUE(Viewer.Key({grEnter}, vcFindings));
        } else {
            Viewer.FindingChosen(step.Line);
        }
        EXPECT_EQ(Grid.Row, step.Row);
        EXPECT_EQ(Window.Focus, vcGrid);
    }
    // The barcode of 101 typed right and the row left: its finding goes, the others stay.
    Grid.Select(0, gfKOD);
    Grid.Type(kFixedBarcode);
    Grid.Press(grEnter);
    Grid.Press(grDown);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{ExampleFindingLines()[0], ExampleFindingLines()[1]}));
    EXPECT_EQ(Viewer.FindingsCaption(), kFixedFindingsCaption);
}

TEST_F(ResultsViewerTest, FindBoxWalksTheMatches) {
    for (const TFindStep& step : FindSteps()) {
        SCOPED_TRACE(step.Rule);
        Window.Focus = vcGrid;
        if (step.Action == faF3) {
            EXPECT_TRUE(Viewer.Key({grF3}, vcGrid));
        } else {
            const int selected = Window.Selected;
            EXPECT_TRUE(Viewer.Key({grF, false, true}, vcGrid));
            EXPECT_EQ(Window.Focus, vcFind);
            EXPECT_EQ(Window.Selected, selected + 1);
            if (step.Typed) Window.BoxText = step.Typed;
            EXPECT_TRUE(Viewer.Key({grEnter}, vcFind));
        }
        EXPECT_EQ(Grid.Row, step.Row);
        EXPECT_EQ(Window.Status, step.Status);
        EXPECT_EQ(Window.Focus, step.Focus);
    }
}

struct TViewerKeyCase {
    const char* Name;
    TGridKeyPress Press;
    TViewerControl At;
    bool Used;
    TViewerControl Focus;  // where the keyboard is afterwards
    bool Closed;
    bool Saved;
};

class ViewerKeys : public ResultsViewerTest, public testing::WithParamInterface<TViewerKeyCase> {};

TEST_P(ViewerKeys, ActWhereverTheKeyboardIs) {
    const TViewerKeyCase& c = GetParam();
    Main.ShowResultsClick();
    Window.Focus = c.At;
    EXPECT_EQ(Viewer.Key(c.Press, c.At), c.Used);
    EXPECT_EQ(Window.Focus, c.Focus);
    EXPECT_EQ(View.ViewerVisible, !c.Closed);
    EXPECT_EQ(Window.Saves, c.Saved ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Layer, ViewerKeys,
    testing::Values(
        TViewerKeyCase{"EscInTheGridCloses", {grEscape}, vcGrid, true, vcGrid, true, false},
        TViewerKeyCase{"EscInTheFindBoxCloses", {grEscape}, vcFind, true, vcFind, true, false},
        TViewerKeyCase{"EnterOnCloseCloses", {grEnter}, vcClose, true, vcClose, true, false},
        TViewerKeyCase{
            "EnterOnSavePressesTheMainSave", {grEnter}, vcSave, true, vcSave, false, true},
        TViewerKeyCase{"EnterInTheGridIsTheGrids", {grEnter}, vcGrid, false, vcGrid, false, false},
        TViewerKeyCase{"TabInTheGridIsTheGrids", {grTab}, vcGrid, false, vcGrid, false, false},
        TViewerKeyCase{"CtrlTabLeavesTheGridForClose",
                       {grTab, false, true},
                       vcGrid,
                       true,
                       vcClose,
                       false,
                       false},
        TViewerKeyCase{"TabGoesFromCloseToSave", {grTab}, vcClose, true, vcSave, false, false},
        TViewerKeyCase{"TabGoesFromSaveToTheFindBox", {grTab}, vcSave, true, vcFind, false, false},
        TViewerKeyCase{
            "TabGoesFromTheFindBoxToTheFindings", {grTab}, vcFind, true, vcFindings, false, false},
        TViewerKeyCase{
            "TabFromTheFindingsWrapsToTheGrid", {grTab}, vcFindings, true, vcGrid, false, false},
        TViewerKeyCase{"ShiftTabFromCloseGoesBackToTheGrid",
                       {grBacktab, true},
                       vcClose,
                       true,
                       vcGrid,
                       false,
                       false},
        TViewerKeyCase{"ShiftTabFromTheGridWithCtrlWrapsToTheFindings",
                       {grBacktab, true, true},
                       vcGrid,
                       true,
                       vcFindings,
                       false,
                       false},
        TViewerKeyCase{"CtrlFFromAButtonGoesToTheFindBox",
                       {grF, false, true},
                       vcSave,
                       true,
                       vcFind,
                       false,
                       false},
        TViewerKeyCase{"CtrlAltFIsAltGrsAndNotFind",
                       {grF, false, true, true},
                       vcGrid,
                       false,
                       vcGrid,
                       false,
                       false},
        TViewerKeyCase{"FAloneIsTyping", {grF}, vcGrid, false, vcGrid, false, false}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(ResultsViewer, RegistersItsGridWithTheMainControllerWhileItLives) {
    TCallLog log;
    TRecordingShell shell(log);
    TRecordingView view(log);
    TMainController main(shell, kRouble);
    main.SetView(&view);
    main.mdGoods.OpenTable();
    AddRow(main.mdGoods, "1", "Хлеб", "4601234567893");
    {
        TResultsViewerController viewer(main, shell);
        TFakeGrid grid(viewer.Grid());
        grid.Select(0, gfNAME);
        grid.Type("Кефир");
        // The main window's save stores the open cell first.
        main.SaveClick();
        EXPECT_EQ(main.mdGoods.AsTextAt(1, gfNAME), "Кефир");
        EXPECT_FALSE(grid.EditorOpen);
    }
    // Gone, it is no longer asked: the table's own state decides alone.
    main.mdGoods.EditRow();
    main.mdGoods.SetText(gfNAME, "Сыр");
    main.SaveClick();
    EXPECT_EQ(main.mdGoods.AsTextAt(1, gfNAME), "Сыр");
}

// The Qt main window takes a viewer that registered its grid itself; an older viewer going later
// must not take the newer one's registration with it.
TEST(ResultsViewer, AnOlderViewerGoingLeavesTheNewerOnesGridRegistered) {
    TCallLog log;
    TRecordingShell shell(log);
    TRecordingView view(log);
    TMainController main(shell, kRouble);
    main.SetView(&view);
    main.mdGoods.OpenTable();
    AddRow(main.mdGoods, "1", "Хлеб", "4601234567893");
    auto older = std::make_unique<TResultsViewerController>(main, shell);
    TResultsViewerController newer(main, shell);
    older.reset();
    TFakeGrid grid(newer.Grid());
    grid.Select(0, gfNAME);
    grid.Type("Кефир");
    main.SaveClick();
    EXPECT_EQ(main.mdGoods.AsTextAt(1, gfNAME), "Кефир");
}

}  // namespace
