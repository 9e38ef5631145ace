// Every read and every write of an export of a few rows, and of an import, failed one at a time
// through the file layer's switch: the right message, both tables in the state reached before
// the failure, the progress display ended once, the views resumed, and nothing left locked.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "FileFaultSwitch.h"
#include "HardeningSupport.h"
#include "PipelineSupport.h"
#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"
#include "dbf/DBF.h"
#include "import/ArticleReader.h"
#include "import/GoodsTable.h"
#include "text/CodePage.h"
#include "text/FileSystem.h"
#include "text/TextFile.h"

namespace {

constexpr const char* kWriteHeader = "WriteHeader: Ошибка сохранения заголовка файла";
constexpr const char* kCreateEof = "CreateTable: Ошибка записи EOF";
constexpr const char* kReadHeader = "ReadHeader: Ошибка чтения заголовка файла";
constexpr const char* kCodePage = "CodePage: Ошибка записи в заголовок файла";
constexpr const char* kAppend = "Append: Ошибка сохранения записи";
constexpr const char* kWriteRecord = "WriteRecord: Ошибка сохранения записи";
constexpr const char* kFlush = "Flush: Ошибка записи файла на диск";

// What one table name holds at a moment of the export: the older table, byte for byte, or the
// new one with so many records.
struct TTableModel {
    bool New = false;
    std::uint32_t Counted = 0;  // records the header counts
    std::uint32_t Posted = 0;   // of them, written with their values
    bool Uncounted = false;     // a blank record appended but not yet counted
};

// One file-changing call or read of the export, the message its failure gives, and the state it
// leaves. In messages "{Справочник.dbf}" and "{Приходы.dbf}" stand for a table's full path and
// "{folder}" for the folder's.
struct TFaultCase {
    TFileOp Op;
    long Nth;  // the n-th operation of its kind
    std::string Step;
    std::string Message;
    TTableModel Directory;
    TTableModel Receipt;
    bool ProgressShown;
};

const char* OpName(TFileOp op) {
    static const char* const names[kFileOpCount] = {"Read", "Write",  "Create",
                                                    "Move", "Delete", "Flush"};
    return names[op];
}

void PrintTo(const TFaultCase& c, std::ostream* out) {
    *out << OpName(c.Op) << ' ' << c.Nth << " (" << c.Step << ")";
}

struct TRowSpec {
    int Id;
    const char* Name;
    const char* Kod;
    const char* Quantity;
    const char* Price;
};

// Rows 1 and 3 are in stock, row 2 is not.
const TRowSpec kRows[] = {
    {1, "Кофе 3в1", "4600000000017", "2", "12.5"},
    {2, "Чай чёрный", "2220000000001", "0", "3"},
    {3, "Масло 5W-40", "2220000000002", "1.5", "450"},
};

std::string CreateFailure(const char* table) {
    return std::string("Cannot create file \"{") + table + "}\". " + SystemText(seIoError);
}

// The export's file operations in order: both new tables made under their work names (a
// creation, a header write, the end marker, two header reads when it reopens, the code page
// byte), each moved over its older table and read again there; per record an Append (blank
// record with end marker, then the header count) and the Post; then both tables and the folder
// flushed to the disk. Until the directory table has moved, both older tables stay as they were.
std::vector<TFaultCase> ExportOperations() {
    std::vector<TFaultCase> cases;
    TTableModel directory, receipt;
    bool progress = false;
    long counts[kFileOpCount] = {};
    auto add = [&](TFileOp op, const std::string& step, const std::string& message) {
        cases.push_back({op, ++counts[op], step, message, directory, receipt, progress});
    };
    auto create = [&](const std::string& name, const char* table) {
        add(foCreate, name + "WorkFile", CreateFailure(table));
        add(foWrite, name + "Header", kWriteHeader);
        add(foWrite, name + "Eof", kCreateEof);
        add(foRead, name + "ReopenHeader", kReadHeader);
        add(foRead, name + "ReopenDescriptors", kReadHeader);
        add(foWrite, name + "CodePage", kCodePage);
    };
    auto move = [&](TTableModel& model, const std::string& name, const char* table) {
        add(foMove, name + "Move", CreateFailure(table));
        model.New = true;
        add(foRead, name + "OpenHeader", kReadHeader);
        add(foRead, name + "OpenDescriptors", kReadHeader);
    };
    auto record = [&](TTableModel& table, const std::string& name) {
        add(foWrite, name + "AppendBlank", kAppend);
        table.Uncounted = true;
        add(foWrite, name + "AppendCount", kAppend);
        table.Uncounted = false;
        ++table.Counted;
        add(foWrite, name + "Post", kWriteRecord);
        ++table.Posted;
    };
    create("Directory", kDirectoryName);
    create("Receipt", kReceiptName);
    move(directory, "Directory", kDirectoryName);
    move(receipt, "Receipt", kReceiptName);
    progress = true;
    for (const TRowSpec& row : kRows) {
        const std::string at = "Row" + std::to_string(row.Id);
        record(directory, at + "Directory");
        if (std::string(row.Quantity) != "0") record(receipt, at + "Receipt");
    }
    add(foFlush, "DirectoryFlush",
        kFlush + std::string(" \"{Справочник.dbf}\". ") + SystemText(seIoError));
    add(foFlush, "ReceiptFlush",
        kFlush + std::string(" \"{Приходы.dbf}\". ") + SystemText(seIoError));
    add(foFlush, "FolderFlush",
        std::string("Flush: Ошибка записи папки на диск \"{folder}\". ") + SystemText(seIoError));
    return cases;
}

// Counts the refreshes that resuming the views sends.
class TRefreshCounter final : public IGoodsView {
  public:
    void GoodsBeginInsert(int) override {}
    void GoodsEndInsert() override {}
    void GoodsBeginRemove(int) override {}
    void GoodsEndRemove() override {}
    void GoodsRowChanged(int) override {}
    void GoodsCurrentChanged(int) override {}
    void GoodsRefreshAll() override { ++Refreshes; }
    int Refreshes = 0;
};

class ExportFault : public ::testing::TestWithParam<TFaultCase> {
  protected:
    void SetUp() override {
        ResetFileFaults();
        Goods.OpenTable();
        for (const TRowSpec& row : kRows) {
            Goods.AppendRow();
            Goods.SetInteger(gfID, row.Id);
            Goods.SetText(gfNAME, row.Name);
            Goods.SetText(gfKOD, row.Kod);
            Goods.SetText(gfOSTATOK, row.Quantity);
            Goods.SetText(gfRPRICE, row.Price);
            Goods.SetInteger(gfCATEGORY, 5);
            Goods.SetInteger(gfNDS, 18);
            Goods.PostRow();
        }
        Goods.AttachView(&View);
    }
    void TearDown() override {
        ResetFileFaults();
        Goods.DetachView(&View);
    }

