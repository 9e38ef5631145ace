// The converter's tables as other programs meet them while it writes: an open that denies others
// (an exclusive Open, a CreateTable) fails with its message and leaves the table alone, and a
// reader that shares the table sees the header count of complete records. The converter is
// stopped for the look, so that what is seen is one moment of its export.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "HardeningSupport.h"
#include "PipelineSupport.h"
#include "dbf/DBF.h"
#include "text/FileSystem.h"

namespace {

constexpr int kLargeRows = 100000;
// Records the table holds before the look: past the grow-ahead threshold, so that the records
// are stores into the mapping by then.
constexpr std::uint32_t kSeen = 5000;

// The record count in the header of the table at `path`, nullopt while it cannot be read.
std::optional<std::uint32_t> HeaderCount(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::string header(8, '\0');
    if (!in.read(header.data(), 8)) return std::nullopt;
    return LittleEndian(header, 4, 4);
}

std::string InUseMessage(const std::string& name) {
    return "Файл " + name +
           " невозможно открыть в монопольном\rрежиме, т.к. он уже используется другой "
           "программой";
}

class ShareMode : public ::testing::Test {
  protected:
    void SetUp() override { WriteLargeReports(Work.Path(), kLargeRows); }

    TTempDir Work;
};

TEST_F(ShareMode, WritersThatDenyOthersFailWhileTheConverterWritesAndReadersSeeTheCount) {
    std::filesystem::create_directory(Work.Path() / "out");
    const std::string path = Work.File("out/" + std::string(kDirectoryName));
    TChildProcess converter(K2L_CONVERTER, {"--quiet", "--out", "out"}, {Work.Path()});
    ASSERT_TRUE(converter.Started());
    bool running = true;
    while (running && HeaderCount(path).value_or(0) < kSeen) {
        running = converter.Running();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ASSERT_TRUE(running) << "the converter ended before its table held " << kSeen
                         << " records: " << converter.Wait().Err;
    converter.Suspend();
    const std::string before = ReadBytes(path);

    // Another program that opens the table without sharing is refused.
    TDBF exclusive;
    exclusive.SetExclusive(true);
    exclusive.SetTableName(path);
    std::string message = FailureMessage([&] { exclusive.Open(); });
    EXPECT_EQ(message, InUseMessage(kDirectoryName));
    EXPECT_FALSE(exclusive.Active());

    // So is one that creates it anew: the creation error, and the table is not replaced.
    TDBF creator;
    creator.AddFieldDefs("KOD", fldChar, 15, 0);
    creator.SetTableName(path);
    message = FailureMessage([&] { creator.CreateTable(); });
    EXPECT_EQ(message,
              "Cannot create file \"" + ExpandFileName(path) + "\". " + SystemText(seInUse));
    EXPECT_FALSE(creator.Active());
    EXPECT_EQ(ReadBytes(path), before);

    // A reader that shares the table sees a count whose records are all in the file, every one
    // of them but the newest (which may be in the middle of its Post) posted with its row.
    TFile reader;
    ASSERT_EQ(reader.OpenRead(path), 0);
    std::string header(kDirectoryHeader, '\0');
    ASSERT_TRUE(reader.ReadAt(0, header.data(), header.size()));
    const std::uint32_t count = LittleEndian(header, 4, 4);
    EXPECT_GE(count, kSeen);
    std::string records(count * kDirectoryRecord, '\0');
    ASSERT_TRUE(reader.ReadAt(kDirectoryHeader, records.data(), records.size()))
        << "the counted records are not all in the file";
    for (std::uint32_t r = 0; r + 1 < count; ++r) {
        ASSERT_EQ(records.substr(r * kDirectoryRecord + 21, 15),
                  LargeBarcode(static_cast<int>(r) + 1) + "  ")
            << "record " << r + 1;
    }
    reader.Close();
    // The table writer, sharing it too, counts the same.
    TDBF shared;
    shared.SetTableName(path);
    ASSERT_EQ(FailureMessage([&] { shared.Open(); }), "");
    EXPECT_EQ(static_cast<std::uint32_t>(shared.RecordCount()), count);
    shared.Close();

    converter.Resume();
    const TProcessResult result = converter.Wait();
    EXPECT_EQ(result.Exit, 0) << result.Err;
    TTableInspection table = InspectTable(path, kDirectoryHeader, kDirectoryRecord);
    EXPECT_TRUE(table.Valid) << table.Why;
    EXPECT_EQ(table.Count, static_cast<std::uint32_t>(kLargeRows));
    // Once the converter has let go, the exclusive opener gets the table.
    EXPECT_EQ(FailureMessage([&] { exclusive.Open(); }), "");
    EXPECT_TRUE(exclusive.Active());
}

// Another program holds one of the older tables open, sharing it for reading and writing as a
// program that has loaded it does: the export cannot take that table, says so with the table's
// own path and the system's text, and leaves both older tables byte for byte and no work file.
TEST(HeldTable, EitherOlderTableHeldKeepsBothAsTheyWere) {
    for (const char* held : {kDirectoryName, kReceiptName}) {
        SCOPED_TRACE(held);
        TTempDir work;
        WriteLargeReports(work.Path(), 10);
        std::filesystem::create_directory(work.Path() / "out");
        // The older pair, from an earlier export of fewer articles.
        TTempDir earlier;
        WriteLargeReports(earlier.Path(), 3);
        ASSERT_EQ(
            RunConverter({"--quiet", "--out", Utf8Of(work.Path() / "out")}, {earlier.Path()}).Exit,
            0);
        const std::string directory = ReadBytes(work.File("out/" + std::string(kDirectoryName)));
        const std::string receipt = ReadBytes(work.File("out/" + std::string(kReceiptName)));

        TFile holder;
        const std::string heldPath = work.File("out/" + std::string(held));
        ASSERT_EQ(holder.Open(heldPath, false), 0);
        const TProcessResult result = RunConverter({"--quiet", "--out", "out"}, {work.Path()});
        EXPECT_EQ(result.Exit, 1);
        EXPECT_EQ(result.Err, "Cannot create file \"" + ExpandFileName(heldPath) + "\". " +
                                  SystemText(seInUse) + ".\n");
        holder.Close();

        EXPECT_EQ(ReadBytes(work.File("out/" + std::string(kDirectoryName))), directory);
        EXPECT_EQ(ReadBytes(work.File("out/" + std::string(kReceiptName))), receipt);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(work.Path() / "out")) {
            names.push_back(Utf8Of(entry.path().filename()));
        }
        EXPECT_EQ(names.size(), 2u) << "a work file was left behind";
    }
}

}  // namespace
