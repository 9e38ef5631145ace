// Faults that come from the system rather than from a switch: a full disk, folders that are not
// folders or cannot be written, inputs that are folders or missing. Each ends the converter with
// exit code 1 and a clear message, and loses nothing that was there or written before.

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "HardeningSupport.h"
#include "PipelineSupport.h"
#include "dbf/DBF.h"
#include "text/CodePage.h"

namespace {

std::string Barcode(int row) {
    return std::to_string(4600000000000LL + row);
}

class SystemFault : public ::testing::Test {
  protected:
    // n articles with barcodes, every one in stock.
    void WriteInputs(int n) {
        std::vector<std::string> articles, stock;
        for (int i = 1; i <= n; ++i) {
            articles.push_back(ArticleLine84(std::to_string(i), Barcode(i), "3",
                                             AnsiToOemText("Товар " + std::to_string(i))));
            stock.push_back(StockLine(std::to_string(i), "2", "10.5"));
        }
        ArticleBytes = Lines(articles);
        StockBytes = Lines(stock);
        WriteBytes(Work.File("ARTICLE.TXT"), ArticleBytes);
        WriteBytes(Work.File("PRINT.TXT"), StockBytes);
    }

    TProcessResult Convert(std::vector<std::string> arguments, long fileSizeLimit = 0) {
        arguments.push_back("--quiet");
        return RunConverter(arguments, {Work.Path(), fileSizeLimit});
    }

    // The inputs are never touched by a failed run.
    void ExpectInputsKept() {
        EXPECT_EQ(ReadBytes(Work.File("ARTICLE.TXT")), ArticleBytes);
        EXPECT_EQ(ReadBytes(Work.File("PRINT.TXT")), StockBytes);
    }

    TTempDir Work;
    std::string ArticleBytes;
    std::string StockBytes;
};

// The process may write files of at most 60000 bytes: the directory table fills up first, at
// its 424th record, and every record posted before is on disk and readable.
TEST_F(SystemFault, FullDiskKeepsEveryRecordPostedBeforeIt) {
    K2L_SKIP_UNLESS_AVAILABLE(svFileSizeLimit);
    WriteInputs(1000);
    std::filesystem::create_directory(Work.Path() / "out");
    const TProcessResult result = Convert({"--out", "out"}, 60000);
    ASSERT_EQ(result.Exit, 1) << result.Err;
    EXPECT_EQ(result.Err, "Append: Ошибка сохранения записи.\n");

    const std::string directoryPath = Work.File("out/" + std::string(kDirectoryName));
    const std::string receiptPath = Work.File("out/" + std::string(kReceiptName));
    TTableInspection directory = InspectTable(directoryPath, kDirectoryHeader, kDirectoryRecord);
    TTableInspection receipt = InspectTable(receiptPath, kReceiptHeader, kReceiptRecord);
    ASSERT_TRUE(directory.Valid) << directory.Why;
    ASSERT_TRUE(receipt.Valid) << receipt.Why;
    // 257 + 423 x 141 + 1 = 59901 bytes fit; the 424th record does not.
    EXPECT_EQ(directory.Count, 423u);
    EXPECT_EQ(receipt.Count, 423u);
    EXPECT_TRUE(directory.EofAfterRecords || directory.UncountedBlank > 0);
    for (std::size_t r = 0; r < directory.Count; ++r) {
        ASSERT_EQ(directory.Records[r].substr(21, 15), Barcode(static_cast<int>(r) + 1) + "  ")
            << "directory record " << r + 1;
        ASSERT_EQ(receipt.Records[r].substr(21, 15), Barcode(static_cast<int>(r) + 1) + "  ")
            << "receipt record " << r + 1;
    }
    for (const std::string& path : {directoryPath, receiptPath}) {
        TDBF table;
        table.SetTableName(path);
        ASSERT_NO_THROW(table.Open()) << path;
        EXPECT_EQ(table.RecordCount(), 423);
        table.Close();
    }
    ExpectInputsKept();
}

// A limit far past the first megabyte: the tables are large enough to be written the fast way
// (space reserved ahead), and the full disk still stops the export at a record boundary.
TEST_F(SystemFault, FullDiskOfALargeExport) {
    K2L_SKIP_UNLESS_AVAILABLE(svFileSizeLimit);
    WriteInputs(12000);
    std::filesystem::create_directory(Work.Path() / "out");
    const TProcessResult result = Convert({"--out", "out"}, 1500000);
    ASSERT_EQ(result.Exit, 1) << result.Err;
    EXPECT_EQ(result.Err, "Append: Ошибка сохранения записи.\n");

    const std::string directoryPath = Work.File("out/" + std::string(kDirectoryName));
    TTableInspection directory = InspectTable(directoryPath, kDirectoryHeader, kDirectoryRecord);
    ASSERT_TRUE(directory.Valid) << directory.Why;
    // 257 + 10636 x 141 + 1 = 1499934 bytes fit; record 10637 does not.
    EXPECT_EQ(directory.Count, 10636u);
    ASSERT_FALSE(directory.Records.empty());
    EXPECT_EQ(directory.Records.back().substr(21, 15), Barcode(10636) + "  ");
    TTableInspection receipt =
        InspectTable(Work.File("out/" + std::string(kReceiptName)), kReceiptHeader, kReceiptRecord);
    ASSERT_TRUE(receipt.Valid) << receipt.Why;
    EXPECT_EQ(receipt.Count, 10636u);
    ExpectInputsKept();
}

// Too little room even for the header: the header write fails and says so, and the older tables
// stay as they were, with no work file beside them.
TEST_F(SystemFault, FullDiskBeforeTheHeaderIsWritten) {
    K2L_SKIP_UNLESS_AVAILABLE(svFileSizeLimit);
    WriteInputs(3);
    std::filesystem::create_directory(Work.Path() / "out");
    for (const char* table : {kDirectoryName, kReceiptName}) {
        WriteBytes(Work.File("out/" + std::string(table)), std::string("older ") + table);
    }
    const TProcessResult result = Convert({"--out", "out"}, 100);
    EXPECT_EQ(result.Exit, 1);
    EXPECT_EQ(result.Err, "WriteHeader: Ошибка сохранения заголовка файла.\n");
    for (const char* table : {kDirectoryName, kReceiptName}) {
        EXPECT_EQ(ReadBytes(Work.File("out/" + std::string(table))), std::string("older ") + table);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Work.Path() / "out"),
                            std::filesystem::directory_iterator()),
              2);
    ExpectInputsKept();
}