    // The message of the export's failure; "" when it succeeded.
    std::string Export(const TTempDir& folder, TRecordingHost& host, bool writeId = false) {
        TExportInputs inputs;
        inputs.Folder = folder.Path().string();
        inputs.WriteID = writeId;
        try {
            ExportGoods(inputs, Goods, host);
        } catch (const ED& error) {
            return error.what();
        } catch (const EFCreateError& error) {
            return error.what();
        } catch (const std::exception& error) {
            return std::string("neither ED nor EFCreateError: ") + error.what();
        }
        return "";
    }

    // `message` with the names in braces made the full paths they stand for in `folder`.
    static std::string Filled(std::string message, const TTempDir& folder) {
        const std::string dir = ExportFolderPath(Utf8Of(folder.Path()));
        const std::pair<std::string, std::string> names[] = {
            {"{Справочник.dbf}", ExpandFileName(dir + kDirectoryName)},
            {"{Приходы.dbf}", ExpandFileName(dir + kReceiptName)},
            {"{folder}", ExpandFileName(Utf8Of(folder.Path()))},
        };
        for (const auto& [name, path] : names) {
            if (const std::size_t at = message.find(name); at != std::string::npos) {
                message.replace(at, name.size(), path);
            }
        }
        return message;
    }

    static void ExpectTable(const std::string& path, const TTableModel& model,
                            std::size_t headerLength, std::size_t recordLength,
                            const std::vector<std::string>& reference, const std::string& older) {
        SCOPED_TRACE(path);
        if (!model.New) {
            EXPECT_EQ(ReadBytes(path), older) << "the older table must stay as it was";
            return;
        }
        TTableInspection table = InspectTable(path, headerLength, recordLength);
        ASSERT_TRUE(table.Valid) << table.Why;
        EXPECT_EQ(table.LanguageDriver, 0x26);
        EXPECT_EQ(table.Count, model.Counted);
        EXPECT_EQ(table.EofAfterRecords, !model.Uncounted);
        EXPECT_EQ(table.UncountedBlank, model.Uncounted ? recordLength : 0u);
        ASSERT_EQ(table.Records.size(), model.Counted);
        for (std::size_t r = 0; r < model.Counted; ++r) {
            if (r < model.Posted) {
                EXPECT_EQ(table.Records[r], reference[r]) << "record " << r + 1;
            } else {
                EXPECT_EQ(table.Records[r], std::string(recordLength, ' ')) << "record " << r + 1;
            }
        }
    }

