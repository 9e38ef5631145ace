// The export ended just before each of its file-changing calls in turn, over an older pair of
// tables: after every one of them each table name holds a whole table, the older one byte for
// byte or a new one with its header and every record it counts, and the next export clears
// whatever work file the crash left behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "HardeningSupport.h"
#include "PipelineSupport.h"

namespace {

constexpr int kCrashed = 77;
// Small enough for the tables of three rows to grow through the mapping.
constexpr const char* kThreshold = "300";

TProcessResult RunExport(const std::filesystem::path& folder, long crashAt, bool writeId) {
    return RunProcess(K2L_EXPORT_CHILD,
                      {Utf8Of(folder), std::to_string(crashAt), kThreshold, writeId ? "1" : "0"});
}

std::vector<std::string> WorkFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dbf") names.push_back(Utf8Of(entry.path().filename()));
    }
    return names;
}

struct TTable {
    const char* Name;
    std::size_t HeaderLength, RecordLength;
};
const TTable kTables[] = {{kDirectoryName, kDirectoryHeader, kDirectoryRecord},
                          {kReceiptName, kReceiptHeader, kReceiptRecord}};

TEST(CrashWalk, EveryFileChangingCallLeavesWholeTablesAndTheNextExportClearsUp) {
    TTempDir work;
    // The tables the export makes, and an older pair that differs from them (record identifiers).
    const std::filesystem::path fresh = work.Path() / "fresh", older = work.Path() / "older";
    std::filesystem::create_directories(fresh);
    std::filesystem::create_directories(older);
    const TProcessResult clean = RunExport(fresh, 0, false);
    ASSERT_EQ(clean.Exit, 0) << clean.Err;
    ASSERT_EQ(RunExport(older, 0, true).Exit, 0);
    const std::string calls = clean.Out.substr(0, clean.Out.find_first_of("\r\n"));
    ASSERT_NE(calls.find('M'), std::string::npos) << calls;

    std::vector<TTableInspection> want;
    std::vector<std::string> olderBytes;
    for (const TTable& t : kTables) {
        want.push_back(
            InspectTable(Utf8Of(fresh / PathOf(t.Name)), t.HeaderLength, t.RecordLength));
        olderBytes.push_back(ReadBytes(Utf8Of(older / PathOf(t.Name))));
    }

    int leftWork = 0, keptOlder = 0;
    for (std::size_t n = 1; n <= calls.size(); ++n) {
        SCOPED_TRACE("crash before call " + std::to_string(n) + " (" + calls[n - 1] + ") of " +
                     calls);
        const std::filesystem::path folder = work.Path() / ("crash" + std::to_string(n));
        std::filesystem::create_directories(folder);
        for (std::size_t t = 0; t < std::size(kTables); ++t) {
            WriteBytes(Utf8Of(folder / PathOf(kTables[t].Name)), olderBytes[t]);
        }
        const TProcessResult crashed = RunExport(folder, static_cast<long>(n), false);
        ASSERT_EQ(crashed.Exit, kCrashed) << crashed.Err;

        for (std::size_t t = 0; t < std::size(kTables); ++t) {
            const std::string path = Utf8Of(folder / PathOf(kTables[t].Name));
            const std::string bytes = ReadBytes(path);
            if (bytes == olderBytes[t]) {
                ++keptOlder;
                continue;
            }
            const TTableInspection table =
                InspectTable(path, kTables[t].HeaderLength, kTables[t].RecordLength);
            ASSERT_TRUE(table.Valid) << kTables[t].Name << ": " << table.Why;
            EXPECT_EQ(table.LanguageDriver, 0x26) << kTables[t].Name;
            ASSERT_LE(table.Records.size(), want[t].Records.size()) << kTables[t].Name;
            // Every counted record is posted, but the newest may still be the Append's blank.
            for (std::size_t r = 0; r < table.Records.size(); ++r) {
                const bool blank = table.Records[r] == std::string(kTables[t].RecordLength, ' ');
                if (r + 1 == table.Records.size() && blank) break;
                EXPECT_EQ(table.Records[r], want[t].Records[r]) << kTables[t].Name << " " << r;
            }
        }
        // A crash may leave work files; the next export replaces or removes them.
        if (!WorkFiles(folder).empty()) {
            ++leftWork;
            const TProcessResult next = RunExport(folder, 0, false);
            ASSERT_EQ(next.Exit, 0) << next.Err;
            EXPECT_EQ(WorkFiles(folder), std::vector<std::string>{});
            for (const TTable& t : kTables) {
                const TTableInspection table =
                    InspectTable(Utf8Of(folder / PathOf(t.Name)), t.HeaderLength, t.RecordLength);
                EXPECT_EQ(table.Records, InspectTable(Utf8Of(fresh / PathOf(t.Name)),
                                                      t.HeaderLength, t.RecordLength)
                                             .Records);
            }
        }
    }
    std::cout << calls.size() << " file-changing calls walked (" << calls << "); older tables "
              << "kept " << keptOlder << " times, work files left by " << leftWork
              << " crashes and cleared by the next export\n";
    EXPECT_GT(keptOlder, 0);
    EXPECT_GT(leftWork, 0);
}

}  // namespace
