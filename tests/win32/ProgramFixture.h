#pragma once

// The desktop program started from outside under Wine, for the tests that drive it: a folder of
// its own per test, the program running there with its main window found, and the byte
// comparison of its tables with the converter's. The including target defines K2L_PROGRAM (the
// program's path) and K2L_EXAMPLES (the example reports' folder).

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "WinDriver.h"
#include "app/WindowTexts.h"
#include "win32/MainWindowIds.h"

inline std::string Utf8(const std::filesystem::path& path) {
    return Narrow(path.wstring());
}

// Our build's paths are Unix ones; Wine maps them to its drive for the root.
inline std::filesystem::path WindowsPath(const char* path) {
    return std::filesystem::absolute(std::filesystem::path(Wide(path))).make_preferred();
}

inline std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The list's row count and current row, asked of the list view itself (messages without
// pointers reach another process's window as they are).
inline int RowCount(HWND grid) {
    return static_cast<int>(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0));
}

inline int CurrentRow(HWND grid) {
    return static_cast<int>(
        SendMessageW(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

// A fresh folder for one test, removed afterwards also when an assertion ends the test early.
class TFolder {
  public:
    explicit TFolder(const std::string& name)
        : Path(std::filesystem::temp_directory_path() /
               Wide("k2l-win32-" + std::to_string(GetCurrentProcessId()) + "-" + name)) {
        std::filesystem::remove_all(Path);
        std::filesystem::create_directories(Path);
    }
    ~TFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    TFolder(const TFolder&) = delete;
    TFolder& operator=(const TFolder&) = delete;

    // The examples' two reports, copied in.
    void CopyExamples() const {
        for (const char* name : {"ARTICLE.TXT", "PRINT.TXT"}) {
            std::filesystem::copy_file(WindowsPath(K2L_EXAMPLES) / name, Path / name);
        }
    }

    std::filesystem::path Path;
};

// The program started in `folder`, with its main window found.
struct TRunningProgram {
    explicit TRunningProgram(const std::filesystem::path& folder)
        : Program(Utf8(WindowsPath(K2L_PROGRAM)), {}, Utf8(folder)),
          Main(WaitTopWindow(Program.Pid(), Narrow(kMainWindowClass), kMainCaption)) {}

    HWND Control(int id) const { return ControlById(Main, id); }

    // "Обработать", then the results viewer.
    HWND Import() {
        Click(Control(mcButton1));
        return WaitTopWindow(Program.Pid(), "", kViewerCaption);
    }

    TProgram Program;
    HWND Main;
};

// Both tables in `ours` equal the converter's in `converters`, but for the date of the last
// update (bytes 1-3), which may differ.
inline void ExpectSameTables(const std::filesystem::path& ours,
                             const std::filesystem::path& converters) {
    for (const wchar_t* table : {L"Справочник.dbf", L"Приходы.dbf"}) {
        SCOPED_TRACE(Narrow(table));
        const std::string got = Bytes(ours / table);
        const std::string want = Bytes(converters / table);
        ASSERT_GT(want.size(), 32u);
        ASSERT_EQ(got.size(), want.size());
        EXPECT_EQ(got[0], want[0]);
        EXPECT_EQ(got.substr(4), want.substr(4));
    }
}
