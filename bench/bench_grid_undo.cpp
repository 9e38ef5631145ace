// Undo and redo of a row deletion in the results grid over a 1,000,000-row goods table, with the
// findings list following the table (argument 1; the goal: each under 16 ms, one frame) and
// without it (argument 0: the table and the grid alone).
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "app/FindingsList.h"
#include "app/GoodsGridController.h"
#include "import/BarCodeDigits.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"

namespace {

constexpr int kRows = 1000000;

// Deletions are confirmed; nothing else is shown.
class TBenchShell final : public IShell {
  public:
    void ShowBox(TDialogIcon, const std::string&, const std::string&) override {}
    bool Confirm(const std::string&, const std::string&) override { return true; }
    std::unique_ptr<IProgressWindow> OpenProgress(const std::string&, bool) override {
        return nullptr;
    }
    void SetProgressAppName(const std::string&) override {}
    std::string ProgramPath() const override { return "/opt/kelva2larmis"; }
    TSystemFolders SystemFolders() const override { return {}; }
};

// The table as an import leaves it (unique codes and valid barcodes, all in stock), the grid and
// the findings over it, the current row in the middle.
struct TFixture {
    TGoodsTable Goods;
    TImportRecord Record;
    TBenchShell Shell;
    TGoodsGridController Grid{Goods, TCurrencyFormat{}, Shell};

    TFixture() {
        Goods.OpenTable();
        Goods.Reserve(kRows, std::size_t{kRows} * 40);
        Goods.SuspendViews();
        Grid.History().Pause();
        for (int i = 1; i <= kRows; ++i) {
            const std::string digits = std::to_string(460000000000LL + i);
            Goods.AppendRow();
            Goods.SetInteger(gfID, i);
            Goods.SetText(gfNAME, "Масло моторное 5W-40 4л " + std::to_string(i));
            Goods.SetText(gfKOD, digits + *EanCheckDigit(digits));
            Goods.SetAmount(gfOSTATOK, 10000 * (i % 50 + 1));
            Goods.SetAmount(gfRPRICE, 10000 * (i % 300 + 1));
            Goods.SetInteger(gfCATEGORY, i % 30 + 1);
            Goods.SetInteger(gfNDS, 18);
            Goods.PostRow();
        }
        Grid.History().Resume();
        Goods.ResumeViews();
        Goods.SetRowNumber(kRows / 2);
    }
    void Key(TGridKey key) { Grid.GridKey(TGridKeyPress{key, false, true, false}); }
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

void BM_UndoRowDeletion(benchmark::State& state) {
    TFixture& f = Fixture();
    std::optional<TFindingsList> findings;
    if (state.range(0) != 0) findings.emplace(f.Goods, f.Record);
    for (auto _ : state) {
        state.PauseTiming();
        f.Key(grDelete);
        state.ResumeTiming();
        f.Key(grZ);
    }
    state.SetItemsProcessed(state.iterations());
    if (f.Goods.RowCount() != kRows) state.SkipWithError("the row did not come back");
}
BENCHMARK(BM_UndoRowDeletion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_RedoRowDeletion(benchmark::State& state) {
    TFixture& f = Fixture();
    std::optional<TFindingsList> findings;
    if (state.range(0) != 0) findings.emplace(f.Goods, f.Record);
    f.Key(grDelete);
    for (auto _ : state) {
        state.PauseTiming();
        f.Key(grZ);
        state.ResumeTiming();
        f.Key(grY);
    }
    state.SetItemsProcessed(state.iterations());
    if (f.Goods.RowCount() != kRows - 1) state.SkipWithError("the row did not go again");
    f.Key(grZ);
}
BENCHMARK(BM_RedoRowDeletion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

BENCHMARK_MAIN();
