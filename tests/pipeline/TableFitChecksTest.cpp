#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PipelineSupport.h"
#include "convert/GoodsChecks.h"
#include "convert/GoodsExport.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"
#include "text/CodePage.h"

namespace {

std::string SizeError(int row, int field) {
    return "SetFieldData: Недопустимый размер данных\rРяд: " + std::to_string(row) +
           ", Поле: " + std::to_string(field);
}

// One goods row that exports fine, then one column set to the case's text.
struct TFitCase {
    const char* Rule;
    TGoodsField Field;
    std::string Text;
    std::string Refusal;  // what the export says of it; "" when it writes the row
};

class ValuesTheTablesCannotHold : public testing::TestWithParam<TFitCase> {
  protected:
    void SetUp() override {
        Goods.OpenTable();
        Goods.AppendRow();
        Goods.SetText(gfID, "7");
        Goods.SetText(gfNAME, "Товар");
        Goods.SetText(gfKOD, "4600000000017");
        Goods.SetText(gfOSTATOK, "1");
        Goods.SetText(gfRPRICE, "1");
        Goods.SetText(gfCATEGORY, "-2147483648");
        Goods.SetText(gfNDS, "18");
        Goods.SetText(GetParam().Field, GetParam().Text);
        Goods.PostRow();
    }

    TTempDir Dir;
    TGoodsTable Goods;
    TImportRecord Record;
    TRecordingHost Host;
};

// Every value the export refuses is found before it, and every value found is refused.
TEST_P(ValuesTheTablesCannotHold, AreFoundExactlyWhenTheExportRefusesThem) {
    const TFitCase& c = GetParam();
    std::vector<TFinding> found;
    CheckKind(ckDoesNotFit, Goods, Record, found);
    std::vector<TFinding> want;
    if (!c.Refusal.empty()) {
        const std::int64_t length = c.Field == gfKOD ? Utf8Length(c.Text) : 0;
        want.push_back({ckDoesNotFit, 1, 7, c.Field, length});
    }
    EXPECT_EQ(found, want);
    const std::string refusal = FailureMessage([&] {
        ExportGoods({Dir.Path().string(), true}, Goods, Host);
    });
    EXPECT_EQ(refusal, c.Refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, ValuesTheTablesCannotHold,
    testing::Values(
        TFitCase{"barcode of 15 characters fits", gfKOD, "123456789012345", ""},
        TFitCase{"barcode of 16 characters", gfKOD, "1234567890123456", SizeError(1, 2)},
        TFitCase{"trailing blanks are dropped", gfKOD, "123456789012345     ", ""},
        TFitCase{"15 Cyrillic letters are 30 bytes and fit", gfKOD, "АБВГДЕЖЗИКЛМНОП", ""},
        TFitCase{"a thin space written as a blank is dropped too", gfKOD, "123456789012345\u2009",
                 ""},
        TFitCase{"a no-break space is no blank", gfKOD, "123456789012345\u00A0", SizeError(1, 2)},
        TFitCase{"largest price", gfRPRICE, "9999999.99", ""},
        TFitCase{"price of ten million", gfRPRICE, "10000000", SizeError(1, 5)},
        TFitCase{"price that rounds up to ten million", gfRPRICE, "9999999.995", SizeError(1, 5)},
        TFitCase{"smallest negative price", gfRPRICE, "-999999.99", ""},
        TFitCase{"negative price of a million", gfRPRICE, "-1000000", SizeError(1, 5)},
        TFitCase{"price typed with more digits than the field", gfRPRICE, "1.23456789012",
                 SizeError(1, 5)},
        TFitCase{"price in exponent notation", gfRPRICE, "1E7", SizeError(1, 5)},
        TFitCase{"tiny price written in exponent notation is 0.00", gfRPRICE, "0.00001", ""},
        TFitCase{"VAT rate of five digits", gfNDS, "99999", ""},
        TFitCase{"VAT rate of six digits", gfNDS, "100000", SizeError(1, 7)},
        TFitCase{"negative VAT rate of four digits", gfNDS, "-9999", ""},
        TFitCase{"negative VAT rate of five digits", gfNDS, "-10000", SizeError(1, 7)},
        TFitCase{"largest quantity", gfOSTATOK, "9999999.99", ""},
        TFitCase{"quantity of ten million", gfOSTATOK, "10000000", SizeError(1, 4)},
        TFitCase{"negative quantity is never written", gfOSTATOK, "-10000000", ""},
        TFitCase{"quantity beyond the amount range", gfOSTATOK, "1E15",
                 "Invalid floating point operation"},
        TFitCase{"negative quantity beyond the amount range", gfOSTATOK, "-1E15",
                 "Invalid floating point operation"}),
    [](const testing::TestParamInfo<TFitCase>& param) {
        std::string name;
        for (const char c : std::string(param.param.Rule)) name += std::isalnum(c) ? c : '_';
        return name;
    });

// The check names the character and the byte the tables get; the export writes exactly that.
TEST(ReplacedCharacters, AreNamedWithWhatTheTablesGet) {
    TGoodsTable goods;
    goods.OpenTable();
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"4600000000017", "Кофе «Жокей»"},
        {"46–00", "Чай “Липтон”"},
        {"4600000000024", "Ёлка №5 0,5\u00A0л"},
        {"4600000000031", "Сыр 😀"}};
    for (const auto& [kod, name] : rows) {
        goods.AppendRow();
        goods.SetText(gfID, "1");
        goods.SetText(gfKOD, kod);
        goods.SetText(gfNAME, name);
        goods.PostRow();
    }
    TImportRecord record;
    std::vector<TFinding> found;
    CheckKind(ckReplacedCharacter, goods, record, found);
    std::vector<std::string> shown;
    for (const TFinding& f : found)
        shown.push_back(std::to_string(f.Row) + " " + FindingDetail(f, record));
    EXPECT_EQ(shown,
              (std::vector<std::string>{
                  "1 символ ««» в названии станет «\"»", "2 символ «–» в штрих-коде станет «-»",
                  "2 символ «“» в названии станет «\"»", "4 символ «😀» в названии станет «?»"}));