struct TFolderCase {
    const char* Rule;
    std::vector<std::string> Arguments;  // "@" stands for the work folder
    std::string Err;                     // "@" stands for the work folder
    int Exit;
};

void PrintTo(const TFolderCase& c, std::ostream* out) {
    *out << c.Rule;
}

class FolderFault : public SystemFault, public ::testing::WithParamInterface<TFolderCase> {};

std::string Expand(std::string text, const std::string& folder) {
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at))
        text.replace(at, 1, folder), at += folder.size();
    return text;
}

TEST_P(FolderFault, EndsWithAClearMessage) {
    const TFolderCase& c = GetParam();
    WriteInputs(3);
    // A file that stands where a folder should be, and a folder where a file should be.
    WriteBytes(Work.File("plain.txt"), "not a folder");
    std::filesystem::create_directory(Work.Path() / "folder.txt");
    const std::string folder = Work.Path().string();
    std::vector<std::string> arguments;
    for (const std::string& a : c.Arguments) arguments.push_back(Expand(a, folder));

    const TProcessResult result = Convert(arguments);
    EXPECT_EQ(result.Exit, c.Exit);
    EXPECT_EQ(result.Err, Expand(c.Err, folder));
    EXPECT_EQ(ReadBytes(Work.File("plain.txt")), "not a folder");
    ExpectInputsKept();
}

const char* const kStockWarningLine =
    "Внимание! Файл PRINT.TXT не найден, поэтому поля \"Цена\" и \"Остаток\" примут значения по "
    "умолчанию (Цена=1, Остаток=0)\n";

// The converter's line for a table it cannot create at `path`.
std::string CreateFailure(const std::string& path, TSysError error) {
    return "Cannot create file \"" + NativeDelimiters(path) + "\". " + SystemText(error) + ".\n";
}

INSTANTIATE_TEST_SUITE_P(
    EveryFolderFault, FolderFault,
    ::testing::Values(TFolderCase{"OutputFolderIsAFile",
                                  {"--out", "@/plain.txt"},
                                  CreateFailure("@/plain.txt/Справочник.dbf", seFolderIsAFile),
                                  1},
                      TFolderCase{"OutputFolderMissing",
                                  {"--out", "@/missing/deeper"},
                                  CreateFailure("@/missing/deeper/Справочник.dbf", seFolderMissing),
                                  1},
                      TFolderCase{"ArticleListIsAFolder",
                                  {"--article", "folder.txt"},
                                  "Файл folder.txt не найден!\n",
                                  1},
                      TFolderCase{"ArticleListInAMissingFolder",
                                  {"--article", "missing/ARTICLE.TXT"},
                                  "Файл missing/ARTICLE.TXT не найден!\n",
                                  1},
                      TFolderCase{"ArticleListBehindAFile",
                                  {"--article", "plain.txt/ARTICLE.TXT"},
                                  "Файл plain.txt/ARTICLE.TXT не найден!\n",
                                  1},
                      TFolderCase{"StockReportIsAFolderCountsAsMissing",
                                  {"--print", "folder.txt", "--out", "@"},
                                  kStockWarningLine,
                                  0}),
    [](const ::testing::TestParamInfo<TFolderCase>& item) { return item.param.Rule; });

TEST_F(SystemFault, ReadOnlyFolder) {
    K2L_SKIP_UNLESS_AVAILABLE(svReadOnlyFolder)
        << "; the output folder that is a file covers a folder that cannot take the tables";
    WriteInputs(3);
    const std::filesystem::path out = Work.Path() / "readonly";
    std::filesystem::create_directory(out);
    using std::filesystem::perms;
    const perms readable = perms::owner_read | perms::owner_exec | perms::group_read |
                           perms::group_exec | perms::others_read | perms::others_exec;
    std::filesystem::permissions(out, readable);
    const TProcessResult result = Convert({"--out", Utf8Of(out)});
    std::filesystem::permissions(out, readable | perms::owner_write);
    EXPECT_EQ(result.Exit, 1);
    EXPECT_EQ(result.Err, CreateFailure(Utf8Of(out / PathOf(kDirectoryName)), seAccessDenied));
    EXPECT_TRUE(std::filesystem::is_empty(out));
    ExpectInputsKept();
}

}  // namespace
