#include "convert/GoodsChecks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PipelineSupport.h"
#include "convert/ImportRun.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"
#include "text/CodePage.h"

namespace {

// A finding as the tests read it: kind, row, code and the detail line.
std::string Show(const TFinding& f, const TImportRecord& record) {
    return std::string(CheckKindKey(f.Kind)) + " " + std::to_string(f.Row) + " " +
           std::to_string(f.Id) + " " + FindingDetail(f, record);
}

class GoodsChecksTest : public ::testing::Test {
  protected:
    // An import of the given article and stock lines (no stock file when `stock` is null).
    void Import(const std::vector<std::string>& articles,
                const std::vector<std::string>* stock = nullptr) {
        WriteBytes(Dir.File("ARTICLE.TXT"), Lines(articles));
        if (stock) WriteBytes(Dir.File("PRINT.TXT"), Lines(*stock));
        RunImport(ReportsIn(Dir.Path()), Goods, Host, &Record);
    }

    // The findings of one kind as "row id" pairs.
    std::vector<std::string> Rows(TCheckKind kind) const {
        std::vector<TFinding> found;
        CheckKind(kind, Goods, Record, found);
        std::vector<std::string> rows;
        for (const TFinding& f : found) {
            EXPECT_EQ(f.Kind, kind);
            rows.push_back(std::to_string(f.Row) + " " + std::to_string(f.Id));
        }
        return rows;
    }

    std::vector<std::string> All() const {
        std::vector<std::string> shown;
        for (const TFinding& f : CheckGoods(Goods, Record)) shown.push_back(Show(f, Record));
        return shown;
    }

    // Edits one value of `row` as the grid does.
    void Edit(int row, TGoodsField field, const std::string& text) {
        Goods.SetRowNumber(row);
        Goods.EditRow();
        Goods.SetText(field, text);
        Goods.PostRow();
    }

    static std::string Article(int id, const std::string& barcode = "") {
        return ArticleLine84(std::to_string(id), barcode, "3",
                             AnsiToOemText("Товар " + std::to_string(id)));
    }

