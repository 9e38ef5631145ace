#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "PipelineSupport.h"
#include "cli/ConvertArgs.h"
#include "text/CodePage.h"

namespace {

// A POSIX shell's quoting of one word.
std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs `program` with `arguments` in `folder` and collects its exit code and both outputs.
TProcessResult RunIn(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                     const std::string& program = K2L_CONVERTER) {
    return RunProcess(program, arguments, {folder});
}

std::string Article(int id, const std::string& barcode, const std::string& name) {
    return ArticleLine84(std::to_string(id), barcode, "2", AnsiToOemText(name));
}

const std::string kCountLine = "Было найдено и обработано ";

class ConverterTest : public ::testing::Test {
  protected:
    TTempDir Dir;
};

TEST_F(ConverterTest, ConvertsAPairOfReportsIntoBothTables) {
    WriteBytes(Dir.File("ARTICLE.TXT"),
               Lines({Article(1, "", "Кофе 3в1"), Article(2, "4600000000017", "Чай чёрный"),
                      Article(3, "", "Масло 5W-40")}));
    WriteBytes(Dir.File("PRINT.TXT"), Lines({StockLine("1", "5", "12.5"), StockLine("2", "0", "30"),
                                             StockLine("3", "1.25", "100")}));
    std::filesystem::create_directory(Dir.Path() / "out");
    TProcessResult result = RunIn(Dir.Path(), {"--out", "out", "--quiet"});
    ASSERT_EQ(result.Exit, 0) << result.Err;
    EXPECT_EQ(result.Out,
              kCountLine + "2 наименований товара без штрих-кода. \nДанные сохранены!\n");
    EXPECT_EQ(result.Err, "");

    TDbfContents directory = ReadDbf(Dir.File("out/Справочник.dbf"));
    ASSERT_EQ(directory.Records.size(), 3u);
    EXPECT_EQ(directory.Records[0][1], "2220000000001  ");
    EXPECT_EQ(directory.Records[1][1], "4600000000017  ");
    EXPECT_EQ(directory.Records[2][1], "2220000000002  ");
    EXPECT_EQ(directory.Records[2][5], "    100.00");
    TDbfContents receipt = ReadDbf(Dir.File("out/Приходы.dbf"));
    ASSERT_EQ(receipt.Records.size(), 2u);
    EXPECT_EQ(receipt.Records[1][3], "      1.25");
}

TEST_F(ConverterTest, MissingStockReportWarnsAndGoesOn) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1, "", "Кофе")}));
    TProcessResult result = RunIn(Dir.Path(), {"--write-id"});
    ASSERT_EQ(result.Exit, 0) << result.Err;
    EXPECT_EQ(result.Err,
              "Внимание! Файл PRINT.TXT не найден, поэтому поля \"Цена\" и \"Остаток\" примут "
              "значения по умолчанию (Цена=1, Остаток=0)\n");
    TDbfContents directory = ReadDbf(Dir.File("Справочник.dbf"));
    ASSERT_EQ(directory.Records.size(), 1u);
    EXPECT_EQ(directory.Records[0][3], "1" + std::string(29, ' '));
    EXPECT_EQ(directory.Records[0][5], "      1.00");
    EXPECT_EQ(ReadDbf(Dir.File("Приходы.dbf")).Records.size(), 0u);
}

