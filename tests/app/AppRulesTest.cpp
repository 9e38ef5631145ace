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
        for (const char* name : {"PRINT.TXT", "my file.txt", "Отчёт за май.txt"}) {
            std::ofstream(PathOf(Dir->File(name))) << "x";
        }
        std::filesystem::create_directory(PathOf(Dir->File("sub dir")));
    }
    static void TearDownTestSuite() {
        delete Dir;
        Dir = nullptr;
    }
    static TTempDir* Dir;
};

TTempDir* FileNameValueRule::Dir = nullptr;

TEST_P(FileNameValueRule, YieldsTheExistingFileOrTheFirstWord) {
    // "@" stands for the test folder, so the cases read as the operator types them; "/" is the
    // platform's delimiter.
    const auto place = [](std::string text) {
        text = NativeDelimiters(text);
        for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
            text.replace(at, 1, Dir->Folder());
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

// The paths are written with "/", which stands for the platform's delimiter.
TEST_P(ApplicationTitleRule, IsTheFileNameBeforeItsFirstDotWithTheRestLowered) {
    EXPECT_EQ(ApplicationTitle(NativeDelimiters(GetParam().Text)), GetParam().Want);
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

// "/" stands for the platform's delimiter, in the path and in the folder.
TEST_P(ProgramFolderRule, IsThePathUpToTheLastDelimiter) {
    EXPECT_EQ(ProgramFolder(NativeDelimiters(GetParam().Text)), NativeDelimiters(GetParam().Want));
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

// What only one platform's paths hold: drives and a second delimiter on Windows, and on Linux a
// "\" or ":" that is part of a name. The paths are taken as written.
struct TPathCase {
    const char* Name;
    std::string Path;
    std::string Folder;
    std::string Title;
};

class PathOnThisPlatform : public testing::TestWithParam<TPathCase> {};

TEST_P(PathOnThisPlatform, GivesTheProgramFolderAndTheTitle) {
    EXPECT_EQ(ProgramFolder(GetParam().Path), GetParam().Folder);
    EXPECT_EQ(ApplicationTitle(GetParam().Path), GetParam().Title);
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(
    AppRulesWindows, PathOnThisPlatform,
    testing::Values(
        TPathCase{"DriveRootKeepsItsDelimiter", "C:\\KELVA2LARMIS.EXE", "C:\\", "Kelva2larmis"},
        TPathCase{"DriveRootWrittenWithASlash", "C:/prog.exe", "C:/", "prog"},
        TPathCase{"SlashIsADelimiterToo", "C:\\Program Files/K2L\\Kelva.exe",
                  "C:\\Program Files/K2L", "Kelva"},
        TPathCase{"FolderOfAShare", "\\\\server\\share\\KELVA.EXE", "\\\\server\\share", "Kelva"},
        TPathCase{"FolderBehindADriveIsNoRoot", "D:\\K2L\\prog", "D:\\K2L", "prog"}),
    [](const testing::TestParamInfo<TPathCase>& param) { return param.param.Name; });
#else
INSTANTIATE_TEST_SUITE_P(
    AppRulesPosix, PathOnThisPlatform,
    testing::Values(TPathCase{"BackslashBelongsToTheName", "/opt/k2l\\KELVA.exe", "/opt",
                              "k2l\\kelva"},
                    TPathCase{"DriveLikeFolderIsNoRoot", "C:/prog", "C:", "prog"},
                    TPathCase{"ColonBelongsToTheName", "/x/C:PROG", "/x", "C:prog"}),
    [](const testing::TestParamInfo<TPathCase>& param) { return param.param.Name; });
#endif

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
