#include "app/GridUndo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "AppSupport.h"
#include "app/ResultsViewerController.h"
#include "import/ImportRecord.h"

namespace {

// Boxes recorded (questions answered OK), progress windows ignored, a clipboard of its own.
class TClipboardShell final : public IShell {
  public:
    void ShowBox(TDialogIcon, const std::string&, const std::string& text) override {
        Texts.push_back(text);
    }
    bool Confirm(const std::string&, const std::string& text) override {
        Texts.push_back(text);
        return true;
    }
    std::unique_ptr<IProgressWindow> OpenProgress(const std::string&, bool) override {
        struct TNone final : IProgressWindow {
            void SetPercent(double) override {}
            void Close() override {}
        };
        return std::make_unique<TNone>();
    }
    void SetProgressAppName(const std::string&) override {}
    std::string ProgramPath() const override { return "/opt/kelva/KELVA2LARMIS.exe"; }
    TSystemFolders SystemFolders() const override { return {}; }
    std::optional<std::string> ClipboardText() const override { return Clipboard; }
    void SetClipboardText(const std::string& text) override { Clipboard = text; }

    std::vector<std::string> Texts;
    std::string Clipboard;
};

// The three example rows imported, the grid over them.
struct TUndoApp {
    TUndoApp() {
        CopyFixture("app_ARTICLE.TXT", Dir.Path(), "ARTICLE.TXT");
        CopyFixture("app_PRINT.TXT", Dir.Path(), "PRINT.TXT");
        View.Typed.ArticleFile = Dir.File("ARTICLE.TXT");
        View.Typed.PrintFile = Dir.File("PRINT.TXT");
        Main.SetView(&View);
        Main.ImportClick();
    }
    TGridUndo& History() { return Viewer.Grid().History(); }
    void Key(TGridKey key, bool shift = false) { Grid.Press(key, shift, true); }
    std::vector<TGoodsRowValues> Rows() const {
        std::vector<TGoodsRowValues> rows;
        for (int row = 1; row <= Main.mdGoods.RowCount(); ++row) {
            rows.push_back(Main.mdGoods.RowValuesAt(row));
        }
        return rows;
    }
    // Both tables exported into a new folder, but for their dates (bytes 1-3).
    std::string Export() {
        const std::string folder = Dir.File("out" + std::to_string(++Exports));
        std::filesystem::create_directories(PathOf(folder));
        View.Typed.Folder = folder;
        Main.SaveClick();
        std::string bytes;
        for (const char* table : {"Справочник.dbf", "Приходы.dbf"}) {
            std::ifstream in(PathOf(folder + "/" + table), std::ios::binary);
            std::string file{std::istreambuf_iterator<char>(in), {}};
            bytes += file.size() > 4 ? file.erase(1, 3) : "(none)";
        }
        return bytes;
    }

