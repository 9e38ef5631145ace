#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PipelineSupport.h"
#include "convert/ImportRun.h"
#include "import/GoodsTable.h"
#include "text/CodePage.h"

namespace {

// Reports long enough to be read in several chunks, on both cores.
constexpr int kArticles = 40000;

std::string Article(int id, bool withBarCode = true) {
    return ArticleLine84(std::to_string(id),
                         withBarCode ? std::to_string(4600000000000LL + id) : "",
                         std::to_string(id % 30 + 1), AnsiToOemText("Товар " + std::to_string(id)));
}

class ChunkedImportTest : public ::testing::Test {
  protected:
    std::string Run(const std::vector<std::string>& articles, const std::vector<std::string>& stock,
                    const std::string& startValue = "1") {
        WriteBytes(Dir.File("ARTICLE.TXT"), Lines(articles));
        WriteBytes(Dir.File("PRINT.TXT"), Lines(stock));
        TImportInputs inputs = ReportsIn(Dir.Path());
        inputs.StartValue = startValue;
        return FailureMessage([&] { RunImport(inputs, Goods, Host); });
    }

    TTempDir Dir;
    TGoodsTable Goods;
    TRecordingHost Host;
};

// Every line lands in its own row in the file's order, the generated barcodes counted in that
// order, and each stock line finds its row, wherever the chunk boundaries fall.
TEST_F(ChunkedImportTest, RowsFollowTheLinesInOrder) {
    std::vector<std::string> articles, stock;
    for (int id = 1; id <= kArticles; ++id) {
        if (id % 1000 == 0) articles.push_back("-----");
        articles.push_back(Article(id, id % 7 != 0));
        if (id % 2 == 0)
            stock.push_back(StockLine(std::to_string(id), std::to_string(id % 90), "2.5"));
    }
    ASSERT_EQ(Run(articles, stock), "");
    ASSERT_EQ(Goods.RowCount(), kArticles);
    int generated = 0;
    for (int id = 1; id <= kArticles; ++id) {
        SCOPED_TRACE(id);
        ASSERT_EQ(Goods.AsIntegerAt(id, gfID), id);
        ASSERT_EQ(Goods.AsIntegerAt(id, gfCATEGORY), id % 30 + 1);
        ASSERT_EQ(Goods.TextViewAt(id, gfNAME), "Товар " + std::to_string(id));
        const std::string kod =
            id % 7 != 0 ? std::to_string(4600000000000LL + id)
                        : "222" + std::string(10 - std::to_string(generated + 1).size(), '0') +
                              std::to_string(generated + 1);
        if (id % 7 == 0) ++generated;
        ASSERT_EQ(Goods.TextViewAt(id, gfKOD), kod);
        ASSERT_EQ(Goods.AsTextAt(id, gfOSTATOK), id % 2 == 0 ? std::to_string(id % 90) : "");
    }
}

// A failure in a late chunk stops the run at its own line: what came before is in the table,
// nothing after it.
TEST_F(ChunkedImportTest, FailureInALateChunkStopsAtItsLine) {
    struct TCase {
        const char* Name;
        int BadLine;
        bool BadArticle;  // the article line has no barcode (else the stock line's amount is huge)
        bool KnownCode;   // the bad stock line names an article of the list
        std::string Message;  // "" where the run succeeds
        int Rows;
    };
    const TCase cases[] = {
        {"amount beyond range", 30000, false, true, "Invalid floating point operation", kArticles},
        {"amount beyond range of an unknown code", 30000, false, false, "", kArticles},
        {"barcode counter exhausted", 30000, true, true,
         "Исчерпан диапазон значений генератора штрих-кода!", 29999},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> articles, stock;
        for (int id = 1; id <= kArticles; ++id) {
            // The counter starts at its largest value: the first generated code uses it up.
            const bool generate = c.BadArticle && (id == 20000 || id == c.BadLine);
            articles.push_back(Article(id, !generate));
            const bool bad = !c.BadArticle && id == c.BadLine;
            const std::string code = bad && !c.KnownCode ? "99999999" : std::to_string(id);
            stock.push_back(StockLine(code, bad ? "1E300" : "3", "2"));
        }
        Host = TRecordingHost();
        EXPECT_EQ(Run(articles, stock, "2147483647"), c.Message);
        ASSERT_EQ(Goods.RowCount(), c.Rows);
        if (c.BadArticle) {
            // The run stopped before the stock report.
            EXPECT_TRUE(Host.Progress.empty());
            continue;
        }
        ASSERT_FALSE(Host.Progress.empty());
        EXPECT_EQ(Host.Progress.back()->Terminations, 1);
        EXPECT_EQ(Goods.AsTextAt(c.BadLine - 1, gfOSTATOK), "3");
        // The bad line's row is untouched either way (an unknown code names no row).
        EXPECT_EQ(Goods.AsTextAt(c.BadLine, gfOSTATOK), "");
        EXPECT_EQ(Goods.AsTextAt(c.BadLine + 1, gfOSTATOK), c.Message.empty() ? "3" : "");
    }
}

}  // namespace
