#include "text/FileSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "FileFaultSwitch.h"
#include "text/FilePlatform.h"
#include "text/TextFile.h"

namespace {

namespace fs = std::filesystem;

// UTF-8 text as a path, whatever the platform's own path encoding is.
fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// A path as UTF-8, the form the file layer takes.
std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A folder that did not exist before, removed with everything in it when this goes.
class TTemporaryFolder {
  public:
    TTemporaryFolder() {
        static unsigned serial = 0;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        do {
            Path = fs::temp_directory_path() /
                   ("k2l-fs-" + std::to_string(now) + "-" + std::to_string(++serial));
        } while (!fs::create_directory(Path));
    }
    ~TTemporaryFolder() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
    TTemporaryFolder(const TTemporaryFolder&) = delete;
    TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;

    // A file with these bytes in the folder; its path as UTF-8.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const fs::path path = Path / PathOf(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return Utf8Of(path);
    }

    fs::path Path;
};

class FileSystemTest : public testing::Test {
  protected:
    void SetUp() override { ResetFileFaults(); }
    void TearDown() override {
        ResetFileFaults();
        SetGrowAheadThreshold(0);
    }

    TTemporaryFolder Folder;
};

// How a file is held, or asked for, in the sharing table.
enum TOpener : std::uint8_t { opCreate, opExclusive, opShared, opRead };

int OpenAs(TFile& file, const std::string& path, TOpener how) {
    switch (how) {
        case opCreate:
            return file.Create(path);
        case opExclusive:
            return file.Open(path, true);
        case opShared:
            return file.Open(path, false);
        case opRead:
            return file.OpenRead(path);
    }
    return -1;
}

struct TSharingCase {
    const char* Name;
    TOpener Holder;
    TOpener Second;
    bool Allowed;
};

void PrintTo(const TSharingCase& c, std::ostream* out) {
    *out << c.Name;
}

class SharingRule : public testing::TestWithParam<TSharingCase> {
  protected:
    TTemporaryFolder Folder;
};

// Two openers in one process meet the same rule as two programs: without sharing nobody else
// gets in, and with sharing only another sharing opener or a reader does. A refused opener
// leaves the file as it was.
TEST_P(SharingRule, DecidesWhetherTheSecondOpenerGetsIn) {
    const TSharingCase& c = GetParam();
    const std::string path = Folder.Write("table.dbf", "held bytes");
    TFile holder;
    ASSERT_EQ(OpenAs(holder, path, c.Holder), 0);
    if (c.Holder == opCreate) {
        ASSERT_TRUE(holder.WriteAt(0, "held bytes", 10));
    }
    TFile second;
    EXPECT_EQ(OpenAs(second, path, c.Second), c.Allowed ? 0 : kFileInUse);
    EXPECT_EQ(second.IsOpen(), c.Allowed);
    // A held file cannot be deleted by anyone, nor replaced: the check before a move says so, and
    // the move itself is refused with both files as they were.
    EXPECT_FALSE(DeleteFileAt(path));
    const std::string newer = Folder.Write("table.dbf.tmp", "new bytes!");
    EXPECT_NE(CheckReplaceable(path), 0);
    EXPECT_NE(MoveFileReplacing(newer, path), 0);
    EXPECT_TRUE(FileExists(newer));
    second.Close();
    holder.Close();
    auto content = [&path] {
        TFile reader;
        char bytes[10] = {};
        EXPECT_EQ(reader.OpenRead(path), 0);
        EXPECT_TRUE(reader.ReadAt(0, bytes, sizeof bytes));
        return std::string(bytes, sizeof bytes);
    };
    EXPECT_EQ(content(), "held bytes");
    EXPECT_EQ(CheckReplaceable(path), 0);
    EXPECT_EQ(MoveFileReplacing(newer, path), 0);
    EXPECT_FALSE(FileExists(newer));
    EXPECT_EQ(content(), "new bytes!");
    EXPECT_TRUE(DeleteFileAt(path));
    EXPECT_FALSE(FileExists(path));
}

INSTANTIATE_TEST_SUITE_P(
    FileSystem, SharingRule,
    testing::Values(TSharingCase{"CreatedRefusesCreate", opCreate, opCreate, false},
                    TSharingCase{"CreatedRefusesExclusive", opCreate, opExclusive, false},
                    TSharingCase{"CreatedRefusesShared", opCreate, opShared, false},
                    TSharingCase{"CreatedRefusesReader", opCreate, opRead, false},
                    TSharingCase{"ExclusiveRefusesCreate", opExclusive, opCreate, false},
                    TSharingCase{"ExclusiveRefusesExclusive", opExclusive, opExclusive, false},
                    TSharingCase{"ExclusiveRefusesShared", opExclusive, opShared, false},
                    TSharingCase{"ExclusiveRefusesReader", opExclusive, opRead, false},
                    TSharingCase{"SharedRefusesCreate", opShared, opCreate, false},
                    TSharingCase{"SharedRefusesExclusive", opShared, opExclusive, false},
                    TSharingCase{"SharedLetsSharedIn", opShared, opShared, true},
                    TSharingCase{"SharedLetsReaderIn", opShared, opRead, true},
                    TSharingCase{"ReaderRefusesCreate", opRead, opCreate, false},
                    TSharingCase{"ReaderRefusesExclusive", opRead, opExclusive, false},
                    TSharingCase{"ReaderLetsSharedIn", opRead, opShared, true},
                    TSharingCase{"ReaderLetsReaderIn", opRead, opRead, true}),
    [](const testing::TestParamInfo<TSharingCase>& param) { return param.param.Name; });