    TGoodsTable Goods;
    TRefreshCounter View;
};

// The clean export makes exactly the operations the cases list, so each case fails the one it
// names; a change of the writer's pattern shows up here first.
TEST_F(ExportFault, CleanRunMakesTheListedOperations) {
    TTempDir folder;
    TRecordingHost host;
    ResetFileFaults();
    ASSERT_EQ(Export(folder, host), "");
    long counts[kFileOpCount] = {};
    for (const TFaultCase& c : ExportOperations()) ++counts[c.Op];
    for (int op = 0; op < kFileOpCount; ++op) {
        EXPECT_EQ(FileOpCount(static_cast<TFileOp>(op)), counts[op]) << OpName(TFileOp(op));
    }
    EXPECT_EQ(host.Informations, std::vector<std::string>{"Сообщение|Данные сохранены!"});
}

TEST_P(ExportFault, FailsWithItsMessageAndLeavesWholeTables) {
    const TFaultCase& c = GetParam();
    TTempDir reference;
    {
        TRecordingHost host;
        ASSERT_EQ(Export(reference, host), "");
    }
    const TTableInspection directoryWant =
        InspectTable(reference.File(kDirectoryName), kDirectoryHeader, kDirectoryRecord);
    const TTableInspection receiptWant =
        InspectTable(reference.File(kReceiptName), kReceiptHeader, kReceiptRecord);

    // The older tables in the folder: an export with the record identifiers, so they differ.
    TTempDir folder;
    {
        TRecordingHost host;
        ASSERT_EQ(Export(folder, host, true), "");
    }
    const std::string olderDirectory = ReadBytes(folder.File(kDirectoryName));
    const std::string olderReceipt = ReadBytes(folder.File(kReceiptName));
    View.Refreshes = 0;

    TRecordingHost host;
    ResetFileFaults();
    SetFileFault(c.Op, c.Nth);
    const std::string message = Export(folder, host);
    ResetFileFaults();

    EXPECT_EQ(message, Filled(c.Message, folder));
    EXPECT_TRUE(host.Informations.empty());
    ASSERT_EQ(host.Progress.size(), c.ProgressShown ? 1u : 0u);
    if (c.ProgressShown) {
        EXPECT_EQ(host.Progress[0]->Terminations, 1);
    }
    EXPECT_EQ(View.Refreshes, 1) << "the views are resumed once";
    EXPECT_EQ(Goods.State(), gsBrowse);

    ExpectTable(folder.File(kDirectoryName), c.Directory, kDirectoryHeader, kDirectoryRecord,
                directoryWant.Records, olderDirectory);
    ExpectTable(folder.File(kReceiptName), c.Receipt, kReceiptHeader, kReceiptRecord,
                receiptWant.Records, olderReceipt);
    // A failure leaves no work file behind.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        names.push_back(Utf8Of(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{kReceiptName, kDirectoryName}));

    // Nothing stays open or locked: the next export over the same files succeeds in full.
    TRecordingHost again;
    ASSERT_EQ(Export(folder, again), "");
    EXPECT_EQ(ReadBytes(folder.File(kDirectoryName)), ReadBytes(reference.File(kDirectoryName)));
    EXPECT_EQ(ReadBytes(folder.File(kReceiptName)), ReadBytes(reference.File(kReceiptName)));
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, ExportFault, ::testing::ValuesIn(ExportOperations()),
                         [](const ::testing::TestParamInfo<TFaultCase>& item) {
                             return OpName(item.param.Op) + std::to_string(item.param.Nth) + "_" +
                                    item.param.Step;
                         });

// Tables written ahead through a mapping are cut to their size as they are flushed, and that cut
// can fail. Whichever table's cut fails, the failure is reported instead of success, the
// clean-up still closes both tables (whose close cuts again) and resumes the views.
class ExportCutFault : public ExportFault {
  protected:
    void SetUp() override {
        ExportFault::SetUp();
        SetGrowAheadThreshold(1);
    }
    void TearDown() override {
        SetGrowAheadThreshold(0);
        ExportFault::TearDown();
    }
};

TEST_F(ExportCutFault, AFailedCutIsReportedAndBothTablesStillCloseWhole) {
    TTempDir reference;
    TRecordingHost clean;
    ResetFileFaults();
    ASSERT_EQ(Export(reference, clean), "");
    // The directory table is flushed first; each flush cuts once.
    const long writes = FileOpCount(foWrite);
    const struct {
        long Write;
        const char* Failed;
    } cases[] = {{writes - 1, kDirectoryName}, {writes, kReceiptName}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Failed);
        TTempDir folder;
        TRecordingHost host;
        View.Refreshes = 0;
        ResetFileFaults();
        SetFileFault(foWrite, c.Write);
        EXPECT_EQ(Export(folder, host),
                  Filled(kFlush + std::string(" \"{") + c.Failed + "}\". " + SystemText(seIoError),
                         folder));
        ResetFileFaults();
        EXPECT_TRUE(host.Informations.empty());
        ASSERT_EQ(host.Progress.size(), 1u);
        EXPECT_EQ(host.Progress[0]->Terminations, 1);
        EXPECT_EQ(View.Refreshes, 1) << "the views are resumed once";
        for (const char* table : {kDirectoryName, kReceiptName}) {
            EXPECT_EQ(ReadBytes(folder.File(table)), ReadBytes(reference.File(table))) << table;
        }
    }
}

