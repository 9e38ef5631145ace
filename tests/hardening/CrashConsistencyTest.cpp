// The converter killed at random moments of an export past the grow-ahead threshold (SIGKILL;
// TerminateProcess on Windows): every table left behind is a valid dBASE III file that the table
// writer and python3-dbfread both read, holding every record posted before the kill.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "HardeningSupport.h"
#include "PipelineSupport.h"
#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"
#include "dbf/DBF.h"
#include "import/GoodsTable.h"
#include "import/RunHost.h"

namespace {

using TClock = std::chrono::steady_clock;

// How many rows the export has and how many kills hit it. Every file-changing call of an export
// is walked one by one elsewhere; these few kills at random moments cover what a walk cannot: a
// kill in the middle of the stores into the mapping of a table well past the grow-ahead
// threshold. The first kills hit the converter itself; the rest hit a forked copy of this process
// that runs only the export of the same goods, imported once here. Windows cannot fork: there
// every kill hits the converter.
struct TKillPlan {
    int Rows;
    int Kills;
    int ConverterKills;
};

TKillPlan Plan() {
    TKillPlan plan = Unavailable(svFork).empty() ? TKillPlan{20000, 6, 2} : TKillPlan{20000, 4, 4};
    // K2L_CRASH_ROWS makes the export smaller for slow (instrumented) builds.
    const char* rows = std::getenv("K2L_CRASH_ROWS");
    if (rows != nullptr && std::atoi(rows) > 0) plan.Rows = std::min(plan.Rows, std::atoi(rows));
    return plan;
}

class CrashConsistency : public ::testing::Test {
  protected:
    void SetUp() override {
        Rows = Kills.Rows;
        WriteLargeReports(Work.Path(), Rows);
    }

    // Starts the converter into `out` and waits for its directory table (see WaitForTable).
    std::unique_ptr<TChildProcess> Start(const std::filesystem::path& out,
                                         TClock::time_point& appeared, bool& ended,
                                         TProcessResult& result) {
        std::filesystem::create_directory(out);
        auto child = std::make_unique<TChildProcess>(
            K2L_CONVERTER, std::vector<std::string>{"--quiet", "--out", Utf8Of(out)},
            TProcessOptions{Work.Path()});
        WaitForTable(*child, out, appeared, ended, result);
        return child;
    }

