// An export of three rows that ends the process just before its n-th file-changing call:
//   k2l_export_child FOLDER N THRESHOLD WRITE_ID
// N 0 runs the export to its end and prints one letter per file-changing call (C create,
// W write, M move, D delete, F flush), then exits 0; otherwise the process ends with exit code
// 77 just before call N, as a crash there would: no clean-up of its own runs, and what the
// system already holds of its files (written pages, its shared mappings) stays. THRESHOLD is the
// grow-ahead threshold (0: the program's), so a small export reaches the mapped growth too.
// Paths in ASCII: the narrow command line of Windows carries nothing else.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "convert/GoodsExport.h"
#include "import/GoodsTable.h"
#include "import/RunHost.h"
#include "text/FileSystem.h"

namespace {

constexpr int kCrashed = 77;

[[noreturn]] void Crash() {
#ifdef _WIN32
    ::TerminateProcess(::GetCurrentProcess(), kCrashed);
#endif
    std::_Exit(kCrashed);
}

class TCrashAt final : public IFileFaultHook {
  public:
    explicit TCrashAt(long n) : N(n) {}
    bool Fails(TFileOp op) override {
        if (op == foRead) return false;
        if (++Calls == N) Crash();
        Letters += "RWCMDF"[op];
        return false;
    }
    std::string Letters;

  private:
    long N;
    long Calls = 0;
};

class TQuietProgress final : public IProgressSink {
  public:
    void SetPercent(double) override {}
    void SetRows(std::size_t, std::size_t) override {}
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: k2l_export_child FOLDER N THRESHOLD WRITE_ID\n");
        return 2;
    }
    TGoodsTable goods;
    goods.OpenTable();
    // Rows 1 and 3 are in stock, row 2 is not.
    const struct {
        int Id;
        const char* Name;
        const char* Kod;
        const char* Quantity;
        const char* Price;
    } rows[] = {{1, "Кофе 3в1", "4600000000017", "2", "12.5"},
                {2, "Чай чёрный", "2220000000001", "0", "3"},
                {3, "Масло 5W-40", "2220000000002", "1.5", "450"}};
    for (const auto& row : rows) {
        goods.AppendRow();
        goods.SetInteger(gfID, row.Id);
        goods.SetText(gfNAME, row.Name);
        goods.SetText(gfKOD, row.Kod);
        goods.SetText(gfOSTATOK, row.Quantity);
        goods.SetText(gfRPRICE, row.Price);
        goods.SetInteger(gfCATEGORY, 5);
        goods.SetInteger(gfNDS, 18);
        goods.PostRow();
    }
    SetGrowAheadThreshold(std::strtoull(argv[3], nullptr, 10));
    TCrashAt hook(std::atol(argv[2]));
    SetFileFaultHook(&hook);
    TQuietHost host;
    try {
        ExportGoods({argv[1], std::atoi(argv[4]) != 0}, goods, host);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    SetFileFaultHook(nullptr);
    std::printf("%s\n", hook.Letters.c_str());
    return 0;
}
