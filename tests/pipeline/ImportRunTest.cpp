#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PipelineSupport.h"
#include "convert/ImportRun.h"
#include "import/GoodsTable.h"
#include "import/ImportState.h"
#include "import/StockReader.h"
#include "text/CodePage.h"

namespace {

const char* const kStockWarning =
    "Внимание!|Файл PRINT.TXT не найден, поэтому поля \"Цена\" и \"Остаток\" примут значения по "
    "умолчанию (Цена=1, Остаток=0)";

class ImportRunTest : public ::testing::Test {
  protected:
    // An import of the given article and stock lines (no stock file when `stock` is null).
    void Run(const std::vector<std::string>& articles, const std::vector<std::string>* stock) {
        WriteBytes(Dir.File("ARTICLE.TXT"), Lines(articles));
        if (stock) WriteBytes(Dir.File("PRINT.TXT"), Lines(*stock));
        RunImport(Inputs(), Goods, Host);
    }

    TImportInputs Inputs() const { return ReportsIn(Dir.Path()); }

    std::string Message(const TImportInputs& inputs) {
        return FailureMessage([&] { RunImport(inputs, Goods, Host); });
    }

    // The row carrying `id`, or fails the test.
    void SelectId(int id) {
        for (int row = 1; row <= Goods.RowCount(); ++row) {
            Goods.SetRowNumber(row);
            if (Goods.AsInteger(gfID) == id) return;
        }
        FAIL() << "no row with ID " << id;
    }

    static std::string Article(int id, const std::string& barcode = "") {
        return ArticleLine84(std::to_string(id), barcode, "3",
                             AnsiToOemText("Товар " + std::to_string(id)));
    }

    TTempDir Dir;
    TGoodsTable Goods;
    TRecordingHost Host;
};

TEST_F(ImportRunTest, InputChecksStopAtTheFirstFailureAndTouchNothing) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1)}));
    struct TCase {
        std::string Article, Prefix, Start, Nds, Want;
    };
    const std::string ok = Dir.File("ARTICLE.TXT");
    const std::string missing = Dir.File("NONE.TXT");
    const TCase cases[] = {
        {missing, "x", "x", "x", "Файл " + missing + " не найден!"},
        {"", "222", "1", "18", "Файл  не найден!"},
        {ok, "", "1", "18", "Задан недопустимый префикс штрих-кода!"},
        {ok, "-1", "1", "18", "Задан недопустимый префикс штрих-кода!"},
        {ok, "12a", "x", "x", "Задан недопустимый префикс штрих-кода!"},
        {ok, "222", "-1", "x", "Задано недопустимое стартовое значение генератора штрих-кода!"},
        {ok, "222", "", "18", "Задано недопустимое стартовое значение генератора штрих-кода!"},
        {ok, "222", "1", "101", "Задано недопустимое значение НДС!"},
        {ok, "222", "1", "-1", "Задано недопустимое значение НДС!"},
        {ok, "222", "1", "18 ", "Задано недопустимое значение НДС!"},
    };
    for (const TCase& c : cases) {
        TImportInputs inputs;
        inputs.ArticleFile = c.Article;
        inputs.PrintFile = Dir.File("PRINT.TXT");
        inputs.Prefix = c.Prefix;
        inputs.StartValue = c.Start;
        inputs.NdsValue = c.Nds;
        EXPECT_EQ(Message(inputs), c.Want) << c.Article << " " << c.Prefix << " " << c.Start;
    }
    EXPECT_FALSE(Goods.IsOpen());
    EXPECT_EQ(Host.CountHides, 0);
    EXPECT_EQ(Host.ResultsShown, 0);
    EXPECT_TRUE(Host.Warnings.empty());
}

TEST_F(ImportRunTest, AcceptedEdgeInputs) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1)}));
    TImportInputs inputs = Inputs();
    inputs.Prefix = "0222";
    inputs.NdsValue = "100";
    RunImport(inputs, Goods, Host);
    Goods.SetRowNumber(1);
    EXPECT_EQ(Goods.AsText(gfKOD), "0222000000001");
    EXPECT_EQ(Goods.AsText(gfNDS), "100");

    inputs.NdsValue = "0";
    inputs.StartValue = "$10";
    RunImport(inputs, Goods, Host);
    Goods.SetRowNumber(1);
    EXPECT_EQ(Goods.AsText(gfKOD), "0222000000016");
    EXPECT_TRUE(Goods.IsEmpty(gfNDS));
}