    // Waits until `child` has created its directory table in `out` (when it appeared) or has
    // ended (its result).
    static void WaitForTable(TChildProcess& child, const std::filesystem::path& out,
                             TClock::time_point& appeared, bool& ended, TProcessResult& result) {
        ended = false;
        while (!std::filesystem::exists(out / PathOf(kDirectoryName))) {
            if (!child.Running()) {
                ended = true;
                result = child.Wait();
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        appeared = TClock::now();
    }

    // Checks one table left by a kill; returns its record count, or -1 when it does not exist.
    long CheckTable(const std::filesystem::path& path, std::size_t headerLength,
                    std::size_t recordLength, std::size_t kodOffset) {
        if (!std::filesystem::exists(path)) return -1;
        SCOPED_TRACE(Utf8Of(path));
        TTableInspection table = InspectTable(Utf8Of(path), headerLength, recordLength);
        EXPECT_TRUE(table.Valid) << table.Why;
        if (!table.Valid) return -1;
        // Every counted record but the newest holds its row; the newest may still be blank
        // (appended, not yet posted).
        for (std::size_t r = 0; r < table.Records.size(); ++r) {
            const std::string& record = table.Records[r];
            if (r + 1 == table.Records.size() && record == std::string(recordLength, ' ')) break;
            const std::string kod = record.substr(kodOffset, 13);
            if (record[0] != ' ' || kod.substr(0, 4) != "4600") {
                ADD_FAILURE() << "record " << r + 1 << " is not a posted record";
                break;
            }
        }
        TDBF dbf;
        dbf.SetTableName(Utf8Of(path));
        try {
            dbf.Open();
            EXPECT_EQ(static_cast<std::uint32_t>(dbf.RecordCount()), table.Count);
            if (dbf.RecordCount() > 0) dbf.Last();
            dbf.Close();
        } catch (const std::exception& error) {
            ADD_FAILURE() << "TDBF cannot open it: " << error.what();
        }
        std::string lastKod;
        if (!table.Records.empty() && table.UncountedBlank == 0) {
            lastKod = table.Records.back().substr(kodOffset, 15);
            lastKod.erase(lastKod.find_last_not_of(' ') + 1);
        }
        Expected.push_back({Utf8Of(path), table.Count, table.UncountedBlank > 0, lastKod});
        return static_cast<long>(table.Count);
    }

    struct TExpected {
        std::string Path;
        std::uint32_t Count;
        bool Uncounted;
        std::string LastKod;  // of the last record dbfread should see
    };

    const TKillPlan Kills = Plan();
    int Rows = 0;
    TTempDir Work;
    std::vector<TExpected> Expected;
};

// A forked copy of this process that exports `goods` into `out`.
std::unique_ptr<TChildProcess> ForkExport(TGoodsTable& goods, const std::filesystem::path& out) {
    std::filesystem::create_directory(out);
    return std::make_unique<TChildProcess>([&goods, out] {
        TRecordingHost host;  // the forked export has nobody to show anything to
        ExportGoods({Utf8Of(out), false}, goods, host);
        return 0;
    });
}

TEST_F(CrashConsistency, TablesStayValidWhenKilledAtRandomMoments) {
    // A clean run first: how long the export takes once the directory table exists.
    TClock::time_point appeared;
    bool ended = false;
    TProcessResult clean;
    std::unique_ptr<TChildProcess> child = Start(Work.Path() / "clean", appeared, ended, clean);
    ASSERT_FALSE(ended) << "the converter ended before it created a table: " << clean.Exit;
    clean = child->Wait();
    const auto exportTime = TClock::now() - appeared;
    ASSERT_EQ(clean.Exit, 0) << clean.Err;
    ASSERT_EQ(CheckTable(Work.Path() / "clean" / PathOf(kDirectoryName), kDirectoryHeader,
                         kDirectoryRecord, 21),
              Rows);
    ASSERT_EQ(CheckTable(Work.Path() / "clean" / PathOf(kReceiptName), kReceiptHeader,
                         kReceiptRecord, 21),
              (Rows + 1) / 2);

    TGoodsTable goods;
    auto forkTime = exportTime;
    if (Kills.ConverterKills < Kills.Kills) {
        TRecordingHost host;
        RunImport(ReportsIn(Work.Path()), goods, host);
        ASSERT_EQ(goods.RowCount(), Rows);

        // The forked export's own duration, so its kills are drawn from its own span.
        child = ForkExport(goods, Work.Path() / "forked");
        WaitForTable(*child, Work.Path() / "forked", appeared, ended, clean);
        ASSERT_FALSE(ended) << "the forked export ended before it created a table: " << clean.Exit;
        const TProcessResult forked = child->Wait();
        forkTime = TClock::now() - appeared;
        ASSERT_EQ(forked.Exit, 0);
    }

    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    auto span = [](TClock::duration d) {
        const long us = std::chrono::duration_cast<std::chrono::microseconds>(d).count();
        return us > 1 ? us : 2L;
    };
    // Upper bounds of the kill moment; a kill that comes after the process ended halves its
    // bound, since other work on a loaded machine can make a later run faster than the timed one.
    long converterBound = span(exportTime);
    long forkBound = span(forkTime);
    // Kills stay spread over the export rather than crowding its first instant.
    const long converterFloor = converterBound / 16 > 1 ? converterBound / 16 : 2;
    const long forkFloor = forkBound / 16 > 1 ? forkBound / 16 : 2;

    int killedMidway = 0;
    int converterKills = 0;
    for (int attempt = 0; attempt < 2 * Kills.Kills && killedMidway < Kills.Kills; ++attempt) {
        const std::filesystem::path out = Work.Path() / ("kill" + std::to_string(attempt));
        const bool converter = converterKills < Kills.ConverterKills;
        long& bound = converter ? converterBound : forkBound;
        TProcessResult result;
        if (converter) {
            child = Start(out, appeared, ended, result);
        } else {
            child = ForkExport(goods, out);
            WaitForTable(*child, out, appeared, ended, result);
        }
        bool killed = false;
        if (!ended) {
            std::uniform_int_distribution<long> moment(0, bound - 1);
            std::this_thread::sleep_until(appeared + std::chrono::microseconds(moment(random)));
            child->Kill();
            killed = child->Wait().Killed;
        }
        if (killed) {
            ++killedMidway;
            if (converter) ++converterKills;
        } else {
            bound = std::max(bound / 2, converter ? converterFloor : forkFloor);
        }
        const long directory =
            CheckTable(out / PathOf(kDirectoryName), kDirectoryHeader, kDirectoryRecord, 21);
        const long receipt =
            CheckTable(out / PathOf(kReceiptName), kReceiptHeader, kReceiptRecord, 21);
        EXPECT_GE(directory, 0) << "attempt " << attempt;
        // The receipt table follows the directory table row by row (odd rows are in stock).
        if (receipt >= 0) {
            EXPECT_GE(receipt, directory / 2) << "attempt " << attempt;
            EXPECT_LE(receipt, (directory + 1) / 2) << "attempt " << attempt;
        }
    }
    EXPECT_GE(killedMidway, Kills.Kills * 3 / 4) << "most kills must land inside the export";
    EXPECT_GE(converterKills, 1) << "at least one kill must hit the converter itself";

    std::vector<std::string> paths;
    for (const TExpected& e : Expected) paths.push_back(e.Path);
    std::optional<std::vector<TDbfreadResult>> read = ReadWithDbfread(paths);
    if (!read) {
        // The checks above stand; only the second, independent reader is missing.
        std::cout << "dbfread's reading is not checked: " << Unavailable(svDbfread) << '\n';
        return;
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        const TDbfreadResult& r = (*read)[i];
        ASSERT_TRUE(r.Read) << r.Error;
        // dbfread reads up to the end marker, so the blank record of an Append cut short by the
        // kill shows as one more (empty) record.
        EXPECT_EQ(r.Records,
                  static_cast<long>(Expected[i].Count) + (Expected[i].Uncounted ? 1 : 0));
        EXPECT_EQ(r.LastSecondField, Expected[i].LastKod);
    }
}

}  // namespace
