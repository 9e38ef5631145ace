// The viewer's editing, refusals and export against the layer: the main window's and the
// viewer's controllers over recording windows, keys going first to the viewer, then to the grid.
#include <gtest/gtest.h>

#include <filesystem>

#include "AppSupport.h"
#include "EditCaseChecks.h"
#include "app/ResultsViewerController.h"

namespace {

class TLayerEditDriver {
  public:
    explicit TLayerEditDriver(TEditStart start) {
        CopyFixture("app_ARTICLE.TXT", Dir.Path(), "ARTICLE.TXT");
        CopyFixture("app_PRINT.TXT", Dir.Path(), "PRINT.TXT");
        std::filesystem::create_directory(Dir.Path() / "out");
        View.Typed.ArticleFile = Dir.File("ARTICLE.TXT");
        View.Typed.PrintFile = Dir.File("PRINT.TXT");
        View.Typed.Folder = Dir.File("out");
        Main.SetView(&View);
        Window.Grid = &Grid;
        Window.Main = &Main;
        Viewer.SetView(&Window);
        if (start == esExamples) Main.ImportClick();
        if (start == esEmptyTable) Main.mdGoods.OpenTable();
        Main.ShowResultsClick();
    }
    ~TLayerEditDriver() { Viewer.SetView(nullptr); }
    TLayerEditDriver(const TLayerEditDriver&) = delete;
    TLayerEditDriver& operator=(const TLayerEditDriver&) = delete;

    void Click(int row, int column) {
        Window.Focus = vcGrid;
        Grid.Select(row, column);
    }
    void Type(const std::string& text) { Grid.Type(text); }
    void Key(TGridKeyPress press) {
        if (Viewer.Key(press, Window.Focus) || Window.Focus != vcGrid) return;
        Grid.Press(press.Key, press.Shift, press.Ctrl, press.Alt);
    }
    void SaveInViewer() { Viewer.Button3Click(); }
    void SaveInMain() { Main.SaveClick(); }
    void CloseViewer() { Viewer.BitBtn1Click(); }
    void ShowResults() { Main.ShowResultsClick(); }
    void Import() { Main.ImportClick(); }
    void Settle() {}
    void SetWriteID(bool write) { View.Typed.WriteID = write; }
    std::filesystem::path ReportsFolder() const { return Dir.Path(); }

    TGoodsTable& Goods() { return Main.mdGoods; }
    TGridCell CurrentCell() const { return {Grid.Row, Grid.Column}; }
    int ShownRows() const { return Grid.ShownRows; }
    int ShownColumns() const { return Grid.Control.ColumnCount(); }
    std::string Cell(int row, int column) const { return Grid.Control.CellText(row, column); }
    std::string Marker(int row) const { return Grid.Control.RowMarker(row); }
    std::optional<std::string> Editor() const {
        return Grid.EditorOpen ? std::optional(Grid.EditorText) : std::nullopt;
    }
    bool ViewerShown() const { return View.ViewerVisible; }
    std::vector<TEditBox> Boxes() const {
        std::vector<TEditBox> boxes;
        for (const TRecordingShell::TBox& box : Shell.Boxes) boxes.push_back({box.Icon, box.Text});
        return boxes;
    }
    int ExportedRecords() const {
        const std::string table = Dir.File("out/Справочник.dbf");
        if (!std::filesystem::exists(PathOf(table))) return -1;
        return static_cast<int>(DbfRecords(table).size());
    }
    std::string ExportedField(int record, int offset, int length) const {
        return DbfField(DbfRecords(Dir.File("out/Справочник.dbf"))[record], offset, length);
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

class EditsInTheViewer : public testing::TestWithParam<int> {};

TEST_P(EditsInTheViewer, LeaveTheTableTheGridTheBoxesAndTheExportAsTheCaseSays) {
    const TEditCase& c = EditCases()[static_cast<std::size_t>(GetParam())];
    TLayerEditDriver driver(c.Start);
    for (const bool answer : c.Answers) driver.Shell.ConfirmAnswers.push_back(answer);
    PlayEditSteps(c, driver);
    EXPECT_EQ(EditMismatches(c, driver), "");
}

INSTANTIATE_TEST_SUITE_P(Layer, EditsInTheViewer,
                         testing::Range(0, static_cast<int>(EditCases().size())),
                         [](const auto& test) { return EditCaseName(test.param); });

}  // namespace
