// Where the output folder box starts: the rule over the program's folder and the system's, the
// probe that tells whether a folder takes files, and the main window's default built from both.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AppSupport.h"
#include "app/AppRules.h"
#include "text/FileSystem.h"

namespace {

struct TStartCase {
    const char* Name;
    std::string Program;  // the program's folder; "/" stands for the platform's delimiter
    std::vector<std::string> ProgramFolders;
    std::string Documents;
    bool Writable;  // what the probe would find
    std::string Want;
    bool Probed;  // whether the rule had to ask the probe
};

class OutputFolderRule : public testing::TestWithParam<TStartCase> {};

TEST_P(OutputFolderRule, StartsInTheProgramFolderOrInDocuments) {
    const TStartCase& c = GetParam();
    TSystemFolders system;
    for (const std::string& folder : c.ProgramFolders) {
        system.ProgramFolders.push_back(NativeDelimiters(folder));
    }
    system.Documents = NativeDelimiters(c.Documents);
    std::vector<std::string> asked;
    const auto probe = [&](const std::string& folder) {
        asked.push_back(folder);
        return c.Writable;
    };
    EXPECT_EQ(OutputFolderDefault(NativeDelimiters(c.Program), system, probe),
              NativeDelimiters(c.Want));
    EXPECT_EQ(asked, c.Probed ? std::vector<std::string>{NativeDelimiters(c.Program)}
                              : std::vector<std::string>{});
}

const std::string kDocs = "/Users/op/Documents";
const std::vector<std::string> kInstalled = {"/Program Files", "/Program Files (x86)",
                                             "/Users/op/AppData/Local/Programs"};

INSTANTIATE_TEST_SUITE_P(
    AppRules, OutputFolderRule,
    testing::Values(
        TStartCase{"UnpackedFolderThatTakesFilesStays", "/media/usb/k2l", kInstalled, kDocs, true,
                   "/media/usb/k2l", true},
        TStartCase{
            "FolderThatTakesNoFilesGivesDocuments", "/usr/bin", {}, kDocs, false, kDocs, true},
        TStartCase{"InstalledForAllUsersGivesDocumentsUnasked", "/Program Files/kelva2larmis",
                   kInstalled, kDocs, true, kDocs, false},
        TStartCase{"InstalledForTheUserGivesDocuments",
                   "/Users/op/AppData/Local/Programs/kelva2larmis", kInstalled, kDocs, true, kDocs,
                   false},
        TStartCase{"TheProgramFolderItselfCounts", "/Program Files", kInstalled, kDocs, true, kDocs,
                   false},
        TStartCase{"NameThatOnlyBeginsLikeAProgramFolderIsOutside", "/Program Files Old/k2l",
                   kInstalled, kDocs, true, "/Program Files Old/k2l", true},
        TStartCase{"ProgramFolderWithAFinalDelimiter",
                   "/Program Files (x86)/a/b",
                   {"/Program Files (x86)/"},
                   kDocs,
                   true,
                   kDocs,
                   false},
        TStartCase{"WithoutDocumentsTheProgramFolderStays", "/usr/bin", kInstalled, "", false,
                   "/usr/bin", false},
        TStartCase{"ProgramWithoutAFolderGivesNone", "", kInstalled, kDocs, false, "", false}),
    [](const testing::TestParamInfo<TStartCase>& param) { return param.param.Name; });

// Windows compares names regardless of case and of the delimiter; Linux does not.
struct TInsideCase {
    const char* Name;
    std::string Path;
    std::string Folder;
    bool Inside;
};

class InsideFolderRule : public testing::TestWithParam<TInsideCase> {};

TEST_P(InsideFolderRule, ComparesWholeNames) {
    EXPECT_EQ(IsInsideFolder(GetParam().Path, GetParam().Folder), GetParam().Inside);
}

#ifdef _WIN32
const TInsideCase kInsideCases[] = {
    TInsideCase{"CaseDoesNotMatter", "C:\\PROGRAM FILES\\ПРОГРАММЫ", "c:\\program files\\программы",
                true},
    TInsideCase{"SlashIsADelimiter", "C:/Program Files/k2l", "C:\\Program Files", true},
    TInsideCase{"DriveRootHoldsItsFolders", "C:\\k2l", "C:\\", true},
    TInsideCase{"OtherDriveIsOutside", "D:\\Program Files\\k2l", "C:\\Program Files", false}};
#else
const TInsideCase kInsideCases[] = {
    TInsideCase{"CaseMatters", "/opt/Programs/k2l", "/opt/programs", false},
    TInsideCase{"RootHoldsEverything", "/usr/bin", "/", true}};
#endif

INSTANTIATE_TEST_SUITE_P(AppRules, InsideFolderRule, testing::ValuesIn(kInsideCases),
                         [](const testing::TestParamInfo<TInsideCase>& param) {
                             return param.param.Name;
                         });

// Every creation fails, as in a folder that refuses new files.
class TCreationRefused final : public IFileFaultHook {
  public:
    TCreationRefused() { SetFileFaultHook(this); }
    ~TCreationRefused() override { SetFileFaultHook(nullptr); }
    TCreationRefused(const TCreationRefused&) = delete;
    TCreationRefused& operator=(const TCreationRefused&) = delete;
    bool Fails(TFileOp op) override { return op == foCreate; }
};

TEST(CanCreateFilesIn, TriesAProbeFileAndLeavesNothingBehind) {
    TTempDir dir;
    std::ofstream(PathOf(dir.File("PRINT.TXT"))) << "x";
    EXPECT_TRUE(CanCreateFilesIn(dir.Folder()));
    EXPECT_TRUE(CanCreateFilesIn(dir.Folder() + kPathDelimiter));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        left.push_back(Utf8Of(entry.path().filename()));
    }
    EXPECT_EQ(left, std::vector<std::string>{"PRINT.TXT"});

    EXPECT_FALSE(CanCreateFilesIn(dir.File("missing")));
    EXPECT_FALSE(CanCreateFilesIn(dir.File("PRINT.TXT"))) << "a file is no folder";
    const TCreationRefused refused;
    EXPECT_FALSE(CanCreateFilesIn(dir.Folder()));
}

TEST(OutputFolder, MainWindowStartsInDocumentsForAnInstalledProgramOrAFolderWithoutFiles) {
    TTempDir program, documents;
    TCallLog log;
    TRecordingShell shell(log, program.File("kelva2larmis"));
    shell.Folders.Documents = documents.Folder();
    EXPECT_EQ(TMainController(shell, kRouble).Defaults().Folder, program.Folder());
    shell.Folders.ProgramFolders = {program.Folder()};
    EXPECT_EQ(TMainController(shell, kRouble).Defaults().Folder, documents.Folder());
    shell.Folders.ProgramFolders.clear();
    const TCreationRefused refused;
    EXPECT_EQ(TMainController(shell, kRouble).Defaults().Folder, documents.Folder());
}

}  // namespace
