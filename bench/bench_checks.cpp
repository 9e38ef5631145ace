// The checks before the load over a 1,000,000-row goods table, each kind alone and all together,
// and a find in the results grid over it.
// The table is built in code the way an import leaves it: unique codes with a few duplicates,
// valid EAN-13 barcodes with a few wrong ones, one in 20 generated, 70 % named by the stock
// report with a few values set by rule, and some stock lines naming no article.
#include <benchmark/benchmark.h>

#include <optional>
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
    TFixture& f = Fixture();
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

// A find that matches nothing right after an edit posted in the middle (0), and the first find
// after an import, which folds every row (1).
void BM_FindAfterChange(benchmark::State& state) {
    TFixture& f = Fixture();
    TGoodsFinder finder(f.Goods);
    finder.SetQuery("СЫР ПЛАВЛЕНЫЙ");
    const bool import = state.range(0) != 0;
    state.SetLabel(import ? "after an import" : "after an edit");
    finder.FindAfter(0);
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A change while the views sleep, as an import's, wakes them to every row.
        if (import) f.Goods.SuspendViews();
        f.Goods.SetRowNumber(kRows / 2);
        f.Goods.EditRow();
        f.Goods.SetText(gfNAME, (turn ^= 1) != 0 ? "Масло" : "Масло моторное");
        f.Goods.PostRow();
        if (import) f.Goods.ResumeViews();
        state.ResumeTiming();
        benchmark::DoNotOptimize(finder.FindAfter(0));
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FindAfterChange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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

// One edit posted in the results grid; the second argument 1 with the findings list attached
// (the list's own cost is the difference). Each iteration changes one value of a row in the
// middle to one of two texts in turn: the ID to a code of another row and back, the barcode to
// another row's and back.
void BM_FindingsListAfterEdit(benchmark::State& state) {
    TFixture& f = Fixture();
    std::optional<TFindingsList> list;
    if (state.range(1) != 0) list.emplace(f.Goods, f.Record);
    const auto field = static_cast<TGoodsField>(state.range(0));
    std::string values[][2] = {
        {"", ""},      {"Масло моторное 5W-40 4л", "Масло моторное 5W-30 4л"},
        {"", ""},      {"-3", "2"},
        {"0", "12.5"}, {"7", "8"},
        {"10", "18"}};
    for (TGoodsField taken : {gfID, gfKOD})
        values[taken][0] = f.Goods.AsTextAt(kRows / 2 - 1, taken),
        values[taken][1] = f.Goods.AsTextAt(kRows / 2, taken);
    state.SetLabel(std::string(GoodsFieldName(field)) + (list ? " list" : " table alone"));
    int turn = 0;
    for (auto _ : state) {
        f.Goods.SetRowNumber(kRows / 2);
        f.Goods.EditRow();
        f.Goods.SetText(field, values[field][turn ^= 1]);
        f.Goods.PostRow();
    }
    // The row gets its own code and barcode back, or the next run would set them to themselves.
    f.Goods.EditRow();
    f.Goods.SetText(field, values[field][1]);
    f.Goods.PostRow();
    state.SetItemsProcessed(state.iterations() * kRows);
}
// Insert pressed in the middle of the grid and the new row left untouched (Esc); and a row
// deleted and typed in again (delete, insert, every value, post).
void BM_FindingsListRows(benchmark::State& state) {
    TFixture& f = Fixture();
    std::optional<TFindingsList> list;
    if (state.range(1) != 0) list.emplace(f.Goods, f.Record);
    const bool retype = state.range(0) != 0;
    state.SetLabel(std::string(retype ? "delete and retype" : "insert, Esc") +
                   (list ? " list" : " table alone"));
    for (auto _ : state) {
        f.Goods.SetRowNumber(kRows / 2);
        if (retype) {
            std::string texts[kGoodsFieldCount];
            for (int field = 0; field < kGoodsFieldCount; ++field)
                texts[field] = f.Goods.AsText(static_cast<TGoodsField>(field));
            f.Goods.DeleteRow();
            f.Goods.InsertRow();
            for (int field = 0; field < kGoodsFieldCount; ++field)
                f.Goods.SetText(static_cast<TGoodsField>(field), texts[field]);
            f.Goods.PostRow();
        } else {
            f.Goods.InsertRow();
            f.Goods.CancelRow();
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
// The same edits where half the rows share one barcode and a quarter one code (a placeholder a
// shop put on many articles): the row in the middle is in the middle of both groups, and each
// edit but the price's leaves one and joins it again.
void BM_FindingsListLargeGroups(benchmark::State& state) {
    static TFixture& f = []() -> TFixture& {
        static TFixture shared;
        for (int row = 2; row <= kRows; row += 2) {
            shared.Goods.SetRowNumber(row);
            shared.Goods.EditRow();
            shared.Goods.SetText(gfKOD, "4600000000000");
            if (row % 4 == 0) shared.Goods.SetInteger(gfID, 7);
            shared.Goods.PostRow();
        }
        return shared;
    }();
    TFindingsList list(f.Goods, f.Record);
    const auto field = static_cast<TGoodsField>(state.range(0));
    const char* values[2] = {field == gfID    ? "7"
                             : field == gfKOD ? "4600000000000"
                                              : "12.5",
                             field == gfID    ? "8"
                             : field == gfKOD ? "4600000000001"
                                              : "13.5"};
    state.SetLabel(GoodsFieldName(field));
    int turn = 0;
    for (auto _ : state) {
        f.Goods.SetRowNumber(kRows / 2);
        f.Goods.EditRow();
        f.Goods.SetText(field, values[turn ^= 1]);
        f.Goods.PostRow();
    }
    // Left as it was found, for the next run.
    f.Goods.EditRow();
    f.Goods.SetText(field, values[0]);
    f.Goods.PostRow();
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FindingsListLargeGroups)
    ->Arg(gfKOD)
    ->Arg(gfID)
    ->Arg(gfRPRICE)
    ->Unit(benchmark::kMicrosecond);

// What an import or views resumed cost the list: every row checked and grouped again.
void BM_FindingsListRefresh(benchmark::State& state) {
    TFixture& f = Fixture();
    TFindingsList list(f.Goods, f.Record);
    for (auto _ : state) list.Refresh();
    state.counters["findings"] = list.LineCount();
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FindingsListRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindingsListRows)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_FindingsListAfterEdit)
    ->ArgsProduct({{gfID, gfNAME, gfKOD, gfOSTATOK, gfRPRICE, gfCATEGORY, gfNDS}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
