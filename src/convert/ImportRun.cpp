#include "convert/ImportRun.h"

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "import/ArticleReader.h"
#include "import/BarCodeDigits.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"
#include "import/ImportState.h"
#include "import/RunHost.h"
#include "import/StockReader.h"
#include "text/Defer.h"
#include "text/FileSystem.h"
#include "text/NumberText.h"

namespace {

constexpr const char* kBadPrefix = "Задан недопустимый префикс штрих-кода!";
constexpr const char* kBadStartValue =
    "Задано недопустимое стартовое значение генератора штрих-кода!";
constexpr const char* kBadNds = "Задано недопустимое значение НДС!";
constexpr const char* kWarningCaption = "Внимание!";
constexpr const char* kNoStockReport =
    "Файл PRINT.TXT не найден, поэтому поля \"Цена\" и \"Остаток\" примут значения по умолчанию "
    "(Цена=1, Остаток=0)";

// Integer inputs read -1 when they break the integer rule, so an empty input is invalid.
std::int32_t InputInteger(const std::string& text) {
    return ParseIntegerText(text).value_or(-1);
}

void SetStockDefaults(TGoodsTable& goods, TImportRecord* record) {
    goods.MoveFirst();
    while (!goods.AtEnd()) {
        // Noted as a report that gave quantity and price 0, so the price is one set by rule.
        if (record) record->Receive(goods.AsInteger(gfID), {0, 0});
        goods.EditRow();
        goods.SetFloat(gfOSTATOK, 0);
        goods.SetAmount(gfRPRICE, 10000);
        goods.PostRow();
        goods.MoveNext();
    }
}

// The stock report read into lines on another thread while the article list is taken, so the
// run does not wait for it afterwards. What the operator sees keeps its order: a failure of the
// read is only raised where the report's reading comes in the run.
class TStockReadAhead {
  public:
    explicit TStockReadAhead(const std::string& path) {
        if (!FileExists(path)) return;
        try {
            Reader = std::thread([this, path] {
                try {
                    Lines.LoadFromFile(path);
                } catch (...) {
                    Error = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread: the report is read in its turn.
        }
    }
    ~TStockReadAhead() { Wait(); }
    TStockReadAhead(const TStockReadAhead&) = delete;
    TStockReadAhead& operator=(const TStockReadAhead&) = delete;

    // The lines read, or null when the report was not read ahead; raises the read's failure.
    TLineList* Take() {
        if (!Reader.joinable()) return nullptr;
        Wait();
        if (Error) std::rethrow_exception(Error);
        return &Lines;
    }

  private:
    void Wait() {
        if (Reader.joinable()) Reader.join();
    }

    std::thread Reader;
    TLineList Lines;
    std::exception_ptr Error;
};

}  // namespace

void RunImport(const TImportInputs& inputs, TGoodsTable& goods, IRunHost& host,
               TImportRecord* record) {
    if (!FileExists(inputs.ArticleFile))
        throw std::runtime_error("Файл " + inputs.ArticleFile + " не найден!");
    if (InputInteger(inputs.Prefix) < 0) throw std::runtime_error(kBadPrefix);
    std::int32_t startValue = InputInteger(inputs.StartValue);
    if (startValue < 0) throw std::runtime_error(kBadStartValue);
    std::int32_t nds = InputInteger(inputs.NdsValue);
    if (nds < 0 || nds > 100) throw std::runtime_error(kBadNds);
    if (inputs.Ean13) {
        // The prefix is used as typed, so "+5", " 5" or "$1F" would put signs into the code.
        if (!IsAllDigits(inputs.Prefix)) throw std::runtime_error(kEan13PrefixNotDigits);
        if (inputs.Prefix.size() + std::to_string(startValue).size() > 12)
            throw std::runtime_error(kEan13NoRoom);
    }

    ImportState state;
    state.Prefix = inputs.Prefix;
    state.GeneratedCount = 0;
    state.BarCodeCounter = startValue;
    state.NdsValue = nds;
    state.Ean13 = inputs.Ean13;
    state.Record = record;
    if (record) record->Clear();

    goods.OpenTable();
    goods.ClearRows();
    host.HideCount();

    goods.SuspendViews();
    {
        // Discards the run's lists and resumes the views on every way out of the reading steps.
        // A row left half-changed by a failure is abandoned first, so the table is browsable
        // afterwards.
        TDefer cleanup([&] {
            if (goods.State() == gsInsert || goods.State() == gsEdit) goods.CancelRow();
            state.Lines.Clear();
            state.IDList = TIDList();
            goods.ResumeViews();
        });
        state.Lines.LoadFromFile(inputs.ArticleFile);
        TStockReadAhead stockReport(inputs.PrintFile);
        ReadArticleList(state, goods);
        const bool hasStockReport = FileExists(inputs.PrintFile);
        if (record) record->HasStockReport = hasStockReport;
        if (hasStockReport) {
            ReadStockReport(state, goods, inputs.PrintFile, host, stockReport.Take());
        } else {
            host.ShowWarning(kWarningCaption, kNoStockReport);
            SetStockDefaults(goods, record);
        }
        // Before the views resume, so a view that checks the table finds the record whole.
        if (record) record->Finish();
    }

    host.ShowCount(GeneratedCountText(state.GeneratedCount));
    host.ShowResults();
}

std::string GeneratedCountText(std::int32_t count) {
    return "Было найдено и обработано " + std::to_string(count) +
           " наименований товара без штрих-кода. ";
}