    TTempDir Dir;
    TCallLog Log;
    TClipboardShell Shell;
    TRecordingView View{Log};
    TMainController Main{Shell, kRouble};
    TResultsViewerController Viewer{Main, Shell};
    TFakeGrid Grid{Viewer.Grid()};
    int Exports = 0;
};

// Values the operator might type into each column; all valid, several alike so that findings
// come and go.
const std::vector<std::vector<std::string>> kTyped = {
    {"101", "102", "7", "-5", ""},
    {"Хлеб", "Молоко 3,2%", "", std::string(30, 'x') + std::string(30, 'y')},
    {"4601234567890", "2220000000001", "", "123"},
    {"0", "12.5", "-1", "1E-5", ""},
    {"34.9", "0", "-2", "10.255", ""},
    {"1", "2", ""},
    {"18", "0", "10", ""},
};

enum TOpKind : std::uint8_t { okEdit, okInsert, okDelete, okPaste, okCopyPaste };
struct TOp {
    TOpKind Kind;
    int Row, Row2, Column, Column2;
    std::string Text, Text2;
};

TOp RandomOp(std::mt19937& rng, int rows) {
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    TOp op{static_cast<TOpKind>(pick(5)), 0,  0, pick(kGoodsFieldCount),
           pick(kGoodsFieldCount),        "", ""};
    if (rows == 0) op.Kind = okInsert;
    op.Row = rows > 0 ? pick(rows) : 0;
    op.Row2 = rows > 0 ? pick(rows) : 0;
    op.Text = kTyped[op.Column][pick(static_cast<int>(kTyped[op.Column].size()))];
    op.Text2 = kTyped[op.Column2][pick(static_cast<int>(kTyped[op.Column2].size()))];
    return op;
}

// The operator's hands: every operation ends with its row posted (Down and back Up).
void Operate(TUndoApp& app, const TOp& op) {
    TFakeGrid& grid = app.Grid;
    if (app.Main.mdGoods.RowCount() > 0) grid.Select(op.Row, op.Column);
    switch (op.Kind) {
        case okEdit:
            grid.Type(op.Text);
            break;
        case okInsert:
            grid.Press(grInsert);
            grid.Select(grid.Row, op.Column);
            grid.Type(op.Text);
            grid.Select(grid.Row, op.Column2);
            grid.Type(op.Text2);
            break;
        case okDelete:
            app.Key(grDelete);
            return;
        case okPaste:
            app.Shell.Clipboard = op.Text + "\r\nnext line";
            app.Key(grV);
            break;
        case okCopyPaste:
            app.Key(grC);
            grid.Select(op.Row2, op.Column);
            app.Key(grV);
            break;
    }
    grid.Press(grDown);
    grid.Press(grUp);
}

void ExpectFindingsFresh(TUndoApp& app) {
    EXPECT_EQ(app.Viewer.Findings().Findings(), CheckGoods(app.Main.mdGoods, app.Main.Record));
}

TEST(GridUndoTest, RandomEditsUndoneAndRedoneGiveTheTablesOfTheSameEditsMadeDirectly) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        TUndoApp app;
        std::vector<TOp> ops;
        std::vector<std::vector<TGoodsRowValues>> after = {app.Rows()};  // after each step
        std::vector<std::size_t> opsOfStep = {0};  // how many operations made the steps so far
        for (int i = 0; i < 24; ++i) {
            ops.push_back(RandomOp(rng, app.Main.mdGoods.RowCount()));
            Operate(app, ops.back());
            ASSERT_EQ(app.Main.mdGoods.State(), gsBrowse);
            if (app.History().UndoCount() == static_cast<int>(after.size())) {
                after.push_back(app.Rows());
                opsOfStep.push_back(ops.size());
            }
            ASSERT_EQ(app.History().UndoCount() + 1, static_cast<int>(after.size()));
        }
        const int n = app.History().UndoCount();
        const int k = std::uniform_int_distribution<int>(0, n)(rng);
        for (int j = 1; j <= k; ++j) {
            app.Key(grZ);
            ASSERT_EQ(app.Rows(), after[n - j]) << "undo " << j;
            ExpectFindingsFresh(app);
        }
        const std::string undone = app.Export();
        for (int j = 1; j <= k; ++j) {
            j % 2 ? app.Key(grY) : app.Key(grZ, true);
            ASSERT_EQ(app.Rows(), after[n - k + j]) << "redo " << j;
            ExpectFindingsFresh(app);
        }
        const std::string redone = app.Export();
        for (int j = 0; j < n; ++j) app.Key(grZ);
        EXPECT_EQ(app.Rows(), after[0]);
        const std::string imported = app.Export();

        TUndoApp direct;
        EXPECT_EQ(direct.Export(), imported);
        for (std::size_t i = 0; i <= ops.size(); ++i) {
            if (i == opsOfStep[n - k]) {
                EXPECT_EQ(direct.Export(), undone);
            }
            if (i < ops.size()) Operate(direct, ops[i]);
        }
        EXPECT_EQ(direct.Export(), redone);
    }
}

struct TRuleCase {
    const char* Name;
    std::function<void(TUndoApp&)> Act;
    int Rows;
    TGoodsField Field;  // of row 1
    const char* Value;
    int Undo, Redo;
    std::optional<int> Current;  // the grid's current row, where it is the changed one
    std::vector<std::string> Boxes = {};
    const char* Clipboard = "";
};

