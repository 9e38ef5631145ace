// The hot paths of a conversion, one by one: a line through each reader into the goods table,
// SetFieldData per field type, Append + Post per record (written in place and through the
// grow-ahead mapping), the general float form and the conversion to code page 866. Inputs are made
// in code.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "dbf/DBF.h"
#include "import/ArticleReader.h"
#include "import/GoodsTable.h"
#include "import/ImportState.h"
#include "import/RunHost.h"
#include "import/StockReader.h"
#include "text/CodePage.h"
#include "text/FileSystem.h"
#include "text/NumberText.h"

namespace {

constexpr int kLines = 100000;

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("k2l_bench_" + std::to_string(::getpid()) + "_" + name))
        .string();
}

std::string Right(const std::string& text, std::size_t width) {
    return std::string(width - text.size(), ' ') + text;
}

std::string Left(const std::string& text, std::size_t width) {
    return text + std::string(width - text.size(), ' ');
}

// Article lines of both layouts (one in 20 without barcode) and stock lines for 70 % of them.
struct TReports {
    std::string Articles;
    std::string Stock;
};

const TReports& Reports() {
    static const TReports reports = [] {
        const std::string names[] = {AnsiToOemText("Масло моторное 5W-40 4л"),
                                     AnsiToOemText("Шоколад Алёнка 100г"),
                                     AnsiToOemText("Омыватель стекла -20 5л")};
        TReports r;
        for (int i = 1; i <= kLines; ++i) {
            std::string code = Left(std::to_string(i), 13);
            std::string bar = i % 20 == 0 ? std::string() : std::to_string(4600000000000LL + i);
            std::string name = names[i % 3] + " " + std::to_string(i);
            std::string group = Right(std::to_string(i % 30 + 1), 2);
            if (i % 2 == 0) {
                r.Articles += code + " " + Left(bar, 13) + std::string(13, ' ') + group + "  " +
                              Left(name, 40) + "\r\n";
            } else {
                r.Articles += code + "  " + Left(bar, 13) + "  " + group + std::string(16, ' ') +
                              Left(name, 39) + "\r\n";
            }
            if (i % 10 < 7) {
                r.Stock += code + std::string(40, ' ') + Right(std::to_string(i % 500) + ".5", 6) +
                           " " + Right(std::to_string(i % 9000) + ".25", 7) + std::string(11, ' ') +
                           "\r\n";
            }
        }
        return r;
    }();
    return reports;
}

class TSilentProgress : public IProgressSink {
  public:
    void SetPercent(double percent) override { benchmark::DoNotOptimize(percent); }
    void Terminate() override {}
};

class TSilentHost : public IRunHost {
  public:
    std::unique_ptr<IProgressSink> CreateProgress(const std::string&, bool) override {
        return std::make_unique<TSilentProgress>();
    }
    void ShowWarning(const std::string&, const std::string&) override {}
    void ShowInformation(const std::string&, const std::string&) override {}
    void HideCount() override {}
    void ShowCount(const std::string&) override {}
    void ShowResults() override {}
};

void ReadArticles(ImportState& import, TGoodsTable& goods) {
    import = ImportState();
    import.Prefix = "222";
    import.BarCodeCounter = 1;
    import.NdsValue = 18;
    goods.OpenTable();
    goods.ClearRows();
    import.Lines.LoadFromBytes(Reports().Articles);
    ReadArticleList(import, goods);
}

void BM_ArticleLineIntoGoods(benchmark::State& state) {
    ImportState import;
    TGoodsTable goods;
    goods.SuspendViews();
    for (auto _ : state) ReadArticles(import, goods);
    if (goods.RowCount() != kLines) state.SkipWithError("not every line became a row");
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_StockLineIntoGoods(benchmark::State& state) {
    const std::string path = TempPath("PRINT.TXT");
    std::ofstream(path, std::ios::binary) << Reports().Stock;
    ImportState import;
    TGoodsTable goods;
    goods.SuspendViews();
    ReadArticles(import, goods);
    TSilentHost host;
    for (auto _ : state) ReadStockReport(import, goods, path, host);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(import.Lines.Count()));
    std::remove(path.c_str());
}

// One field of each type; values cycle through a few typical ones.
struct TFieldCase {
    const char* Name;
    TFldType Type;
    std::uint8_t Size;
    std::uint8_t Precision;
    std::vector<std::string> Values;
};

