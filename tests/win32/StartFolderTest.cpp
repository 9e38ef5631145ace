// The output folder box of the real program, started from outside under Wine from where the
// installer puts it (the user's programs folder, Program Files) and from a folder the zip was
// unpacked to: installed, it starts at the user's Documents; unpacked, in its own folder.

#include <gtest/gtest.h>

#include <windows.h>
// (after windows.h, which it needs)
#include <shlobj.h>

#include <filesystem>
#include <string>

#include "ProgramFixture.h"
#include "WinDriver.h"

namespace fs = std::filesystem;

namespace {

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) folder = path;
    EXPECT_FALSE(folder.empty()) << "the prefix names no such folder";
    CoTaskMemFree(path);
    return folder;
}

enum TPlace { plUserPrograms, plProgramFiles, plUnpacked };

struct TStartCase {
    const char* Name;
    TPlace Place;
    bool StartsInDocuments;
};

void PrintTo(const TStartCase& c, std::ostream* out) {
    *out << c.Name;
}

// A copy of the program in a folder of `place`, removed with its folder afterwards.
class TProgramCopy {
  public:
    explicit TProgramCopy(TPlace place) {
        const std::string name = "kelva2larmis-test-" + std::to_string(GetCurrentProcessId());
        switch (place) {
            case plUserPrograms:
                // Where the installer puts it: %LOCALAPPDATA%\Programs (Wine 8 has no
                // FOLDERID_UserProgramFiles to ask).
                Folder = KnownFolder(FOLDERID_LocalAppData) / "Programs" / name;
                break;
            case plProgramFiles:
                Folder = KnownFolder(FOLDERID_ProgramFiles) / name;
                break;
            case plUnpacked:
                Folder = fs::temp_directory_path() / name / "kelva2larmis-win64";
                break;
        }
        fs::create_directories(Folder);
        fs::copy_file(WindowsPath(K2L_PROGRAM), Folder / "kelva2larmis.exe",
                      fs::copy_options::overwrite_existing);
    }
    ~TProgramCopy() {
        std::error_code ignored;
        fs::remove_all(Folder.filename() == "kelva2larmis-win64" ? Folder.parent_path() : Folder,
                       ignored);
    }
    TProgramCopy(const TProgramCopy&) = delete;
    TProgramCopy& operator=(const TProgramCopy&) = delete;

    fs::path Folder;
};

class StartFolder : public testing::TestWithParam<TStartCase> {};

TEST_P(StartFolder, InstalledCopyStartsAtDocumentsAndAnUnpackedOneInItsFolder) {
    const fs::path documents = KnownFolder(FOLDERID_Documents);
    ASSERT_FALSE(documents.empty());
    const TProgramCopy copy(GetParam().Place);
    TFolder work("start-folder");
    TProgram program(Utf8(copy.Folder / "kelva2larmis.exe"), {}, Utf8(work.Path));
    HWND main = WaitTopWindow(program.Pid(), Narrow(kMainWindowClass), kMainCaption);
    ASSERT_NE(main, nullptr) << "the main window did not come";
    const fs::path want = GetParam().StartsInDocuments ? documents : copy.Folder;
    EXPECT_EQ(TextOf(ControlById(main, mcEdDBFFolder)), Utf8(want));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, StartFolder,
                         testing::Values(TStartCase{"InstalledForTheUser", plUserPrograms, true},
                                         TStartCase{"InstalledForAllUsers", plProgramFiles, true},
                                         TStartCase{"UnpackedFromTheZip", plUnpacked, false}),
                         [](const testing::TestParamInfo<TStartCase>& param) {
                             return param.param.Name;
                         });

}  // namespace
