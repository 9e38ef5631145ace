#include <filesystem>
#include <fstream>

#include "ChildProcess.h"
#include "DbfTestSupport.h"

// Tables past the grow-ahead threshold: their records are stores into a shared mapping of a file
// reserved ahead. A threshold of one page puts even small test tables on that path.
namespace {

constexpr std::size_t kHeader = 225;  // the receipt table
constexpr std::size_t kRecord = 116;

constexpr const char* kCodePage = "CodePage: Ошибка записи в заголовок файла";
constexpr const char* kCloseCut = "Close: Ошибка сохранения файла";

std::string IdOf(int record) {
    return "ID" + std::to_string(record);
}

// The bytes record `record` (from 1) holds once posted with IdOf(record) in field 2.
std::string PostedRecord(int record) {
    std::string bytes(kRecord, ' ');
    std::string id = IdOf(record);
    bytes.replace(21, id.size(), id);
    return bytes;
}

// ReadBytes of the support header reads byte by byte: too slow for files reserved in MiBs.
TBytes ReadFile(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    TBytes bytes(static_cast<std::size_t>(std::filesystem::file_size(PathOf(path))));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

std::uint32_t CountOf(const TBytes& file) {
    return static_cast<std::uint32_t>(file[4] | file[5] << 8 | file[6] << 16 | file[7] << 24);
}

class GrowAheadTable : public TDbfTest {
  protected:
    void SetUp() override {
        TDbfTest::SetUp();
        SetGrowAheadThreshold(4096);
    }
    void TearDown() override {
        SetGrowAheadThreshold(0);
        TDbfTest::TearDown();
    }

    // Appends and posts records first..last of the pattern above.
    static void Fill(TDBF& table, int first, int last) {
        for (int r = first; r <= last; ++r) {
            table.Append();
            table.SetFieldData(2, IdOf(r));
            table.Post();
        }
    }

    // The table as the file shows it to another reader: its header count covers complete,
    // posted records, and 0x1A follows the last record written.
    static void ExpectValid(const TBytes& file, int posted) {
        ASSERT_GE(file.size(), kHeader + static_cast<std::size_t>(posted) * kRecord + 1);
        EXPECT_EQ(CountOf(file), static_cast<std::uint32_t>(posted));
        for (int r = 1; r <= posted; ++r) {
            ASSERT_EQ(Slice(file, kHeader + (r - 1) * kRecord, kRecord), PostedRecord(r)) << r;
        }
        EXPECT_EQ(file[kHeader + static_cast<std::size_t>(posted) * kRecord], 0x1A);
    }
};

TEST_F(GrowAheadTable, EveryPostIsInTheFileAtOnceAndCloseLeavesTheExactBytes) {
    TDBF table;
    Create(table, ReceiptFields(), "mapped.dbf");
    table.SetCodePage(cpOEM);
    for (int r = 1; r <= 120; r += 30) {
        Fill(table, r, r + 29);
        TBytes file = ReadFile(Folder.File("mapped.dbf"));
        ExpectValid(file, r + 29);
        // A second opener, sharing the file as another program would, reads the same count.
        TDBF reader;
        reader.SetTableName(Folder.File("mapped.dbf"));
        reader.Open();
        EXPECT_EQ(reader.RecordCount(), r + 29);
    }
    table.Close();
    TBytes file = ReadFile(Folder.File("mapped.dbf"));
    EXPECT_EQ(file.size(), kHeader + 120 * kRecord + 1);
    ExpectValid(file, 120);
}

TEST_F(GrowAheadTable, GivesTheSameBytesAsWritingInPlace) {
    TDBF mapped;
    Create(mapped, DirectoryFields(), "mapped.dbf");
    SetGrowAheadThreshold(std::uint64_t{1} << 40);
    TDBF inPlace;
    Create(inPlace, DirectoryFields(), "inplace.dbf");
    for (TDBF* table : {&mapped, &inPlace}) {
        table->SetCodePage(cpOEM);
        for (int r = 1; r <= 200; ++r) {
            table->Append();
            table->SetFieldData(1, "\x83\xe0\xe3\xaf\xaf\xa0 " + std::to_string(r % 7));
            table->SetFieldData(2, "222" + std::to_string(1000000000 + r));
            table->SetFieldData(3, "\x8a\xae\xe4\xa5 " + std::to_string(r));
            table->SetFieldData(6, std::to_string(r) + ".25");
            table->SetFieldData(7, "18");
            if (r % 50 != 0) table->Post();  // every 50th goes out with the next Append
        }
        table->Close();
    }
    TBytes want = ReadFile(Folder.File("inplace.dbf"));
    EXPECT_EQ(want.size(), 257u + 200 * 141u + 1u);
    EXPECT_EQ(ReadFile(Folder.File("mapped.dbf")), want);
}

TEST_F(GrowAheadTable, LastReadsBackARecordFromTheMapping) {
    TDBF table;
    Create(table, ReceiptFields(), "last.dbf");
    Fill(table, 1, 60);
    table.SetFieldData(2, "changed");
    table.Last();
    EXPECT_EQ(table.RecNo(), 60);
    EXPECT_FALSE(table.Modified());
    table.Close();
    EXPECT_EQ(Slice(ReadFile(Folder.File("last.dbf")), kHeader + 59 * kRecord + 21, 7), "changed");
}

TEST_F(GrowAheadTable, AFailedCutAtCloseIsReported) {
    TDBF table;
    Create(table, ReceiptFields(), "cut.dbf");
    Fill(table, 1, 60);
    SetFileFault(foWrite, FileOpCount(foWrite) + 1);
    EXPECT_EQ(EdMessage([&] { table.Close(); }), kCloseCut);
    EXPECT_FALSE(table.Active());
    // What was posted is all there; only the reserved zeros were not cut off.
    TBytes file = ReadFile(Folder.File("cut.dbf"));
    ExpectValid(file, 60);
    EXPECT_GT(file.size(), kHeader + 60 * kRecord + 1);
}

TEST_F(GrowAheadTable, AKilledProcessLosesNothingPosted) {
    // The holder posts 500 records and changes a 501st blank one without posting it.
    const std::string path = Folder.File("killed.dbf");
    TChildProcess holder(K2L_TABLE_HOLDER, {path, "500", "4096"});
    ASSERT_TRUE(holder.Started());
    if (!holder.WaitForOut("ready")) {
        holder.Kill();
        FAIL() << "the holder did not get its table ready: " << holder.Wait().Err;
    }
    holder.Kill();
    ASSERT_TRUE(holder.Wait().Killed);
    TBytes file = ReadFile(path);
    ASSERT_GE(file.size(), kHeader + 501 * kRecord + 1);
    EXPECT_EQ(CountOf(file), 501u);
    for (int r = 1; r <= 500; ++r) {
        ASSERT_EQ(Slice(file, kHeader + (r - 1) * kRecord, kRecord), PostedRecord(r)) << r;
    }
    EXPECT_EQ(Slice(file, kHeader + 500 * kRecord, kRecord), std::string(kRecord, ' '));
    EXPECT_EQ(file[kHeader + 501 * kRecord], 0x1A);
    TDBF reader;
    reader.SetTableName(path);
    reader.Open();
    EXPECT_EQ(reader.RecordCount(), 501);
}

// Every write of a run of records made to fail in turn, growth and cut included: each failure
// raises the message of the operation it hit, and the closed file is a valid table holding
// every record posted before it.
TEST_F(GrowAheadTable, EveryFailedWriteLeavesAValidTableOfThePostedRecords) {
    constexpr int kRecords = 40;  // crosses the threshold near record 34
    long total = 0;
    {
        TDBF table;
        Create(table, ReceiptFields(), "count.dbf");
        ResetFileFaults();
        table.SetCodePage(cpOEM);
        Fill(table, 1, kRecords);
        table.Close();
        total = FileOpCount(foWrite);
    }
    EXPECT_EQ(total, 1 + 3 * kRecords + 2);  // code page, 3 per record, one growth, the cut
    for (long failAt = 1; failAt <= total; ++failAt) {
        SCOPED_TRACE(failAt);
        const std::string path = Folder.File("fault" + std::to_string(failAt) + ".dbf");
        TDBF table;
        Define(table, ReceiptFields());
        table.SetTableName(path);
        table.CreateTable();
        ResetFileFaults();
        SetFileFault(foWrite, failAt);
        std::string message = EdMessage([&] { table.SetCodePage(cpOEM); });
        int posted = 0;
        for (int r = 1; message == "(nothing raised)" && r <= kRecords; ++r) {
            message = EdMessage([&] { table.Append(); });
            if (message != "(nothing raised)") break;
            table.SetFieldData(2, IdOf(r));
            message = EdMessage([&] { table.Post(); });
            if (message == "(nothing raised)") posted = r;
        }
        std::string closing = EdMessage([&] { table.Close(); });
        if (message == "(nothing raised)") {
            EXPECT_EQ(failAt, total);
            EXPECT_EQ(closing, kCloseCut);
            ExpectValid(ReadFile(path), kRecords);
            continue;
        }
        EXPECT_EQ(closing, "(nothing raised)");
        const bool known =
            message == kAppend || message == kWriteRecord || (failAt == 1 && message == kCodePage);
        EXPECT_TRUE(known) << message;
        // The posted records, then at most the blank record of the failing row (counted once its
        // Append completed), then 0x1A, and nothing else.
        TBytes file = ReadFile(path);
        const std::uint32_t count = CountOf(file);
        EXPECT_TRUE(count == static_cast<std::uint32_t>(posted) ||
                    count == static_cast<std::uint32_t>(posted + 1))
            << count;
        for (int r = 1; r <= posted; ++r) {
            ASSERT_EQ(Slice(file, kHeader + (r - 1) * kRecord, kRecord), PostedRecord(r)) << r;
        }
        const std::size_t records = (file.size() - kHeader - 1) / kRecord;
        EXPECT_EQ(file.size(), kHeader + records * kRecord + 1);
        EXPECT_TRUE(records == static_cast<std::size_t>(posted) ||
                    records == static_cast<std::size_t>(posted + 1))
            << records;
        EXPECT_GE(records, count);
        if (records > static_cast<std::size_t>(posted)) {
            EXPECT_EQ(Slice(file, kHeader + records * kRecord - kRecord, kRecord),
                      std::string(kRecord, ' '));
        }
        EXPECT_EQ(file.back(), 0x1A);
    }
}

}  // namespace
