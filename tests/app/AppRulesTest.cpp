#include "app/AppRules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "AppSupport.h"

namespace {

struct TTextCase {
    const char* Name;
    std::string Text;
    std::string Want;
};

std::string CaseName(const testing::TestParamInfo<TTextCase>& param) {
    return param.param.Name;
}

// The file name value over a folder that holds "PRINT.TXT", "my file.txt" and "sub dir/".
class FileNameValueRule : public testing::TestWithParam<TTextCase> {
  protected:
    static void SetUpTestSuite() {
        Dir = new TTempDir;
        std::ofstream(Dir->File("PRINT.TXT")) << "x";
        std::ofstream(Dir->File("my file.txt")) << "x";
        std::ofstream(Dir->File("Отчёт за май.txt")) << "x";
        std::filesystem::create_directory(Dir->Path() / "sub dir");
    }
    static void TearDownTestSuite() {
        delete Dir;
        Dir = nullptr;
    }
    static TTempDir* Dir;
};

TTempDir* FileNameValueRule::Dir = nullptr;

TEST_P(FileNameValueRule, YieldsTheExistingFileOrTheFirstWord) {
    // "@" stands for the test folder, so the cases read as the operator types them.
    const auto place = [](std::string text) {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
            text.replace(at, 1, Dir->Path().string());
        }
        return text;
    };
    EXPECT_EQ(FileNameValue(place(GetParam().Text)), place(GetParam().Want));
}

INSTANTIATE_TEST_SUITE_P(
    AppRules, FileNameValueRule,
    testing::Values(
        TTextCase{"ExistingNameWithBlankIsTakenWhole", "@/my file.txt", "@/my file.txt"},
        TTextCase{"QuotedNameLosesItsQuotes", "\"@/my file.txt\"", "@/my file.txt"},
        TTextCase{"MissingNameGivesItsPartBeforeTheBlank", "@/no such.txt", "@/no"},
        TTextCase{"FolderIsNoFile", "@/sub dir", "@/sub"},
        TTextCase{"ExistingCyrillicNameIsTakenWhole", "@/Отчёт за май.txt", "@/Отчёт за май.txt"},
        TTextCase{"MissingCyrillicNameEndsAtTheBlank", "@/Отчёт за июнь.txt", "@/Отчёт"},
        TTextCase{"BlanksOnlyGiveTheEmptyName", "   ", ""},
        TTextCase{"EmptyTextGivesTheEmptyName", "", ""},
        TTextCase{"LeadingBlanksAndControlsAreSkipped", " \t\r ARTICLE.TXT", "ARTICLE.TXT"},
        TTextCase{"LeadingPairOfQuotesIsSkipped", "\"\"abc def", "abc"},
        TTextCase{"QuotedStretchesJoinTheWordAroundThem", "a\"b c\"d e", "ab cd"},
        TTextCase{"UnclosedQuoteTakesTheRest", "\"abc def", "abc def"},
        TTextCase{"TabEndsTheWord", "abc\tdef", "abc"},
        // U+00A0 is the bytes C2 A0: above 32, so no blank, whatever the sign of char.
        TTextCase{"NoBreakSpaceDoesNotEndTheWord", "a\u00A0b c", "a\u00A0b"},
        TTextCase{"ByteZeroEndsTheWord", std::string("ab\0cd", 5), "ab"}),
    CaseName);

class ApplicationTitleRule : public testing::TestWithParam<TTextCase> {};

TEST_P(ApplicationTitleRule, IsTheFileNameBeforeItsFirstDotWithTheRestLowered) {
    EXPECT_EQ(ApplicationTitle(GetParam().Text), GetParam().Want);
}

