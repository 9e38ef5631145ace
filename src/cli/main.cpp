// kelva2larmis-convert: the import run and the goods export of the desktop program, without
// windows, for batch use and automation.

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "convert/GoodsExport.h"
#include "import/GoodsTable.h"
#include "convert/ImportRun.h"
#include "import/RunHost.h"

namespace {

constexpr const char* kUsage =
    "usage: kelva2larmis-convert [--article FILE] [--print FILE] [--out DIR] [--prefix TEXT]\n"
    "                            [--start TEXT] [--vat TEXT] [--write-id] [--quiet]\n";

constexpr const char* kHelp =
    "Переносит справочник товаров и остатки из отчётов KELVA в таблицы ЛАРМИС.\n"
    "Converts the KELVA goods reports into the two dBASE tables that ЛАРМИС loads.\n"
    "\n"
    "  --article FILE  список товаров KELVA (по умолчанию ARTICLE.TXT)\n"
    "                  KELVA article list (default ARTICLE.TXT)\n"
    "  --print FILE    отчёт об остатках (по умолчанию PRINT.TXT); если его нет, Цена=1, "
    "Остаток=0\n"
    "                  stock report (default PRINT.TXT); when missing, price 1 and quantity 0\n"
    "  --out DIR       каталог для \"Справочник.dbf\" и \"Приходы.dbf\" (по умолчанию текущий)\n"
    "                  folder for \"Справочник.dbf\" and \"Приходы.dbf\" (default: current "
    "folder)\n"
    "  --prefix TEXT   префикс генератора штрих-кодов (по умолчанию 222)\n"
    "                  barcode generator prefix (default 222)\n"
    "  --start TEXT    стартовое значение генератора штрих-кодов (по умолчанию 1)\n"
    "                  barcode generator start value (default 1)\n"
    "  --vat TEXT      значение НДС, 0..100 (по умолчанию 18)\n"
    "                  VAT rate in percent, 0..100 (default 18)\n"
    "  --write-id      сохранять код товара KELVA в поле NAME2\n"
    "                  write the KELVA article code into field NAME2\n"
    "  --quiet         без строки хода работы\n"
    "                  no progress line\n"
    "  --help          эта справка / this help\n"
    "\n"
    "Коды выхода / exit codes: 0 готово / done, 1 ошибка / error, 2 неверный вызов / usage "
    "error.\n";

using TClock = std::chrono::steady_clock;

// A one-line progress display on stderr, redrawn a few times a second.
class TTerminalProgress final : public IProgressSink {
  public:
    explicit TTerminalProgress(std::string caption) : Caption(std::move(caption)) {}

    void SetPercent(double percent) override {
        // Only every 4096th update looks at the clock: the call sits in a per-row loop.
        if ((++Updates & 0xFFF) != 1) return;
        TClock::time_point now = TClock::now();
        if (now - LastDraw < std::chrono::milliseconds(200)) return;
        LastDraw = now;
        Draw(percent);
    }

    void SetRows(std::size_t row, std::size_t rowCount) override {
        Row = row;
        RowCount = rowCount;
    }

    void Terminate() override {
        if (Drawn) std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }

  private:
    void Draw(double percent) {
        auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(TClock::now() - Start).count();
        std::fprintf(stderr, "\r%s %3d %%  %zu / %zu  %ld:%02ld:%02ld\033[K", Caption.c_str(),
                     static_cast<int>(percent), Row, RowCount, static_cast<long>(seconds / 3600),
                     static_cast<long>(seconds / 60 % 60), static_cast<long>(seconds % 60));
        std::fflush(stderr);
        Drawn = true;
    }

    std::string Caption;
    TClock::time_point Start = TClock::now();
    TClock::time_point LastDraw{};
    unsigned long Updates = 0;
    std::size_t Row = 0;
    std::size_t RowCount = 0;
    bool Drawn = false;
};

class TSilentProgress final : public IProgressSink {
  public:
    void SetPercent(double) override {}
    void Terminate() override {}
};

class TTerminalHost final : public IRunHost {
  public:
    explicit TTerminalHost(bool showProgress) : ShowProgress(showProgress) {}

    std::unique_ptr<IProgressSink> CreateProgress(const std::string& caption, bool) override {
        if (ShowProgress) return std::make_unique<TTerminalProgress>(caption);
        return std::make_unique<TSilentProgress>();
    }
    void ShowWarning(const std::string& caption, const std::string& text) override {
        std::cerr << caption << ' ' << text << '\n';
    }
    void ShowInformation(const std::string&, const std::string& text) override {
        std::cout << text << '\n';
    }
    void HideCount() override {}
    void ShowCount(const std::string& text) override { std::cout << text << '\n'; }
    void ShowResults() override {}

  private:
    bool ShowProgress;
};

// The messages of the table writer break their line with a lone CR; a terminal wants LF.
std::string ForTerminal(std::string text) {
    for (char& c : text)
        if (c == '\r') c = '\n';
    return text;
}

int UsageError(const std::string& why) {
    std::cerr << "kelva2larmis-convert: " << why << '\n' << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // A file size limit must end a write with an error the export reports, not kill the process.
    ::signal(SIGXFSZ, SIG_IGN);

    TImportInputs import;
    TExportInputs exportInputs;
    exportInputs.Folder = ".";
    bool quiet = false;

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) return false;
            target = argv[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << '\n' << kHelp;
            return 0;
        } else if (arg == "--article") {
            ok = value(import.ArticleFile);
        } else if (arg == "--print") {
            ok = value(import.PrintFile);
        } else if (arg == "--out") {
            ok = value(exportInputs.Folder);
        } else if (arg == "--prefix") {
            ok = value(import.Prefix);
        } else if (arg == "--start") {
            ok = value(import.StartValue);
        } else if (arg == "--vat") {
            ok = value(import.NdsValue);
        } else if (arg == "--write-id") {
            exportInputs.WriteID = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else {
            return UsageError("unknown argument: " + std::string(arg));
        }
        if (!ok) return UsageError(std::string(arg) + " needs a value");
    }

    TTerminalHost host(!quiet && ::isatty(STDERR_FILENO));
    TGoodsTable goods;
    try {
        RunImport(import, goods, host);
        ExportGoods(exportInputs, goods, host);
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << ForTerminal(ErrorDisplayText(error.what())) << '\n';
        return 1;
    }
    return 0;
}
