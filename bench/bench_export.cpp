// The whole goods export at 100,000 and 1,000,000 rows into a folder on the machine's disk (the
// current folder, not a memory file system), with the tables and the folder flushed to the disk
// before success, against the same export with the flushes skipped: the ratio is what "the data
// is on the disk" costs. Everything written before is synced ahead of each run, untimed, so no
// run pays for an earlier one's data.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "convert/GoodsExport.h"
#include "import/GoodsTable.h"
#include "import/RunHost.h"
#include "text/FileSystem.h"

namespace {

class TQuietProgress final : public IProgressSink {
  public:
    void SetPercent(double) override {}
    void Terminate() override {}
};

class TQuietHost final : public IRunHost {
  public:
    std::unique_ptr<IProgressSink> CreateProgress(const std::string&, bool) override {
        return std::make_unique<TQuietProgress>();
    }
    void ShowWarning(const std::string&, const std::string&) override {}
    void ShowInformation(const std::string&, const std::string&) override {}
    void HideCount() override {}
    void ShowCount(const std::string&) override {}
    void ShowResults() override {}
};

// Goods like a real import: about 70 % in stock.
TGoodsTable& Goods(int rows) {
    static std::unique_ptr<TGoodsTable> goods;
    static int made = 0;
    if (made != rows) {
        goods = std::make_unique<TGoodsTable>();
        goods->OpenTable();
        for (int i = 1; i <= rows; ++i) {
            char kod[16];
            std::snprintf(kod, sizeof kod, "222%010d", i);
            goods->AppendRow();
            goods->SetInteger(gfID, i);
            goods->SetText(gfNAME, i % 2 ? "Молоко 3,2% 1л" : "Масло моторное 5W-40 4л");
            goods->SetText(gfKOD, kod);
            goods->SetText(gfOSTATOK, i % 10 < 7 ? "12" : "0");
            goods->SetText(gfRPRICE, std::to_string(i % 900 + 10) + ".5");
            goods->SetInteger(gfCATEGORY, i % 37);
            goods->SetInteger(gfNDS, 18);
            goods->PostRow();
        }
        made = rows;
    }
    return *goods;
}

// state.range(0): rows; state.range(1): 1 when the tables are flushed.
void BM_Export(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    TGoodsTable& goods = Goods(rows);
    const std::filesystem::path folder = std::filesystem::current_path() / "k2l_bench_export";
    std::filesystem::create_directories(folder);
    TQuietHost host;
    SetFlushesSkipped(state.range(1) == 0);
    for (auto _ : state) {
        state.PauseTiming();
        ::sync();
        state.ResumeTiming();
        ExportGoods({folder.string(), false}, goods, host);
    }
    SetFlushesSkipped(false);
    state.SetItemsProcessed(state.iterations() * rows);
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_Export)
    ->ArgNames({"rows", "flushed"})
    ->Args({100'000, 0})
    ->Args({100'000, 1})
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
