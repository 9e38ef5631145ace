#include <cstring>
#include <filesystem>
#include <sstream>

#include "ChildProcess.h"
#include "DbfTestSupport.h"

namespace {

struct TRun {
    int Status;
    std::string Output;  // stdout, then stderr
};

TRun RunPython(const std::vector<std::string>& arguments) {
    TProcessResult result = RunProcess(kPython, arguments);
    return {result.Exit, result.Out + result.Err};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Prints the encoding dbfread chose from the language byte, then one line per record: the
// values as Python sees them, "|" between fields.
constexpr const char* kReader = R"(import sys, datetime, dbfread
t = dbfread.DBF(sys.argv[1])
out = [t.encoding]
for r in t:
    out.append('|'.join(v.isoformat() if isinstance(v, datetime.date)
                        else v if isinstance(v, str) else repr(v) for v in r.values()))
sys.stdout.buffer.write(('\n'.join(out) + '\n').encode('utf-8'))
)";

using Interop = TDbfTest;

TEST_F(Interop, DbfreadReadsBackEveryValueOfAllFiveTypes) {
    K2L_SKIP_UNLESS_AVAILABLE(svDbfread);
    const std::string path = Folder.File("interop.dbf");
    {
        TDBF table;
        table.AddFieldDefs("name", fldChar, 20, 0);
        table.AddFieldDefs("code", fldChar, 13, 0);
        table.AddFieldDefs("day", fldDate, 8, 0);
        table.AddFieldDefs("ok", fldLogical, 1, 0);
        table.AddFieldDefs("rate", fldFloat, 8, 3);
        table.AddFieldDefs("price", fldNumeric, 10, 2);
        table.AddFieldDefs("qty", fldNumeric, 5, 0);
        table.SetTableName(path);
        table.CreateTable();
        table.SetCodePage(cpOEM);
        const std::vector<std::vector<std::string>> rows = {
            {"\x8c\xae\xab\xae\xaa\xae 3,2%", "4601234567890", "29.04.08", "yes", "3.14159", "12.5",
             "18"},
            {"", "", "", "", "", "", ""},
            {std::string(20, '\x9f'), "2220000000015", "31.12.50", "no", "-0.5", "1234567.89",
             "-9999"},
            {"  lead", "x", "01.01.51", "maybe", "0", "0", "0"},
        };
        for (const auto& row : rows) {
            table.Append();
            for (std::size_t f = 0; f < row.size(); ++f) {
                table.SetFieldData(static_cast<std::int32_t>(f + 1), row[f]);
            }
            table.Post();
        }
        table.Close();
    }
    WriteBytes(Folder.File("reader.py"), TBytes(kReader, kReader + std::strlen(kReader)));
    TRun run = RunPython({Folder.File("reader.py"), path});
    ASSERT_EQ(run.Status, 0) << run.Output;
    const std::vector<std::string> want = {
        "cp866",
        "Молоко 3,2%|4601234567890|2008-04-29|True|3.142|12.5|18",
        "||None|None|None|None|None",
        "ЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯ|2220000000015|2050-12-31|False|-0.5|1234567.89|-9999",
        "  lead|x|1951-01-01|None|0.0|0.0|0",
    };
    EXPECT_EQ(Lines(run.Output), want);
}

struct TLayoutCase {
    const char* Rule;
    const char* Expect;
    const std::vector<TFieldSpec>& (*Fields)();
};

class ExportLayout : public TDbfTest, public ::testing::WithParamInterface<TLayoutCase> {};

// The two tables the export writes pass the strict checker, records included.
TEST_P(ExportLayout, PassesTheStrictChecker) {
    K2L_SKIP_UNLESS_AVAILABLE(svDbfread);
    const std::string tool = std::string(K2L_SHARED_TOOLS) + "/dbfdump.py";
    if (!std::filesystem::exists(tool))
        GTEST_SKIP() << "the strict checker " << tool << " is not beside this checkout";
    const std::string path = Folder.File("layout.dbf");
    {
        TDBF table;
        Define(table, GetParam().Fields());
        table.SetTableName(path);
        table.CreateTable();
        table.SetCodePage(cpOEM);
        for (int row = 1; row <= 3; ++row) {
            table.Append();
            const std::vector<TFieldSpec>& fields = GetParam().Fields();
            for (std::size_t f = 0; f < fields.size(); ++f) {
                // "Группа <row>" in code page 866, or a price.
                std::string value = fields[f].Type == fldChar
                                        ? "\x83\xe0\xe3\xaf\xaf\xa0 " + std::to_string(row)
                                        : std::to_string(row * 7) + ".5";
                table.SetFieldData(static_cast<std::int32_t>(f + 1), value);
            }
            table.Post();
        }
        table.Close();
    }
    TRun run = RunPython({tool, "--strict", "--summary", "--expect", GetParam().Expect, path});
    EXPECT_EQ(run.Status, 0) << run.Output;
}

INSTANTIATE_TEST_SUITE_P(Tables, ExportLayout,
                         ::testing::Values(TLayoutCase{"Directory", "sprav", DirectoryFields},
                                           TLayoutCase{"Receipt", "prihod", ReceiptFields}),
                         TRuleName());

}  // namespace
