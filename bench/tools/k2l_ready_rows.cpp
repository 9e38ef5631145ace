// Turns a generated report pair into the ready rows of k2l_limit: one line per article with the
// values the two tables take, tab-separated, in code page 866:
//   group  barcode  name  price  quantity  nds
// with the price empty where the article has none, and the quantity empty where the article has none on stock (no receipt record).
// The rows come from the import run itself, so both programs write the same records.
//   k2l_ready_rows FOLDER OUT

#include <cstdio>
#include <memory>
#include <string>

#include "convert/ImportRun.h"
#include "import/GoodsTable.h"
#include "import/RunHost.h"
#include "text/CodePage.h"

namespace {

class TQuietHost final : public IRunHost {
    class TNoProgress final : public IProgressSink {
        void SetPercent(double) override {}
        void Terminate() override {}
    };

  public:
    std::unique_ptr<IProgressSink> CreateProgress(const std::string&, bool) override {
        return std::make_unique<TNoProgress>();
    }
    void ShowWarning(const std::string&, const std::string&) override {}
    void ShowInformation(const std::string&, const std::string&) override {}
    void HideCount() override {}
    void ShowCount(const std::string&) override {}
    void ShowResults() override {}
};

// An amount (x 10000) with two decimals, rounded half away from zero.
std::string TwoDecimals(long long amount) {
    const bool negative = amount < 0;
    unsigned long long cents = static_cast<unsigned long long>(negative ? -amount : amount);
    cents = (cents + 50) / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%s%llu.%02llu", negative ? "-" : "", cents / 100, cents % 100);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: k2l_ready_rows FOLDER OUT\n");
        return 2;
    }
    const std::string folder = argv[1];
    TImportInputs inputs;
    inputs.ArticleFile = folder + "/ARTICLE.TXT";
    inputs.PrintFile = folder + "/PRINT.TXT";
    TGoodsTable goods;
    TQuietHost host;
    RunImport(inputs, goods, host);

    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::perror(argv[2]);
        return 1;
    }
    std::string line;
    for (goods.MoveFirst(); !goods.AtEnd(); goods.MoveNext()) {
        line = std::to_string(goods.AsInteger(gfCATEGORY)) + '\t' +
               AnsiToOemText(goods.AsText(gfKOD)) + '\t' + AnsiToOemText(goods.AsText(gfNAME)) +
               '\t' +
               (goods.IsEmpty(gfRPRICE) ? "" : TwoDecimals(goods.AsAmount(gfRPRICE))) + '\t' +
               (goods.AsAmount(gfOSTATOK) > 0 ? TwoDecimals(goods.AsAmount(gfOSTATOK)) : "") +
               '\t' +
               (goods.IsEmpty(gfNDS) ? std::string() : std::to_string(goods.AsInteger(gfNDS))) +
               '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