TEST_F(ImportRunTest, MissingStockReportWarnsAndSetsDefaults) {
    Run({Article(7), Article(8, "4600000000017"), Article(9)}, nullptr);
    EXPECT_EQ(Host.Warnings, std::vector<std::string>{kStockWarning});
    EXPECT_TRUE(Host.Progress.empty());
    ASSERT_EQ(Goods.RowCount(), 3);
    for (int row = 1; row <= 3; ++row) {
        Goods.SetRowNumber(row);
        EXPECT_EQ(Goods.AsText(gfOSTATOK), "0");
        EXPECT_EQ(Goods.AsAmount(gfRPRICE), 10000);
        EXPECT_EQ(Goods.AsText(gfRPRICE), "1");
    }
    EXPECT_TRUE(Host.CountVisible);
    EXPECT_EQ(Host.CountText, "Было найдено и обработано 2 наименований товара без штрих-кода. ");
    EXPECT_EQ(Host.ResultsShown, 1);
    EXPECT_EQ(Goods.State(), gsBrowse);
}

TEST_F(ImportRunTest, EmptyArticleListStillWarnsAndShowsZero) {
    Run({"not a report line"}, nullptr);
    EXPECT_EQ(Host.Warnings.size(), 1u);
    EXPECT_TRUE(Goods.IsOpen());
    EXPECT_EQ(Goods.RowCount(), 0);
    EXPECT_EQ(Host.CountText, "Было найдено и обработано 0 наименований товара без штрих-кода. ");
}

TEST_F(ImportRunTest, SecondRunGivesTheSameTableAndBarcodes) {
    std::vector<std::string> stock = {StockLine("1", "2", "3")};
    Run({Article(1), Article(2)}, &stock);
    std::vector<std::string> first;
    for (int row = 1; row <= Goods.RowCount(); ++row) {
        Goods.SetRowNumber(row);
        first.push_back(Goods.AsText(gfKOD) + "/" + Goods.AsText(gfOSTATOK));
    }
    RunImport(Inputs(), Goods, Host);
    std::vector<std::string> second;
    for (int row = 1; row <= Goods.RowCount(); ++row) {
        Goods.SetRowNumber(row);
        second.push_back(Goods.AsText(gfKOD) + "/" + Goods.AsText(gfOSTATOK));
    }
    EXPECT_EQ(first, (std::vector<std::string>{"2220000000001/2", "2220000000002/"}));
    EXPECT_EQ(second, first);
}

TEST_F(ImportRunTest, StockValuesFollowTheFixedPointRules) {
    struct TCase {
        int Id;
        std::string Quantity, Price, WantQuantity, WantPrice;
    };
    const TCase cases[] = {
        {15, "12.5", "34.9", "12.5", "34.9"},
        {16, "-3", "0", "0", "1"},
        {17, "1", "-2", "1", "1"},
        {18, "1", "abc", "1", "1"},
        {19, "1", "0.00005", "1", "1"},
        {20, "1", "0.00015", "1", "0.0002"},
        {21, "2,5", "1,5", "0", "1"},
        {22, "", "", "0", "1"},
    };
    std::vector<std::string> articles, stock;
    for (const TCase& c : cases) {
        articles.push_back(Article(c.Id));
        stock.push_back(StockLine(std::to_string(c.Id), c.Quantity, c.Price));
    }
    Run(articles, &stock);
    for (const TCase& c : cases) {
        SelectId(c.Id);
        EXPECT_EQ(Goods.AsText(gfOSTATOK), c.WantQuantity) << c.Id;
        EXPECT_EQ(Goods.AsText(gfRPRICE), c.WantPrice) << c.Id;
    }
    EXPECT_TRUE(Host.Warnings.empty());
}

TEST_F(ImportRunTest, StockLinesThatMatchNothingAreSkipped) {
    std::string line77 = StockLine("1", "5", "5").substr(0, 77);
    std::string line79 = StockLine("1", "5", "5") + " ";
    std::vector<std::string> stock = {line77,
                                      line79,
                                      StockLine("99", "5", "5"),
                                      StockLine("0", "5", "5"),
                                      StockLine("x", "5", "5"),
                                      StockLine("2", "4", "4"),
                                      StockLine("2", "6", "6")};
    Run({Article(1), Article(2)}, &stock);
    ASSERT_EQ(Goods.RowCount(), 2);
    Goods.SetRowNumber(1);
    EXPECT_TRUE(Goods.IsEmpty(gfOSTATOK));
    EXPECT_TRUE(Goods.IsEmpty(gfRPRICE));
    Goods.SetRowNumber(2);  // the last of two lines for the same code wins
    EXPECT_EQ(Goods.AsText(gfOSTATOK), "6");
}

