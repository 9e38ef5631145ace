#include "app/MainController.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "AppSupport.h"
#include "text/DecimalSeparator.h"
#include "text/FileSystem.h"

namespace {

const std::string kStockProgress = "progress open|Обработка справочника из KELAV";
const std::string kStockClosed = "progress close|Обработка справочника из KELAV";
const std::string kSaveProgress = "progress open|Сохранение в DBF...";
const std::string kSaveClosed = "progress close|Сохранение в DBF...";
const std::string kTwoGenerated =
    "show count|Было найдено и обработано 2 наименований товара без штрих-кода. ";
const std::string kSaved = "box 1|Сообщение|Данные сохранены!";

TEST(MainController, WindowCreationFixesThePointTheHeadlineAndTheStartValues) {
    SetDecimalSeparator(',');
    std::setlocale(LC_NUMERIC, "");
    TCallLog log;
    TRecordingShell shell(log, NativeDelimiters("/opt/kelva/KELVA2LARMIS.exe"));
    const TMainController main(shell, kRouble);
    EXPECT_EQ(DecimalSeparator(), '.');
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_EQ(shell.AppName, "ЛАРМИС");
    const TMainInputs& start = main.Defaults();
    EXPECT_EQ(start.PrintFile, "PRINT.TXT");
    EXPECT_EQ(start.ArticleFile, "ARTICLE.TXT");
    EXPECT_EQ(start.Folder, NativeDelimiters("/opt/kelva"));
    EXPECT_EQ(start.Prefix, "222");
    EXPECT_EQ(start.StartValue, "1");
    EXPECT_EQ(start.NdsValue, "18");
    EXPECT_FALSE(start.WriteID);
    EXPECT_FALSE(start.Ean13);
    EXPECT_EQ(main.CurrencyFormat().Format(-2.5), "-2.50\u00A0\u20BD");
    EXPECT_FALSE(main.mdGoods.IsOpen());
    EXPECT_EQ(log, TCallLog{});
    EXPECT_EQ(InitialCountText(),
              "Было найдено и обработано 100 наименований товара без штрих-кода. ");
}

TEST(MainController, ProgramInTheRootFolderStartsWithTheRoot) {
#ifdef _WIN32
    const std::string program = "C:\\KELVA2LARMIS.EXE", root = "C:\\";
#else
    const std::string program = "/kelva2larmis", root = "/";
#endif
    TCallLog log;
    TRecordingShell shell(log, program);
    const TMainController main(shell, kRouble);
    EXPECT_EQ(main.Defaults().Folder, root);
}

// The example reports in a temporary folder, the main window's inputs naming them.
class MainControllerTest : public testing::Test {
  protected:
    MainControllerTest() {
        CopyFixture("app_ARTICLE.TXT", Dir.Path(), "ARTICLE.TXT");
        CopyFixture("app_PRINT.TXT", Dir.Path(), "PRINT.TXT");
        std::filesystem::create_directory(Dir.Path() / "out");
        View.Typed.ArticleFile = Dir.File("ARTICLE.TXT");
        View.Typed.PrintFile = Dir.File("PRINT.TXT");
        View.Typed.Folder = Dir.File("out");
        Main.SetView(&View);
        Main.SetGrid(&Grid.Control);
    }
    std::string Out(const char* name) const { return Dir.File(std::string("out/") + name); }
    // Runs a handler with an empty log, which then holds that handler's steps.
    template <class THandler>
    TCallLog Steps(THandler handler) {
        Log.clear();
        handler();
        return Log;
    }

