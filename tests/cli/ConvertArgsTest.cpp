#include "cli/ConvertArgs.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "convert/GoodsChecks.h"

namespace {

// The outcome of a command line as one comparable line: the options it sets, "help", or
// "usage: " and the reason.
std::string Outcome(const std::vector<std::string_view>& args) {
    std::variant<TConvertOptions, TUsageError> parsed = ParseConvertArgs(args);
    if (const auto* usage = std::get_if<TUsageError>(&parsed)) return "usage: " + usage->Message;
    const TConvertOptions& o = std::get<TConvertOptions>(parsed);
    if (o.Help) return "help";
    if (o.Version) return "version";
    return "article=" + o.Import.ArticleFile + " print=" + o.Import.PrintFile +
           " out=" + o.Export.Folder + " prefix=" + o.Import.Prefix +
           " start=" + o.Import.StartValue + " vat=" + o.Import.NdsValue +
           (o.Export.WriteID ? " write-id" : "") + (o.Quiet ? " quiet" : "") +
           (o.Import.Ean13 ? " ean13" : "") + (o.Check ? " check" : "") +
           (o.CheckOnly ? " check-only" : "");
}

const std::string kDefaults = "article=ARTICLE.TXT print=PRINT.TXT out=. prefix=222 start=1 vat=18";

struct TArgsCase {
    std::string Rule;
    std::vector<std::string_view> Args;
    std::string Want;
};

class ConvertArgs : public testing::TestWithParam<TArgsCase> {};

TEST_P(ConvertArgs, ReadLeftToRight) {
    EXPECT_EQ(Outcome(GetParam().Args), GetParam().Want);
}

std::string RuleName(const testing::TestParamInfo<TArgsCase>& param) {
    std::string name;
    for (char c : param.param.Rule) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    EachOption, ConvertArgs,
    testing::Values(
        TArgsCase{"no arguments keep the main window defaults", {}, kDefaults},
        TArgsCase{"article takes the next argument",
                  {"--article", "/r/ARTICLE.LST"},
                  "article=/r/ARTICLE.LST print=PRINT.TXT out=. prefix=222 start=1 vat=18"},
        TArgsCase{"print takes the next argument",
                  {"--print", "a b.txt"},
                  "article=ARTICLE.TXT print=a b.txt out=. prefix=222 start=1 vat=18"},
        TArgsCase{"out takes the next argument",
                  {"--out", "/tmp/out"},
                  "article=ARTICLE.TXT print=PRINT.TXT out=/tmp/out prefix=222 start=1 vat=18"},
        TArgsCase{"prefix takes the next argument",
                  {"--prefix", "0290"},
                  "article=ARTICLE.TXT print=PRINT.TXT out=. prefix=0290 start=1 vat=18"},
        TArgsCase{"start takes the next argument",
                  {"--start", "$10"},
                  "article=ARTICLE.TXT print=PRINT.TXT out=. prefix=222 start=$10 vat=18"},
        TArgsCase{"vat takes the next argument",
                  {"--vat", "0"},
                  "article=ARTICLE.TXT print=PRINT.TXT out=. prefix=222 start=1 vat=0"},
        TArgsCase{"write id is a switch", {"--write-id"}, kDefaults + " write-id"},
        TArgsCase{"quiet is a switch", {"--quiet"}, kDefaults + " quiet"},
        TArgsCase{"every option at once in any order",
                  {"--quiet", "--vat", "20", "--start", "55", "--write-id", "--prefix", "290",
                   "--out", "o", "--print", "p", "--article", "a"},
                  "article=a print=p out=o prefix=290 start=55 vat=20 write-id quiet"}),
    RuleName);

INSTANTIATE_TEST_SUITE_P(
    CheckAndEan13, ConvertArgs,
    testing::Values(
        TArgsCase{"ean13 is a switch of the import", {"--ean13"}, kDefaults + " ean13"},
        TArgsCase{"check prints and still converts", {"--check"}, kDefaults + " check"},
        TArgsCase{"check only implies check", {"--check-only"}, kDefaults + " check check-only"},
        TArgsCase{"check after check only keeps writing off",
                  {"--check-only", "--check"},
                  kDefaults + " check check-only"},
        TArgsCase{"check options take no value",
                  {"--check", "--out", "o"},
                  "article=ARTICLE.TXT print=PRINT.TXT out=o prefix=222 start=1 vat=18 check"},
        TArgsCase{"check with an equals sign is unknown",
                  {"--check=yes"},
                  "usage: unknown argument: --check=yes"}),
    RuleName);

INSTANTIATE_TEST_SUITE_P(
    ValuesAsGiven, ConvertArgs,
    testing::Values(
        TArgsCase{"a value that looks like an option is a value",
                  {"--out", "--help"},
                  "article=ARTICLE.TXT print=PRINT.TXT out=--help prefix=222 start=1 vat=18"},
        TArgsCase{"an empty value is a value",
                  {"--prefix", ""},
                  "article=ARTICLE.TXT print=PRINT.TXT out=. prefix= start=1 vat=18"},
        TArgsCase{"quotes and blanks stay for the import run to judge",
                  {"--prefix", "\"222\"", "--vat", " 18"},
                  "article=ARTICLE.TXT print=PRINT.TXT out=. prefix=\"222\" start=1 vat= 18"}),
    RuleName);

INSTANTIATE_TEST_SUITE_P(
    RepeatedOptions, ConvertArgs,
    testing::Values(
        TArgsCase{"the last vat wins",
                  {"--vat", "5", "--vat", "7"},
                  "article=ARTICLE.TXT print=PRINT.TXT out=. prefix=222 start=1 vat=7"},
        TArgsCase{"the last article wins",
                  {"--article", "a", "--print", "p", "--article", "b"},
                  "article=b print=p out=. prefix=222 start=1 vat=18"},
        TArgsCase{"a switch twice is the switch", {"--quiet", "--quiet"}, kDefaults + " quiet"}),
    RuleName);

INSTANTIATE_TEST_SUITE_P(
    MissingValues, ConvertArgs,
    testing::Values(TArgsCase{"article last", {"--article"}, "usage: --article needs a value"},
                    TArgsCase{"print last", {"--print"}, "usage: --print needs a value"},
                    TArgsCase{"out last", {"--quiet", "--out"}, "usage: --out needs a value"},
                    TArgsCase{"prefix last", {"--prefix"}, "usage: --prefix needs a value"},
                    TArgsCase{"start last", {"--start"}, "usage: --start needs a value"},
                    TArgsCase{"vat last after its own value",
                              {"--vat", "18", "--vat"},
                              "usage: --vat needs a value"}),
    RuleName);

INSTANTIATE_TEST_SUITE_P(
    UnknownArguments, ConvertArgs,
    testing::Values(TArgsCase{"unknown option", {"--bogus"}, "usage: unknown argument: --bogus"},
                    TArgsCase{"a bare word", {"extra"}, "usage: unknown argument: extra"},
                    TArgsCase{"a value needs its option",
                              {"--out", "o", "ARTICLE.TXT"},
                              "usage: unknown argument: ARTICLE.TXT"},
                    TArgsCase{"option names are case sensitive",
                              {"--OUT", "o"},
                              "usage: unknown argument: --OUT"},
                    TArgsCase{"no equals form", {"--out=o"}, "usage: unknown argument: --out=o"},
                    TArgsCase{"no short forms but h", {"-q"}, "usage: unknown argument: -q"},
                    TArgsCase{"an empty argument", {""}, "usage: unknown argument: "},
                    TArgsCase{"the first fault is the one reported",
                              {"--bogus", "--out"},
                              "usage: unknown argument: --bogus"}),
    RuleName);

INSTANTIATE_TEST_SUITE_P(
    Help, ConvertArgs,
    testing::Values(
        TArgsCase{"long help", {"--help"}, "help"}, TArgsCase{"short help", {"-h"}, "help"},
        TArgsCase{"help after options", {"--out", "o", "--quiet", "--help"}, "help"},
        TArgsCase{
            "help ends the reading before an unknown argument", {"--help", "--bogus"}, "help"},
        TArgsCase{"help ends the reading before a missing value", {"-h", "--out"}, "help"},
        TArgsCase{"an unknown argument before help is reported",
                  {"--bogus", "--help"},
                  "usage: unknown argument: --bogus"}),
    RuleName);

INSTANTIATE_TEST_SUITE_P(
    Version, ConvertArgs,
    testing::Values(TArgsCase{"version", {"--version"}, "version"},
                    TArgsCase{"version after options", {"--vat", "0", "--version"}, "version"},
                    TArgsCase{"version ends the reading before an unknown argument",
                              {"--version", "--bogus"},
                              "version"},
                    TArgsCase{"the first of help and version wins", {"--version", "-h"}, "version"},
                    TArgsCase{"no short form of version", {"-V"}, "usage: unknown argument: -V"},
                    TArgsCase{"version is not a prefix",
                              {"--versions"},
                              "usage: unknown argument: --versions"}),
    RuleName);

// --help names every kind --check prints, with its key at the start of a line.
TEST(ConvertHelp, NamesEveryKindOfFinding) {
    const std::string help = kHelp;
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        const std::string key = CheckKindKey(static_cast<TCheckKind>(kind));
        EXPECT_NE(help.find("\n  " + key + " "), std::string::npos) << key;
    }
}

}  // namespace