TEST_F(ImportRunTest, DuplicateArticleCodesReachOnlyTheFirstRow) {
    std::vector<std::string> stock = {StockLine("7", "3", "2")};
    Run({Article(7), Article(9), Article(7)}, &stock);
    ASSERT_EQ(Goods.RowCount(), 3);
    Goods.SetRowNumber(1);
    EXPECT_EQ(Goods.AsText(gfOSTATOK), "3");
    Goods.SetRowNumber(3);
    EXPECT_TRUE(Goods.IsEmpty(gfOSTATOK));
}

TEST_F(ImportRunTest, ProgressGoesBeforeEachLineAndEndsOnce) {
    std::vector<std::string> stock = {StockLine("1", "1", "1"), "junk", "",
                                      StockLine("2", "1", "1")};
    Run({Article(1), Article(2)}, &stock);
    ASSERT_EQ(Host.Progress.size(), 1u);
    EXPECT_EQ(Host.Progress[0]->Caption, "Обработка справочника из KELAV");
    EXPECT_TRUE(Host.Progress[0]->PercentMode);
    EXPECT_EQ(Host.Progress[0]->Percents, (std::vector<double>{0, 25, 50, 75}));
    EXPECT_EQ(Host.Progress[0]->Terminations, 1);
}

TEST_F(ImportRunTest, EmptyStockReportLeavesValuesEmpty) {
    std::vector<std::string> stock;
    Run({Article(1)}, &stock);
    Goods.SetRowNumber(1);
    EXPECT_TRUE(Goods.IsEmpty(gfOSTATOK));
    EXPECT_TRUE(Goods.IsEmpty(gfRPRICE));
    ASSERT_EQ(Host.Progress.size(), 1u);
    EXPECT_TRUE(Host.Progress[0]->Percents.empty());
    EXPECT_EQ(Host.Progress[0]->Terminations, 1);
}

TEST_F(ImportRunTest, AmountBeyondRangeStopsTheRunAndKeepsEarlierRows) {
    std::vector<std::string> stock = {StockLine("1", "4", "5"), StockLine("2", "1E300", "5")};
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1), Article(2)}));
    WriteBytes(Dir.File("PRINT.TXT"), Lines(stock));
    EXPECT_EQ(Message(Inputs()), "Invalid floating point operation");
    ASSERT_EQ(Host.Progress.size(), 1u);
    EXPECT_EQ(Host.Progress[0]->Terminations, 1);
    EXPECT_FALSE(Host.CountVisible);
    EXPECT_EQ(Host.CountHides, 1);
    EXPECT_EQ(Host.ResultsShown, 0);
    ASSERT_EQ(Goods.RowCount(), 2);
    EXPECT_EQ(Goods.State(), gsBrowse);
    Goods.SetRowNumber(1);
    EXPECT_EQ(Goods.AsText(gfOSTATOK), "4");
    Goods.SetRowNumber(2);
    EXPECT_TRUE(Goods.IsEmpty(gfOSTATOK));
}

TEST_F(ImportRunTest, UnreadableStockReportFailsBeforeTheProgressAppears) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1)}));
    std::filesystem::create_directory(Dir.Path() / "PRINT.TXT");
    TImportInputs inputs = Inputs();
    // A folder is no file: the stock report counts as missing.
    RunImport(inputs, Goods, Host);
    EXPECT_EQ(Host.Warnings.size(), 1u);

    ImportState state;
    EXPECT_THROW(ReadStockReport(state, Goods, Dir.File("PRINT.TXT"), Host), std::runtime_error);
    EXPECT_TRUE(Host.Progress.empty());
}

TEST_F(ImportRunTest, IdMismatchBetweenListAndTableStopsTheReader) {
    Goods.OpenTable();
    Goods.AppendRow();
    Goods.SetInteger(gfID, 5);
    Goods.PostRow();
    ImportState state;
    state.IDList.Add(6);
    WriteBytes(Dir.File("PRINT.TXT"), Lines({StockLine("6", "1", "1")}));
    try {
        ReadStockReport(state, Goods, Dir.File("PRINT.TXT"), Host);
        ADD_FAILURE() << "the mismatch was not reported";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(),
                     "Ошибка при поиске записи: значение 5 в таблице не совпадает со значением 6 в "
                     "списке IDList");
    }
    ASSERT_EQ(Host.Progress.size(), 1u);
    EXPECT_EQ(Host.Progress[0]->Terminations, 1);
}

}  // namespace
