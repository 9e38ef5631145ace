// Inputs nobody should give, from import to the written tables: no crash, no failure reported
// as success, and the tables valid afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "HardeningSupport.h"
#include "PipelineSupport.h"
#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"
#include "import/ArticleReader.h"
#include "import/GoodsTable.h"
#include "text/CodePage.h"
#include "text/FixedPoint.h"

namespace {

const char* const kStockWarning =
    "Внимание!|Файл PRINT.TXT не найден, поэтому поля \"Цена\" и \"Остаток\" примут значения по "
    "умолчанию (Цена=1, Остаток=0)";

class HostileInput : public ::testing::Test {
  protected:
    TImportInputs Inputs() const { return ReportsIn(Dir.Path()); }

    // The import and the export; the message of the first failure, "" when both succeeded.
    std::string Convert(const TImportInputs& inputs) {
        return FailureMessage([&] {
            RunImport(inputs, Goods, Host);
            ExportGoods({Dir.Path().string(), false}, Goods, Host);
        });
    }

    // Both tables are valid; returns the directory table.
    TTableInspection ExpectValidTables() {
        TTableInspection directory =
            InspectTable(Dir.File(kDirectoryName), kDirectoryHeader, kDirectoryRecord);
        TTableInspection receipt =
            InspectTable(Dir.File(kReceiptName), kReceiptHeader, kReceiptRecord);
        EXPECT_TRUE(directory.Valid) << directory.Why;
        EXPECT_TRUE(receipt.Valid) << receipt.Why;
        EXPECT_TRUE(directory.EofAfterRecords);
        EXPECT_TRUE(receipt.EofAfterRecords);
        EXPECT_EQ(directory.Count, static_cast<std::uint32_t>(Goods.RowCount()));
        return directory;
    }

    void ExpectEveryProgressEndedOnce() {
        for (const auto& progress : Host.Progress) EXPECT_EQ(progress->Terminations, 1);
    }

    static std::string Article(int id, const std::string& oemName) {
        return ArticleLine84(std::to_string(id), "", "4", oemName);
    }

