#include "DbfTestSupport.h"

namespace {

// What runs while the file layer fails its n-th read or write.
enum TStage {
    stCreateTable,
    stOpen,
    stAppend,
    stAppendAfterChange,
    stPost,
    stLast,
    stCodePage,
    stPostOnOldDate
};

struct TFaultCase {
    const char* Rule;
    TStage Stage;
    TFileOp Op;
    long FailAt;
    std::string Message;
    bool ActiveAfter;
    std::int32_t RecordCountAfter;
};

constexpr const char* kReadHeader = "ReadHeader: Ошибка чтения заголовка файла";
constexpr const char* kReadRecord = "ReadRecord: Ошибка чтения записи";

class FileFault : public TDbfTest, public ::testing::WithParamInterface<TFaultCase> {
  protected:
    // Everything the stage needs, done before the fault is switched on.
    void Prepare(TStage stage) {
        Path = Folder.File("fault.dbf");
        if (stage == stPostOnOldDate) {
            Path = CopyFixture(Folder, "dbf_foreign_c9.dbf");
            Table.SetTableName(Path);
            Table.Open();
            Table.SetFieldData(1, "new");
            return;
        }
        Define(Table, ReceiptFields());
        Table.SetTableName(Path);
        if (stage == stCreateTable) return;
        Table.CreateTable();
        Table.Append();
        Table.SetFieldData(2, "first");
        Table.Post();
        if (stage == stOpen) Table.Close();
        if (stage == stLast) Table.Append();
        if (stage == stAppendAfterChange || stage == stPost || stage == stLast) {
            Table.SetFieldData(2, "changed");
        }
    }

    void Run(TStage stage) {
        switch (stage) {
            case stCreateTable:
                Table.CreateTable();
                break;
            case stOpen:
                Table.Open();
                break;
            case stAppend:
            case stAppendAfterChange:
                Table.Append();
                break;
            case stPost:
            case stPostOnOldDate:
                Table.Post();
                break;
            case stLast:
                Table.Last();
                break;
            case stCodePage:
                Table.SetCodePage(cpOEM);
                break;
        }
    }

    TDBF Table;
    std::string Path;
};

TEST_P(FileFault, RaisesItsMessageAndLeavesTheDocumentedState) {
    const TFaultCase& c = GetParam();
    Prepare(c.Stage);
    TBytes before = FileExists(Path) ? ReadBytes(Path) : TBytes();
    ResetFileFaults();
    SetFileFault(c.Op, c.FailAt);
    EXPECT_EQ(EdMessage([&] { Run(c.Stage); }), c.Message);
    ResetFileFaults();
    EXPECT_EQ(Table.Active(), c.ActiveAfter);
    EXPECT_EQ(Table.RecordCount(), c.RecordCountAfter);

    TBytes after = ReadBytes(Path);
    if ((c.Stage == stPost || c.Stage == stLast) && c.Op == foWrite) {
        // The change stays pending and the file keeps the old record.
        EXPECT_TRUE(Table.Modified());
        EXPECT_EQ(after, before);
    }
    if (c.Stage == stLast && c.Op == foRead) {
        // The pending change was written before the read failed.
        EXPECT_FALSE(Table.Modified());
        EXPECT_EQ(Slice(after, 341 + 21, 15), "changed        ");
    }
    if (c.Stage == stCodePage) {
        EXPECT_EQ(after[29], 0x00);
    }
    if (c.Stage == stPostOnOldDate) {
        // The record is not written after a failure, neither when the new date failed first.
        EXPECT_TRUE(Table.Modified());
        EXPECT_EQ(Slice(after, 4, after.size() - 4), Slice(before, 4, before.size() - 4));
        TLocalDate today = LocalDate();
        std::string todayBytes{static_cast<char>(today.Year - 1900), static_cast<char>(today.Month),
                               static_cast<char>(today.Day)};
        EXPECT_EQ(Slice(after, 1, 3), c.FailAt == 1 ? Slice(before, 1, 3) : todayBytes);
    }
    // Whatever failed, the table can still be closed, and a good file opens again.
    if (Table.Active()) Table.Close();
}

INSTANTIATE_TEST_SUITE_P(
    Injected, FileFault,
    ::testing::Values(
        TFaultCase{"CreateTableHeaderWrite", stCreateTable, foWrite, 1,
                   "WriteHeader: Ошибка сохранения заголовка файла", true, 0},
        TFaultCase{"CreateTableEndMarkerWrite", stCreateTable, foWrite, 2,
                   "CreateTable: Ошибка записи EOF", true, 0},
        TFaultCase{"CreateTableHeaderReadBack", stCreateTable, foRead, 1, kReadHeader, true, 0},
        TFaultCase{"CreateTableDescriptorReadBack", stCreateTable, foRead, 2, kReadHeader, true, 0},
        TFaultCase{"OpenHeaderRead", stOpen, foRead, 1, kReadHeader, true, 0},
        TFaultCase{"OpenDescriptorRead", stOpen, foRead, 2, kReadHeader, true, 0},
        TFaultCase{"OpenFileLengthCheck", stOpen, foRead, 3, kReadHeader, true, 0},
        TFaultCase{"OpenFirstRecordRead", stOpen, foRead, 4, kReadRecord, true, 1},
        TFaultCase{"AppendBlankRecordWrite", stAppend, foWrite, 1, kAppend, true, 2},
        TFaultCase{"AppendHeaderWrite", stAppend, foWrite, 2, kAppend, true, 2},
        TFaultCase{"AppendPendingRecordWrite", stAppendAfterChange, foWrite, 3, kAppend, true, 2},
        TFaultCase{"PostRecordWrite", stPost, foWrite, 1, kWriteRecord, true, 1},
        TFaultCase{"LastPendingRecordWrite", stLast, foWrite, 1, kWriteRecord, true, 2},
        TFaultCase{"LastRecordRead", stLast, foRead, 1, kReadRecord, true, 2},
        TFaultCase{"CodePageWrite", stCodePage, foWrite, 1,
                   "CodePage: Ошибка записи в заголовок файла", true, 1},
        TFaultCase{"PostDateWrite", stPostOnOldDate, foWrite, 1, kWriteRecord, true, 1},
        TFaultCase{"PostRecordWriteAfterTheDate", stPostOnOldDate, foWrite, 2, kWriteRecord, true,
                   1}),
    TRuleName());

using FailedWrite = TDbfTest;

TEST_F(FailedWrite, AnAppendThatFailedKeepsItsCountAndTheNextOneContinues) {
    TDBF table;
    Create(table, ReceiptFields(), "again.dbf");
    SetFileFault(foWrite, FileOpCount(foWrite) + 1);
    EXPECT_EQ(EdMessage([&] { table.Append(); }), kAppend);
    ResetFileFaults();
    EXPECT_EQ(table.RecordCount(), 1);
    table.Append();
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.RecNo(), 2);
    TBytes file = ReadBytes(Folder.File("again.dbf"));
    EXPECT_EQ(Slice(file, 4, 4), std::string("\x02\0\0\0", 4));
    EXPECT_EQ(file.size(), 225u + 2 * 116u + 1u);
}

TEST_F(FailedWrite, ACodePageWriteOnAClosedTableIsRefused) {
    TDBF table;
    EXPECT_EQ(EdMessage([&] { table.SetCodePage(cpOEM); }),
              "CodePage: Ошибка записи в заголовок файла");
    EXPECT_EQ(EdMessage([&] { table.Append(); }), kAppend);
    EXPECT_EQ(table.RecordCount(), 0);
}

}  // namespace
