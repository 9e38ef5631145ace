#include "import/StockReader.h"

#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "import/GoodsTable.h"
#include "import/ImportState.h"
#include "import/RunHost.h"
#include "text/Defer.h"
#include "text/NumberText.h"
#include "text/Trim.h"

namespace {

constexpr std::size_t kStockLineLength = 78;
constexpr const char* kStockCaption = "Обработка справочника из KELAV";

std::string LookupErrorMessage(std::int32_t inTable, std::int32_t inList) {
    return "Ошибка при поиске записи: значение " + std::to_string(inTable) +
           " в таблице не совпадает со значением " + std::to_string(inList) + " в списке IDList";
}

}  // namespace

void ReadStockReport(ImportState& state, TGoodsTable& goods, const std::string& fileName,
                     IRunHost& host) {
    state.Lines.LoadFromFile(fileName);

    std::unique_ptr<IProgressSink> progress = host.CreateProgress(kStockCaption, true);
    // The display goes on every way out of the reader.
    TDefer terminate([&] { progress->Terminate(); });

    const std::size_t n = state.Lines.Count();
    for (std::size_t i = 0; i < n; ++i) {
        progress->SetRows(i, n);
        progress->SetPercent(static_cast<double>(i) / static_cast<double>(n) * 100.0);
        std::string_view line = state.Lines[i];
        if (line.size() != kStockLineLength) continue;

        std::int32_t code = ParseIntegerText(TrimmedColumns(line, 1, 13)).value_or(0);
        if (code <= 0) continue;
        std::optional<std::size_t> position = state.IDList.Find(code);
        std::size_t row = position ? *position + 1 : 0;
        if (!position || row > static_cast<std::size_t>(goods.RowCount())) {
            if (state.Record) state.Record->UnknownLines.push_back({i + 1, code});
            continue;
        }

        goods.SetRowNumber(static_cast<int>(row));
        std::int32_t inTable = goods.AsInteger(gfID);
        if (inTable != code) throw std::runtime_error(LookupErrorMessage(inTable, code));

        // Both amounts are taken before the row is touched: a number beyond the fixed-point
        // range stops the run without leaving the row half-edited.
        std::int64_t quantity = ParseDecimalAmount(TrimmedColumns(line, 54, 59)).value_or(0);
        std::int64_t price = ParseDecimalAmount(TrimmedColumns(line, 61, 67)).value_or(0);
        if (state.Record) state.Record->Receive(code, {quantity, price});
        if (quantity < 0) quantity = 0;
        if (price <= 0) price = 10000;

        goods.EditRow();
        goods.SetAmount(gfOSTATOK, quantity);
        goods.SetAmount(gfRPRICE, price);
        goods.PostRow();
    }
}