    TTempDir Dir;
    TGoodsTable Goods;
    TRecordingHost Host;
};

// 100 MB without a line break between two good lines: the long line is skipped like any line of
// the wrong length, and the lines around it are read.
TEST_F(HostileInput, HundredMegabyteLineBetweenGoodLines) {
    {
        std::ofstream out(Dir.Path() / "ARTICLE.TXT", std::ios::binary);
        out << Article(1, "first") << "\r\n";
        const std::string block(1 << 20, 'A');
        for (int i = 0; i < 100; ++i) out << block;
        out << "\r\n" << Article(2, "second");
    }
    EXPECT_EQ(Convert(Inputs()), "");
    EXPECT_EQ(Goods.RowCount(), 2);
    EXPECT_EQ(Host.Warnings, std::vector<std::string>{kStockWarning});
    ExpectValidTables();
}

// A file of nothing but CR is a million empty lines: no row, and the stock report's progress
// goes through every one of them.
TEST_F(HostileInput, NothingButCarriageReturns) {
    const std::string crs(1000000, '\r');
    WriteBytes(Dir.File("ARTICLE.TXT"), crs);
    WriteBytes(Dir.File("PRINT.TXT"), crs);
    EXPECT_EQ(Convert(Inputs()), "");
    EXPECT_EQ(Goods.RowCount(), 0);
    ASSERT_EQ(Host.Progress.size(), 2u);
    EXPECT_EQ(Host.Progress[0]->Percents.size(), 1000000u);
    EXPECT_EQ(Host.Progress[0]->Percents.back(), 999999 / 1000000.0 * 100);
    ExpectEveryProgressEndedOnce();
    ExpectValidTables();
}

// Random bytes with good lines mixed in: whatever the noise makes of it, the run either
// succeeds with valid tables or stops with one of the messages the rules give.
TEST_F(HostileInput, BinaryNoise) {
    std::mt19937 random(20261207);
    auto noise = [&](std::size_t n) {
        std::string bytes(n, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 255 + 1);  // no byte 0
        return bytes;
    };
    std::string article = noise(1 << 20) + "\r\n" + Article(5, "kept") + "\r\n" + noise(4096);
    std::string stock = noise(1 << 20) + "\r\n" + StockLine("5", "1", "2") + "\r\n" + noise(99);
    WriteBytes(Dir.File("ARTICLE.TXT"), article);
    WriteBytes(Dir.File("PRINT.TXT"), stock);
    const std::string message = Convert(Inputs());
    const bool known = message.empty() || message == kBarCodeRangeExhausted ||
                       message == EInvalidOp::kMessage || message.rfind("SetFieldData: ", 0) == 0;
    EXPECT_TRUE(known) << message;
    ExpectEveryProgressEndedOnce();
    if (message.empty()) {
        bool found = false;
        for (Goods.MoveFirst(); !Goods.AtEnd(); Goods.MoveNext())
            if (Goods.AsInteger(gfID) == 5 && Goods.AsText(gfNAME) == "kept") found = true;
        EXPECT_TRUE(found) << "the good line between the noise was lost";
        ExpectValidTables();
    }
}

// A byte 0 ends the text: first in the article list, nothing is read at all; first in the
// stock report, no row gets stock values.
TEST_F(HostileInput, ZeroAsFirstByte) {
    const std::string good = Lines({Article(1, "one"), Article(2, "two")});
    WriteBytes(Dir.File("ARTICLE.TXT"), std::string(1, '\0') + good);
    WriteBytes(Dir.File("PRINT.TXT"), Lines({StockLine("1", "5", "3")}));
    EXPECT_EQ(Convert(Inputs()), "");
    EXPECT_EQ(Goods.RowCount(), 0);

    WriteBytes(Dir.File("ARTICLE.TXT"), good);
    WriteBytes(Dir.File("PRINT.TXT"), std::string(1, '\0') + Lines({StockLine("1", "5", "3")}));
    EXPECT_EQ(Convert(Inputs()), "");
    ASSERT_EQ(Goods.RowCount(), 2);
    for (Goods.MoveFirst(); !Goods.AtEnd(); Goods.MoveNext()) {
        EXPECT_TRUE(Goods.IsEmpty(gfOSTATOK));
        EXPECT_TRUE(Goods.IsEmpty(gfRPRICE));
    }
    // Stock report and export of each run: the second run's stock report set no percent.
    ASSERT_EQ(Host.Progress.size(), 4u);
    EXPECT_EQ(Host.Progress[2]->Caption, "Обработка справочника из KELAV");
    EXPECT_EQ(Host.Progress[2]->Percents.size(), 0u);
    ExpectEveryProgressEndedOnce();
    TTableInspection directory = ExpectValidTables();
    // An empty price gives a blank N field.
    ASSERT_EQ(directory.Count, 2u);
    EXPECT_EQ(directory.Records[0].substr(1 + 20 + 15 + 50 + 30, 20), std::string(20, ' '));
}

// /dev/zero never ends, but its first byte ends the text.
TEST_F(HostileInput, DevZeroAsArticleList) {
    K2L_SKIP_UNLESS_AVAILABLE(svEndlessDevice);
    TImportInputs inputs = Inputs();
    inputs.ArticleFile = "/dev/zero";
    EXPECT_EQ(Convert(inputs), "");
    EXPECT_EQ(Goods.RowCount(), 0);
    ExpectValidTables();
}

TEST_F(HostileInput, DevZeroAsArticleListThroughTheConverter) {
    K2L_SKIP_UNLESS_AVAILABLE(svEndlessDevice);
    const TProcessResult result =
        RunConverter({"--quiet", "--article", "/dev/zero", "--print", "/dev/zero"}, {Dir.Path()});
    EXPECT_EQ(result.Exit, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    EXPECT_EQ(result.Out,
              "Было найдено и обработано 0 наименований товара без штрих-кода. \n"
              "Данные сохранены!\n");
    TTableInspection directory =
        InspectTable(Dir.File(kDirectoryName), kDirectoryHeader, kDirectoryRecord);
    EXPECT_TRUE(directory.Valid) << directory.Why;
    EXPECT_EQ(directory.Count, 0u);
}

// Names in a code page other than 866, or made of box-drawing characters only, import as
// whatever code page 866 makes of them and reach the table as the very bytes they were.
struct TNameCase {
    const char* Rule;
    std::string Bytes;  // the name as it lies in the article list
};

void PrintTo(const TNameCase& c, std::ostream* out) {
    *out << c.Rule;
}

class ForeignName : public HostileInput, public ::testing::WithParamInterface<TNameCase> {};

TEST_P(ForeignName, ReachesTheTableByteForByte) {
    const std::string& name = GetParam().Bytes;
    ASSERT_LE(name.size(), 40u);
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(9, name)}));
    EXPECT_EQ(Convert(Inputs()), "");
    ASSERT_EQ(Goods.RowCount(), 1);
    Goods.MoveFirst();
    EXPECT_EQ(Goods.AsText(gfNAME), OemToAnsiText(name));
    TTableInspection directory = ExpectValidTables();
    ASSERT_EQ(directory.Count, 1u);
    std::string padded = name;
    padded.resize(50, ' ');
    EXPECT_EQ(directory.Records[0].substr(1 + 20 + 15, 50), padded);
}

std::string BoxDrawing(unsigned char from, unsigned char to) {
    std::string bytes;
    for (unsigned c = from; c <= to; ++c) bytes += static_cast<char>(c);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    EveryOddName, ForeignName,
    ::testing::Values(
        TNameCase{"BoxDrawingFirstHalf", BoxDrawing(0xB0, 0xC7)},
        TNameCase{"BoxDrawingSecondHalf", BoxDrawing(0xC8, 0xDF)},
        TNameCase{"DoubleFrame", "\xC9\xCD\xCD\xCD\xBB\xBA\xBA\xC8\xCD\xCD\xCD\xBC"},
        // "Кофе молотый" in code page 1251.
        TNameCase{"CodePage1251", "\xCA\xEE\xF4\xE5 \xEC\xEE\xEB\xEE\xF2\xFB\xE9"},
        // "Чай чёрный" in UTF-8.
        TNameCase{"Utf8",
                  "\xD0\xA7\xD0\xB0\xD0\xB9 \xD1\x87\xD1\x91\xD1\x80\xD0\xBD\xD1\x8B\xD0\xB9"},
        // Cut by the 40-column name field in the middle of a UTF-8 character.
        TNameCase{"Utf8CutMidCharacter", std::string(39, 'x') + "\xD0"}),
    [](const ::testing::TestParamInfo<TNameCase>& item) { return item.param.Rule; });

}  // namespace