    TTempDir Dir;
    TGoodsTable Goods;
    TRecordingHost Host;
    TImportRecord Record;
};

using VS = std::vector<std::string>;

TEST_F(GoodsChecksTest, ClosedAndEmptyTablesHaveNoFindings) {
    EXPECT_EQ(All(), VS{});
    Import({"no article here"});
    EXPECT_EQ(Goods.RowCount(), 0);
    // No stock report: defaults for no row, so nothing is set by rule either.
    EXPECT_EQ(All(), VS{});
}

TEST_F(GoodsChecksTest, CleanImportHasNoFindings) {
    const VS stock = {StockLine("1", "5", "10.5"), StockLine("2", "0", "3")};
    Import({Article(1, "4006381333931"), Article(2)}, &stock);
    EXPECT_EQ(All(), VS{});
}

TEST_F(GoodsChecksTest, AllRowsSharingBarcodeAndCodeAreEachFlagged) {
    const VS stock = {StockLine("5", "1", "2")};
    Import({Article(5, "4006381333931"), Article(5, "4006381333931"), Article(5, "4006381333931")},
           &stock);
    EXPECT_EQ(Rows(ckDuplicateBarcode), (VS{"1 5", "2 5", "3 5"}));
    EXPECT_EQ(Rows(ckDuplicateId), (VS{"1 5", "2 5", "3 5"}));
    std::vector<TFinding> found = CheckGoods(Goods, Record);
    std::array<int, kCheckKindCount> counts = CountByKind(found);
    EXPECT_EQ(counts[ckDuplicateBarcode], 3);
    EXPECT_EQ(counts[ckDuplicateId], 3);
    EXPECT_EQ(found.size(), 6u);
    EXPECT_EQ(Show(found[0], Record),
              "duplicate-barcode 1 5 штрих-код у 3 товаров (первый в строке 1): сканер не "
              "различит их");
    EXPECT_EQ(Show(found[3], Record),
              "duplicate-id 1 5 код у 3 строк: остаток и цену из отчета получает эта строка");
    EXPECT_EQ(Show(found[4], Record),
              "duplicate-id 2 5 код у 3 строк: остаток и цену из отчета получила только строка 1");
}

TEST_F(GoodsChecksTest, GeneratedBarcodeEqualToAKelvaOneIsADuplicate) {
    const VS stock = {StockLine("1", "1", "1"), StockLine("2", "1", "1")};
    Import({Article(1, "2220000000002"), Article(2)}, &stock);  // row 2 gets 2220000000001
    EXPECT_EQ(Rows(ckDuplicateBarcode), VS{});
    Import({Article(1), Article(2, "2220000000001")}, &stock);
    EXPECT_EQ(Rows(ckDuplicateBarcode), (VS{"1 1", "2 2"}));
}

TEST_F(GoodsChecksTest, AnEditCreatesAndRemovesADuplicate) {
    const VS stock = {StockLine("1", "1", "1"), StockLine("2", "1", "1"), StockLine("3", "1", "1")};
    Import({Article(1, "4006381333931"), Article(2, "5901234123457"), Article(3)}, &stock);
    EXPECT_EQ(Rows(ckDuplicateBarcode), VS{});
    Edit(3, gfKOD, "5901234123457");
    EXPECT_EQ(Rows(ckDuplicateBarcode), (VS{"2 2", "3 3"}));
    Edit(2, gfKOD, "9780306406157");
    EXPECT_EQ(Rows(ckDuplicateBarcode), VS{});
    // A deleted row takes its duplicate with it; the rows after it move up.
    Edit(1, gfID, "3");
    EXPECT_EQ(Rows(ckDuplicateId), (VS{"1 3", "3 3"}));
    Goods.SetRowNumber(1);
    Goods.DeleteRow();
    EXPECT_EQ(Rows(ckDuplicateId), VS{});
}

TEST_F(GoodsChecksTest, BarcodesAreJudgedAsTheTablesGetThemWithoutTrailingBlanks) {
    const VS stock = {StockLine("1", "1", "1"), StockLine("2", "1", "1"), StockLine("3", "1", "1")};
    Import({Article(1, "4006381333931"), Article(2, "5901234123457"), Article(3, "96385074")},
           &stock);
    // The export drops trailing blanks: typed after a code, they make the same barcode.
    Edit(2, gfKOD, "4006381333931  ");
    EXPECT_EQ(Rows(ckDuplicateBarcode), (VS{"1 1", "2 2"}));
    EXPECT_EQ(Rows(ckCheckDigit), VS{});
    // Blanks alone are no barcode at all; a leading blank stays in the written code.
    Edit(2, gfKOD, "   ");
    Edit(3, gfKOD, " 96385074");
    EXPECT_EQ(Rows(ckDuplicateBarcode), VS{});
    EXPECT_EQ(Rows(ckCheckDigit), VS{"3 3"});
}

TEST_F(GoodsChecksTest, OnlyTheFirstRowOfACodeReceivesTheStockReport) {
    // IDs 7, 9, 7: row 1 receives the line of 7, row 3 keeps empty values.
    const VS stock = {StockLine("7", "-4", "0"), StockLine("9", "2", "5")};
    Import({Article(7, "4006381333931"), Article(9, "5901234123457"), Article(7, "96385074")},
           &stock);
    EXPECT_EQ(Rows(ckDuplicateId), (VS{"1 7", "3 7"}));
    EXPECT_EQ(Rows(ckPriceByRule), VS{"1 7"});
    EXPECT_EQ(Rows(ckStockByRule), VS{"1 7"});
    // The second row of 7 is named by the report: a duplicate, not a missing article.
    EXPECT_EQ(Rows(ckNotInStock), VS{});
    // Its first row deleted, the second becomes the first but never received the values: its
    // empty price and quantity are still reported.
    Goods.SetRowNumber(1);
    Goods.DeleteRow();
    EXPECT_EQ(Rows(ckPriceByRule), VS{});
    EXPECT_EQ(Rows(ckDuplicateId), VS{});
    EXPECT_EQ(Rows(ckNotInStock), VS{"2 7"});
    std::vector<TFinding> found;
    CheckKind(ckNotInStock, Goods, Record, found);
    EXPECT_EQ(Show(found.at(0), Record),
              "not-in-stock 2 7 код есть в отчете об остатках, но цена или остаток этой строки "
              "пусты: пусты и в таблицах");
}

TEST_F(GoodsChecksTest, ACodeChangedAwayLeavesItsLaterRowWithoutTheReportsValues) {
    const VS stock = {StockLine("7", "4", "5"), StockLine("9", "2", "5")};
    Import({Article(7), Article(9), Article(7)}, &stock);
    EXPECT_EQ(Rows(ckNotInStock), VS{});
    // Row 1 keeps the values it received under its new code; row 3 is now the first of 7.
    Edit(1, gfID, "8");
    EXPECT_EQ(Rows(ckDuplicateId), VS{});
    EXPECT_EQ(Rows(ckNotInStock), VS{"3 7"});
    // A row inserted above with the code takes the first place, and the finding with it.
    Goods.SetRowNumber(1);
    Goods.InsertRow();
    Goods.SetText(gfID, "7");
    Goods.PostRow();
    EXPECT_EQ(Rows(ckNotInStock), VS{"1 7"});
    EXPECT_EQ(Rows(ckDuplicateId), (VS{"1 7", "4 7"}));
    // Values typed in settle it.
    Edit(1, gfRPRICE, "5");
    Edit(1, gfOSTATOK, "4");
    EXPECT_EQ(Rows(ckNotInStock), VS{});
}

TEST_F(GoodsChecksTest, ValuesSetByRuleNameTheReportedValueAndGoWhenCorrected) {
    const VS stock = {StockLine("1", "-3", "0"), StockLine("2", "0", "-2"),
                      StockLine("3", "-0.5", "abc"), StockLine("4", "2", "1"),
                      StockLine("5", "0", "0.00005")};
    Import({Article(1), Article(2), Article(3), Article(4), Article(5)}, &stock);
    std::vector<TFinding> found = CheckGoods(Goods, Record);
    VS shown;
    for (const TFinding& f : found) shown.push_back(Show(f, Record));
    // A reported price of exactly 1 and a quantity of 0 are what the report said, not a rule.
    EXPECT_EQ(shown, (VS{"price-by-rule 1 1 цена в отчете 0: установлена 1",
                         "price-by-rule 2 2 цена в отчете -2: установлена 1",
                         "price-by-rule 3 3 цена в отчете 0: установлена 1",
                         "price-by-rule 5 5 цена в отчете 0: установлена 1",
                         "stock-by-rule 1 1 остаток в отчете -3: установлен 0",
                         "stock-by-rule 3 3 остаток в отчете -0.5: установлен 0"}));
    Edit(1, gfRPRICE, "12.5");
    Edit(3, gfOSTATOK, "4");
    EXPECT_EQ(Rows(ckPriceByRule), (VS{"2 2", "3 3", "5 5"}));
    EXPECT_EQ(Rows(ckStockByRule), VS{"1 1"});
}

TEST_F(GoodsChecksTest, LastStockLineOfACodeDecides) {
    const VS stock = {StockLine("1", "-3", "0"), StockLine("1", "2", "4")};
    Import({Article(1)}, &stock);
    EXPECT_EQ(All(), VS{});
}

TEST_F(GoodsChecksTest, WithoutStockReportEveryDefaultPriceIsSetByRule) {
    Import({Article(1), Article(1), Article(2, "4006381333931")});
    EXPECT_EQ(Rows(ckPriceByRule), (VS{"1 1", "2 1", "3 2"}));
    EXPECT_EQ(Rows(ckStockByRule), VS{});
    EXPECT_EQ(Rows(ckNotInStock), VS{});
    EXPECT_EQ(Show(CheckGoods(Goods, Record).back(), Record),
              "price-by-rule 3 2 отчета об остатках нет: цена установлена 1");
}

TEST_F(GoodsChecksTest, ArticlesAndStockLinesTheOtherReportDoesNotName) {
    const VS stock = {"a short line", StockLine("1", "1", "1"), StockLine("40", "1", "1"),
                      StockLine("0", "1", "1"), StockLine("41", "1", "1")};
    Import({Article(1), Article(2), Article(3)}, &stock);
    EXPECT_EQ(Rows(ckNotInStock), (VS{"2 2", "3 3"}));
    EXPECT_EQ(Rows(ckUnknownInStock), (VS{"0 40", "0 41"}));
    std::vector<TFinding> found;
    CheckKind(ckUnknownInStock, Goods, Record, found);
    EXPECT_EQ(Show(found[0], Record),
              "unknown-in-stock 0 40 строка 3 отчета об остатках: товара с этим кодом нет, ее не "
              "загрузят");
    // A price and a quantity typed in make the row loadable; one alone does not.
    Edit(2, gfRPRICE, "3");
    EXPECT_EQ(Rows(ckNotInStock), (VS{"2 2", "3 3"}));
    Edit(2, gfOSTATOK, "1");
    EXPECT_EQ(Rows(ckNotInStock), VS{"3 3"});
    // Rows without a code (added in the grid) are nobody's duplicate and no missing article.
    Goods.SetRowNumber(1);
    Goods.InsertRow();
    Goods.SetText(gfNAME, "новый");
    Goods.PostRow();
    Goods.InsertRow();
    Goods.SetText(gfNAME, "новый");
    Goods.PostRow();
    EXPECT_EQ(Rows(ckNotInStock), VS{"5 3"});
    EXPECT_EQ(Rows(ckDuplicateId), VS{});
}

TEST_F(GoodsChecksTest, KelvaBarcodesScannersWillNotRead) {
    const VS stock = {StockLine("1", "1", "1"), StockLine("2", "1", "1"), StockLine("3", "1", "1"),
                      StockLine("4", "1", "1"), StockLine("5", "1", "1"), StockLine("6", "1", "1"),
                      StockLine("7", "1", "1"), StockLine("8", "1", "1")};
    Import({Article(1, "4006381333932"), Article(2, "96385075"), Article(3, "036000291453"),
            Article(4, "4006381333"), Article(5, "ABC-123"), Article(6), Article(7, "0"),
            Article(8, "4006381333931")},
           &stock);
    std::vector<TFinding> found;
    CheckKind(ckCheckDigit, Goods, Record, found);
    VS shown;
    for (const TFinding& f : found) shown.push_back(Show(f, Record));
    // Row 6's generated code carries no check digit: the generator's, not a KELVA label.
    EXPECT_EQ(
        shown,
        (VS{"check-digit 1 1 неверная контрольная цифра (должна быть 1): сканер его не прочтет",
            "check-digit 2 2 неверная контрольная цифра (должна быть 4): сканер его не прочтет",
            "check-digit 3 3 неверная контрольная цифра (должна быть 2): сканер его не прочтет",
            "check-digit 5 5 штрих-код не только из цифр: сканер его не прочтет"}));
    // The generated code typed over by the operator is checked like any other.
    Edit(6, gfKOD, "2220000000002");
    EXPECT_EQ(Rows(ckCheckDigit), (VS{"1 1", "2 2", "3 3", "5 5", "6 6"}));
    Edit(1, gfKOD, "4006381333931x");
    Edit(1, gfKOD, "5901234123457");
    EXPECT_EQ(Rows(ckCheckDigit), (VS{"2 2", "3 3", "5 5", "6 6"}));
}

TEST_F(GoodsChecksTest, FailedImportLeavesOnlyTheChecksOfTheTableItself) {
    Import({Article(1, "4006381333931"), Article(2, "4006381333931")});
    ASSERT_TRUE(Record.Complete);
    // A stock value beyond the fixed-point range stops the run after the rows exist.
    const VS stock = {StockLine("1", "1E300", "1")};
    WriteBytes(Dir.File("PRINT.TXT"), Lines(stock));
    EXPECT_NE(FailureMessage([&] { RunImport(ReportsIn(Dir.Path()), Goods, Host, &Record); }), "");
    EXPECT_FALSE(Record.Complete);
    EXPECT_EQ(Rows(ckDuplicateBarcode), (VS{"1 1", "2 2"}));
    EXPECT_EQ(Rows(ckNotInStock), VS{});
    EXPECT_EQ(Rows(ckUnknownInStock), VS{});
}

TEST(GoodsChecks, KindNamesAreDistinct) {
    for (int a = 0; a < kCheckKindCount; ++a) {
        for (int b = a + 1; b < kCheckKindCount; ++b) {
            EXPECT_NE(std::string(CheckKindKey(TCheckKind(a))), CheckKindKey(TCheckKind(b)));
            EXPECT_NE(std::string(CheckKindTitle(TCheckKind(a))), CheckKindTitle(TCheckKind(b)));
        }
    }
}

}  // namespace
