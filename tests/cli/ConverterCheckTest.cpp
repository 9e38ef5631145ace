#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PipelineSupport.h"
#include "import/BarCodeDigits.h"
#include "text/CodePage.h"

namespace {

// One summary line per kind.
constexpr std::size_t kSummaryLines = 9;

TProcessResult Convert(const std::filesystem::path& folder, const std::vector<std::string>& args) {
    return RunProcess(K2L_CONVERTER, args, {folder});
}

// A valid EAN-13 barcode made from the article code, so a clean pair has none to flag.
std::string CleanBarcode(long id) {
    std::string digits = std::to_string(460000000000L + id);
    return digits + *EanCheckDigit(digits);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class ConverterCheckTest : public ::testing::Test {
  protected:
    TTempDir Dir;
};

// 100,000 articles, every one clean but for the planted problems; the findings are exactly those.
TEST_F(ConverterCheckTest, EveryPlantedProblemAndNoOtherRowIsReported) {
    constexpr long kArticles = 100000;
    std::string articles, stock;
    articles.reserve(kArticles * 86);
    for (long id = 1; id <= kArticles; ++id) {
        std::string barcode = CleanBarcode(id);
        long code = id;
        if (id == 2000) barcode = CleanBarcode(1000);  // duplicate barcode of 1000
        if (id == 30) barcode[12] = barcode[12] == '9' ? '0' : static_cast<char>(barcode[12] + 1);
        if (id == 40) barcode = "46A0000000040";
        if (id == 50) barcode = "";               // generated: 2220000000017 with --ean13
        if (id == 60) barcode = "2220000000017";  // ... which KELVA already had
        if (id == 5000) code = 4999;              // duplicate article code
        articles += ArticleLine84(std::to_string(code), barcode, "1",
                                  AnsiToOemText("Товар " + std::to_string(id))) +
                    "\r\n";
        // 7000 is not in the stock report; there is no article 5000 to have a line.
        if (id == 7000 || id == 5000) continue;
        std::string quantity = id == 20 ? "-3" : std::to_string(id % 50 + 1);
        std::string price = id == 10 ? "0" : std::to_string(id % 300 + 1) + ".50";
        stock += StockLine(std::to_string(id), quantity, price) + "\r\n";
    }
    stock += StockLine("200001", "1", "1") + "\r\n";  // names no article (line 99999)
    WriteBytes(Dir.File("ARTICLE.TXT"), articles);
    WriteBytes(Dir.File("PRINT.TXT"), stock);

    TProcessResult result = Convert(Dir.Path(), {"--check-only", "--ean13", "--quiet"});
    ASSERT_EQ(result.Exit, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    const std::string b1000 = CleanBarcode(1000), b30 = CleanBarcode(30);
    const std::vector<std::string> want = {
        "Было найдено и обработано 1 наименований товара без штрих-кода. ",
        "duplicate-barcode\t50\t2220000000017\tштрих-код у 2 товаров (первый в строке 50): сканер "
        "не различит их",
        "duplicate-barcode\t60\t2220000000017\tштрих-код у 2 товаров (первый в строке 50): сканер "
        "не различит их",
        "duplicate-barcode\t1000\t" + b1000 +
            "\tштрих-код у 2 товаров (первый в строке 1000): сканер не различит их",
        "duplicate-barcode\t2000\t" + b1000 +
            "\tштрих-код у 2 товаров (первый в строке 1000): сканер не различит их",
        "duplicate-id\t4999\t" + CleanBarcode(4999) +
            "\tкод у 2 строк: остаток и цену из отчета получает эта строка",
        "duplicate-id\t4999\t" + CleanBarcode(5000) +
            "\tкод у 2 строк: остаток и цену из отчета получила только строка 4999",
        "not-in-stock\t7000\t" + CleanBarcode(7000) +
            "\tкода нет в отчете об остатках: цена или остаток пусты в таблицах",
        "unknown-in-stock\t200001\t\tстрока 99999 отчета об остатках: товара с этим кодом нет, ее "
        "не загрузят",
        "price-by-rule\t10\t" + CleanBarcode(10) + "\tцена в отчете 0: установлена 1",
        "stock-by-rule\t20\t" + CleanBarcode(20) + "\tостаток в отчете -3: установлен 0",
        "check-digit\t30\t" + b30.substr(0, 12) + (b30[12] == '9' ? '0' : char(b30[12] + 1)) +
            "\tневерная контрольная цифра (должна быть " + b30.substr(12) +
            "): сканер его не прочтет",
        "check-digit\t40\t46A0000000040\tштрих-код не только из цифр: сканер его не прочтет",
        "summary\tduplicate-barcode\t4",
        "summary\tduplicate-id\t2",
        "summary\tnot-in-stock\t1",
        "summary\tunknown-in-stock\t1",
        "summary\tprice-by-rule\t1",
        "summary\tstock-by-rule\t1",
        "summary\tcheck-digit\t2",
        "summary\treplaced-character\t0",
        "summary\tdoes-not-fit\t0",
    };
    EXPECT_EQ(SplitLines(result.Out), want);
    // Only the check: no table was written.
    EXPECT_FALSE(std::filesystem::exists(Dir.Path() / PathOf("Справочник.dbf")));
    EXPECT_FALSE(std::filesystem::exists(Dir.Path() / PathOf("Приходы.dbf")));
}

// --check prints between the count line and the export's message and changes no byte written.
TEST_F(ConverterCheckTest, CheckThenWritesTheSameTables) {
    WriteBytes(Dir.File("ARTICLE.TXT"),
               Lines({ArticleLine84("1", "", "2", AnsiToOemText("Кофе")),
                      ArticleLine84("1", "4006381333932", "2", AnsiToOemText("Чай"))}));
    WriteBytes(Dir.File("PRINT.TXT"), Lines({StockLine("1", "-1", "0")}));
    std::filesystem::create_directory(Dir.Path() / "plain");
    std::filesystem::create_directory(Dir.Path() / "checked");
    TProcessResult plain = Convert(Dir.Path(), {"--out", "plain", "--quiet"});
    TProcessResult checked = Convert(Dir.Path(), {"--out", "checked", "--check", "--quiet"});
    ASSERT_EQ(plain.Exit, 0) << plain.Err;
    ASSERT_EQ(checked.Exit, 0) << checked.Err;
    std::vector<std::string> lines = SplitLines(checked.Out);
    ASSERT_EQ(lines.size(), 2u + 5u + kSummaryLines);
    EXPECT_EQ(lines.front(), SplitLines(plain.Out).front());
    EXPECT_EQ(lines[1].substr(0, lines[1].find('\t')), "duplicate-id");
    EXPECT_EQ(lines.back(), "Данные сохранены!");
    for (const char* table : {"Справочник.dbf", "Приходы.dbf"}) {
        TDbfContents a = ReadDbf(Dir.File(std::string("plain/") + table));
        TDbfContents b = ReadDbf(Dir.File(std::string("checked/") + table));
        EXPECT_EQ(a.Records, b.Records) << table;
        EXPECT_EQ(a.FileSize, b.FileSize) << table;
    }
}

TEST_F(ConverterCheckTest, CleanReportsPrintOnlyZeroSummaries) {
    WriteBytes(Dir.File("ARTICLE.TXT"),
               Lines({ArticleLine84("1", "4006381333931", "2", AnsiToOemText("Кофе"))}));
    WriteBytes(Dir.File("PRINT.TXT"), Lines({StockLine("1", "1", "5")}));
    TProcessResult result = Convert(Dir.Path(), {"--check-only"});
    ASSERT_EQ(result.Exit, 0) << result.Err;
    std::vector<std::string> lines = SplitLines(result.Out);
    ASSERT_EQ(lines.size(), 1u + kSummaryLines);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, 8), "summary\t");
        EXPECT_EQ(lines[i].substr(lines[i].rfind('\t')), "\t0");
    }
}

// The import's failures keep their exit code; with --check-only too.
TEST_F(ConverterCheckTest, RefusalsKeepTheirExitCodes) {
    WriteBytes(Dir.File("ARTICLE.TXT"),
               Lines({ArticleLine84("1", "", "2", AnsiToOemText("Кофе"))}));
    TProcessResult hex = Convert(Dir.Path(), {"--check-only", "--ean13", "--prefix", "$1F"});
    EXPECT_EQ(hex.Exit, 1);
    EXPECT_EQ(hex.Err, "Для штрих-кодов EAN-13 префикс должен состоять только из цифр!\n");
    EXPECT_EQ(hex.Out, "");
    TProcessResult missing = Convert(Dir.Path(), {"--check", "--article", "NONE.TXT"});
    EXPECT_EQ(missing.Exit, 1);
    EXPECT_EQ(missing.Out, "");
}

}  // namespace
