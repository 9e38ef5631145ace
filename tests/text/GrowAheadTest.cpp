#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FileFaultSwitch.h"
#include "text/FileSystem.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(fs::file_size(path)), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// A folder that did not exist before, under the temporary folder.
fs::path NewTemporaryFolder(const char* prefix) {
    static unsigned serial = 0;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        fs::path folder = fs::temp_directory_path() /
                          (prefix + std::to_string(now) + "-" + std::to_string(++serial));
        if (fs::create_directory(folder)) return folder;
    }
}

// A file of its own for one test, and a threshold of one page so that little data is mapped.
class GrowAhead : public testing::Test {
  protected:
    void SetUp() override {
        Folder = NewTemporaryFolder("k2l-grow-");
        Path = (Folder / "grow.dbf").string();
        ResetFileFaults();
        SetGrowAheadThreshold(4096);
    }
    void TearDown() override {
        ResetFileFaults();
        SetGrowAheadThreshold(0);
        std::error_code ec;
        fs::remove_all(Folder, ec);
    }

    // Creates the file and opens it again with sharing, as a table is, so that other readers
    // may look at it while it is written.
    int CreateShared(TFile& file) {
        if (int error = file.Create(Path); error != 0) return error;
        file.Close();
        return file.Open(Path, false);
    }

    // Writes `records` blocks of `size` bytes one after the other, block i filled with 'a' + i
    // % 26.
    static std::string Append(TFile& file, std::uint64_t at, int records, std::size_t size) {
        std::string all;
        for (int i = 0; i < records; ++i) {
            std::string block(size, static_cast<char>('a' + i % 26));
            EXPECT_TRUE(file.WriteAt(at + all.size(), block.data(), block.size()));
            all += block;
        }
        return all;
    }

    fs::path Folder;
    std::string Path;
};

TEST_F(GrowAhead, PastTheThresholdTheFileIsReservedAheadAndCutToItsExactSizeAtClose) {
    TFile file;
    ASSERT_EQ(CreateShared(file), 0);
    file.GrowAhead();
    std::string want = Append(file, 0, 100, 141);  // 14100 bytes: past the threshold
    EXPECT_EQ(file.Size(), 14100u);
    // Other readers see every byte written at once, followed by the reserved zeros.
    std::string seen = ReadAll(Path);
    // Reserved in whole MiBs, and for much more than one record.
    EXPECT_EQ(seen.size() % kMiB, 0u);
    ASSERT_GE(seen.size(), 8 * kMiB);
    EXPECT_EQ(seen.substr(0, want.size()), want);
    EXPECT_EQ(seen.find_first_not_of('\0', want.size()), std::string::npos);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(ReadAll(Path), want);
}

TEST_F(GrowAhead, BelowTheThresholdEveryWriteGoesInPlace) {
    TFile file;
    ASSERT_EQ(CreateShared(file), 0);
    file.GrowAhead();
    std::string want = Append(file, 0, 4, 1000);
    EXPECT_EQ(FileOpCount(foWrite), 4);
    EXPECT_EQ(ReadAll(Path), want);  // no reserved tail while open
    EXPECT_EQ(file.Close(), 0);
}

TEST_F(GrowAhead, WithoutItAFileIsNeverMapped) {
    TFile file;
    ASSERT_EQ(CreateShared(file), 0);
    std::string want = Append(file, 0, 100, 141);
    EXPECT_EQ(ReadAll(Path), want);
    EXPECT_EQ(FileOpCount(foWrite), 100);
}

TEST_F(GrowAhead, EachGrowthCountsAsOneWrite) {
    TFile file;
    ASSERT_EQ(file.Create(Path), 0);
    file.GrowAhead();
    Append(file, 0, 4, 1000);     // 4 writes in place
    Append(file, 4000, 1, 1000);  // crosses the threshold: write + growth
    EXPECT_EQ(FileOpCount(foWrite), 6);
    const std::uint64_t reserved = fs::file_size(Path);
    Append(file, 5000, 1, static_cast<std::size_t>(reserved - 5000));  // fills the reservation
    EXPECT_EQ(FileOpCount(foWrite), 7);
    Append(file, reserved, 1, 1);  // one byte past it: another growth
    EXPECT_EQ(FileOpCount(foWrite), 9);
    EXPECT_GT(fs::file_size(Path), reserved + 1);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(FileOpCount(foWrite), 10);  // the cut
    EXPECT_EQ(fs::file_size(Path), reserved + 1);
}

