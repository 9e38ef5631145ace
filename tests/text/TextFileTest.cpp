#include "text/TextFile.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "FileFaultSwitch.h"
#include "text/FileSystem.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const TLineList& list) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.Count(); ++i) lines.emplace_back(list[i]);
    return lines;
}

#ifdef _WIN32
int ProcessId() {
    return static_cast<int>(::GetCurrentProcessId());
}
// The system's texts for what the tests below meet.
const std::string kNoSuchFolder = SysErrorMessage(ERROR_PATH_NOT_FOUND);
const std::string kIsAFolder = SysErrorMessage(ERROR_ACCESS_DENIED);
const std::string kIoError = SysErrorMessage(ERROR_IO_DEVICE);
#else
int ProcessId() {
    return static_cast<int>(::getpid());
}
const std::string kNoSuchFolder = "No such file or directory";
const std::string kIsAFolder = "Is a directory";
const std::string kIoError = "Input/output error";
#endif

std::string Fixture(const char* name) {
    return std::string(K2L_TEST_DATA) + "/" + name;
}

// The message of the error LoadFromFile raises, or "" when it raises none.
std::string LoadError(TLineList& list, const std::string& path) {
    try {
        list.LoadFromFile(path);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

struct TLineSplitCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Want;
};

class LineBreakRule : public testing::TestWithParam<TLineSplitCase> {};

TEST_P(LineBreakRule, SplitsTheBytesIntoLines) {
    TLineList list;
    list.LoadFromBytes(GetParam().Bytes);
    EXPECT_EQ(Lines(list), GetParam().Want);
}

using TLines = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    TextFile, LineBreakRule,
    testing::Values(TLineSplitCase{"EmptyTextHasNoLines", "", {}},
                    TLineSplitCase{"UnterminatedLineCounts", "a", {"a"}},
                    TLineSplitCase{"FinalBreakAddsNoLine", "a\n", {"a"}},
                    TLineSplitCase{"TwoBreaksGiveAnEmptyLine", "a\n\n", {"a", ""}},
                    TLineSplitCase{"LoneCrIsOneEmptyLine", "\r", {""}},
                    TLineSplitCase{"LoneLfIsOneEmptyLine", "\n", {""}},
                    TLineSplitCase{"CrLfIsOneBreak", "\r\n", {""}},
                    TLineSplitCase{"AllThreeBreaks", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                    TLineSplitCase{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
                    TLineSplitCase{"CrCrLfIsTwoBreaks", "a\r\r\nb", {"a", "", "b"}},
                    TLineSplitCase{"OnlyBreaks", "\n\n\n", {"", "", ""}},
                    TLineSplitCase{"BlanksStay", " a \t\r\n", {" a \t"}},
                    TLineSplitCase{"ZeroEndsTheText", std::string("a\0b\nc", 5), {"a"}},
                    TLineSplitCase{"ZeroFirstGivesNoLines", std::string("\0abc\n", 5), {}},
                    TLineSplitCase{"ZeroAfterCr", std::string("ab\r\0\n", 5), {"ab"}},
                    TLineSplitCase{"ZeroAfterBreakAddsNoLine", std::string("ab\n\0", 4), {"ab"}},
                    TLineSplitCase{"HighBytesUnchanged", "\x8c\xae\r\n\xff", {"\x8c\xae", "\xff"}}),
    [](const testing::TestParamInfo<TLineSplitCase>& param) { return param.param.Name; });

class TextFileTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetFileFaults();
        Cwd = fs::current_path();
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        Dir = fs::temp_directory_path() /
              (std::string("k2l_text_") + info->name() + "_" + std::to_string(ProcessId()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override {
        ResetFileFaults();
        fs::current_path(Cwd);
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }

    std::string Write(const char* name, const std::string& bytes) {
        std::string path = (Dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path Dir;
    fs::path Cwd;
};

TEST_F(TextFileTest, MixedBreaksFromAFile) {
    TLineList list;
    list.LoadFromFile(Fixture("text_mixed_breaks.txt"));
    EXPECT_EQ(Lines(list), (TLines{"one", "two", "three", "four", "", "six", "", "last"}));
}

TEST_F(TextFileTest, ZeroMidFileEndsTheText) {
    TLineList list;
    list.LoadFromFile(Fixture("text_zero_mid_file.txt"));
    EXPECT_EQ(Lines(list), (TLines{"before", "zero"}));
}

TEST_F(TextFileTest, ZeroAsFirstByteGivesNoLines) {
    TLineList list;
    list.LoadFromFile(Fixture("text_zero_first_byte.txt"));
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(TextFileTest, BytesAreNotConverted) {
    TLineList list;
    list.LoadFromFile(Fixture("text_cp866_bytes.txt"));
    EXPECT_EQ(Lines(list), (TLines{"\x8c\xae\xab\xae\xaa\xae \xba\xcd\xce\t", "\xff"}));
}

TEST_F(TextFileTest, EmptyFileHasNoLines) {
    TLineList list;
    list.LoadFromBytes("old\n");
    list.LoadFromFile(Write("empty.txt", ""));
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(TextFileTest, LoadingReplacesTheFormerLines) {
    TLineList list;
    list.LoadFromFile(Fixture("text_mixed_breaks.txt"));
    list.LoadFromFile(Write("second.txt", "x\r\ny"));
    EXPECT_EQ(Lines(list), (TLines{"x", "y"}));
}

// Lines and breaks that straddle the 1 MiB read chunks still come out whole.
TEST_F(TextFileTest, LinesAcrossReadChunks) {
    const std::size_t mib = std::size_t{1} << 20;
    std::string first(mib - 1, 'a');
    std::string second(2 * mib, 'b');
    std::string path = Write("big.txt", first + "\r\n" + second + "\r" + "c");
    TLineList list;
    list.LoadFromFile(path);
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list[0], first);
    EXPECT_EQ(list[1], second);
    EXPECT_EQ(list[2], "c");
}

#ifdef _WIN32
// A named pipe whose server writes `bytes` to the first client and closes; its name.
std::string ServePipe(const std::string& bytes, std::thread& server) {
    const std::string name = "\\\\.\\pipe\\k2l-text-" + std::to_string(ProcessId());
    HANDLE pipe = ::CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 1 << 16, 1 << 16, 0, nullptr);
    EXPECT_NE(pipe, INVALID_HANDLE_VALUE);
    server = std::thread([pipe, &bytes] {
        ::ConnectNamedPipe(pipe, nullptr);
        DWORD written = 0;
        for (std::size_t at = 0; at < bytes.size(); at += written) {
            const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 65536));
            if (!::WriteFile(pipe, bytes.data() + at, piece, &written, nullptr)) break;
        }
        // Closing (not disconnecting) lets the reader take what is left, then see the end.
        ::CloseHandle(pipe);
    });
    return name;
}
#else
// A FIFO whose writer writes `bytes` once it is opened; its path.
std::string ServePipe(const std::string& bytes, std::thread& writer, const fs::path& dir) {
    const std::string path = (dir / "pipe").string();
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    writer = std::thread([path, &bytes] { std::ofstream(path, std::ios::binary) << bytes; });
    return path;
}
#endif

// A pipe has no size to reserve ahead: the buffer grows while it is read, keeping what it holds.
TEST_F(TextFileTest, AStreamOfUnknownSizeIsReadWhole) {
    std::string bytes;
    for (int i = 0; bytes.size() < 5 * (std::size_t{1} << 20); ++i) {
        bytes += "line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 97), 'x');
        bytes += i % 3 == 0 ? "\r\n" : "\n";
    }
    std::thread writer;
#ifdef _WIN32
    const std::string path = ServePipe(bytes, writer);
#else
    const std::string path = ServePipe(bytes, writer, Dir);
#endif
    TLineList list;
    const std::string error = LoadError(list, path);
    writer.join();
    ASSERT_EQ(error, "");
    TLineList whole;
    whole.LoadFromBytes(bytes);
    ASSERT_GT(whole.Count(), 40000u);
    ASSERT_EQ(list.Count(), whole.Count());
    EXPECT_EQ(Lines(list), Lines(whole));
    EXPECT_EQ(list[list.Count() - 1].substr(0, 5), "line ");
}

TEST_F(TextFileTest, ReadingStopsAtTheChunkHoldingTheZero) {
    const std::size_t mib = std::size_t{1} << 20;
    std::string bytes(mib + 10, 'a');
    bytes[mib + 5] = '\0';
    bytes += std::string(4 * mib, '\n');
    std::string path = Write("zero_late.txt", bytes);
    ResetFileFaults();
    TLineList list;
    list.LoadFromFile(path);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list[0].size(), mib + 5);
    EXPECT_EQ(FileOpCount(foRead), 2);
}

TEST_F(TextFileTest, EndlessZeroDeviceEndsAtOnce) {
    if (!fs::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero";
    TLineList list;
    auto start = std::chrono::steady_clock::now();
    list.LoadFromFile("/dev/zero");
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(FileOpCount(foRead), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(TextFileTest, MissingFileNamesTheFullPathAndTheSystemError) {
    fs::current_path(Dir);
    TLineList list;
    list.LoadFromBytes("old");
    std::string want = "Cannot open file \"" +
                       (fs::current_path() / "sub" / "missing.txt").string() + "\". " +
                       kNoSuchFolder;
    EXPECT_EQ(LoadError(list, "sub/../sub/missing.txt"), want);
    EXPECT_EQ(list.Count(), 0u);
}

TEST_F(TextFileTest, FolderCannotBeOpened) {
    TLineList list;
    EXPECT_EQ(LoadError(list, Dir.string()),
              "Cannot open file \"" + Dir.string() + "\". " + kIsAFolder);
}

TEST_F(TextFileTest, ReadFailureLeavesTheListEmpty) {
    std::string path = Write("lines.txt", "a\nb\n");
    TLineList list;
    list.LoadFromBytes("old");
    SetFileFault(foRead, 1);
    EXPECT_EQ(LoadError(list, path), "Cannot open file \"" + path + "\". " + kIoError);
    EXPECT_EQ(list.Count(), 0u);
    list.LoadFromFile(path);
    EXPECT_EQ(Lines(list), (TLines{"a", "b"}));
}

}  // namespace
