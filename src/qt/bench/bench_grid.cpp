// The results grid over a million goods rows, on the offscreen platform: how long showing it
// takes, and scrolling to the last row with the repaint that follows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QLocale>
#include <QScrollBar>

#include "import/GoodsTable.h"
#include "qt/AppStartup.h"
#include "qt/Dialogs.h"
#include "qt/GoodsGrid.h"
#include "qt/RegionalCurrency.h"

namespace {

constexpr int kRows = 1'000'000;

TGoodsTable& MillionRows() {
    static TGoodsTable goods;
    if (goods.IsOpen()) return goods;
    goods.OpenTable();
    for (int i = 1; i <= kRows; ++i) {
        goods.AppendRow();
        goods.SetInteger(gfID, i);
        goods.SetText(gfNAME, "Товар номер " + std::to_string(i));
        goods.SetText(gfKOD, std::to_string(2220000000000LL + i));
        goods.SetAmount(gfOSTATOK, i % 1000 * 10000);
        goods.SetAmount(gfRPRICE, 125000 + i);
        goods.SetInteger(gfCATEGORY, i % 40);
        goods.SetInteger(gfNDS, 18);
        goods.PostRow();
    }
    goods.MoveFirst();
    return goods;
}

TQtShell& Shell() {
    static TQtShell shell(nullptr);
    return shell;
}

// A new grid shown over the table and painted once.
void BM_GridOpens(benchmark::State& state) {
    TGoodsTable& goods = MillionRows();
    const TCurrencyFormat currency =
        TCurrencyFormat::FromRegional(RegionalCurrency(QLocale::system()));
    for (auto _ : state) {
        TGoodsGridController control(goods, currency, Shell());
        TGoodsGrid grid(control, nullptr);
        grid.resize(709, 463);
        grid.show();
        QCoreApplication::processEvents();
        grid.viewport()->repaint();
        benchmark::DoNotOptimize(grid.model()->rowCount());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GridOpens)->Unit(benchmark::kMillisecond);

// The end of an import run: the table resumes its views and the shown grid takes all rows anew.
void BM_GridFollowsRefresh(benchmark::State& state) {
    TGoodsTable& goods = MillionRows();
    TGoodsGridController control(
        goods, TCurrencyFormat::FromRegional(RegionalCurrency(QLocale::system())), Shell());
    TGoodsGrid grid(control, nullptr);
    grid.resize(709, 463);
    grid.show();
    for (auto _ : state) {
        goods.SuspendViews();
        goods.ResumeViews();
        // The view lays itself out lazily: let it, then paint.
        QCoreApplication::processEvents();
        grid.viewport()->repaint();
    }
    if (grid.model()->rowCount() != kRows) state.SkipWithError("rows lost");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GridFollowsRefresh)->Unit(benchmark::kMillisecond);

// Ctrl+End's work: the last row becomes current, the view scrolls there and repaints.
void BM_GridScrollsToLastRow(benchmark::State& state) {
    TGoodsTable& goods = MillionRows();
    TGoodsGridController control(
        goods, TCurrencyFormat::FromRegional(RegionalCurrency(QLocale::system())), Shell());
    TGoodsGrid grid(control, nullptr);
    grid.resize(709, 463);
    grid.show();
    grid.viewport()->repaint();
    QAbstractItemModel* model = grid.model();
    for (auto _ : state) {
        grid.setCurrentIndex(model->index(kRows - 1, gfNAME));
        grid.scrollTo(grid.currentIndex());
        QCoreApplication::processEvents();
        grid.viewport()->repaint();
        state.PauseTiming();
        grid.setCurrentIndex(model->index(0, gfNAME));
        grid.scrollTo(grid.currentIndex());
        grid.viewport()->repaint();
        state.ResumeTiming();
    }
    if (goods.RowNumber() != 1 || grid.verticalScrollBar()->value() != 0) {
        state.SkipWithError("the grid did not follow the table");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GridScrollsToLastRow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    LoadApplicationFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
