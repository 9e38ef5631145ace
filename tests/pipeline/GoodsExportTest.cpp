#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "PipelineSupport.h"
#include "convert/GoodsExport.h"
#include "import/GoodsTable.h"
#include "text/CodePage.h"
#include "text/Defer.h"
#include "text/FileSystem.h"

namespace {

std::string PaddedTo(const std::string& text, std::size_t width) {
    std::string out = text;
    out.resize(width, ' ');
    return out;
}

class GoodsExportTest : public ::testing::Test {
  protected:
    struct TRow {
        int Id = 1;
        std::string Name = "Товар", Kod = "2220000000001", Quantity = "", Price = "1",
                    Category = "1", Nds = "18";
    };

    void Add(const TRow& row) {
        Goods.OpenTable();
        Goods.AppendRow();
        Goods.SetInteger(gfID, row.Id);
        Goods.SetText(gfNAME, row.Name);
        Goods.SetText(gfKOD, row.Kod);
        Goods.SetText(gfOSTATOK, row.Quantity);
        Goods.SetText(gfRPRICE, row.Price);
        Goods.SetText(gfCATEGORY, row.Category);
        Goods.SetText(gfNDS, row.Nds);
        Goods.PostRow();
    }

    std::string Export(const std::string& folder, bool writeId = false) {
        TExportInputs inputs;
        inputs.Folder = folder;
        inputs.WriteID = writeId;
        return FailureMessage([&] { ExportGoods(inputs, Goods, Host); });
    }