// The import's reads failed one at a time: the article list and the stock report each report
// "Cannot open file" with the full path and the system's text; the rows read before stay, the
// count and the results stay hidden, and no progress display is left running.
class ImportReadFault : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFileFaults();
        Inputs = ReportsIn(Dir.Path());
        WriteBytes(Inputs.ArticleFile,
                   Lines({ArticleLine84("1", "", "2", AnsiToOemText("Кофе")),
                          ArticleLine84("2", "4600000000017", "2", AnsiToOemText("Чай"))}));
        WriteBytes(Inputs.PrintFile,
                   Lines({StockLine("1", "5", "12.5"), StockLine("2", "1", "3")}));
    }
    void TearDown() override { ResetFileFaults(); }

    std::string Import(TRecordingHost& host) {
        return FailureMessage([&] { RunImport(Inputs, Goods, host); });
    }

    TTempDir Dir;
    TImportInputs Inputs;
    TGoodsTable Goods;
};

TEST_F(ImportReadFault, EveryReadFailsWithTheFileItWasReading) {
    // How many reads each file takes, from a clean run.
    TLineList probe;
    ResetFileFaults();
    probe.LoadFromFile(Inputs.ArticleFile);
    const long articleReads = FileOpCount(foRead);
    TRecordingHost clean;
    ResetFileFaults();
    ASSERT_EQ(Import(clean), "");
    const long allReads = FileOpCount(foRead);
    ASSERT_GT(articleReads, 0);
    ASSERT_GT(allReads, articleReads);

    for (long n = 1; n <= allReads; ++n) {
        SCOPED_TRACE("read " + std::to_string(n));
        const bool inArticle = n <= articleReads;
        TRecordingHost host;
        ResetFileFaults();
        SetFileFault(foRead, n);
        const std::string message = Import(host);
        ResetFileFaults();
        const std::string file = inArticle ? Inputs.ArticleFile : Inputs.PrintFile;
        EXPECT_EQ(message,
                  "Cannot open file \"" + ExpandFileName(file) + "\". " + SystemText(seIoError));
        EXPECT_FALSE(host.CountVisible);
        EXPECT_EQ(host.ResultsShown, 0);
        EXPECT_TRUE(host.Progress.empty()) << "the stock report fails before its display";
        EXPECT_EQ(Goods.RowCount(), inArticle ? 0 : 2);
        Goods.MoveFirst();
        while (!Goods.AtEnd()) {
            EXPECT_TRUE(Goods.IsEmpty(gfOSTATOK));
            EXPECT_TRUE(Goods.IsEmpty(gfRPRICE));
            Goods.MoveNext();
        }
    }
}