TEST_F(ConverterTest, FailuresExitWithTheDisplayedMessage) {
    // A message ending in "!" is shown as it is.
    TProcessResult missing = RunIn(Dir.Path(), {});
    EXPECT_EQ(missing.Exit, 1);
    EXPECT_EQ(missing.Err, "Файл ARTICLE.TXT не найден!\n");

    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1, "4600000000017", "Кофе")}));
    WriteBytes(Dir.File("PRINT.TXT"), Lines({StockLine("1", "1", "1E14")}));
    // A table writer message ends in a digit: it gets its full stop, and its CR becomes a break.
    TProcessResult tooLong = RunIn(Dir.Path(), {});
    EXPECT_EQ(tooLong.Exit, 1);
    EXPECT_EQ(tooLong.Err, "SetFieldData: Недопустимый размер данных\nРяд: 1, Поле: 5.\n");
    EXPECT_EQ(tooLong.Out, kCountLine + "0 наименований товара без штрих-кода. \n");

    WriteBytes(Dir.File("PRINT.TXT"), Lines({StockLine("1", "1E300", "1")}));
    TProcessResult range = RunIn(Dir.Path(), {});
    EXPECT_EQ(range.Exit, 1);
    EXPECT_EQ(range.Err, "Invalid floating point operation.\n");

    TProcessResult vat = RunIn(Dir.Path(), {"--vat", "101"});
    EXPECT_EQ(vat.Exit, 1);
    EXPECT_EQ(vat.Err, "Задано недопустимое значение НДС!\n");
}

TEST_F(ConverterTest, UsageErrorsExitWithTwo) {
    for (const std::string argument : {"--bogus", "--out", "extra"}) {
        TProcessResult result = RunIn(Dir.Path(), {argument});
        EXPECT_EQ(result.Exit, 2) << argument;
        EXPECT_NE(result.Err.find("usage: kelva2larmis-convert"), std::string::npos);
    }
    TProcessResult help = RunIn(Dir.Path(), {"--help"});
    EXPECT_EQ(help.Exit, 0);
    for (const char* option :
         {"--article", "--print", "--out", "--prefix", "--start", "--vat", "--write-id", "--quiet"})
        EXPECT_NE(help.Out.find(option), std::string::npos) << option;
}

// A refused command line prints its reason and the usage on stderr; help goes to stdout.
TEST_F(ConverterTest, UsageAndHelpTextsGoToTheirStreams) {
    TProcessResult unknown = RunIn(Dir.Path(), {"--bogus"});
    EXPECT_EQ(unknown.Exit, 2);
    EXPECT_EQ(unknown.Err,
              "kelva2larmis-convert: unknown argument: --bogus\n" + std::string(kUsage));
    EXPECT_EQ(unknown.Out, "");
    TProcessResult missing = RunIn(Dir.Path(), {"--vat"});
    EXPECT_EQ(missing.Exit, 2);
    EXPECT_EQ(missing.Err, "kelva2larmis-convert: --vat needs a value\n" + std::string(kUsage));
    TProcessResult help = RunIn(Dir.Path(), {"-h"});
    EXPECT_EQ(help.Exit, 0);
    EXPECT_EQ(help.Out, std::string(kUsage) + "\n" + kHelp);
    EXPECT_EQ(help.Err, "");
}

// --version prints the project's version alone, converting nothing.
TEST_F(ConverterTest, VersionLineGoesToStdout) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1, "", "Кофе")}));
    TProcessResult result = RunIn(Dir.Path(), {"--version", "--out", "."});
    EXPECT_EQ(result.Exit, 0);
    EXPECT_EQ(result.Out, "kelva2larmis-convert " K2L_VERSION "\n");
    EXPECT_EQ(result.Err, "");
    EXPECT_FALSE(std::filesystem::exists(PathOf(Dir.File("Справочник.dbf"))));
}

TEST_F(ConverterTest, ValuesAreTakenAsGivenWithoutQuoteStripping) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1, "", "Кофе")}));
    TProcessResult result = RunIn(Dir.Path(), {"--prefix", "\"222\""});
    EXPECT_EQ(result.Exit, 1);
    EXPECT_EQ(result.Err, "Задан недопустимый префикс штрих-кода!\n");
}

