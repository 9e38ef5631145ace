#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PipelineSupport.h"
#include "convert/ImportRun.h"
#include "import/ArticleReader.h"
#include "import/GoodsTable.h"
#include "import/ImportState.h"
#include "text/CodePage.h"

namespace {

std::string ArticleLine(int id) {
    return ArticleLine84(std::to_string(id), "", "1", AnsiToOemText("Товар"));
}

struct TCodeCase {
    const char* Prefix;
    std::int32_t Counter;
    const char* Want;
};

class Ean13Generator : public ::testing::TestWithParam<TCodeCase> {};

// Published EAN-13 codes split into a prefix and a counter give themselves back.
TEST_P(Ean13Generator, PrefixAndCounterInTwelveDigitsThenTheCheckDigit) {
    ImportState state;
    state.Ean13 = true;
    state.Prefix = GetParam().Prefix;
    state.BarCodeCounter = GetParam().Counter;
    EXPECT_EQ(GenerateBarCode(state, ""), GetParam().Want);
    // (The largest counter cannot advance: the next generation is refused instead.)
    if (GetParam().Counter < 2147483647) {
        EXPECT_EQ(state.BarCodeCounter, GetParam().Counter + 1);
    }
    EXPECT_EQ(state.GeneratedCount, 1);
    // A barcode of the line stays as it is, the counters too.
    EXPECT_EQ(GenerateBarCode(state, "123"), "123");
    EXPECT_EQ(state.GeneratedCount, 1);
}

INSTANTIATE_TEST_SUITE_P(KnownCodes, Ean13Generator,
                         ::testing::Values(TCodeCase{"40063813339", 3, "4006381333931"},
                                           TCodeCase{"59012341234", 5, "5901234123457"},
                                           TCodeCase{"978030640", 615, "9780306406157"},
                                           TCodeCase{"222", 1, "2220000000017"},
                                           TCodeCase{"2", 45, "2000000000459"},
                                           TCodeCase{"0", 0, "0000000000000"},
                                           TCodeCase{"0222", 7, "0222000000075"},
                                           TCodeCase{"2", 2147483647, "2021474836474"}),
                         [](const ::testing::TestParamInfo<TCodeCase>& code) {
                             return "Gives" + std::string(code.param.Want);
                         });

TEST(Ean13Generator, TheCounterRunningOutOfItsDigitsIsTheEndOfTheRange) {
    ImportState state;
    state.Ean13 = true;
    state.Prefix = "40063813339";  // room for one digit
    state.BarCodeCounter = 9;
    EXPECT_EQ(GenerateBarCode(state, ""), "4006381333993");
    EXPECT_EQ(FailureMessage([&] { GenerateBarCode(state, ""); }), kBarCodeRangeExhausted);
    // Nothing moved: the refused code was not made.
    EXPECT_EQ(state.BarCodeCounter, 10);
    EXPECT_EQ(state.GeneratedCount, 1);
}

class Ean13ImportRun : public ::testing::Test {
  protected:
    std::string Message(const std::string& prefix, const std::string& start) {
        TImportInputs inputs = ReportsIn(Dir.Path());
        inputs.Ean13 = true;
        inputs.Prefix = prefix;
        inputs.StartValue = start;
        return FailureMessage([&] { RunImport(inputs, Goods, Host); });
    }

    TTempDir Dir;
    TGoodsTable Goods;
    TRecordingHost Host;
};

TEST_F(Ean13ImportRun, RefusesBeforeAnythingIsRead) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({ArticleLine(1)}));
    struct TCase {
        const char* Prefix;
        const char* Start;
        const char* Want;
    };
    const TCase cases[] = {
        {"$1F", "1", kEan13PrefixNotDigits},  // an integer by the rule, not digits
        {"0x10", "1", kEan13PrefixNotDigits},
        {"+5", "1", kEan13PrefixNotDigits},
        {" 5", "1", kEan13PrefixNotDigits},
        {"2000000000", "100", kEan13NoRoom},  // 10 + 3 digits
        {"2000000000", "99", ""},
        {"2", "$7FFFFFFF", ""},  // 1 + 10 digits
        // A prefix beyond the 32-bit range is refused by the prefix rule first.
        {"222222222222", "0", "Задан недопустимый префикс штрих-кода!"},
        {"222", "1", ""},
    };
    for (const TCase& c : cases) {
        TGoodsTable fresh;
        TImportInputs inputs = ReportsIn(Dir.Path());
        inputs.Ean13 = true;
        inputs.Prefix = c.Prefix;
        inputs.StartValue = c.Start;
        EXPECT_EQ(FailureMessage([&] { RunImport(inputs, fresh, Host); }), c.Want)
            << c.Prefix << " " << c.Start;
        // A refusal leaves the table closed: nothing was read.
        EXPECT_EQ(fresh.IsOpen(), std::string(c.Want).empty()) << c.Prefix;
    }
    // The other checks come first: a bad VAT rate is reported before the prefix.
    TImportInputs inputs = ReportsIn(Dir.Path());
    inputs.Ean13 = true;
    inputs.Prefix = "$1F";
    inputs.NdsValue = "101";
    EXPECT_EQ(FailureMessage([&] { RunImport(inputs, Goods, Host); }),
              "Задано недопустимое значение НДС!");
}

TEST_F(Ean13ImportRun, ExhaustedCounterStopsTheRunWithItsMessage) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({ArticleLine(1), ArticleLine(2), ArticleLine(3)}));
    EXPECT_EQ(Message("2000000000", "98"), kBarCodeRangeExhausted);
    // The codes made before it stay; the run failed, so nothing is counted on the window.
    ASSERT_EQ(Goods.RowCount(), 2);
    EXPECT_EQ(Goods.AsTextAt(1, gfKOD), "2000000000985");
    EXPECT_EQ(Goods.AsTextAt(2, gfKOD), "2000000000992");
    EXPECT_FALSE(Host.CountVisible);
}

TEST_F(Ean13ImportRun, OffByDefaultTheCodesStayPaddedPrefixAndNumber) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({ArticleLine(1), ArticleLine(2)}));
    RunImport(ReportsIn(Dir.Path()), Goods, Host);
    EXPECT_EQ(Goods.AsTextAt(1, gfKOD), "2220000000001");
    EXPECT_EQ(Goods.AsTextAt(2, gfKOD), "2220000000002");
    EXPECT_EQ(Message("222", "1"), "");
    EXPECT_EQ(Goods.AsTextAt(1, gfKOD), "2220000000017");
    EXPECT_EQ(Goods.AsTextAt(2, gfKOD), "2220000000024");
}

}  // namespace
