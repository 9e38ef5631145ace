#include <cerrno>
#include <memory>

#include "DbfTestSupport.h"

namespace {

using TableFile = TDbfTest;

std::string Descriptor(const TBytes& file, int number) {
    return Slice(file, 32 * static_cast<std::size_t>(number), 32);
}

std::string Today() {
    TLocalDate today = LocalDate();
    return std::string{static_cast<char>(today.Year - 1900), static_cast<char>(today.Month),
                       static_cast<char>(today.Day)};
}

TEST_F(TableFile, DirectoryTableHasTheDocumentedGeometry) {
    TDBF table;
    Create(table, DirectoryFields(), "sprav.dbf");
    TBytes file = ReadBytes(Folder.File("sprav.dbf"));
    ASSERT_EQ(file.size(), 258u);
    EXPECT_EQ(file[0], 0x03);
    EXPECT_EQ(Slice(file, 1, 3), Today());
    EXPECT_EQ(Slice(file, 4, 4), std::string(4, '\0'));
    EXPECT_EQ(Slice(file, 8, 4), std::string("\x01\x01\x8d\x00", 4));  // 257, 141
    EXPECT_EQ(Slice(file, 12, 17), std::string(17, '\0'));
    EXPECT_EQ(file[29], 0x00);
    EXPECT_EQ(Slice(file, 30, 2), std::string(2, '\0'));
    EXPECT_EQ(Descriptor(file, 1),
              std::string("CATEGORY\0\0\0C\0\0\0\0\x14\0", 18) + std::string(14, '\0'));
    EXPECT_EQ(Descriptor(file, 5),
              std::string("ZPRICE\0\0\0\0\0N\0\0\0\0\x0a\x02", 18) + std::string(14, '\0'));
    EXPECT_EQ(Descriptor(file, 7),
              std::string("NDS\0\0\0\0\0\0\0\0N\0\0\0\0\x05\0", 18) + std::string(14, '\0'));
    EXPECT_EQ(file[256], 0x0D);
    EXPECT_EQ(file[257], 0x1A);
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(table.FieldCount(), 7);
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(table.RecNo(), 0);
    EXPECT_EQ(table.CodePage(), cpNone);
}

TEST_F(TableFile, ReceiptTableIsHeaderLength225RecordLength116) {
    TDBF table;
    Create(table, ReceiptFields(), "prihod.dbf");
    TBytes file = ReadBytes(Folder.File("prihod.dbf"));
    ASSERT_EQ(file.size(), 226u);
    EXPECT_EQ(Slice(file, 8, 4), std::string("\xe1\x00\x74\x00", 4));  // 225, 116
    EXPECT_EQ(file[224], 0x0D);
    EXPECT_EQ(file[225], 0x1A);
}

struct TCodePageCase {
    const char* Rule;
    TDbfCodePage Value;
    std::uint8_t Byte;
};

class CodePageWrite : public TDbfTest, public ::testing::WithParamInterface<TCodePageCase> {};

TEST_P(CodePageWrite, StoresItsByteAt29AndReadsBackAfterReopen) {
    TDBF table;
    Create(table, DirectoryFields(), "cp.dbf");
    table.SetCodePage(GetParam().Value);
    EXPECT_EQ(ReadBytes(Folder.File("cp.dbf"))[29], GetParam().Byte);
    EXPECT_EQ(table.CodePage(), cpNone);  // the decoded value follows the next header read
    table.Reopen();
    EXPECT_EQ(table.CodePage(), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(EachCodePage, CodePageWrite,
                         ::testing::Values(TCodePageCase{"OemIs26", cpOEM, 0x26},
                                           TCodePageCase{"AnsiIs57", cpANSI, 0x57},
                                           TCodePageCase{"NoneIs00", cpNone, 0x00}),
                         TRuleName());

TEST_F(TableFile, FirstAppendWritesABlankRecordAndTheEndMarker) {
    TDBF table;
    Create(table, DirectoryFields(), "first.dbf");
    table.Append();
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_FALSE(table.Modified());
    TBytes file = ReadBytes(Folder.File("first.dbf"));
    ASSERT_EQ(file.size(), 257u + 141u + 1u);
    EXPECT_EQ(Slice(file, 4, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(Slice(file, 257, 141), std::string(141, ' '));
    EXPECT_EQ(file[398], 0x1A);
}

TEST_F(TableFile, WholeDirectoryTableMatchesTheIndependentlyBuiltFile) {
    {
        TDBF table;
        Create(table, DirectoryFields(), "sprav.dbf");
        table.SetCodePage(cpOEM);
        table.Append();
        const char* first[] = {"\x83\xe0\xe3\xaf\xaf\xa0 5", "2220000000015",
                               "\x8c\xae\xab\xae\xaa\xae 3,2%"};
        for (int i = 0; i < 3; ++i) table.SetFieldData(i + 1, first[i]);
        table.SetFieldData(5, "12.5");
        table.SetFieldData(6, "12.5");
        table.SetFieldData(7, "18");
        table.Post();
        table.Append();
        table.SetFieldData(1, "\x83\xe0\xe3\xaf\xaf\xa0 ");  // the blank after it is dropped
        table.SetFieldData(2, "4601234567890");
        table.SetFieldData(3, std::string(50, '\x9f'));
        table.SetFieldData(4, "17");
        table.SetFieldData(5, "1234567.89");
        table.SetFieldData(6, "0");
        table.SetFieldData(7, "0");
        table.Post();
        table.Close();
    }
    TBytes got = ReadBytes(Folder.File("sprav.dbf"));
    TBytes want = ReadBytes(DataFile("dbf_directory_two_records.dbf"));
    ASSERT_EQ(got.size(), 540u);
    EXPECT_EQ(Slice(got, 1, 3), Today());
    for (std::size_t i = 1; i <= 3; ++i) got[i] = want[i];
    EXPECT_EQ(got, want);
}

TEST_F(TableFile, CreateTableReplacesAnExistingFile) {
    WriteBytes(Folder.File("old.dbf"), TBytes(1000, 0xEE));
    TDBF table;
    Create(table, ReceiptFields(), "old.dbf");
    EXPECT_EQ(ReadBytes(Folder.File("old.dbf")).size(), 226u);
}

TEST_F(TableFile, FieldNamesAreCutToTenUpperCaseLettersAndNotOtherwiseChecked) {
    TDBF table;
    table.AddFieldDefs("abcdefghijkl", fldChar, 3, 0);
    table.AddFieldDefs("", fldChar, 3, 0);
    table.AddFieldDefs("Same_1", fldChar, 3, 0);
    table.AddFieldDefs("SAME_1", fldChar, 3, 0);
    table.SetTableName(Folder.File("names.dbf"));
    table.CreateTable();
    TBytes file = ReadBytes(Folder.File("names.dbf"));
    EXPECT_EQ(table.FieldCount(), 4);
    EXPECT_EQ(Slice(file, 32, 12), std::string("ABCDEFGHIJ\0C", 12));
    EXPECT_EQ(Slice(file, 64, 12), std::string(11, '\0') + "C");
    EXPECT_EQ(Slice(file, 96, 11), std::string("SAME_1\0\0\0\0\0", 11));
    EXPECT_EQ(Slice(file, 128, 11), std::string("SAME_1\0\0\0\0\0", 11));
}

TEST_F(TableFile, LogicalAndDateFieldsGetFixedLengthsAndPrecisionOnlyCountsForNumbers) {
    TDBF table;
    table.AddFieldDefs("L", fldLogical, 7, 3);
    table.AddFieldDefs("D", fldDate, 3, 3);
    table.AddFieldDefs("C", fldChar, 3, 200);
    table.AddFieldDefs("F", fldFloat, 12, 3);
    table.AddFieldDefs("N", fldNumeric, 1, 0);
    table.SetTableName(Folder.File("lengths.dbf"));
    table.CreateTable();
    TBytes file = ReadBytes(Folder.File("lengths.dbf"));
    const char letters[] = "LDCFN";
    const int lengths[] = {1, 8, 3, 12, 1};
    const int decimals[] = {0, 0, 0, 3, 0};
    for (int i = 0; i < 5; ++i) {
        std::size_t at = 32 * static_cast<std::size_t>(i + 1);
        EXPECT_EQ(file[at + 11], letters[i]) << i;
        EXPECT_EQ(file[at + 16], lengths[i]) << i;
        EXPECT_EQ(file[at + 17], decimals[i]) << i;
    }
    EXPECT_EQ(Slice(file, 10, 2), std::string("\x1a\x00", 2));  // 1 + 1 + 8 + 3 + 12 + 1
}

class FieldSizeZero : public TDbfTest, public ::testing::WithParamInterface<TFldType> {};

TEST_P(FieldSizeZero, IsRefusedForEveryTypeAndNotAdded) {
    TDBF table;
    EXPECT_EQ(EdMessage([&] { table.AddFieldDefs("X", GetParam(), 0, 0); }),
              "AddFieldDefs: Недопустимый размер поля");
    EXPECT_EQ(EdMessage([&] {
                  table.SetTableName(Folder.File("zero.dbf"));
                  table.CreateTable();
              }),
              "CreateTable: Не заданы описания полей");
}

std::string TypeName(const ::testing::TestParamInfo<TFldType>& type) {
    const char* const names[] = {"Logical", "Date", "Float", "Numeric", "Char"};
    return names[type.param];
}

INSTANTIATE_TEST_SUITE_P(EachType, FieldSizeZero,
                         ::testing::Values(fldLogical, fldDate, fldFloat, fldNumeric, fldChar),
                         TypeName);

struct TPrecisionCase {
    const char* Rule;
    TFldType Type;
    std::uint8_t Size;
    std::uint8_t Precision;
    bool Accepted;
};

class DecimalCount : public TDbfTest, public ::testing::WithParamInterface<TPrecisionCase> {};

TEST_P(DecimalCount, NeedsTwoPositionsBesideTheDecimals) {
    const TPrecisionCase& c = GetParam();
    TDBF table;
    std::string message = EdMessage([&] { table.AddFieldDefs("X", c.Type, c.Size, c.Precision); });
    EXPECT_EQ(message,
              c.Accepted ? "(nothing raised)" : "AddFieldDefs: Недопустимое значение FldPrecision");
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, DecimalCount,
    ::testing::Values(TPrecisionCase{"NumericTenWithEight", fldNumeric, 10, 8, true},
                      TPrecisionCase{"NumericTenWithNineIsRefused", fldNumeric, 10, 9, false},
                      TPrecisionCase{"FloatTenWithEight", fldFloat, 10, 8, true},
                      TPrecisionCase{"FloatTenWithNineIsRefused", fldFloat, 10, 9, false},
                      TPrecisionCase{"NumericOneWithNone", fldNumeric, 1, 0, true},
                      TPrecisionCase{"NumericTwoWithOneIsRefused", fldNumeric, 2, 1, false},
                      TPrecisionCase{"CharIgnoresIt", fldChar, 2, 200, true}),
    TRuleName());

TEST_F(TableFile, RefusalsOfAnActiveTableChangeNothing) {
    TDBF table;
    Create(table, ReceiptFields(), "active.dbf");
    const std::string name = table.TableName();
    EXPECT_EQ(EdMessage([&] { table.AddFieldDefs("X", fldChar, 1, 0); }),
              "AddFieldDefs: В открытом файле нельзя изменять описания полей");
    EXPECT_EQ(EdMessage([&] { table.CreateTable(); }),
              "CreateTable: Необходимо закрыть открытый файл");
    EXPECT_EQ(EdMessage([&] { table.Open(); }), "Open: Необходимо закрыть открытый файл");
    EXPECT_EQ(EdMessage([&] { table.SetTableName(Folder.File("other.dbf")); }),
              "TableName: Это свойство нельзя изменять, если файл открыт");
    EXPECT_EQ(EdMessage([&] { table.SetExclusive(true); }),
              "Exclusive: Это свойство нельзя изменять, если файл открыт");
    EXPECT_EQ(table.TableName(), name);
    EXPECT_FALSE(table.Exclusive());
    EXPECT_EQ(table.FieldCount(), 6);
    EXPECT_EQ(ReadBytes(name).size(), 226u);
}

TEST_F(TableFile, CreateTableRefusesWhatCannotBeWritten) {
    TDBF table;
    EXPECT_EQ(EdMessage([&] { table.CreateTable(); }), "CreateTable: Необходимо указать имя файла");
    table.SetTableName(Folder.File("t.dbf"));
    EXPECT_EQ(EdMessage([&] { table.CreateTable(); }), "CreateTable: Не заданы описания полей");
    EXPECT_FALSE(FileExists(Folder.File("t.dbf")));
}

TEST_F(TableFile, RecordOf4000BytesIsTheLongestAccepted) {
    TDBF fits;
    for (int i = 0; i < 15; ++i) fits.AddFieldDefs("F", fldChar, 255, 0);
    fits.AddFieldDefs("LAST", fldChar, 174, 0);  // 1 + 15 * 255 + 174 = 4000
    fits.SetTableName(Folder.File("fits.dbf"));
    fits.CreateTable();
    fits.Append();
    fits.SetFieldData(16, std::string(174, 'z'));
    fits.Post();
    TBytes file = ReadBytes(Folder.File("fits.dbf"));
    ASSERT_EQ(file.size(), 545u + 4000u + 1u);
    EXPECT_EQ(Slice(file, 545 + 3826, 174), std::string(174, 'z'));

    TDBF tooLong;
    for (int i = 0; i < 15; ++i) tooLong.AddFieldDefs("F", fldChar, 255, 0);
    tooLong.AddFieldDefs("LAST", fldChar, 175, 0);
    tooLong.SetTableName(Folder.File("long.dbf"));
    EXPECT_EQ(EdMessage([&] { tooLong.CreateTable(); }), "CreateTable: Недопустимая длина записи");
    EXPECT_FALSE(tooLong.Active());
    EXPECT_FALSE(FileExists(Folder.File("long.dbf")));
}

struct TNameCase {
    const char* Rule;
    const char* Name;
    bool Accepted;
};

class TableNameExtension : public TDbfTest, public ::testing::WithParamInterface<TNameCase> {};

TEST_P(TableNameExtension, MustBeDbfInAnyLetterCase) {
    TDBF table;
    table.SetTableName("/kept/before.dbf");
    std::string message = EdMessage([&] { table.SetTableName(GetParam().Name); });
    if (GetParam().Accepted) {
        EXPECT_EQ(message, "(nothing raised)");
        EXPECT_EQ(table.TableName(), GetParam().Name);
    } else {
        EXPECT_EQ(message, "TableName: Недопустимый тип файла");
        EXPECT_EQ(table.TableName(), "/kept/before.dbf");
    }
}

INSTANTIATE_TEST_SUITE_P(Names, TableNameExtension,
                         ::testing::Values(TNameCase{"LowerCase", "a.dbf", true},
                                           TNameCase{"UpperCase", "/x/Справочник.DBF", true},
                                           TNameCase{"MixedCase", "b.DbF", true},
                                           TNameCase{"TxtIsRefused", "c.txt", false},
                                           TNameCase{"NoneIsRefused", "noextension", false},
                                           TNameCase{"OnAFolderIsRefused", "/dir.dbf/file", false},
                                           TNameCase{"NotLastIsRefused", "d.dbf.bak", false},
                                           TNameCase{"EmptyNameIsRefused", "", false},
                                           TNameCase{"ExtensionAlone", ".dbf", true}),
                         TRuleName());

TEST_F(TableFile, OpenOfAMissingFileNamesThePathAsSet) {
    TDBF table;
    table.SetTableName("missing/nowhere.dbf");
    EXPECT_EQ(EdMessage([&] { table.Open(); }), "Open: Не найден файл missing/nowhere.dbf");
    EXPECT_FALSE(table.Active());
}

TEST_F(TableFile, CloseAndLastRefuseWithoutAFileOrRecords) {
    TDBF table;
    EXPECT_EQ(EdMessage([&] { table.Close(); }), "Close: Файл не открыт");
    Create(table, ReceiptFields(), "empty.dbf");
    EXPECT_EQ(EdMessage([&] { table.Last(); }), "Last: В файле нет записей");
    table.Close();
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(table.FieldCount(), 0);
    EXPECT_EQ(EdMessage([&] { table.Close(); }), "Close: Файл не открыт");
    EXPECT_EQ(EdMessage([&] { table.SetFieldData(1, "x"); }),
              "SetFieldData: Неверный номер поля: 1");
}

TEST_F(TableFile, OpenOfATableWithRecordsMakesTheFirstCurrent) {
    std::string path = CopyFixture(Folder, "dbf_foreign_c9.dbf");
    TDBF table;
    table.SetTableName(path);
    table.Open();
    EXPECT_EQ(table.CodePage(), cpNone);
    EXPECT_EQ(table.FieldCount(), 3);
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_FALSE(table.Modified());
    // The record was read: posting it unchanged writes back the same bytes.
    TBytes before = ReadBytes(path);
    table.Post();
    TBytes after = ReadBytes(path);
    EXPECT_EQ(Slice(after, 1, 3), Today());
    EXPECT_EQ(Slice(after, 4, after.size() - 4), Slice(before, 4, before.size() - 4));
}

TEST_F(TableFile, AForeignMemoLikeFieldIsRightAligned) {
    std::string path = CopyFixture(Folder, "dbf_foreign_c9.dbf");
    TDBF table;
    table.SetTableName(path);
    table.Open();
    table.SetFieldData(2, "12");
    table.SetFieldData(3, "no");
    table.Post();
    EXPECT_EQ(Slice(ReadBytes(path), 129 + 11, 11), std::string(8, ' ') + "12F");
}

TEST_F(TableFile, AStoredDateThatIsNoDateRefusesTheRecordWrite) {
    std::string path = CopyFixture(Folder, "dbf_bad_date.dbf");
    TDBF table;
    table.SetTableName(path);
    table.Open();
    table.SetFieldData(1, "new");
    EXPECT_EQ(EdMessage([&] { table.Post(); }), "WriteRecord: Ошибка сохранения записи");
    EXPECT_TRUE(table.Modified());
    EXPECT_EQ(ReadBytes(path), ReadBytes(DataFile("dbf_bad_date.dbf")));
}

TEST_F(TableFile, PostWritesTheCurrentRecordAndOnlyIt) {
    TDBF table;
    Create(table, ReceiptFields(), "post.dbf");
    table.Append();
    table.Append();
    table.SetFieldData(2, "second");
    EXPECT_TRUE(table.Modified());
    table.Post();
    EXPECT_FALSE(table.Modified());
    TBytes file = ReadBytes(Folder.File("post.dbf"));
    ASSERT_EQ(file.size(), 225u + 2 * 116u + 1u);
    EXPECT_EQ(Slice(file, 225, 116), std::string(116, ' '));
    EXPECT_EQ(Slice(file, 341 + 21, 15), "second         ");
    EXPECT_EQ(file.back(), 0x1A);
}

TEST_F(TableFile, AppendWritesTheUnpostedChangeOfThePreviousRecord) {
    TDBF table;
    Create(table, ReceiptFields(), "append.dbf");
    table.Append();
    table.SetFieldData(4, "2");
    table.Append();
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_FALSE(table.Modified());
    TBytes file = ReadBytes(Folder.File("append.dbf"));
    EXPECT_EQ(Slice(file, 225 + 86, 10), "      2.00");
    EXPECT_EQ(Slice(file, 341, 116), std::string(116, ' '));
    // The new current record is blank: posting it leaves the blank on disk.
    table.Post();
    EXPECT_EQ(Slice(ReadBytes(Folder.File("append.dbf")), 341, 116), std::string(116, ' '));
}

TEST_F(TableFile, LastWritesAChangeAndMakesTheLastRecordCurrent) {
    TDBF table;
    Create(table, ReceiptFields(), "last.dbf");
    table.Append();
    table.Append();
    table.SetFieldData(2, "changed");
    table.Last();
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_FALSE(table.Modified());
    EXPECT_EQ(Slice(ReadBytes(Folder.File("last.dbf")), 341 + 21, 7), "changed");
}

TEST_F(TableFile, CloseLosesAnUnpostedChange) {
    TDBF table;
    Create(table, ReceiptFields(), "lost.dbf");
    table.Append();
    table.SetFieldData(2, "lost");
    table.Close();
    EXPECT_FALSE(table.Modified());
    EXPECT_EQ(Slice(ReadBytes(Folder.File("lost.dbf")), 225, 116), std::string(116, ' '));
    table.Open();
    EXPECT_EQ(table.RecNo(), 1);
    table.Post();
    EXPECT_EQ(Slice(ReadBytes(Folder.File("lost.dbf")), 225, 116), std::string(116, ' '));
}

TEST_F(TableFile, NothingIsWrittenWithoutACurrentRecord) {
    TDBF table;
    Create(table, ReceiptFields(), "norec.dbf");
    TBytes empty = ReadBytes(Folder.File("norec.dbf"));
    table.SetFieldData(2, "stale");  // no record yet: the change has nowhere to go
    table.Post();
    EXPECT_EQ(ReadBytes(Folder.File("norec.dbf")), empty);
    table.Append();
    TBytes file = ReadBytes(Folder.File("norec.dbf"));
    EXPECT_EQ(Slice(file, 4, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(Slice(file, 8, 217), Slice(empty, 8, 217));  // the rest of the header intact
    EXPECT_EQ(Slice(file, 225, 116), std::string(116, ' '));
    EXPECT_EQ(file.size(), 342u);
}

TEST_F(TableFile, DestroyingAnActiveTableReleasesItsFile) {
    auto table = std::make_unique<TDBF>();
    Create(*table, ReceiptFields(), "held.dbf");
    table.reset();
    TDBF other;
    other.SetExclusive(true);
    other.SetTableName(Folder.File("held.dbf"));
    other.Open();
    EXPECT_TRUE(other.Active());
}

TEST_F(TableFile, AppendAndPostCostThreeWritesAndNoRead) {
    TDBF table;
    Create(table, DirectoryFields(), "count.dbf");
    table.SetCodePage(cpOEM);
    ResetFileFaults();
    for (int i = 0; i < 100; ++i) {
        table.Append();
        for (int f = 1; f <= 7; ++f) table.SetFieldData(f, "1");
        table.Post();
    }
    EXPECT_EQ(FileOpCount(foWrite), 300);
    EXPECT_EQ(FileOpCount(foRead), 0);
    EXPECT_EQ(ReadBytes(Folder.File("count.dbf")).size(), 258u + 100u * 141u);
}

// Locks between two tables of this process, as between two programs.
struct TLockCase {
    const char* Rule;
    bool FirstExclusive;
    bool SecondExclusive;
    bool SecondOpens;
};

class Sharing : public TDbfTest, public ::testing::WithParamInterface<TLockCase> {};

TEST_P(Sharing, ExclusiveOpenersExcludeEveryoneElse) {
    const TLockCase& c = GetParam();
    TDBF maker;
    Create(maker, ReceiptFields(), "locked.dbf");
    maker.Close();
    TDBF first, second;
    first.SetExclusive(c.FirstExclusive);
    first.SetTableName(Folder.File("locked.dbf"));
    first.Open();
    second.SetExclusive(c.SecondExclusive);
    second.SetTableName(Folder.File("locked.dbf"));
    std::string message = EdMessage([&] { second.Open(); });
    if (c.SecondOpens) {
        EXPECT_EQ(message, "(nothing raised)");
        EXPECT_TRUE(second.Active());
    } else {
        EXPECT_EQ(message,
                  "Файл locked.dbf невозможно открыть в монопольном\rрежиме, т.к. он уже "
                  "используется другой программой");
        EXPECT_FALSE(second.Active());
        first.Close();
        second.Open();  // free again once the holder lets go
        EXPECT_TRUE(second.Active());
    }
}

INSTANTIATE_TEST_SUITE_P(Openers, Sharing,
                         ::testing::Values(TLockCase{"SharedThenShared", false, false, true},
                                           TLockCase{"SharedThenExclusive", false, true, false},
                                           TLockCase{"ExclusiveThenShared", true, false, false},
                                           TLockCase{"ExclusiveThenExclusive", true, true, false}),
                         TRuleName());

TEST_F(TableFile, CreateTableOverAFileInUseFailsWithTheCreationErrorAndLeavesItAlone) {
    TDBF holder;
    Create(holder, ReceiptFields(), "busy.dbf");
    holder.Append();
    TDBF table;
    Define(table, DirectoryFields());
    table.SetTableName(Folder.File("busy.dbf"));
    try {
        table.CreateTable();
        ADD_FAILURE() << "nothing raised";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + Folder.File("busy.dbf") + "\". " + SystemText(seInUse));
    }
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(ReadBytes(Folder.File("busy.dbf")).size(), 226u + 116u);
}

TEST_F(TableFile, CreateTableInAMissingFolderReportsTheFullPath) {
    TDBF table;
    Define(table, DirectoryFields());
    table.SetTableName(Folder.File("no/such/sprav.dbf"));
    try {
        table.CreateTable();
        ADD_FAILURE() << "nothing raised";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" +
                                             NativeDelimiters(Folder.File("no/such/sprav.dbf")) +
                                             "\". " + SystemText(seFolderMissing));
    }
    EXPECT_FALSE(table.Active());
}

}  // namespace
