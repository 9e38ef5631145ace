#include "DbfTestSupport.h"

namespace {

// Files that are no table of ours: each is refused as a whole, nothing of it is taken over, and
// nothing is read or written outside it afterwards.
std::string FixtureName(const ::testing::TestParamInfo<const char*>& param) {
    std::string name = param.param;
    return name.substr(4, name.size() - 8);  // without "dbf_" and ".dbf"
}

class HostileHeader : public TDbfTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(HostileHeader, IsRefusedAndNeverWrittenTo) {
    std::string path = CopyFixture(Folder, GetParam());
    TBytes original = ReadBytes(path);
    TDBF table;
    table.SetTableName(path);
    EXPECT_EQ(EdMessage([&] { table.Open(); }), "ReadHeader: Ошибка чтения заголовка файла");
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(table.FieldCount(), 0);
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(table.RecNo(), 0);

    EXPECT_EQ(EdMessage([&] { table.SetFieldData(1, "x"); }),
              "SetFieldData: Неверный номер поля: 1");
    EXPECT_EQ(EdMessage([&] { table.Append(); }), "Append: Ошибка сохранения записи");
    EXPECT_EQ(EdMessage([&] { table.SetCodePage(cpOEM); }),
              "CodePage: Ошибка записи в заголовок файла");
    EXPECT_EQ(EdMessage([&] { table.Last(); }), "Last: В файле нет записей");
    table.Post();
    table.Close();
    EXPECT_EQ(ReadBytes(path), original);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, HostileHeader,
    ::testing::Values("dbf_truncated_header.dbf", "dbf_header_only.dbf", "dbf_huge_field_count.dbf",
                      "dbf_record_length_65535.dbf", "dbf_lengths_do_not_add_up.dbf",
                      "dbf_field_length_zero.dbf", "dbf_header_length_not_aligned.dbf",
                      "dbf_header_length_no_fields.dbf", "dbf_records_missing.dbf",
                      "dbf_record_count_negative.dbf"),
    FixtureName);

using EmptyFile = TDbfTest;

TEST_F(EmptyFile, IsRefused) {
    WriteBytes(Folder.File("empty.dbf"), {});
    TDBF table;
    table.SetTableName(Folder.File("empty.dbf"));
    EXPECT_EQ(EdMessage([&] { table.Open(); }), "ReadHeader: Ошибка чтения заголовка файла");
    EXPECT_EQ(ReadBytes(Folder.File("empty.dbf")).size(), 0u);
}

}  // namespace
