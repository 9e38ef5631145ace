// The checks before the load over a 1,000,000-row goods table, each kind alone and all together,
// and a find in the results grid over it.
// The table is built in code the way an import leaves it: unique codes with a few duplicates,
// valid EAN-13 barcodes with a few wrong ones, one in 20 generated, 70 % named by the stock
// report with a few values set by rule, and some stock lines naming no article.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/FindingsList.h"
#include "app/GoodsFinder.h"
#include "convert/GoodsChecks.h"
#include "import/BarCodeDigits.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"

namespace {

constexpr int kRows = 1000000;

struct TFixture {
    TGoodsTable Goods;
    TImportRecord Record;

    TFixture() {
        Goods.OpenTable();
        Goods.Reserve(kRows, std::size_t{kRows} * 40);
        Record.HasStockReport = true;
        for (int i = 1; i <= kRows; ++i) {
            // Every 1000th row repeats the code and the barcode of the row before it.
            const int id = i % 1000 == 7 ? i - 1 : i;
            std::string kod;
            if (i % 20 == 0) {
                kod = "222" + std::string(9 - std::to_string(i).size(), '0') + std::to_string(i);
                kod.resize(13, '0');
                Record.Generated.push_back(kod);
            } else {
                std::string digits = std::to_string(460000000000LL + (i % 1000 == 7 ? i - 1 : i));
                kod = digits + *EanCheckDigit(digits);
                if (i % 5000 == 1) kod.back() = kod.back() == '9' ? '0' : kod.back() + 1;
            }
            Goods.AppendRow();
            Goods.SetInteger(gfID, id);
            Goods.SetText(gfNAME, "Масло моторное 5W-40 4л " + std::to_string(i));
            Goods.SetText(gfKOD, kod);
            Goods.SetInteger(gfCATEGORY, i % 30 + 1);
            Goods.SetInteger(gfNDS, 18);
            if (i % 10 < 7) {
                const std::int64_t quantity = i % 997 == 0 ? -30000 : 10000 * (i % 50);
                const std::int64_t price = i % 991 == 0 ? 0 : 10000 * (i % 300 + 1);
                Record.Receive(id, {quantity, price});
                Goods.SetAmount(gfOSTATOK, quantity < 0 ? 0 : quantity);
                Goods.SetAmount(gfRPRICE, price <= 0 ? 10000 : price);
            }
            Goods.PostRow();
        }
        for (int i = 0; i < 1000; ++i)
            Record.UnknownLines.push_back({static_cast<std::size_t>(i + 1), kRows + 1 + i});
        Record.Finish();
    }
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

void BM_CheckKind(benchmark::State& state) {
    const TFixture& f = Fixture();
    const auto kind = static_cast<TCheckKind>(state.range(0));
    state.SetLabel(CheckKindKey(kind));
    std::size_t found = 0;
    for (auto _ : state) {
        std::vector<TFinding> out;
        CheckKind(kind, f.Goods, f.Record, out);
        found = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["findings"] = static_cast<double>(found);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_CheckKind)->DenseRange(0, kCheckKindCount - 1)->Unit(benchmark::kMillisecond);

// What the results viewer and the converter run: every kind, the limit being 0.5 s.
void BM_CheckGoods(benchmark::State& state) {
    const TFixture& f = Fixture();
    std::size_t found = 0;
    for (auto _ : state) {
        std::vector<TFinding> out = CheckGoods(f.Goods, f.Record);
        found = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["findings"] = static_cast<double>(found);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_CheckGoods)->Unit(benchmark::kMillisecond);

// A find in the results grid over the same rows (Ctrl+F, F3), the limit being 0.2 s: a query
// that matches nothing reads every row, one found near the end most of them.
void BM_FindInGrid(benchmark::State& state) {
    const TFixture& f = Fixture();
    TGoodsFinder finder(f.Goods);
    const char* queries[] = {"СЫР ПЛАВЛЕНЫЙ", "моторное 5w-40 4Л 999999", "4600009999990",
                             "2000000"};
    finder.SetQuery(queries[state.range(0)]);
    state.SetLabel(queries[state.range(0)]);
    TFindResult found;
    for (auto _ : state) {
        found = finder.FindAfter(0);
        benchmark::DoNotOptimize(found);
    }
    state.counters["row"] = found.Row;
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FindInGrid)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A KELVA list without barcodes, the usual case: every code generated, so the check digit's check
// asks for each whether the generator made it.
void BM_CheckDigitsAllGenerated(benchmark::State& state) {
    static const TFixture& f = []() -> const TFixture& {
        static TFixture generated;
        generated.Record = TImportRecord();
        for (int row = 1; row <= kRows; ++row) {
            std::string kod =
                "222" + std::string(10 - std::to_string(row).size(), '0') + std::to_string(row);
            generated.Goods.SetRowNumber(row);
            generated.Goods.EditRow();
            generated.Goods.SetText(gfKOD, kod);
            generated.Goods.PostRow();
            generated.Record.Generated.push_back(kod);
        }
        generated.Record.Finish();
        return generated;
    }();
    std::size_t found = 0;
    for (auto _ : state) {
        std::vector<TFinding> out;
        CheckKind(ckCheckDigit, f.Goods, f.Record, out);
        found = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["findings"] = static_cast<double>(found);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_CheckDigitsAllGenerated)->Unit(benchmark::kMillisecond);

// One edit posted in the results grid with the findings list attached: the list follows the
// table. Each iteration changes one value of a row in the middle (the name, the barcode, the
// category) to one of two texts in turn.
void BM_FindingsListAfterEdit(benchmark::State& state) {
    TFixture& f = Fixture();
    TFindingsList list(f.Goods, f.Record);
    const auto field = static_cast<TGoodsField>(state.range(0));
    const char* values[][2] = {{"", ""},
                               {"Масло моторное 5W-40 4л", "Масло моторное 5W-30 4л"},
                               {"4600005000000", "4600005000017"},
                               {"", ""},
                               {"", ""},
                               {"7", "8"}};
    state.SetLabel(GoodsFieldName(field));
    int turn = 0;
    for (auto _ : state) {
        f.Goods.SetRowNumber(kRows / 2);
        f.Goods.EditRow();
        f.Goods.SetText(field, values[field][turn ^= 1]);
        f.Goods.PostRow();
        benchmark::DoNotOptimize(list.Findings().data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
// Insert pressed in the middle of the grid and the new row left untouched (Esc).
void BM_FindingsListBlankRow(benchmark::State& state) {
    TFixture& f = Fixture();
    TFindingsList list(f.Goods, f.Record);
    for (auto _ : state) {
        f.Goods.SetRowNumber(kRows / 2);
        f.Goods.InsertRow();
        f.Goods.CancelRow();
        benchmark::DoNotOptimize(list.Findings().data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FindingsListBlankRow)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_FindingsListAfterEdit)
    ->Arg(gfNAME)
    ->Arg(gfKOD)
    ->Arg(gfCATEGORY)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
