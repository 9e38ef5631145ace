// Reading an article list of 1,000,000 lines into the goods table, against merely reading the
// file's bytes. Prints the ratio of the two times of this run at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

#include "import/ArticleReader.h"
#include "import/GoodsTable.h"
#include "text/CodePage.h"
#include "text/FileSystem.h"

namespace {

constexpr int kLines = 1000000;

std::string FilePath() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("k2l_bench_article_" + std::to_string(::getpid()) + ".txt"))
                                        .string();
    return path;
}

// Right-aligned so that the text ends in column `to` (1-based).
void PutRight(std::string& line, std::size_t to, const std::string& text) {
    line.replace(to - text.size(), text.size(), text);
}

void PutLeft(std::string& line, std::size_t from, const std::string& text) {
    line.replace(from - 1, text.size(), text);
}

// Both layouts, every other line with a barcode, names of 15 to 40 Cyrillic characters.
void WriteArticleFile() {
    const std::string names[] = {
        AnsiToOemText("Масло моторное Лукойл 5W-40 4л"),
        AnsiToOemText("Омыватель стекла -20 5л"),
        AnsiToOemText("Кофе 3в1 Нескафе"),
        AnsiToOemText("Шоколад Алёнка 100г"),
        AnsiToOemText("Антифриз Felix G12 красный 1кг"),
        AnsiToOemText("Вода питьевая Святой источник 0,5л"),
    };
    std::ofstream out(FilePath(), std::ios::binary);
    for (int i = 1; i <= kLines; ++i) {
        bool wide = i % 3 == 0;
        std::string line(wide ? 87 : 84, ' ');
        PutRight(line, 13, std::to_string(100000 + i));
        std::string barCode = i % 2 == 0 ? std::to_string(4600000000000LL + i) : std::string();
        PutLeft(line, wide ? 16 : 15, barCode);
        PutRight(line, wide ? 32 : 42, std::to_string(i % 40));
        std::string name = names[i % 6] + " " + std::to_string(i % 1000);
        PutLeft(line, wide ? 49 : 45, name.substr(0, wide ? 39 : 40));
        out << line << "\r\n";
    }
    if (!out) throw std::runtime_error("cannot write " + FilePath());
}

void BM_ReadFileBytes(benchmark::State& state) {
    std::string buffer;
    for (auto _ : state) {
        TFile file;
        if (file.OpenRead(FilePath()) != 0) state.SkipWithError("cannot open");
        buffer.resize(std::filesystem::file_size(FilePath()));
        std::size_t done = 0;
        while (done < buffer.size()) {
            std::ptrdiff_t n = file.Read(buffer.data() + done, buffer.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_ReadArticleList(benchmark::State& state) {
    int rows = 0;
    for (auto _ : state) {
        ImportState import;
        import.Prefix = "222";
        import.BarCodeCounter = 1;
        import.NdsValue = 18;
        TGoodsTable goods;
        goods.OpenTable();
        goods.SuspendViews();
        import.Lines.LoadFromFile(FilePath());
        ReadArticleList(import, goods);
        rows = goods.RowCount();
    }
    if (rows != kLines) state.SkipWithError("not every line became a row");
    state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArticleList)->Unit(benchmark::kMillisecond);

// Keeps the real time of every benchmark to print the ratio after the table.
class TRatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, std::pair<double, double>> Times;  // real, CPU
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                Times[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    WriteArticleFile();
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::remove(FilePath().c_str());
    auto bytes = reporter.Times.find("BM_ReadFileBytes");
    auto article = reporter.Times.find("BM_ReadArticleList");
    if (bytes != reporter.Times.end() && article != reporter.Times.end()) {
        // Both ratios: on a busy machine the real times also hold waiting for a core.
        std::printf(
            "article list into the goods table / reading the bytes: %.1f (real), %.1f (CPU)\n",
            article->second.first / bytes->second.first,
            article->second.second / bytes->second.second);
    }
    benchmark::Shutdown();
    return 0;
}
