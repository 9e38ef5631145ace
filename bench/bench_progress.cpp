// CPU cost of the progress viewer's drawing: one tick (bar, percentage, elapsed time, cancel
// button) over a prepared background, and the layout rebuild that runs only when lines change.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>

#include "progress/ProgressViewer.h"
#include "progress/ViewerPainter.h"

namespace {

// The standard lines of a viewer plus two more: a window of about 450 x 200.
std::vector<TViewerString> Lines() {
    const struct {
        int Key;
        const char* Text;
        int Size;
    } rows[] = {{-1, "ЛАРМИС", 12},
                {0, "Сохранение в DBF...", 14},
                {1, "Справочник.dbf", 10},
                {2, "Приходы.dbf", 10},
                {1000, " ", 8},
                {1001, "Выполняется длительная операция. Она может", 10},
                {1002, "продлиться несколько минут. Пожалуйста, подождите!", 10}};
    std::vector<TViewerString> lines;
    for (const auto& row : rows) {
        TViewerString line;
        line.Key = row.Key;
        line.Text = row.Text;
        line.Alignment = taCenter;
        line.FontName = "MS Sans Serif";
        line.FontSize = row.Size;
        line.FontStyle = fsBold;
        lines.push_back(line);
    }
    return lines;
}

void BM_TickWithoutLayoutChange(benchmark::State& state) {
    TViewerPainter painter;
    auto lines = Lines();
    const int height = painter.MeasureStrings(lines, 450, clBtnFace) + 70;
    painter.DrawBackground(450, height);
    TTickState tick;
    tick.PercentMode = state.range(0) != 0;
    tick.CancelVisible = true;
    tick.CancelCaption = CancelCaption;
    const auto start = std::chrono::steady_clock::now();
    double percent = 0;
    for (auto _ : state) {
        tick.Percent = percent;
        tick.ElapsedText = FormatElapsedLine(
            ElapsedFormat, FormatElapsed(std::chrono::steady_clock::now() - start));
        percent = painter.DrawProgress(tick);
        if (tick.PercentMode) {
            percent = percent >= 100 ? 0 : percent + 0.37;
        }
        benchmark::DoNotOptimize(painter.Image(viWindow).constBits());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(painter.Image(viWindow).width()) + "x" +
                   std::to_string(painter.Image(viWindow).height()));
}
BENCHMARK(BM_TickWithoutLayoutChange)->Arg(1)->Arg(0)->ArgName("percentMode");

void BM_LayoutRebuild(benchmark::State& state) {
    TViewerPainter painter;
    auto lines = Lines();
    for (auto _ : state) {
        const int height = painter.MeasureStrings(lines, 450, clBtnFace) + 70;
        painter.DrawBackground(450, height);
        benchmark::DoNotOptimize(painter.Image(viBackground).constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LayoutRebuild);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    PrepareViewerFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