    TTempDir dir;
    TRecordingHost host;
    ASSERT_EQ(FailureMessage([&] { ExportGoods({dir.Path().string()}, goods, host); }), "");
    const TDbfContents directory = ReadDbf(dir.File("Справочник.dbf"));
    ASSERT_EQ(directory.Records.size(), rows.size());
    EXPECT_EQ(directory.Records[1][1].substr(0, 5), "46-00");
    EXPECT_EQ(directory.Records[1][2].substr(0, 12), AnsiToOemText("Чай \"Липтон\""));
    EXPECT_EQ(directory.Records[3][2].substr(0, 5), AnsiToOemText("Сыр ?"));
}

TEST(DoesNotFit, TheDetailNamesTheFieldAndItsWidth) {
    TGoodsTable goods;
    goods.OpenTable();
    goods.AppendRow();
    goods.SetText(gfID, "3");
    goods.SetText(gfKOD, "12345678901234567");
    goods.SetText(gfRPRICE, "12345678");
    goods.SetText(gfNDS, "-18000");
    goods.SetText(gfOSTATOK, "1E20");
    goods.PostRow();
    TImportRecord record;
    std::vector<TFinding> found;
    CheckRowAlone(goods, 1, found);
    std::vector<std::string> shown;
    for (const TFinding& f : found) shown.push_back(FindingDetail(f, record));
    const std::string stops = ": сохранение в DBF прервется на этой строке";
    EXPECT_EQ(shown,
              (std::vector<std::string>{
                  "штрих-код из 17 символов не поместится в поле KOD шириной 15 знаков" + stops,
                  "цена не поместится в поля ZPRICE и RPRICE шириной 10 знаков, из них 2 после "
                  "точки (от -999999.99 до 9999999.99)" +
                      stops,
                  "НДС не поместится в поле NDS шириной 5 знаков (от -9999 до 99999)" + stops,
                  "остаток не поместится в поле KOLVO шириной 10 знаков, из них 2 после точки (от "
                  "-999999.99 до 9999999.99)" +
                      stops}));
    EXPECT_EQ(CountByKind(CheckGoods(goods, record))[ckDoesNotFit], 4);
}

}  // namespace
