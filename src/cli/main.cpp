// kelva2larmis-convert: the import run and the goods export of the desktop program, without
// windows, for batch use and automation.

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/CheckReport.h"
#include "cli/Console.h"
#include "cli/ConvertArgs.h"
#include "convert/GoodsChecks.h"
#include "convert/GoodsExport.h"
#include "convert/ImportRun.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"
#include "import/RunHost.h"

namespace {

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
        if (Drawn) ClearStatusLine();
    }

  private:
    void Draw(double percent) {
        auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(TClock::now() - Start).count();
        char figures[96];
        std::snprintf(figures, sizeof figures, " %3d %%  %zu / %zu  %ld:%02ld:%02ld",
                      static_cast<int>(percent), Row, RowCount, static_cast<long>(seconds / 3600),
                      static_cast<long>(seconds / 60 % 60), static_cast<long>(seconds % 60));
        ShowStatusLine(Caption + figures);
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
        WriteText(stErr, caption + ' ' + text + '\n');
    }
    void ShowInformation(const std::string&, const std::string& text) override {
        WriteText(stOut, text + '\n');
    }
    void HideCount() override {}
    void ShowCount(const std::string& text) override { WriteText(stOut, text + '\n'); }
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

}  // namespace

int main(int argc, char** argv) {
    PrepareProcess();

    const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
    std::variant<TConvertOptions, TUsageError> parsed =
        ParseConvertArgs(std::vector<std::string_view>(arguments.begin(), arguments.end()));
    if (const auto* usage = std::get_if<TUsageError>(&parsed)) {
        WriteText(stErr, "kelva2larmis-convert: " + usage->Message + '\n' + kUsage);
        return kExitUsage;
    }
    const TConvertOptions& options = std::get<TConvertOptions>(parsed);
    if (options.Help) {
        WriteText(stOut, std::string(kUsage) + '\n' + kHelp);
        return kExitDone;
    }
    if (options.Version) {
        WriteText(stOut, "kelva2larmis-convert " K2L_VERSION "\n");
        return kExitDone;
    }

    TTerminalHost host(!options.Quiet && IsConsole(stErr));
    TGoodsTable goods;
    try {
        TImportRecord record;
        RunImport(options.Import, goods, host, options.Check ? &record : nullptr);
        if (options.Check)
            WriteText(stOut, CheckReportText(CheckGoods(goods, record), goods, record));
        if (!options.CheckOnly) ExportGoods(options.Export, goods, host);
    } catch (const std::exception& error) {
        WriteText(stErr, ForTerminal(ErrorDisplayText(error.what())) + '\n');
        return kExitFailed;
    }
    return kExitDone;
}