    TTempDir Dir;
    TCallLog Log;
    TRecordingShell Shell{Log};
    TRecordingView View{Log};
    TMainController Main{Shell, kRouble};
    TFakeGrid Grid{Main.mdGoods, Main.CurrencyFormat(), Shell};
};

TEST_F(MainControllerTest, ImportReadsTheInputsThenShowsTheCountAndTheResults) {
    // A quoted path with a blank is taken by its file name value.
    std::filesystem::create_directory(Dir.Path() / "from kelva");
    CopyFixture("app_ARTICLE.TXT", Dir.Path() / "from kelva", "ART LIST.TXT");
    CopyFixture("app_PRINT.TXT", Dir.Path() / "from kelva", "STOCK LIST.TXT");
    View.Typed.ArticleFile = '"' + Dir.File("from kelva/ART LIST.TXT") + '"';
    View.Typed.PrintFile = '"' + Dir.File("from kelva/STOCK LIST.TXT") + '"';
    EXPECT_EQ(Steps([&] { Main.ImportClick(); }),
              (TCallLog{"repaint", "inputs", "hide count", kStockProgress, kStockClosed,
                        kTwoGenerated, "show viewer"}));
    EXPECT_EQ(Main.mdGoods.RowCount(), 3);
    EXPECT_EQ(Main.mdGoods.AsTextAt(2, gfKOD), "2220000000001");
    EXPECT_EQ(Main.mdGoods.AsTextAt(1, gfRPRICE), "34.9");
}

TEST_F(MainControllerTest, OnlyTheFileBoxesAreReducedToTheirFileNameValue) {
    // Unquoted, a missing name with a blank yields its part before the blank ...
    View.Typed.ArticleFile = Dir.File("from kelva/NO FILE");
    Main.ImportClick();
    // ... while the VAT text goes to the run unchanged, its trailing blank included.
    View.Typed.ArticleFile = Dir.File("ARTICLE.TXT");
    View.Typed.NdsValue = "18 ";
    Main.ImportClick();
    EXPECT_EQ(Shell.Texts(), (std::vector<std::string>{"Файл " + Dir.File("from") + " не найден!",
                                                       "Задано недопустимое значение НДС!"}));
}

struct TCheckCase {
    const char* Name;
    std::string Article;  // "@" is the test folder
    std::string Prefix;
    std::string Start;
    std::string Nds;
    std::string Message;
};

class ImportChecks : public MainControllerTest, public testing::WithParamInterface<TCheckCase> {};

TEST_P(ImportChecks, FirstFailingCheckIsTheErrorDisplayAndNothingElseHappens) {
    Main.ImportClick();
    const TCheckCase& c = GetParam();
    View.Typed.ArticleFile = c.Article == "@" ? Dir.File("ARTICLE.TXT") : c.Article;
    View.Typed.Prefix = c.Prefix;
    View.Typed.StartValue = c.Start;
    View.Typed.NdsValue = c.Nds;
    // A run stopped by its input checks leaves the count, the viewer and the rows as they were.
    EXPECT_EQ(Steps([&] { Main.ImportClick(); }),
              (TCallLog{"repaint", "inputs", "box 2|Kelva2larmis|" + c.Message}));
    EXPECT_EQ(Main.mdGoods.RowCount(), 3);
    EXPECT_TRUE(View.CountVisible);
}

INSTANTIATE_TEST_SUITE_P(
    MainController, ImportChecks,
    testing::Values(
        TCheckCase{"MissingArticleListBeforeEverything", "ARTICLE.LST", "x", "x", "x",
                   "Файл ARTICLE.LST не найден!"},
        TCheckCase{"BlankArticleBoxIsTheEmptyName", "   ", "222", "1", "18", "Файл  не найден!"},
        TCheckCase{"PrefixBeforeStartAndVat", "@", "abc", "x", "x",
                   "Задан недопустимый префикс штрих-кода!"},
        TCheckCase{"StartValueBeforeVat", "@", "77", "-1", "x",
                   "Задано недопустимое стартовое значение генератора штрих-кода!"},
        TCheckCase{"VatLast", "@", "77", "1", "101", "Задано недопустимое значение НДС!"}),
    [](const testing::TestParamInfo<TCheckCase>& param) { return param.param.Name; });

TEST_F(MainControllerTest, MissingStockReportWarnsAndTheRunGoesOn) {
    std::filesystem::remove(Dir.File("PRINT.TXT"));
    EXPECT_EQ(Steps([&] { Main.ImportClick(); }),
              (TCallLog{"repaint", "inputs", "hide count",
                        "box 0|Внимание!|Файл PRINT.TXT не найден, поэтому поля \"Цена\" и "
                        "\"Остаток\" примут значения по умолчанию (Цена=1, Остаток=0)",
                        kTwoGenerated, "show viewer"}));
}

TEST_F(MainControllerTest, TheEan13BoxReachesTheGeneratorAndItsRefusalTheErrorDisplay) {
    View.Typed.Ean13 = true;
    Main.ImportClick();
    EXPECT_EQ(Main.mdGoods.AsTextAt(2, gfKOD), "2220000000017");
    // The record of the run is kept for the checks: the generated code is known as such.
    EXPECT_TRUE(Main.Record.Complete);
    EXPECT_TRUE(Main.Record.WasGenerated("2220000000017"));
    View.Typed.Prefix = "0x22";
    EXPECT_EQ(Steps([&] { Main.ImportClick(); }),
              (TCallLog{"repaint", "inputs",
                        "box 2|Kelva2larmis|Для штрих-кодов EAN-13 префикс должен состоять только "
                        "из цифр!"}));
    EXPECT_EQ(Main.mdGoods.AsTextAt(2, gfKOD), "2220000000017");
}

TEST_F(MainControllerTest, ShowResultsShowsTheViewerAndNothingElse) {
    EXPECT_EQ(Steps([&] { Main.ShowResultsClick(); }), TCallLog{"show viewer"});
    EXPECT_FALSE(Main.mdGoods.IsOpen());
}

TEST_F(MainControllerTest, SaveBeforeAnyImportReportsNoData) {
    EXPECT_EQ(
        Steps([&] { Main.SaveClick(); }),
        (TCallLog{"repaint", "inputs", "box 2|Kelva2larmis|Нет данных для сохранения в BDF!"}));
    EXPECT_FALSE(std::filesystem::exists(PathOf(Out("Справочник.dbf"))));
}

TEST_F(MainControllerTest, SaveWritesTheTablesWithTheOpenCellStoredFirst) {
    Main.ImportClick();
    Grid.Select(0, gfRPRICE);
    Grid.Type("77");
    EXPECT_EQ(Steps([&] { Main.SaveClick(); }),
              (TCallLog{"repaint", "inputs", kSaveProgress, kSaveClosed, kSaved}));
    EXPECT_FALSE(Grid.EditorOpen);
    const std::vector<std::string> records = DbfRecords(Out("Справочник.dbf"));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(DbfField(records[0], kDirName[0], kDirName[1]), "Хлеб белый");
    EXPECT_EQ(DbfField(records[0], kDirRprice[0], kDirRprice[1]), "77.00");
    EXPECT_EQ(DbfRecords(Out("Приходы.dbf")).size(), 2u);
}

TEST_F(MainControllerTest, SaveDropsAnUntouchedNewRowFirst) {
    Main.ImportClick();
    Grid.Select(2, gfNAME);
    Grid.Press(grDown);
    ASSERT_EQ(Main.mdGoods.RowCount(), 4);
    Main.SaveClick();
    EXPECT_EQ(DbfRecords(Out("Справочник.dbf")).size(), 3u);
}

TEST_F(MainControllerTest, RefusedOpenCellStopsTheSave) {
    Main.ImportClick();
    Grid.Select(0, gfOSTATOK);
    Grid.Type("2,5");
    EXPECT_EQ(Steps([&] { Main.SaveClick(); }),
              (TCallLog{"repaint",
                        "box 2|Kelva2larmis|'2,5' is not a valid floating point value "
                        "for field 'OSTATOK'"}));
    EXPECT_FALSE(std::filesystem::exists(PathOf(Out("Справочник.dbf"))));
    EXPECT_TRUE(Grid.EditorOpen);
    EXPECT_EQ(Grid.EditorText, "2,5");
}

TEST_F(MainControllerTest, SaveTakesTheFolderAsTypedAndTheIdBoxAsItStands) {
    Main.ImportClick();
    std::filesystem::create_directory(Dir.Path() / "with id");
    View.Typed.Folder = Dir.File("with id") + kPathDelimiter;
    View.Typed.WriteID = true;
    Main.SaveClick();
    View.Typed.Folder = Dir.File("out");
    View.Typed.WriteID = false;
    Main.SaveClick();
    const std::vector<std::string> withId = DbfRecords(Dir.File("with id/Справочник.dbf"));
    const std::vector<std::string> without = DbfRecords(Out("Справочник.dbf"));
    ASSERT_EQ(withId.size(), 3u);
    ASSERT_EQ(without.size(), 3u);
    EXPECT_NE(withId[0], without[0]);
    EXPECT_EQ(Shell.Texts(), (std::vector<std::string>{"Данные сохранены!", "Данные сохранены!"}));
}

TEST_F(MainControllerTest, FailedSaveClosesItsProgressWindowAndTheNextOneWorks) {
    Main.ImportClick();
    const auto setPrice = [&](const char* price) {
        Main.mdGoods.SetRowNumber(2);
        Main.mdGoods.EditRow();
        Main.mdGoods.SetText(gfRPRICE, price);
        Main.mdGoods.PostRow();
    };
    // Too wide for its field once formatted: the export fails in its second row.
    setPrice("10000000");
    Main.SaveClick();
    ASSERT_EQ(Shell.Boxes.size(), 1u);
    EXPECT_EQ(Shell.Boxes[0].Icon, diError);
    ASSERT_EQ(Shell.Progress.size(), 2u);
    for (const auto& progress : Shell.Progress) EXPECT_EQ(progress->Closes, 1) << progress->Caption;
    setPrice("10");
    Main.SaveClick();
    EXPECT_EQ(Shell.Texts().back(), "Данные сохранены!");
}

// The main window's close requested while a handler's box is up, inside `Nesting` more handlers.
struct THeldCloseCase {
    const char* Name;
    int Nesting;
    int Requests;
};

class MainWindowClose : public testing::TestWithParam<THeldCloseCase> {};

TEST_P(MainWindowClose, WaitsForTheOutermostHandlerAndIsAskedForAgainOnce) {
    TCallLog log;
    TRecordingShell shell(log);
    TRecordingView view(log);
    TMainController main(shell, kRouble);
    main.SetView(&view);
    EXPECT_TRUE(main.CloseRequested()) << "no handler runs: at once";
    shell.WhileBoxIsUp = [&] {
        for (int i = 0; i < GetParam().Requests; ++i) EXPECT_FALSE(main.CloseRequested());
    };
    std::function<void(int)> handler = [&](int depth) {
        RunHandler(shell, [&] {
            if (depth == 0) throw std::runtime_error("Ошибка");
            handler(depth - 1);
            log.push_back("end of handler " + std::to_string(depth));
        });
    };
    handler(GetParam().Nesting);
    TCallLog expected{"box 2|Kelva2larmis|Ошибка."};
    for (int depth = 1; depth <= GetParam().Nesting; ++depth) {
        expected.push_back("end of handler " + std::to_string(depth));
    }
    expected.push_back("post close");
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(main.CloseRequested());
}

INSTANTIATE_TEST_SUITE_P(HeldUnderAHandler, MainWindowClose,
                         testing::Values(THeldCloseCase{"OneHandler", 0, 1},
                                         THeldCloseCase{"ThreeDeep", 2, 1},
                                         THeldCloseCase{"AskedThreeTimes", 0, 3}),
                         [](const testing::TestParamInfo<THeldCloseCase>& param) {
                             return param.param.Name;
                         });

TEST_F(MainControllerTest, ClosingTheViewerStoresTheOpenCellFirst) {
    Main.ImportClick();
    Grid.Select(1, gfNAME);
    Grid.Type("Исправлено");
    EXPECT_EQ(Steps([&] { Main.CloseViewerClick(); }), TCallLog{"hide viewer"});
    EXPECT_EQ(Main.mdGoods.AsTextAt(2, gfNAME), "Исправлено");
    Main.ShowResultsClick();
    Grid.Select(1, gfCATEGORY);
    Grid.Type("x");
    EXPECT_EQ(Steps([&] { Main.CloseViewerClick(); }),
              TCallLog{"box 2|Kelva2larmis|'x' is not a valid integer value for field 'CATEGORY'"});
    EXPECT_TRUE(View.ViewerVisible);
}

}  // namespace