// A writer that shares the file shows every write to a reader at once, also once its writes have
// become stores into the grown-ahead mapping.
TEST_F(FileSystemTest, ASharingWriterIsSeenByAReaderAtOnce) {
    const std::string path = Folder.Write("table.dbf", "");
    SetGrowAheadThreshold(4096);
    TFile writer;
    ASSERT_EQ(writer.Open(path, false), 0);
    writer.GrowAhead();
    TFile reader;
    ASSERT_EQ(reader.OpenRead(path), 0);
    std::string written;
    for (int i = 0; i < 40; ++i) {
        const std::string block(1000, static_cast<char>('a' + i % 26));
        ASSERT_TRUE(writer.WriteAt(written.size(), block.data(), block.size()));
        written += block;
        std::string seen(written.size(), '\0');
        ASSERT_TRUE(reader.ReadAt(0, seen.data(), seen.size())) << i;
        ASSERT_EQ(seen, written) << i;
    }
    EXPECT_EQ(writer.Close(), 0);
    EXPECT_EQ(fs::file_size(PathOf(path)), written.size());
}

// Folder and file names outside ASCII reach the system as they are written.
TEST_F(FileSystemTest, CyrillicFolderAndFileNamesRoundTrip) {
    const fs::path folder = Folder.Path / PathOf("Отчёты КЕЛЬВА");
    ASSERT_TRUE(fs::create_directory(folder));
    const std::string path = Utf8Of(folder / PathOf("Справочник.dbf"));
    TFile file;
    ASSERT_EQ(file.Create(path), 0);
    ASSERT_TRUE(file.WriteAt(0, "Ёлка", 8));
    EXPECT_EQ(file.Close(), 0);

    EXPECT_TRUE(DirectoryExists(Utf8Of(folder)));
    EXPECT_FALSE(FileExists(Utf8Of(folder)));
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(fs::is_regular_file(folder / PathOf("Справочник.dbf")));
    EXPECT_EQ(ExtractFileName(path), "Справочник.dbf");
    TLineList lines;
    lines.LoadFromFile(path);
    ASSERT_EQ(lines.Count(), 1u);
    EXPECT_EQ(lines[0], "Ёлка");

    // The full path in a message keeps the name as well.
    const std::string missing = Utf8Of(folder / PathOf("Приходы.dbf"));
    std::string message;
    try {
        lines.LoadFromFile(missing);
    } catch (const std::runtime_error& e) {
        message = e.what();
    }
    EXPECT_EQ(message.substr(0, message.find("\". ") + 3),
              "Cannot open file \"" + ExpandFileName(missing) + "\". ");
    EXPECT_NE(ExpandFileName(missing).find("Отчёты КЕЛЬВА"), std::string::npos);
    EXPECT_TRUE(DeleteFileAt(path));
    EXPECT_FALSE(FileExists(path));
}

// The texts of the errors the layer gives of itself end as the system's texts do in a message:
// no full stop and no line break of their own (the standard error display adds the stop).
TEST(SysErrorMessage, EndsWithoutFullStopOrBreak) {
    for (int error : {kFileInUse, kFileIoError}) {
        const std::string text = SysErrorMessage(error);
        ASSERT_FALSE(text.empty()) << error;
        EXPECT_NE(text.back(), '.') << text;
        EXPECT_GT(static_cast<unsigned char>(text.back()), ' ') << text;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    }
#ifndef _WIN32
    EXPECT_EQ(SysErrorMessage(kFileInUse), "Device or resource busy");
    EXPECT_EQ(SysErrorMessage(kFileIoError), "Input/output error");
#endif
}

// Records ask the clock for the date's second through the platform's cheap call; it must count
// the seconds the C library counts, or the date would go stale at midnight.
TEST(DateClock, CountsTheSecondsTheCLibraryCounts) {
    const std::time_t before = std::time(nullptr);
    const std::time_t now = FilePlatform::Now();
    const std::time_t after = std::time(nullptr);
    EXPECT_GE(now, before - 1);
    EXPECT_LE(now, after + 1);
}

struct TNameCase {
    const char* Name;
    std::string Path;
    std::string Want;
};

void PrintTo(const TNameCase& c, std::ostream* out) {
    *out << c.Name;
}

class FileNamePart : public testing::TestWithParam<TNameCase> {};

TEST_P(FileNamePart, FollowsTheLastDelimiter) {
    EXPECT_EQ(ExtractFileName(GetParam().Path), GetParam().Want);
}

const TNameCase kNameCases[] = {
    {"NoFolder", "Справочник.dbf", "Справочник.dbf"},
    {"SlashFolder", "a/b/Приходы.dbf", "Приходы.dbf"},
    {"RootFile", "/x.dbf", "x.dbf"},
    {"FolderOnly", "a/b/", ""},
    {"Empty", "", ""},
#ifdef _WIN32
    // "\" is the delimiter; "/" typed by a person counts as well, and so does the drive's ":" of
    // a drive-relative name.
    {"BackslashFolder", "C:\\Отчёты\\x.dbf", "x.dbf"},
    {"MixedDelimiters", "C:\\a/b\\c.dbf", "c.dbf"},
    {"DriveRelative", "C:x.dbf", "x.dbf"},
#else
    // On POSIX "\" and ":" are characters of the name.
    {"BackslashInName", "a/b\\x.dbf", "b\\x.dbf"},
    {"ColonInName", "a/C:x.dbf", "C:x.dbf"},
#endif
};

INSTANTIATE_TEST_SUITE_P(FileSystem, FileNamePart, testing::ValuesIn(kNameCases),
                         [](const testing::TestParamInfo<TNameCase>& param) {
                             return param.param.Name;
                         });

}  // namespace