// Cyrillic folder names, one with a blank, reach the converter whole (on Windows through its
// wide command line), and its messages name them in UTF-8 when its output goes to a file.
TEST_F(ConverterTest, CyrillicPathsInArguments) {
    std::filesystem::create_directory(PathOf(Dir.File("Отчёты")));
    std::filesystem::create_directory(PathOf(Dir.File("Выгрузка ДБФ")));
    WriteBytes(Dir.File("Отчёты/ARTICLE.TXT"), Lines({Article(1, "", "Кофе")}));
    WriteBytes(Dir.File("Отчёты/PRINT.TXT"), Lines({StockLine("1", "5", "12.5")}));
    TProcessResult result = RunIn(Dir.Path(), {"--article", "Отчёты/ARTICLE.TXT", "--print",
                                               "Отчёты/PRINT.TXT", "--out", "Выгрузка ДБФ"});
    ASSERT_EQ(result.Exit, 0) << result.Err;
    EXPECT_EQ(result.Out,
              kCountLine + "1 наименований товара без штрих-кода. \nДанные сохранены!\n");
    EXPECT_EQ(ReadDbf(Dir.File("Выгрузка ДБФ/Справочник.dbf")).Records.size(), 1u);
    EXPECT_EQ(ReadDbf(Dir.File("Выгрузка ДБФ/Приходы.dbf")).Records.size(), 1u);

    TProcessResult missing = RunIn(Dir.Path(), {"--article", "Отчёты/АРТИКУЛЫ.TXT"});
    EXPECT_EQ(missing.Exit, 1);
    EXPECT_EQ(missing.Err, "Файл Отчёты/АРТИКУЛЫ.TXT не найден!\n");
}

// On a terminal the converter keeps one progress line on stderr; --quiet and pipes get none.
TEST_F(ConverterTest, ProgressLineOnlyOnATerminal) {
    WriteBytes(Dir.File("ARTICLE.TXT"), Lines({Article(1, "", "Кофе"), Article(2, "", "Чай")}));
    WriteBytes(Dir.File("PRINT.TXT"), Lines({StockLine("1", "5", "12.5"), "x"}));
    TProcessResult piped = RunIn(Dir.Path(), {"--out", "."});
    EXPECT_EQ(piped.Err, "");

    K2L_SKIP_UNLESS_AVAILABLE(svTerminal);
    const std::string program = Quote(K2L_CONVERTER);
    TProcessResult shown = RunIn(Dir.Path(), {"-qec", program + " --out .", "/dev/null"}, kScript);
    ASSERT_EQ(shown.Exit, 0) << shown.Out;
    EXPECT_NE(shown.Out.find("Обработка справочника из KELAV   0 %  0 / 2  0:00:00"),
              std::string::npos)
        << shown.Out;
    EXPECT_NE(shown.Out.find("Сохранение в DBF...  50 %  1 / 2"), std::string::npos) << shown.Out;
    TProcessResult quiet =
        RunIn(Dir.Path(), {"-qec", program + " --out . --quiet", "/dev/null"}, kScript);
    EXPECT_EQ(quiet.Exit, 0);
    EXPECT_EQ(quiet.Out.find(" %  "), std::string::npos) << quiet.Out;
}

// The bundled examples convert, and an independent strict reader agrees with every byte.
TEST_F(ConverterTest, ExamplesPassTheIndependentChecker) {
    const std::filesystem::path examples = K2L_EXAMPLES;
    if (!std::filesystem::exists(examples / "PRINT.TXT")) GTEST_SKIP() << "no examples";
    for (const char* name : {"ARTICLE.TXT", "PRINT.TXT"})
        std::filesystem::copy_file(examples / name, Dir.Path() / name);
    TProcessResult result = RunIn(Dir.Path(), {"--write-id", "--quiet"});
    ASSERT_EQ(result.Exit, 0) << result.Err;

    K2L_SKIP_UNLESS_AVAILABLE(svDbfread) << ": the interoperability check is skipped";
    const std::string tool = std::string(K2L_SHARED_TOOLS) + "/dbfdump.py";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "no " << tool;
    for (const auto& [file, layout] :
         {std::pair{"Справочник.dbf", "sprav"}, std::pair{"Приходы.dbf", "prihod"}}) {
        TProcessResult check =
            RunIn(Dir.Path(), {tool, "--expect", layout, "--summary", file}, kPython);
        EXPECT_EQ(check.Exit, 0) << file << "\n" << check.Out << check.Err;
    }
}

}  // namespace