INSTANTIATE_TEST_SUITE_P(
    AppRules, ApplicationTitleRule,
    testing::Values(TTextCase{"ProgramOfThisProject", "/usr/bin/kelva2larmis", "kelva2larmis"},
                    TTextCase{"EverythingFromTheFirstDotGoes", "/opt/KELVA2LARMIS.exe.old",
                              "Kelva2larmis"},
                    TTextCase{"DotInTheFolderDoesNotCount", "/a.b/prog", "prog"},
                    TTextCase{"FirstLetterStaysAsItIs", "/x/kELVA", "kelva"},
                    TTextCase{"CyrillicIsLowered", "/x/ПРОГРАММА.bin", "Программа"},
                    TTextCase{"CyrillicLettersBeforeTheAlphabet", "/x/ЁЁЇЎ", "Ёёїў"},
                    TTextCase{"LatinOneIsLoweredButNotTheTimesSign", "/x/ÉÀ×Ö", "Éà×ö"},
                    TTextCase{"LatinExtendedPairs", "/x/ŹŁĄŽ", "Źłąž"},
                    TTextCase{"GreekIsLowered", "/x/ΑΒΓΆΏ", "Αβγάώ"},
                    TTextCase{"DigitsAndSignsStay", "/x/K2L_Ä-1", "K2l_ä-1"},
                    TTextCase{"NameWithoutFolder", "Project1", "Project1"},
                    TTextCase{"NameStartingWithADotIsEmpty", "/x/.hidden", ""}),
    CaseName);

class ProgramFolderRule : public testing::TestWithParam<TTextCase> {};

TEST_P(ProgramFolderRule, IsThePathUpToTheLastDelimiter) {
    EXPECT_EQ(ProgramFolder(GetParam().Text), GetParam().Want);
}

INSTANTIATE_TEST_SUITE_P(
    AppRules, ProgramFolderRule,
    testing::Values(TTextCase{"FolderLosesItsTrailingDelimiter", "/usr/bin/kelva2larmis",
                              "/usr/bin"},
                    TTextCase{"RootKeepsItsDelimiter", "/kelva2larmis", "/"},
                    TTextCase{"DeepFolderWithBlanks", "/a/b c/d/prog", "/a/b c/d"},
                    TTextCase{"NameAloneHasNoFolder", "prog", ""},
                    TTextCase{"PathEndingInADelimiterIsItsOwnFolder", "/tmp/", "/tmp"}),
    CaseName);

struct TChooserCase {
    const char* Name;
    std::string Path;
    bool Valid;
    std::string Shown;
};

class ChooserNameRule : public testing::TestWithParam<TChooserCase> {};

TEST_P(ChooserNameRule, RefusesReservedCharactersAndQuotesBlanks) {
    EXPECT_EQ(IsValidFileName(GetParam().Path), GetParam().Valid);
    EXPECT_EQ(QuoteChosenPath(GetParam().Path), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    AppRules, ChooserNameRule,
    testing::Values(
        TChooserCase{"PlainPathIsShownAsItIs", "/tmp/PRINT.TXT", true, "/tmp/PRINT.TXT"},
        TChooserCase{"PathWithABlankIsQuoted", "/tmp/a b/P.TXT", true, "\"/tmp/a b/P.TXT\""},
        TChooserCase{"NoBreakSpaceIsNoBlank", "/tmp/a\u00A0b", true, "/tmp/a\u00A0b"},
        TChooserCase{"QuotedPathStays", "\"/tmp/a b\"", false, "\"/tmp/a b\""},
        TChooserCase{"AngleBracket", "/tmp/<x", false, "/tmp/<x"},
        TChooserCase{"ClosingAngleBracket", "/tmp/x>", false, "/tmp/x>"},
        TChooserCase{"SquareBracket", "/tmp/[x", false, "/tmp/[x"},
        TChooserCase{"ClosingSquareBracket", "/tmp/x]", false, "/tmp/x]"},
        TChooserCase{"Bar", "a|b", false, "a|b"}, TChooserCase{"EmptyName", "", true, ""}),
    [](const testing::TestParamInfo<TChooserCase>& param) { return param.param.Name; });

}  // namespace
