#include "import/ArticleReader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "import/GoodsTable.h"
#include "text/CodePage.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Puts `text` (code page 866 bytes) left-aligned into the 1-based columns from..to.
void Put(std::string& line, std::size_t from, std::size_t to, std::string_view text) {
    ASSERT_LE(text.size(), to - from + 1) << text;
    line.replace(from - 1, text.size(), text);
}

// The columns that are not read hold noise, so a column off by one shows.
std::string Line84(std::string_view code, std::string_view barCode, std::string_view group,
                   std::string_view name) {
    std::string line(84, ' ');
    Put(line, 14, 14, "|");
    Put(line, 28, 40, "|x  12.50   |");
    Put(line, 43, 44, "||");
    Put(line, 1, 13, code);
    Put(line, 15, 27, barCode);
    Put(line, 41, 42, group);
    Put(line, 45, 84, AnsiToOemText(name));
    return line;
}

std::string Line87(std::string_view code, std::string_view barCode, std::string_view group,
                   std::string_view name) {
    std::string line(87, ' ');
    Put(line, 14, 15, "||");
    Put(line, 29, 30, "||");
    Put(line, 33, 48, "|x    12.50    |");
    Put(line, 1, 13, code);
    Put(line, 16, 28, barCode);
    Put(line, 31, 32, group);
    Put(line, 49, 87, AnsiToOemText(name));
    return line;
}