// The stock report is read while the article list is taken: a failure of that read still comes
// after a failure of the article list.
TEST_F(ImportReadFault, AnArticleListFailureComesBeforeTheStockReportsReadFailure) {
    // Room for one generated barcode only, and two articles without one.
    Inputs.Ean13 = true;
    Inputs.Prefix = "20";
    Inputs.StartValue = "2147483647";
    WriteBytes(Inputs.ArticleFile, Lines({ArticleLine84("1", "", "2", AnsiToOemText("Кофе")),
                                          ArticleLine84("2", "", "2", AnsiToOemText("Чай"))}));
    TLineList probe;
    ResetFileFaults();
    probe.LoadFromFile(Inputs.ArticleFile);
    const long articleReads = FileOpCount(foRead);
    ResetFileFaults();
    SetFileFault(foRead, articleReads + 1);
    TRecordingHost host;
    EXPECT_EQ(Import(host), kBarCodeRangeExhausted);
    EXPECT_EQ(Goods.RowCount(), 1);
}

// An input that disappears after the existence test, before it is read.
class VanishingHost final : public IRunHost {
  public:
    explicit VanishingHost(std::string path) : Path(std::move(path)) {}
    std::unique_ptr<IProgressSink> CreateProgress(const std::string& caption,
                                                  bool percentMode) override {
        return Recorder.CreateProgress(caption, percentMode);
    }
    void ShowWarning(const std::string& c, const std::string& t) override {
        Recorder.ShowWarning(c, t);
    }
    void ShowInformation(const std::string& c, const std::string& t) override {
        Recorder.ShowInformation(c, t);
    }
    // Called after the article list was found and before it is loaded.
    void HideCount() override {
        std::filesystem::remove(PathOf(Path));
        Recorder.HideCount();
    }
    void ShowCount(const std::string& text) override { Recorder.ShowCount(text); }
    void ShowResults() override { Recorder.ShowResults(); }

    std::string Path;
    TRecordingHost Recorder;
};

TEST_F(ImportReadFault, ArticleListVanishingAfterTheExistenceTest) {
    VanishingHost host(Inputs.ArticleFile);
    std::string message;
    try {
        RunImport(Inputs, Goods, host);
    } catch (const std::exception& error) {
        message = error.what();
    }
    EXPECT_EQ(message, "Cannot open file \"" + ExpandFileName(Inputs.ArticleFile) + "\". " +
                           SystemText(seFileMissing));
    EXPECT_EQ(Goods.RowCount(), 0);
    EXPECT_FALSE(host.Recorder.CountVisible);
    EXPECT_EQ(host.Recorder.ResultsShown, 0);
    EXPECT_TRUE(host.Recorder.Warnings.empty());
}

}  // namespace