void PrintTo(const TRuleCase& c, std::ostream* out) {
    *out << c.Name;
}

void TypePrice(TUndoApp& app, const char* price) {
    app.Grid.Select(0, gfRPRICE);
    app.Grid.Type(price);
    app.Grid.Press(grDown);
}

const TRuleCase kRules[] = {
    {"FirstCtrlZAbandonsTheUnpostedRowThenUndoesTheLastStep",
     [](TUndoApp& app) {
         TypePrice(app, "5");
         app.Grid.Select(0, gfRPRICE);
         app.Grid.Type("6");
         app.Grid.Press(grEnter);  // the cell stored, the row not yet posted
         app.Key(grZ);
         app.Key(grZ);
     },
     3, gfRPRICE, "34.9", 0, 1, 0},
    {"CtrlZInAnOpenEditorIsTheEditors",
     [](TUndoApp& app) {
         TypePrice(app, "5");
         app.Grid.Select(0, gfNAME);
         app.Grid.Type("Батон");
         app.Key(grZ);
         app.Grid.Press(grDown);
     },
     3, gfNAME, "Батон", 2, 0, 1},
    {"ANewStepDropsWhatCouldBeRedone",
     [](TUndoApp& app) {
         TypePrice(app, "5");
         app.Key(grZ);
         TypePrice(app, "6");
         app.Key(grY);
     },
     3, gfRPRICE, "6", 1, 0, 1},
    {"AnImportStartsAfresh",
     [](TUndoApp& app) {
         TypePrice(app, "5");
         app.Grid.Select(1, gfID);
         app.Key(grDelete);
         app.Main.ImportClick();
         app.Key(grZ);
     },
     3,
     gfRPRICE,
     "34.9",
     0,
     0,
     {},
     {"Delete record?"}},
    {"CtrlCCopiesAPriceAsItsEditorShowsIt",
     [](TUndoApp& app) {
         app.Grid.Select(0, gfRPRICE);
         app.Key(grC);
     },
     3,
     gfRPRICE,
     "34.9",
     0,
     0,
     0,
     {},
     "34.90"},
    {"CtrlVStoresTheFirstLineAndUndoesAsAnEdit",
     [](TUndoApp& app) {
         app.Shell.Clipboard = "  Батон \r\nМолоко";
         app.Grid.Select(0, gfNAME);
         app.Key(grV);
         app.Grid.Press(grDown);
         app.Key(grZ);
         app.Key(grY);
     },
     3,
     gfNAME,
     "  Батон ",
     1,
     0,
     0,
     {},
     "  Батон \r\nМолоко"},
    {"CtrlVOfARefusedTextShowsItsMessageAndKeepsTheValue",
     [](TUndoApp& app) {
         app.Shell.Clipboard = "12,5\n";
         app.Grid.Select(0, gfRPRICE);
         app.Key(grV);
         app.Grid.Press(grDown);
     },
     3,
     gfRPRICE,
     "34.9",
     0,
     0,
     1,
     {"'12,5' is not a valid floating point value for field 'RPRICE'"},
     "12,5\n"},
};

class GridUndoRules : public testing::TestWithParam<TRuleCase> {};

TEST_P(GridUndoRules, Hold) {
    const TRuleCase& c = GetParam();
    TUndoApp app;
    c.Act(app);
    EXPECT_EQ(app.Main.mdGoods.RowCount(), c.Rows);
    EXPECT_EQ(app.Main.mdGoods.AsTextAt(1, c.Field), c.Value);
    EXPECT_EQ(app.History().UndoCount(), c.Undo);
    EXPECT_EQ(app.History().RedoCount(), c.Redo);
    EXPECT_EQ(app.Shell.Texts, c.Boxes);
    EXPECT_EQ(app.Shell.Clipboard, c.Clipboard);
    if (c.Current) {
        EXPECT_EQ(app.Grid.Row, *c.Current);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, GridUndoRules, testing::ValuesIn(kRules),
                         [](const testing::TestParamInfo<TRuleCase>& param) {
                             return std::string(param.param.Name);
                         });

}  // namespace