const TFieldCase kFieldCases[] = {
    {"Char", fldChar, 50, 0, {AnsiToOemText("Масло моторное 5W-40 4л"), "2220000000015", ""}},
    {"Numeric", fldNumeric, 10, 2, {"12.5", "349", "0.0001", "1234567.89"}},
    {"NumericExponent", fldNumeric, 10, 2, {"1.25E1", "3.49E2"}},
    {"Float", fldFloat, 12, 3, {"2.675", "-0.125", "18"}},
    {"Date", fldDate, 8, 0, {"07.06.24", "31.12.99"}},
    {"Logical", fldLogical, 1, 0, {"yes", "FALSE", "T"}},
};

void BM_SetFieldData(benchmark::State& state) {
    const TFieldCase& c = kFieldCases[state.range(0)];
    state.SetLabel(c.Name);
    const std::string path = TempPath("fields.dbf");
    TDBF table;
    table.AddFieldDefs("VALUE", c.Type, c.Size, c.Precision);
    table.SetTableName(path);
    table.CreateTable();
    table.Append();
    std::size_t i = 0;
    for (auto _ : state) {
        table.SetFieldData(1, c.Values[i]);
        if (++i == c.Values.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
    table.Close();
    std::remove(path.c_str());
}

// A directory record per iteration: Append, seven fields, Post. Arg 0 writes in place (three
// positioned writes per record), arg 1 through the grow-ahead mapping.
void BM_AppendPost(benchmark::State& state) {
    const bool mapped = state.range(0) == 1;
    state.SetLabel(mapped ? "mapped" : "in place");
    SetGrowAheadThreshold(mapped ? 0 : std::uint64_t{1} << 60);
    const std::string path = TempPath("append.dbf");
    TDBF table;
    const TFieldCase fields[] = {
        {"CATEGORY", fldChar, 20, 0, {}},  {"KOD", fldChar, 15, 0, {}},
        {"NAME", fldChar, 50, 0, {}},      {"NAME2", fldChar, 30, 0, {}},
        {"ZPRICE", fldNumeric, 10, 2, {}}, {"RPRICE", fldNumeric, 10, 2, {}},
        {"NDS", fldNumeric, 5, 0, {}}};
    for (const TFieldCase& f : fields) table.AddFieldDefs(f.Name, f.Type, f.Size, f.Precision);
    table.SetTableName(path);
    table.CreateTable();
    table.SetCodePage(cpOEM);
    const std::string category = AnsiToOemText("Группа 5");
    const std::string name = AnsiToOemText("Масло моторное 5W-40 4л");
    for (auto _ : state) {
        table.Append();
        table.SetFieldData(1, category);
        table.SetFieldData(2, "2220000000015");
        table.SetFieldData(3, name);
        table.SetFieldData(5, "12.5");
        table.SetFieldData(6, "12.5");
        table.SetFieldData(7, "18");
        table.Post();
    }
    state.SetItemsProcessed(state.iterations());
    table.Close();
    SetGrowAheadThreshold(0);
    std::remove(path.c_str());
}

// Arg 0: prices and quantities (whole 1/10000s); arg 1: other doubles, through the 15-digit form.
void BM_GeneralFloatForm(benchmark::State& state) {
    const bool amounts = state.range(0) == 0;
    state.SetLabel(amounts ? "amounts" : "other doubles");
    std::vector<double> values;
    for (int i = 1; i <= 1000; ++i) {
        values.push_back(amounts ? i * 12345 / 10000.0 : 1.0 / (i * 7.0));
    }
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        out.clear();
        AppendFloatGeneralText(values[i], out);
        benchmark::DoNotOptimize(out.data());
        if (++i == values.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

// The export's conversion of each value to code page 866. Arg 0: goods names in Cyrillic; arg 1:
// barcodes and numbers (ASCII); arg 2: names pasted from office programs (quotes, dashes).
void BM_AnsiToOemText(benchmark::State& state) {
    const std::vector<std::vector<std::string>> sets = {
        {"Масло моторное 5W-40 4л", "Шоколад Алёнка 100г", "Группа 12"},
        {"2220000000015", "4607001771241", "1234.5", "18"},
        {"Кофе «Жокей» 250г", "Вода “Святой источник” – 0,5л", "Сок ‘Добрый’ 1л…"}};
    const std::vector<std::string>& values = sets[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(state.range(0) == 0   ? "cyrillic"
                   : state.range(0) == 1 ? "ascii"
                                         : "typographic");
    std::string out;
    std::size_t i = 0;
    for (auto _ : state) {
        AnsiToOemText(values[i], out);
        benchmark::DoNotOptimize(out.data());
        if (++i == values.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_ArticleLineIntoGoods)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StockLineIntoGoods)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetFieldData)->DenseRange(0, std::size(kFieldCases) - 1);
BENCHMARK(BM_AppendPost)->Arg(0)->Arg(1);
BENCHMARK(BM_GeneralFloatForm)->Arg(0)->Arg(1);
BENCHMARK(BM_AnsiToOemText)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