ImportState MakeState(std::string_view bytes, std::int32_t counter = 1, std::int32_t nds = 18,
                      std::string prefix = "222") {
    ImportState state;
    state.Prefix = std::move(prefix);
    state.BarCodeCounter = counter;
    state.NdsValue = nds;
    state.Lines.LoadFromBytes(bytes);
    return state;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

// Every row as "ID|NAME|KOD|OSTATOK|RPRICE|CATEGORY|NDS".
std::vector<std::string> Rows(const TGoodsTable& t) {
    std::vector<std::string> rows;
    for (int r = 1; r <= t.RowCount(); ++r) {
        std::string row;
        for (int f = 0; f < kGoodsFieldCount; ++f) {
            if (f != 0) row += '|';
            row += t.AsTextAt(r, TGoodsField(f));
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> Read(ImportState& state) {
    TGoodsTable goods;
    goods.OpenTable();
    ReadArticleList(state, goods);
    EXPECT_EQ(goods.State(), gsBrowse);
    return Rows(goods);
}

std::vector<std::string> ReadLines(const std::vector<std::string>& lines) {
    ImportState state = MakeState(Join(lines));
    return Read(state);
}

struct TBarCodeExample {
    std::string Prefix;
    std::int32_t Counter;
    std::string Result;
};

class BarCodeGenerator : public testing::TestWithParam<TBarCodeExample> {};

TEST_P(BarCodeGenerator, PadsPrefixAndNumberToThirteenCharacters) {
    const TBarCodeExample& c = GetParam();
    ImportState state = MakeState("", c.Counter, 18, c.Prefix);
    state.GeneratedCount = 4;
    EXPECT_EQ(GenerateBarCode(state, ""), c.Result);
    EXPECT_EQ(state.BarCodeCounter, c.Counter + 1);
    EXPECT_EQ(state.GeneratedCount, 5);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, BarCodeGenerator,
    testing::Values(
        TBarCodeExample{"222", 1, "2220000000001"}, TBarCodeExample{"222", 2, "2220000000002"},
        TBarCodeExample{"222", 45, "2220000000045"}, TBarCodeExample{"2", 1, "2000000000001"},
        TBarCodeExample{"0", 0, "0000000000000"},
        TBarCodeExample{"1234567890", 12345, "1234567890123"},
        // the prefix is used as typed, leading zero included
        TBarCodeExample{"0222", 7, "0222000000007"}, TBarCodeExample{"", 5, "0000000000005"},
        // prefix and number of exactly 13 characters: no zero between them
        TBarCodeExample{"222", 1234567890, "2221234567890"},
        // a prefix of 13 or more characters leaves no room for the number
        TBarCodeExample{"12345678901234", 9, "1234567890123"},
        TBarCodeExample{"222", kMax - 1, "2222147483646"}),
    [](const testing::TestParamInfo<TBarCodeExample>& example) {
        const TBarCodeExample& c = example.param;
        return (c.Prefix.empty() ? "NoPrefix" : "Prefix" + c.Prefix) + "Number" +
               std::to_string(c.Counter);
    });

TEST(BarCodeGenerator, NonEmptyTextIsUsedUnchangedAndCountsNothing) {
    for (std::string text : {"0", "4607001771234", "ABC 12", "12345678901234567"}) {
        ImportState state = MakeState("", 3);
        EXPECT_EQ(GenerateBarCode(state, text), text);
        EXPECT_EQ(state.BarCodeCounter, 3);
        EXPECT_EQ(state.GeneratedCount, 0);
    }
}

TEST(BarCodeGenerator, TheLargestNumberIsUsedOnceThenTheRangeIsExhausted) {
    ImportState state = MakeState("", kMax);
    EXPECT_EQ(GenerateBarCode(state, ""), "2222147483647");
    EXPECT_EQ(state.GeneratedCount, 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            GenerateBarCode(state, "");
            ADD_FAILURE() << "no error past the largest number";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "Исчерпан диапазон значений генератора штрих-кода!");
        }
        EXPECT_EQ(state.BarCodeCounter, kMax);
        EXPECT_EQ(state.GeneratedCount, 1);
    }
    // A line with its own barcode needs no number.
    EXPECT_EQ(GenerateBarCode(state, "4600494003012"), "4600494003012");
}

TEST(BarCodeGenerator, NegativeCounterIsRefusedRatherThanWrittenWithASign) {
    ImportState state = MakeState("", -5);
    EXPECT_THROW(GenerateBarCode(state, ""), std::runtime_error);
    EXPECT_EQ(state.GeneratedCount, 0);
}

TEST(ArticleReader, ExhaustedCounterStopsTheReadingAfterTheRowsSoFar) {
    ImportState state =
        MakeState(Join({Line84("1", "", "1", "Один"), Line84("2", "", "1", "Два"),
                        Line84("3", "4607001771234", "1", "Три"), Line84("4", "", "1", "Четыре")}),
                  kMax - 1);
    TGoodsTable goods;
    goods.OpenTable();
    try {
        ReadArticleList(state, goods);
        ADD_FAILURE() << "no error past the largest number";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Исчерпан диапазон значений генератора штрих-кода!");
    }
    EXPECT_EQ(Rows(goods),
              (std::vector<std::string>{"1|Один|2222147483646|||1|18", "2|Два|2222147483647|||1|18",
                                        "3|Три|4607001771234|||1|18"}));
    EXPECT_EQ(state.IDList.Count(), 3u);
    EXPECT_EQ(state.GeneratedCount, 2);
}

TEST(ArticleReader, ReadsBothLayoutsByTheirColumns) {
    // A 40-character name fills columns 45-84; a 39-character one columns 49-87.
    const std::string name40 = "Масло моторное Лукойл 5W-40 4л 12345678ё";
    const std::string name39 = "Шоколад Алёнка 100г ЁЁЁЁЁЁЁЁЁЁЁЁЁЁЁЁЁЁЁ";
    ASSERT_EQ(Utf8Length(name40), 40u);
    ASSERT_EQ(Utf8Length(name39), 39u);
    EXPECT_EQ(ReadLines({Line84("15", "4607001771234", "3", name40),
                         Line87("         1021", "4606272007412", " 5", name39)}),
              (std::vector<std::string>{"15|" + name40 + "|4607001771234|||3|18",
                                        "1021|" + name39 + "|4606272007412|||5|18"}));
}

TEST(ArticleReader, NameIsConvertedFromCodePage866) {
    // "Шоколад Алёнка 100г" as a DOS report holds it.
    std::string line = Line84("7", "", "1", "");
    Put(line, 45, 84, "\x98\xAE\xAA\xAE\xAB\xA0\xA4 \x80\xAB\xF1\xAD\xAA\xA0 100\xA3");
    EXPECT_EQ(ReadLines({line}),
              (std::vector<std::string>{"7|Шоколад Алёнка 100г|2220000000001|||1|18"}));
}

TEST(ArticleReader, BarCodeIsConvertedFromCodePage866) {
    // "АБВ-╬" as a DOS report holds it, in the barcode columns of either layout.
    std::string line84 = Line84("7", "", "1", "Чай");
    Put(line84, 15, 27, "\x80\x81\x82-\xCE");
    std::string line87 = Line87("8", "", "1", "Кофе");
    Put(line87, 16, 28, "\x80\x81\x82-\xCE");
    ImportState state = MakeState(Join({line84, line87}));
    EXPECT_EQ(Read(state), (std::vector<std::string>{"7|Чай|АБВ-╬|||1|18", "8|Кофе|АБВ-╬|||1|18"}));
    EXPECT_EQ(state.GeneratedCount, 0);
}

struct TSkippedLine {
    std::string Why;
    std::string Line;
};

class ArticleReaderSkips : public testing::TestWithParam<TSkippedLine> {};

TEST_P(ArticleReaderSkips, WithoutRowOrNumber) {
    ImportState state = MakeState(Join({GetParam().Line, Line84("9", "", "1", "Контроль")}));
    EXPECT_EQ(Read(state), (std::vector<std::string>{"9|Контроль|2220000000001|||1|18"}));
    EXPECT_EQ(state.IDList.Count(), 1u);
    EXPECT_EQ(state.GeneratedCount, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ArticleReaderSkips,
    testing::Values(
        TSkippedLine{"trailing blank makes 85", Line84("15", "", "1", "Кофе") + " "},
        TSkippedLine{"83 characters", Line84("15", "", "1", "Кофе").substr(0, 83)},
        TSkippedLine{"86 characters", Line87("15", "", "1", "Кофе").substr(0, 86)},
        TSkippedLine{"88 characters", Line87("15", "", "1", "Кофе") + "x"},
        TSkippedLine{"empty line", ""}, TSkippedLine{"code 0", Line84("0", "", "1", "Кофе")},
        TSkippedLine{"code -3", Line84("-3", "", "1", "Кофе")},
        TSkippedLine{"13 digits beyond 32 bits", Line84("9999999999999", "", "1", "Кофе")},
        TSkippedLine{"code one beyond the largest integer", Line87("2147483648", "", "1", "Кофе")},
        TSkippedLine{"code text", Line84("Код", "", "1", "Кофе")},
        TSkippedLine{"empty code", Line84("", "", "1", "Кофе")},
        TSkippedLine{"separator", std::string(84, '-')}),
    [](const testing::TestParamInfo<TSkippedLine>& param) {
        std::string name;
        for (char c : param.param.Why)
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ArticleReader, CodesFollowTheIntegerRule) {
    EXPECT_EQ(ReadLines({Line84("         2147", "1", "1", "А"), Line84("$1F", "2", "1", "Б"),
                         Line84("+5", "3", "1", "В"), Line87("2147483647", "4", "1", "Г")}),
              (std::vector<std::string>{"2147|А|1|||1|18", "31|Б|2|||1|18", "5|В|3|||1|18",
                                        "2147483647|Г|4|||1|18"}));
}

TEST(ArticleReader, GroupDefaultsToOneOnlyWhenNotAnInteger) {
    EXPECT_EQ(ReadLines({Line84("1", "1", "  ", "А"), Line87("2", "2", " 5", "Б"),
                         Line84("3", "3", "0", "В"), Line84("4", "4", "-1", "Г"),
                         Line87("5", "5", "x", "Д"), Line84("6", "6", "07", "Е")}),
              (std::vector<std::string>{"1|А|1|||1|18", "2|Б|2|||5|18", "3|В|3|||0|18",
                                        "4|Г|4|||-1|18", "5|Д|5|||1|18", "6|Е|6|||7|18"}));
}

TEST(ArticleReader, BarCodeTextIsTrimmedOfControlCharactersAndKeptAsIs) {
    std::string tabs = Line84("1", "", "1", "А");
    Put(tabs, 15, 27, "\t \t");
    EXPECT_EQ(ReadLines({tabs, Line84("2", "0", "1", "Б"), Line87("3", "  460 123", "1", "В")}),
              (std::vector<std::string>{"1|А|2220000000001|||1|18", "2|Б|0|||1|18",
                                        "3|В|460 123|||1|18"}));
}

TEST(ArticleReader, LineWithoutNameUsesUpItsNumber) {
    ImportState state = MakeState(Join({Line84("1", "", "1", "Первый"), Line84("2", "", "1", ""),
                                        Line87("3", "", "1", "  \t "), Line84("4", "", "1", "Ч")}));
    EXPECT_EQ(Read(state), (std::vector<std::string>{"1|Первый|2220000000001|||1|18",
                                                     "4|Ч|2220000000004|||1|18"}));
    EXPECT_EQ(state.GeneratedCount, 4);
    EXPECT_EQ(state.BarCodeCounter, 5);
    EXPECT_EQ(state.IDList.Count(), 2u);
}

TEST(ArticleReader, DuplicateCodesGiveTwoRowsAndTheFirstIsFound) {
    ImportState state = MakeState(
        Join({Line84("7", "", "1", "А"), Line84("9", "", "1", "Б"), Line84("7", "", "2", "В")}));
    EXPECT_EQ(Read(state).size(), 3u);
    EXPECT_EQ(state.IDList.Count(), 3u);
    EXPECT_EQ(state.IDList[2], 7);
    EXPECT_EQ(state.IDList.Find(7), std::optional<std::size_t>(0));
    EXPECT_EQ(state.IDList.Find(9), std::optional<std::size_t>(1));
}

TEST(ArticleReader, VatRateZeroLeavesNdsEmpty) {
    for (std::int32_t nds : {0, 18, 100}) {
        ImportState state =
            MakeState(Join({Line84("1", "", "1", "А"), Line87("2", "5", "1", "Б")}), 1, nds);
        TGoodsTable goods;
        goods.OpenTable();
        ReadArticleList(state, goods);
        ASSERT_EQ(goods.RowCount(), 2);
        for (int r = 1; r <= 2; ++r) {
            EXPECT_EQ(goods.IsEmptyAt(r, gfNDS), nds == 0) << nds;
            EXPECT_EQ(goods.AsTextAt(r, gfNDS), nds == 0 ? "" : std::to_string(nds));
            EXPECT_TRUE(goods.IsEmptyAt(r, gfOSTATOK));
            EXPECT_TRUE(goods.IsEmptyAt(r, gfRPRICE));
        }
    }
}

TEST(ArticleReader, MixedFixtureFile) {
    ImportState state = MakeState("");
    state.Lines.LoadFromFile(K2L_TEST_DATA "/import_article_mixed.txt");
    EXPECT_EQ(Read(state), (std::vector<std::string>{
                               "15|Масло моторное Лукойл 5W-40 4л|2220000000001|||1|18",
                               "16|Омыватель стекла -20 5л|4607001771234|||1|18",
                               "17|Кофе 3в1 Нескафе|0|||42|18",
                               "18|Шоколад Алёнка 100г|2220000000002|||5|18",
                               "19|Ёрш для мытья Щёёёёёёёёёёёёёёёёёёёёёёёё|4600494003012|||1|18",
                               "22|ХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХХ|2220000000004|||2|18",
                           }));
    EXPECT_EQ(state.GeneratedCount, 4);
    EXPECT_EQ(state.BarCodeCounter, 5);
}

TEST(ArticleReader, ByteZeroEndsTheFile) {
    ImportState state = MakeState("");
    state.Lines.LoadFromFile(K2L_TEST_DATA "/import_article_zero_byte.txt");
    EXPECT_EQ(Read(state), (std::vector<std::string>{"31|Первый|2220000000001|||1|18",
                                                     "32|Второй|2220000000002|||1|18"}));
    EXPECT_EQ(state.GeneratedCount, 2);
}

TEST(ArticleReader, ExampleArticleListGivesFortyRows) {
    ImportState state = MakeState("");
    state.Lines.LoadFromFile(K2L_TEST_DATA "/../../examples/ARTICLE.TXT");
    std::vector<std::string> rows = Read(state);
    ASSERT_EQ(rows.size(), 40u);
    EXPECT_EQ(rows.front(), "1001|Масло моторное Лукойл 5W-40 4л|4607001771234|||1|18");
    EXPECT_EQ(rows[9], "1021|Шоколад Алёнка 100г|4606272007412|||3|18");
    EXPECT_EQ(rows.back(), "2033|Герметик радиатора 250мл|4650001234567|||11|18");
    // 19 rows without a barcode and one line dropped for its empty name.
    EXPECT_EQ(state.GeneratedCount, 20);
    EXPECT_EQ(rows[2], "1003|Масло трансмиссионное ТАД-17 1л|2220000000001|||1|18");
    EXPECT_EQ(rows[23], "2002|Зажигалка Cricket|2220000000012|||7|18");
}

}  // namespace