    TTempDir Dir;
    TGoodsTable Goods;
    TRecordingHost Host;
};

TEST_F(GoodsExportTest, NothingHappensBeforeAnyImport) {
    EXPECT_EQ(Export(Dir.Path().string()), "Нет данных для сохранения в BDF!");
    EXPECT_TRUE(std::filesystem::is_empty(Dir.Path()));
    EXPECT_TRUE(Host.Progress.empty());
    EXPECT_TRUE(Host.Informations.empty());
}

TEST_F(GoodsExportTest, OpenTableWithoutRowsGivesEmptyTables) {
    Goods.OpenTable();
    EXPECT_EQ(Export(Dir.Path().string()), "");
    TDbfContents directory = ReadDbf(Dir.File(kDirectory));
    TDbfContents receipt = ReadDbf(Dir.File(kReceipt));
    EXPECT_EQ(directory.FileSize, 258u);
    EXPECT_EQ(receipt.FileSize, 226u);
    EXPECT_EQ(directory.HeaderLength, 257);
    EXPECT_EQ(directory.RecordLength, 141);
    EXPECT_EQ(receipt.HeaderLength, 225);
    EXPECT_EQ(receipt.RecordLength, 116);
    EXPECT_EQ(directory.LanguageDriver, 0x26);
    EXPECT_EQ(receipt.LanguageDriver, 0x26);
    EXPECT_EQ(directory.FieldNames, (std::vector<std::string>{"CATEGORY", "KOD", "NAME", "NAME2",
                                                              "ZPRICE", "RPRICE", "NDS"}));
    EXPECT_EQ(receipt.FieldNames,
              (std::vector<std::string>{"CATEGORY", "ID", "NAME", "KOLVO", "ZPRICE", "RPRICE"}));
    EXPECT_EQ(directory.FieldTypes, (std::vector<char>{'C', 'C', 'C', 'C', 'N', 'N', 'N'}));
    EXPECT_EQ(receipt.FieldDecimals, (std::vector<int>{0, 0, 0, 2, 2, 2}));
    EXPECT_EQ(Host.Informations, std::vector<std::string>{"Сообщение|Данные сохранены!"});
    ASSERT_EQ(Host.Progress.size(), 1u);
    EXPECT_EQ(Host.Progress[0]->Caption, "Сохранение в DBF...");
    EXPECT_EQ(Host.Progress[0]->Terminations, 1);
}

TEST_F(GoodsExportTest, RowValuesAreEncodedIntoBothTables) {
    TRow row;
    row.Id = 4711;
    row.Name = "Шоколад Алёнка";
    row.Kod = "4600000000017";
    row.Quantity = "2";
    row.Price = "12.5";
    row.Category = "5";
    row.Nds = "18";
    Add(row);
    EXPECT_EQ(Export(Dir.Path().string()), "");

    TDbfContents directory = ReadDbf(Dir.File(kDirectory));
    ASSERT_EQ(directory.Records.size(), 1u);
    const std::vector<std::string> wantDirectory = {PaddedTo(AnsiToOemText("Группа 5"), 20),
                                                    PaddedTo("4600000000017", 15),
                                                    PaddedTo(AnsiToOemText("Шоколад Алёнка"), 50),
                                                    std::string(30, ' '),
                                                    "     12.50",
                                                    "     12.50",
                                                    "   18"};
    EXPECT_EQ(directory.Records[0], wantDirectory);
    EXPECT_EQ(directory.FileSize, 257u + 141u + 1u);
    EXPECT_TRUE(directory.EndsWithEof);

    TDbfContents receipt = ReadDbf(Dir.File(kReceipt));
    ASSERT_EQ(receipt.Records.size(), 1u);
    const std::vector<std::string> wantReceipt = {PaddedTo(AnsiToOemText("Группа 5"), 20),
                                                  PaddedTo("4600000000017", 15),
                                                  PaddedTo(AnsiToOemText("Шоколад Алёнка"), 50),
                                                  "      2.00",
                                                  "     12.50",
                                                  "     12.50"};
    EXPECT_EQ(receipt.Records[0], wantReceipt);
}

TEST_F(GoodsExportTest, OnlyRowsInStockGetAReceiptRecord) {
    const std::string quantities[] = {"0", "-1", "", "0.00004", "0.0001", "3"};
    int id = 1;
    for (const std::string& quantity : quantities) {
        TRow row;
        row.Id = id++;
        row.Quantity = quantity;
        Add(row);
    }
    EXPECT_EQ(Export(Dir.Path().string()), "");
    EXPECT_EQ(ReadDbf(Dir.File(kDirectory)).Records.size(), 6u);
    TDbfContents receipt = ReadDbf(Dir.File(kReceipt));
    ASSERT_EQ(receipt.Records.size(), 2u);
    EXPECT_EQ(receipt.Records[0][3], "      0.00");  // 0.0001 is in stock, shown rounded
    EXPECT_EQ(receipt.Records[1][3], "      3.00");
}

TEST_F(GoodsExportTest, IdGoesToName2OnlyWhenAsked) {
    TRow row;
    row.Id = 123;
    Add(row);
    EXPECT_EQ(Export(Dir.Path().string(), false), "");
    EXPECT_EQ(ReadDbf(Dir.File(kDirectory)).Records[0][3], std::string(30, ' '));
    EXPECT_EQ(Export(Dir.Path().string(), true), "");
    EXPECT_EQ(ReadDbf(Dir.File(kDirectory)).Records[0][3], PaddedTo("123", 30));
}

TEST_F(GoodsExportTest, EmptyValuesGiveBlankFieldsAndTheBareGroupWord) {
    Goods.OpenTable();
    Goods.AppendRow();
    Goods.SetInteger(gfID, 1);
    Goods.PostRow();
    EXPECT_EQ(Export(Dir.Path().string()), "");
    TDbfContents directory = ReadDbf(Dir.File(kDirectory));
    ASSERT_EQ(directory.Records.size(), 1u);
    EXPECT_EQ(directory.Records[0][0], PaddedTo(AnsiToOemText("Группа"), 20));
    EXPECT_EQ(directory.Records[0][4], std::string(10, ' '));
    EXPECT_EQ(directory.Records[0][6], std::string(5, ' '));
}

TEST_F(GoodsExportTest, ProgressShowsTheRowBeforeItIsWritten) {
    for (int id = 1; id <= 4; ++id) {
        TRow row;
        row.Id = id;
        Add(row);
    }
    EXPECT_EQ(Export(Dir.Path().string()), "");
    ASSERT_EQ(Host.Progress.size(), 1u);
    EXPECT_EQ(Host.Progress[0]->Percents, (std::vector<double>{25, 50, 75, 100}));
}

TEST_F(GoodsExportTest, TooWidePriceNamesTheRecordOfTheTableBeingFilled) {
    // In the directory table the record number is the goods row number.
    for (int id = 1; id <= 3; ++id) {
        TRow row;
        row.Id = id;
        row.Quantity = id == 2 ? "0" : "1";
        row.Price = id == 3 ? "12345678" : "1";
        Add(row);
    }
    EXPECT_EQ(Export(Dir.Path().string()),
              "SetFieldData: Недопустимый размер данных\rРяд: 3, Поле: 5");
    EXPECT_TRUE(Host.Informations.empty());
    ASSERT_EQ(Host.Progress.size(), 1u);
    EXPECT_EQ(Host.Progress[0]->Terminations, 1);
    TDbfContents directory = ReadDbf(Dir.File(kDirectory));
    EXPECT_EQ(directory.RecordCount, 3u);  // the failing row keeps its blank record
    EXPECT_EQ(directory.Records[2][4], std::string(10, ' '));
    EXPECT_EQ(ReadDbf(Dir.File(kReceipt)).RecordCount, 1u);
}

TEST_F(GoodsExportTest, ReceiptRowNumberCountsOnlyRowsInStock) {
    for (int id = 1; id <= 3; ++id) {
        TRow row;
        row.Id = id;
        row.Quantity = id == 1 ? "0" : "1";
        if (id == 3) row.Quantity = "12345678";
        Add(row);
    }
    EXPECT_EQ(Export(Dir.Path().string()),
              "SetFieldData: Недопустимый размер данных\rРяд: 2, Поле: 4");
    EXPECT_EQ(ReadDbf(Dir.File(kDirectory)).RecordCount, 3u);
    EXPECT_EQ(ReadDbf(Dir.File(kReceipt)).RecordCount, 2u);
}

// The delimiter appended is the platform's ("/", "\" on Windows); a trailing "/" is kept on both,
// and a trailing "\" stands for the delimiter on both.
TEST_F(GoodsExportTest, FolderTextsNameTheSameFiles) {
    const std::string delimiter = NativeDelimiters("/");
    EXPECT_EQ(ExportFolderPath("/tmp/out"), "/tmp/out" + delimiter);
    EXPECT_EQ(ExportFolderPath("/tmp/out/"), "/tmp/out/");
    EXPECT_EQ(ExportFolderPath("/tmp/out\\"), "/tmp/out" + delimiter);
    EXPECT_EQ(ExportFolderPath(""), delimiter);
    TRow row;
    Add(row);
    EXPECT_EQ(Export(Dir.Path().string() + "/"), "");
    EXPECT_EQ(ReadDbf(Dir.File(kDirectory)).RecordCount, 1u);
}

TEST_F(GoodsExportTest, ExistingTablesAreReplaced) {
    WriteBytes(Dir.File(kDirectory), std::string(5000, 'x'));
    WriteBytes(Dir.File(kReceipt), std::string(5000, 'x'));
    Goods.OpenTable();
    EXPECT_EQ(Export(Dir.Path().string()), "");
    EXPECT_EQ(std::filesystem::file_size(PathOf(Dir.File(kDirectory))), 258u);
    EXPECT_EQ(std::filesystem::file_size(PathOf(Dir.File(kReceipt))), 226u);
}

TEST_F(GoodsExportTest, MissingFolderFailsWithTheCreationError) {
    Goods.OpenTable();
    const std::string folder = Dir.File("missing");
    EXPECT_EQ(Export(folder), "Cannot create file \"" +
                                  NativeDelimiters(folder + "/" + kDirectory) + "\". " +
                                  SystemText(seFolderMissing));
    EXPECT_TRUE(Host.Progress.empty());
    EXPECT_TRUE(Host.Informations.empty());
}

// Tables written ahead are larger on disk until Close cuts them. When the views resume, the
// progress display has ended and both tables are closed at their final sizes, on success and on
// failure alike.
TEST_F(GoodsExportTest, ViewsResumeAfterTheProgressEndsAndBothTablesClose) {
    struct TCase {
        const char* Name;
        std::string LastPrice;
        std::string Message;
    };
    const TCase cases[] = {
        {"success", "1", ""},
        {"failure", "12345678", "SetFieldData: Недопустимый размер данных\rРяд: 3, Поле: 5"},
    };
    class TResumeWitness : public IGoodsView {
      public:
        void GoodsBeginInsert(int) override {}
        void GoodsEndInsert() override {}
        void GoodsBeginRemove(int) override {}
        void GoodsEndRemove() override {}
        void GoodsRowChanged(int) override {}
        void GoodsCurrentChanged(int) override {}
        void GoodsRefreshAll() override { OnRefresh(); }
        std::function<void()> OnRefresh;
    };
    SetGrowAheadThreshold(1);
    const TDefer restore([] { SetGrowAheadThreshold(0); });
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TGoodsTable goods;
        goods.OpenTable();
        for (int id = 1; id <= 3; ++id) {
            goods.AppendRow();
            goods.SetInteger(gfID, id);
            goods.SetText(gfOSTATOK, "1");
            goods.SetText(gfRPRICE, id == 3 ? c.LastPrice : "1");
            goods.PostRow();
        }
        TTempDir folder;
        TRecordingHost host;
        int refreshes = 0, terminations = -1;
        std::uintmax_t directorySize = 0, receiptSize = 0;
        TResumeWitness witness;
        witness.OnRefresh = [&] {
            ++refreshes;
            terminations = host.Progress.empty() ? -1 : host.Progress[0]->Terminations;
            directorySize = std::filesystem::file_size(PathOf(folder.File(kDirectory)));
            receiptSize = std::filesystem::file_size(PathOf(folder.File(kReceipt)));
        };
        goods.AttachView(&witness);
        TExportInputs inputs;
        inputs.Folder = folder.Path().string();
        EXPECT_EQ(FailureMessage([&] { ExportGoods(inputs, goods, host); }), c.Message);
        goods.DetachView(&witness);

        EXPECT_EQ(refreshes, 1);
        EXPECT_EQ(terminations, 1);
        EXPECT_EQ(directorySize, std::filesystem::file_size(PathOf(folder.File(kDirectory))));
        EXPECT_EQ(receiptSize, std::filesystem::file_size(PathOf(folder.File(kReceipt))));
    }
}

}  // namespace
