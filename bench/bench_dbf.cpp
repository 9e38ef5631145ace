// Writing the goods directory table record by record, against the floor of writing the same
// bytes at once. Every record goes to disk at once (Append + Post), so the table stays a valid
// file after each of them; the ratio says what that costs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dbf/DBF.h"

namespace {

constexpr int kRecords = 1'000'000;
constexpr std::size_t kFileSize = 257 + std::size_t{kRecords} * 141 + 1;

double gTableSeconds = 0;
double gBufferedSeconds = 0;

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// Values like a real export: code page 866 group and goods names, 13-digit barcodes, prices.
struct TRow {
    std::string Category, Kod, Name, Id, Price, Nds;
};

std::vector<TRow> MakeRows() {
    const char* names[] = {"\x8c\xae\xab\xae\xaa\xae 3,2% 1\xab",  // Молоко 3,2% 1л
                           "\x95\xab\xa5\xa1 \xa1\xa5\xab\xeb\xa9 \xad\xa0\xe0\xa5\xa7\xad\xae\xa9",
                           "\x8c\xa0\xe1\xab\xae \xac\xae\xe2\xae\xe0\xad\xae\xa5 5W-40 4\xab",
                           "\x8a\xae\xe4\xa5 \xe0\xa0\xe1\xe2\xa2\xae\xe0\xa8\xac\xeb\xa9 95\xa3"};
    std::vector<TRow> rows;
    for (int i = 0; i < 1000; ++i) {
        char kod[16];
        std::snprintf(kod, sizeof kod, "222%010d", i + 1);
        rows.push_back({"\x83\xe0\xe3\xaf\xaf\xa0 " + std::to_string(i % 37), kod, names[i % 4],
                        std::to_string(100000 + i), std::to_string(i % 900 + 10) + ".5", "18"});
    }
    return rows;
}

void BM_DirectoryTableRecordByRecord(benchmark::State& state) {
    const std::vector<TRow> rows = MakeRows();
    const std::string path = TempPath("k2l_bench_sprav.dbf");
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        TDBF table;
        table.AddFieldDefs("CATEGORY", fldChar, 20, 0);
        table.AddFieldDefs("KOD", fldChar, 15, 0);
        table.AddFieldDefs("NAME", fldChar, 50, 0);
        table.AddFieldDefs("NAME2", fldChar, 30, 0);
        table.AddFieldDefs("ZPRICE", fldNumeric, 10, 2);
        table.AddFieldDefs("RPRICE", fldNumeric, 10, 2);
        table.AddFieldDefs("NDS", fldNumeric, 5, 0);
        table.SetTableName(path);
        table.CreateTable();
        table.SetCodePage(cpOEM);
        for (int i = 0; i < kRecords; ++i) {
            const TRow& row = rows[static_cast<std::size_t>(i) % rows.size()];
            table.Append();
            table.SetFieldData(1, row.Category);
            table.SetFieldData(2, row.Kod);
            table.SetFieldData(3, row.Name);
            table.SetFieldData(4, row.Id);
            table.SetFieldData(5, row.Price);
            table.SetFieldData(6, row.Price);
            table.SetFieldData(7, row.Nds);
            table.Post();
        }
        table.Close();
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        gTableSeconds = gTableSeconds == 0 ? seconds : std::min(gTableSeconds, seconds);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
    std::filesystem::remove(path);
}

void BM_SameBytesInOneWrite(benchmark::State& state) {
    const std::vector<char> bytes(kFileSize, ' ');
    const std::string path = TempPath("k2l_bench_floor.dbf");
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(kFileSize)) {
            state.SkipWithError("write failed");
        }
        if (fd >= 0) ::close(fd);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        gBufferedSeconds = gBufferedSeconds == 0 ? seconds : std::min(gBufferedSeconds, seconds);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
    std::filesystem::remove(path);
}

BENCHMARK(BM_DirectoryTableRecordByRecord)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SameBytesInOneWrite)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gTableSeconds > 0 && gBufferedSeconds > 0) {
        std::printf("%d records: %.3f s record by record, %.3f s in one write, ratio %.1f\n",
                    kRecords, gTableSeconds, gBufferedSeconds, gTableSeconds / gBufferedSeconds);
    }
    return 0;
}