TEST_F(GrowAhead, AFailedGrowthFailsTheWriteAndWritesNothing) {
    TFile file;
    ASSERT_EQ(CreateShared(file), 0);
    file.GrowAhead();
    std::string want = Append(file, 0, 4, 1000);
    SetFileFault(foWrite, FileOpCount(foWrite) + 2);  // the growth of the next write
    std::string block(1000, 'x');
    EXPECT_FALSE(file.WriteAt(4000, block.data(), block.size()));
    EXPECT_EQ(file.Size(), 4000u);
    EXPECT_EQ(ReadAll(Path), want);
    // The next write grows the file after all.
    EXPECT_TRUE(file.WriteAt(4000, block.data(), block.size()));
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(ReadAll(Path), want + block);
}

TEST_F(GrowAhead, ReadsStopAtTheExactSizeNotAtTheReservedEnd) {
    TFile file;
    ASSERT_EQ(file.Create(Path), 0);
    file.GrowAhead();
    std::string want = Append(file, 0, 10, 1000);
    char buffer[1000];
    ASSERT_TRUE(file.ReadAt(9000, buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer, sizeof buffer), want.substr(9000));
    EXPECT_FALSE(file.ReadAt(9001, buffer, sizeof buffer));
    EXPECT_FALSE(file.ReadAt(10000, buffer, 1));
}

TEST_F(GrowAhead, RewritingBytesInsideTheFileKeepsItsSize) {
    TFile file;
    ASSERT_EQ(CreateShared(file), 0);
    file.GrowAhead();
    std::string want = Append(file, 0, 10, 1000);
    ASSERT_TRUE(file.WriteAt(4, "\x0A\0\0\0", 4));  // a header count, in place
    want.replace(4, 4, std::string("\x0A\0\0\0", 4));
    EXPECT_EQ(file.Size(), 10000u);
    EXPECT_EQ(ReadAll(Path).substr(0, 10000), want);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(ReadAll(Path), want);
}

TEST_F(GrowAhead, AnOpenedFileGrowsFromItsSize) {
    {
        std::ofstream out(Path, std::ios::binary);
        out << std::string(3000, 'o');
    }
    TFile file;
    ASSERT_EQ(file.Open(Path, false), 0);
    file.GrowAhead();
    EXPECT_EQ(file.Size(), 3000u);
    std::string added = Append(file, 3000, 5, 1000);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(ReadAll(Path), std::string(3000, 'o') + added);
}

TEST_F(GrowAhead, AFailedCutIsReportedAndTheFileIsClosedAnyway) {
    TFile file;
    ASSERT_EQ(file.Create(Path), 0);
    file.GrowAhead();
    Append(file, 0, 10, 1000);
    SetFileFault(foWrite, FileOpCount(foWrite) + 1);
    EXPECT_EQ(file.Close(), kFileIoError);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_GT(fs::file_size(Path), 10000u);  // the reserved tail stays: nothing hides that
}

TEST_F(GrowAhead, AMovedFileKeepsItsMappingAndItsCut) {
    TFile first;
    ASSERT_EQ(first.Create(Path), 0);
    first.GrowAhead();
    std::string want = Append(first, 0, 10, 1000);
    TFile second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    want += Append(second, 10000, 2, 1000);
    TFile third;
    third = std::move(second);
    EXPECT_EQ(third.Size(), 12000u);
    EXPECT_EQ(third.Close(), 0);
    EXPECT_EQ(ReadAll(Path), want);
}

// fork and setrlimit are POSIX services; Windows has no size limit of a process to stand in for
// a full disk.
#ifndef _WIN32
// A size limit (as on a full disk) in a child process, so the limit does not reach other tests:
// the large step is refused, the exact growth still fits, and the write past the limit fails as
// an error, not a signal.
TEST_F(GrowAhead, UnderASizeLimitGrowthShrinksToTheNeedAndThenFailsAsAnError) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{2 * kMiB, 2 * kMiB};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
        TFile file;
        if (file.Create(Path) != 0) ::_exit(11);
        file.GrowAhead();
        std::string block(1000, 'g');
        std::uint64_t at = 0;
        for (; at + block.size() <= 2 * kMiB; at += block.size()) {
            if (!file.WriteAt(at, block.data(), block.size())) ::_exit(12);
        }
        errno = 0;
        if (file.WriteAt(at, block.data(), block.size())) ::_exit(13);
        if (LastFileError() != EFBIG) ::_exit(14);
        if (file.Close() != 0) ::_exit(15);
        ::_exit(fs::file_size(Path) == at ? 0 : 16);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

}  // namespace
