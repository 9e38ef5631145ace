#include "import/StockReader.h"

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "import/ChunkFeed.h"
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

// The numbers of one line: its code (0 for a line that is not read) and both amounts.
struct TStockLine {
    std::int32_t Code = 0;
    std::int64_t Quantity = 0;
    std::int64_t Price = 0;
    // An amount beyond the fixed-point range: read again where the run takes the amounts, to
    // fail there, after the code's look-up, as the line's turn comes.
    bool ReadAgain = false;
};

struct TStockChunk {
    int First = 0;
    int Count = 0;
    int Made = 0;
    std::vector<TStockLine> Lines;

    void Clear() { Lines.clear(); }
};

std::int64_t QuantityOf(std::string_view line) {
    return ParseDecimalAmount(TrimmedColumns(line, 54, 59)).value_or(0);
}

std::int64_t PriceOf(std::string_view line) {
    return ParseDecimalAmount(TrimmedColumns(line, 61, 67)).value_or(0);
}

void DecodeLine(std::string_view line, TStockLine& out) {
    out = TStockLine();
    if (line.size() != kStockLineLength) return;
    out.Code = ParseIntegerText(TrimmedColumns(line, 1, 13)).value_or(0);
    if (out.Code <= 0) return;
    try {
        out.Quantity = QuantityOf(line);
        out.Price = PriceOf(line);
    } catch (...) {
        out.ReadAgain = true;
    }
}

}  // namespace

void ReadStockReport(ImportState& state, TGoodsTable& goods, const std::string& fileName,
                     IRunHost& host, TLineList* readAhead) {
    if (readAhead != nullptr) {
        state.Lines = std::move(*readAhead);
    } else {
        state.Lines.LoadFromFile(fileName);
    }

    std::unique_ptr<IProgressSink> progress = host.CreateProgress(kStockCaption, true);
    // The display goes on every way out of the reader.
    TDefer terminate([&] { progress->Terminate(); });

    // The lines' numbers are read on both cores; the table takes them here, in order.
    const TLineList& lines = state.Lines;
    const std::size_t n = lines.Count();
    TChunkFeed<TStockChunk> feed(
        static_cast<int>(n), kReportChunkLines, [&lines](TStockChunk& chunk) {
            chunk.Lines.resize(static_cast<std::size_t>(chunk.Count));
            for (int i = 0; i < chunk.Count; ++i, ++chunk.Made) {
                DecodeLine(lines[static_cast<std::size_t>(chunk.First - 1 + i)],
                           chunk.Lines[static_cast<std::size_t>(i)]);
            }
        });
    TStockLine own;
    // The ID list's slots of the lines a little ahead are loaded while these are looked up.
    constexpr int kPrefetchAhead = 16;
    while (const TStockChunk* chunk = feed.Next()) {
        for (int k = 0; k < chunk->Count; ++k) {
            if (k + kPrefetchAhead < chunk->Made) {
                const TStockLine& ahead =
                    chunk->Lines[static_cast<std::size_t>(k + kPrefetchAhead)];
                if (ahead.Code > 0) state.IDList.Prefetch(ahead.Code);
            }
            const std::size_t i = static_cast<std::size_t>(chunk->First - 1 + k);
            progress->SetRows(i, n);
            progress->SetPercent(static_cast<double>(i) / static_cast<double>(n) * 100.0);
            const TStockLine* line = &own;
            if (k < chunk->Made) {
                line = &chunk->Lines[static_cast<std::size_t>(k)];
            } else {
                DecodeLine(lines[i], own);
            }
            const std::int32_t code = line->Code;
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

            // Both amounts were taken before the row is touched: a number beyond the fixed-point
            // range stops the run without leaving the row half-edited.
            std::int64_t quantity = line->ReadAgain ? QuantityOf(lines[i]) : line->Quantity;
            std::int64_t price = line->ReadAgain ? PriceOf(lines[i]) : line->Price;
            if (state.Record) state.Record->Receive(code, {quantity, price});
            if (quantity < 0) quantity = 0;
            if (price <= 0) price = 10000;

            goods.EditRow();
            goods.SetAmount(gfOSTATOK, quantity);
            goods.SetAmount(gfRPRICE, price);
            goods.PostRow();
        }
    }
}
